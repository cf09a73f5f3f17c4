#include "core/stereo/MpoWriter.h"

#include "core/bitmap/JpegSegments.h"
#include "core/tasks/BothCores.h"

#include <cstring>
#include <limits>
#include <new>

namespace korvex {

namespace {

constexpr std::uint32_t disparityType = 0x020002;
constexpr std::uint32_t representative = 0x20000000;

// A little-endian TIFF-structured block: an MP header and its directories.
class MpBlock {
public:
    MpBlock()
    {
        bytes_ = {'M', 'P', 'F', 0, 'I', 'I', 42, 0};
        put32(8);  // the first directory follows the header
    }
    void put16(std::uint16_t v) { bytes_.insert(bytes_.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
    void put32(std::uint32_t v)
    {
        put16(std::uint16_t(v));
        put16(std::uint16_t(v >> 16));
    }
    void entry(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value)
    {
        put16(tag);
        put16(type);
        put32(count);
        put32(value);
    }
    void versionEntry()
    {
        entry(0xB000, 7, 4, 0);
        std::memcpy(bytes_.data() + bytes_.size() - 4, "0100", 4);
    }
    // Offsets inside the block count from the byte-order mark, after "MPF\0".
    std::uint32_t offsetHere() const { return std::uint32_t(bytes_.size() - 4); }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

constexpr std::uint16_t longType = 4;
constexpr std::uint16_t undefinedType = 7;

// The MP attribute directory: version, individual number, base viewpoint.
void putAttributes(MpBlock& block, std::uint32_t individualNumber)
{
    block.put16(3);
    block.versionEntry();
    block.entry(0xB101, longType, 1, individualNumber);
    block.entry(0xB204, longType, 1, 1);
    block.put32(0);  // no next directory
}

// The first picture's block: the index directory, its two entries, then the attributes.
std::vector<std::uint8_t> indexBlock(std::uint32_t firstSize, std::uint32_t secondSize, std::uint32_t secondOffset)
{
    constexpr std::uint32_t indexEntries = 3;
    constexpr std::uint32_t entriesAt = 8 + 2 + indexEntries * 12 + 4;
    constexpr std::uint32_t attributesAt = entriesAt + 2 * 16;
    MpBlock block;
    block.put16(indexEntries);
    block.versionEntry();
    block.entry(0xB001, longType, 1, 2);
    block.entry(0xB002, undefinedType, 2 * 16, entriesAt);
    block.put32(attributesAt);
    block.put32(representative | disparityType);
    block.put32(firstSize);
    block.put32(0);  // the first picture starts the file
    block.put32(0);  // no dependent pictures
    block.put32(disparityType);
    block.put32(secondSize);
    block.put32(secondOffset);
    block.put32(0);
    putAttributes(block, 1);
    return std::move(block.bytes());
}

}  // namespace

std::vector<std::uint8_t> joinMultiPicturePair(std::span<const std::uint8_t> left, std::span<const std::uint8_t> right)
{
    MpBlock secondBlock;
    putAttributes(secondBlock, 2);
    std::vector<std::uint8_t> second = withJpegSegment(right, 0xE2, secondBlock.bytes());

    // The index's size does not depend on its values: place it once with
    // zeros to learn where everything lands, then with the real values.
    std::vector<std::uint8_t> first = withJpegSegment(left, 0xE2, indexBlock(0, 0, 0));
    if (first.empty() || second.empty())
        return {};
    const auto segment = findJpegSegment(first, 0xE2, std::string_view("MPF\0", 4));
    if (!segment)
        return {};
    const std::size_t headerAt = segment->payloadOffset + 4;
    constexpr std::size_t maxSize = std::numeric_limits<std::uint32_t>::max();
    if (first.size() > maxSize || second.size() > maxSize || first.size() - headerAt > maxSize)
        return {};
    first = withJpegSegment(left, 0xE2,
                            indexBlock(std::uint32_t(first.size()), std::uint32_t(second.size()),
                                       std::uint32_t(first.size() - headerAt)));

    first.insert(first.end(), second.begin(), second.end());
    return first;
}

EncodeResult encodeMultiPicture(const AlignedPair& pair, const EncodeProperties& jpeg)
{
    EncodeResult eyes[2];
    runOnBothCores(
        [&] {
            const auto picture = pair.eyePicture(Eye::Left);
            eyes[0] = picture ? representationUsingType(*picture, FileType::JPEG, jpeg)
                              : EncodeResult{{}, "not enough memory for the left eye's picture"};
        },
        [&] {
            const auto picture = pair.eyePicture(Eye::Right);
            eyes[1] = picture ? representationUsingType(*picture, FileType::JPEG, jpeg)
                              : EncodeResult{{}, "not enough memory for the right eye's picture"};
        });
    for (EncodeResult& eye : eyes)
        if (!eye)
            return std::move(eye);
    try {
        EncodeResult result;
        result.data = joinMultiPicturePair(eyes[0].data, eyes[1].data);
        if (result.data.empty())
            result.error = "the two pictures are too large for one MPO file";
        return result;
    } catch (const std::bad_alloc&) {
        return EncodeResult{{}, "not enough memory to write the MPO file"};
    }
}

}  // namespace korvex
