#include "core/imageview/JpsDescriptor.h"

#include "core/bitmap/JpegSegments.h"

namespace korvex {

std::optional<JpsDescriptor> readJpsDescriptor(std::span<const std::uint8_t> jpeg)
{
    const auto app3 = findJpegSegment(jpeg, 0xE3, "_JPSJPS_");
    // Identifier, block length (2 bytes), then the 32-bit descriptor stored
    // most significant byte first: separation, flags, layout, media type.
    if (!app3 || app3->payload.size() < 8 + 2 + 4)
        return std::nullopt;
    const std::uint8_t* d = app3->payload.data() + 10;
    const std::uint8_t flags = d[1];
    const std::uint8_t layout = d[2];
    const std::uint8_t mediaType = d[3];

    JpsDescriptor descriptor;
    descriptor.leftFirst = (flags & 0x04) != 0;
    if (mediaType == 0x00) {
        descriptor.layout = JpsDescriptor::Layout::Mono;
        return descriptor;
    }
    if (mediaType != 0x01)
        return descriptor;
    switch (layout) {
    case 0x01: descriptor.layout = JpsDescriptor::Layout::Interleaved; break;
    case 0x02: descriptor.layout = JpsDescriptor::Layout::SideBySide; break;
    case 0x03: descriptor.layout = JpsDescriptor::Layout::OverUnder; break;
    case 0x04: descriptor.layout = JpsDescriptor::Layout::Anaglyph; break;
    default: break;
    }
    return descriptor;
}

}  // namespace korvex
