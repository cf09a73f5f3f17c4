#pragma once

// Builds JPEG header segments for tests: EXIF orientation, JPS descriptors and
// multi-picture indexes, inserted into streams our encoder made.

#include <cstdint>
#include <string_view>
#include <vector>

namespace korvex::testing {

inline std::vector<std::uint8_t> segment(std::uint8_t marker, std::string_view signature, const std::vector<std::uint8_t>& body)
{
    const std::size_t length = 2 + signature.size() + body.size();
    std::vector<std::uint8_t> s = {0xFF, marker, std::uint8_t(length >> 8), std::uint8_t(length)};
    for (char c : signature)
        s.push_back(std::uint8_t(c));
    s.insert(s.end(), body.begin(), body.end());
    return s;
}

// Puts a segment right after the start-of-image marker.
inline std::vector<std::uint8_t> withSegment(std::vector<std::uint8_t> jpeg, const std::vector<std::uint8_t>& seg)
{
    jpeg.insert(jpeg.begin() + 2, seg.begin(), seg.end());
    return jpeg;
}

inline void put16(std::vector<std::uint8_t>& v, std::uint16_t x, bool little)
{
    if (little) { v.push_back(std::uint8_t(x)); v.push_back(std::uint8_t(x >> 8)); }
    else { v.push_back(std::uint8_t(x >> 8)); v.push_back(std::uint8_t(x)); }
}

inline void put32(std::vector<std::uint8_t>& v, std::uint32_t x, bool little)
{
    if (little) { put16(v, std::uint16_t(x), true); put16(v, std::uint16_t(x >> 16), true); }
    else { put16(v, std::uint16_t(x >> 16), false); put16(v, std::uint16_t(x), false); }
}

inline std::vector<std::uint8_t> exifOrientationSegment(std::uint16_t orientation, bool little = false)
{
    std::vector<std::uint8_t> tiff = little ? std::vector<std::uint8_t>{'I', 'I', 42, 0} : std::vector<std::uint8_t>{'M', 'M', 0, 42};
    put32(tiff, 8, little);
    put16(tiff, 1, little);  // one entry
    put16(tiff, 0x0112, little);
    put16(tiff, 3, little);  // SHORT
    put32(tiff, 1, little);
    put16(tiff, orientation, little);
    put16(tiff, 0, little);
    put32(tiff, 0, little);  // no next directory
    return segment(0xE1, std::string_view("Exif\0\0", 6), tiff);
}

inline std::vector<std::uint8_t> jpsSegment(std::uint8_t flags, std::uint8_t layout, std::uint8_t mediaType = 1)
{
    return segment(0xE3, "_JPSJPS_", {0, 4, 0, flags, layout, mediaType});
}

// An MPO file: `first` gets an MP index naming itself and `second`, which follows it.
inline std::vector<std::uint8_t> multiPictureFile(const std::vector<std::uint8_t>& first, const std::vector<std::uint8_t>& second,
                                                  std::uint32_t firstType, std::uint32_t secondType,
                                                  std::uint32_t count = 2, std::int64_t secondOffsetShift = 0)
{
    const bool little = true;
    std::vector<std::uint8_t> mp = {'I', 'I', 42, 0};
    put32(mp, 8, little);
    const std::uint32_t entriesOffset = 8 + 2 + 2 * 12 + 4;
    put16(mp, 2, little);
    put16(mp, 0xB001, little); put16(mp, 4, little); put32(mp, 1, little); put32(mp, count, little);
    put16(mp, 0xB002, little); put16(mp, 7, little); put32(mp, count * 16, little); put32(mp, entriesOffset, little);
    put32(mp, 0, little);
    const std::size_t segmentBytes = 4 + 4 + mp.size() + 32;  // marker, length, "MPF\0", header, two entries
    const std::uint32_t firstSize = std::uint32_t(first.size() + segmentBytes);
    const std::size_t headerOffset = 2 + 4 + 4;  // SOI, marker and length, "MPF\0"
    const std::uint32_t secondOffset = std::uint32_t(std::int64_t(firstSize - headerOffset) + secondOffsetShift);
    put32(mp, firstType | 0x20000000u, little); put32(mp, firstSize, little); put32(mp, 0, little); put32(mp, 0, little);
    put32(mp, secondType, little); put32(mp, std::uint32_t(second.size()), little); put32(mp, secondOffset, little); put32(mp, 0, little);
    std::vector<std::uint8_t> file = withSegment(first, segment(0xE2, std::string_view("MPF\0", 4), mp));
    file.insert(file.end(), second.begin(), second.end());
    return file;
}

}  // namespace korvex::testing
