#pragma once

// Multi-picture files in the header shapes cameras write, built here
// independently of Korvex's own MPO writer.

#include "JpegTestSegments.h"

#include <cstdint>
#include <vector>

namespace korvex::testing {

struct MpoPicture {
    std::vector<std::uint8_t> jpeg;
    std::uint32_t type;  // MP type code, flags added by the builder
};

struct MpoShape {
    bool little = true;
    std::uint32_t firstDirectory = 8;        // TIFF allows any offset; the gap is padding
    bool extraEntries = false;               // version first, image ids and frame count after
    bool attributesAfterIndex = false;       // the first picture's attributes follow the index
    bool attributesInOtherPictures = false;  // each later picture carries its own MPF attributes
};

namespace mpo {

inline std::vector<std::uint8_t> header(const MpoShape& s)
{
    std::vector<std::uint8_t> block = s.little ? std::vector<std::uint8_t>{'I', 'I', 42, 0}
                                               : std::vector<std::uint8_t>{'M', 'M', 0, 42};
    put32(block, s.firstDirectory, s.little);
    block.resize(s.firstDirectory, 0);
    return block;
}

inline void entry(std::vector<std::uint8_t>& b, bool little, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                  std::uint32_t value)
{
    put16(b, tag, little);
    put16(b, type, little);
    put32(b, count, little);
    put32(b, value, little);
}

inline void attributes(std::vector<std::uint8_t>& b, bool little, std::uint32_t number)
{
    put16(b, 2, little);
    entry(b, little, 0xB101, 4, 1, number);
    entry(b, little, 0xB204, 4, 1, 1);
    put32(b, 0, little);
}

// The first picture's MP block for the given sizes and offsets.
inline std::vector<std::uint8_t> indexBlock(const MpoShape& s, const std::vector<MpoPicture>& pictures,
                                            const std::vector<std::uint32_t>& sizes,
                                            const std::vector<std::uint32_t>& offsets)
{
    const bool l = s.little;
    const auto n = std::uint32_t(pictures.size());
    std::vector<std::uint8_t> b = header(s);
    const std::uint16_t entries = s.extraEntries ? 5 : 2;
    const std::uint32_t entriesAt = s.firstDirectory + 2 + entries * 12u + 4;
    put16(b, entries, l);
    if (s.extraEntries) {
        entry(b, l, 0xB000, 7, 4, 0);
        const char version[4] = {'0', '1', '0', '0'};
        std::copy(version, version + 4, b.end() - 4);
    }
    entry(b, l, 0xB001, 4, 1, n);
    entry(b, l, 0xB002, 7, n * 16, entriesAt);
    if (s.extraEntries) {
        entry(b, l, 0xB003, 7, 0, 0);     // no image ids
        entry(b, l, 0xB004, 4, 1, n);     // captured frames
    }
    put32(b, s.attributesAfterIndex ? entriesAt + n * 16 : 0, l);
    for (std::uint32_t i = 0; i < n; ++i) {
        put32(b, pictures[i].type | (i == 0 ? 0x20000000u : 0u), l);
        put32(b, sizes[i], l);
        put32(b, offsets[i], l);
        put32(b, 0, l);
    }
    if (s.attributesAfterIndex)
        attributes(b, l, 1);
    return b;
}

}  // namespace mpo

// The whole file: pictures in order, the first holding the MP index. Every
// offset counts from the first picture's MP header, as the format says.
inline std::vector<std::uint8_t> buildMultiPictureFile(const std::vector<MpoPicture>& pictures, const MpoShape& shape = {})
{
    const std::string_view mpf("MPF\0", 4);
    std::vector<std::vector<std::uint8_t>> streams;
    for (std::size_t i = 1; i < pictures.size(); ++i) {
        std::vector<std::uint8_t> block;
        if (shape.attributesInOtherPictures) {
            block = mpo::header(shape);
            mpo::attributes(block, shape.little, std::uint32_t(i + 1));
        }
        streams.push_back(shape.attributesInOtherPictures ? withSegment(pictures[i].jpeg, segment(0xE2, mpf, block))
                                                          : pictures[i].jpeg);
    }
    std::vector<std::uint32_t> sizes(pictures.size(), 0), offsets(pictures.size(), 0);
    // The index's length does not depend on its values: measure, then fill in.
    const std::size_t indexSegment = segment(0xE2, mpf, mpo::indexBlock(shape, pictures, sizes, offsets)).size();
    const std::size_t headerAt = 2 + 4 + mpf.size();
    sizes[0] = std::uint32_t(pictures[0].jpeg.size() + indexSegment);
    std::size_t at = sizes[0];
    for (std::size_t i = 1; i < pictures.size(); ++i) {
        sizes[i] = std::uint32_t(streams[i - 1].size());
        offsets[i] = std::uint32_t(at - headerAt);
        at += sizes[i];
    }
    std::vector<std::uint8_t> file =
        withSegment(pictures[0].jpeg, segment(0xE2, mpf, mpo::indexBlock(shape, pictures, sizes, offsets)));
    for (const auto& stream : streams)
        file.insert(file.end(), stream.begin(), stream.end());
    return file;
}

}  // namespace korvex::testing
