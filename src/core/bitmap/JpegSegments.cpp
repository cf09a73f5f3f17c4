#include "core/bitmap/JpegSegments.h"

#include <cstring>

namespace korvex {

bool isJpeg(std::span<const std::uint8_t> data)
{
    return data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

std::optional<JpegSegment> findJpegSegment(std::span<const std::uint8_t> jpeg, std::uint8_t marker,
                                           std::string_view signature)
{
    if (!isJpeg(jpeg))
        return std::nullopt;
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size()) {
        if (jpeg[pos] != 0xFF)
            return std::nullopt;
        const std::uint8_t m = jpeg[pos + 1];
        if (m == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        if (m == 0xDA || m == 0xD9)  // scan data or end: the header is over
            return std::nullopt;
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {  // markers without a length
            pos += 2;
            continue;
        }
        const std::size_t length = std::size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3];
        if (length < 2 || pos + 2 + length > jpeg.size())
            return std::nullopt;
        const std::span<const std::uint8_t> payload = jpeg.subspan(pos + 4, length - 2);
        if (m == marker && payload.size() >= signature.size()
            && std::memcmp(payload.data(), signature.data(), signature.size()) == 0)
            return JpegSegment{m, payload, pos + 4};
        pos += 2 + length;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> withJpegSegment(std::span<const std::uint8_t> jpeg, std::uint8_t marker,
                                          std::span<const std::uint8_t> payload)
{
    if (!isJpeg(jpeg) || payload.size() > 0xFFFF - 2)
        return {};
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && (jpeg[at + 1] == 0xE0 || jpeg[at + 1] == 0xE1)) {
        const std::size_t length = std::size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (length < 2 || at + 2 + length > jpeg.size())
            break;
        at += 2 + length;
    }
    const std::size_t length = payload.size() + 2;
    std::vector<std::uint8_t> out;
    out.reserve(jpeg.size() + 2 + length);
    out.insert(out.end(), jpeg.begin(), jpeg.begin() + std::ptrdiff_t(at));
    out.insert(out.end(), {0xFF, marker, std::uint8_t(length >> 8), std::uint8_t(length)});
    out.insert(out.end(), payload.begin(), payload.end());
    out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(at), jpeg.end());
    return out;
}

}  // namespace korvex
