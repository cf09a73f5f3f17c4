#include "core/bitmap/TiffDirectoryReader.h"

namespace korvex {

namespace {
// A directory longer than this is taken as damage, not data.
constexpr std::uint16_t maxEntries = 1000;
}

std::optional<TiffDirectoryReader> TiffDirectoryReader::open(std::span<const std::uint8_t> block)
{
    if (block.size() < 8)
        return std::nullopt;
    if (block[0] == 'I' && block[1] == 'I' && block[2] == 42 && block[3] == 0)
        return TiffDirectoryReader(block, true);
    if (block[0] == 'M' && block[1] == 'M' && block[2] == 0 && block[3] == 42)
        return TiffDirectoryReader(block, false);
    return std::nullopt;
}

std::optional<std::uint16_t> TiffDirectoryReader::read16(std::size_t offset) const
{
    if (offset > block_.size() || block_.size() - offset < 2)
        return std::nullopt;
    const std::uint8_t* p = block_.data() + offset;
    return littleEndian_ ? std::uint16_t(p[0] | p[1] << 8) : std::uint16_t(p[0] << 8 | p[1]);
}

std::optional<std::uint32_t> TiffDirectoryReader::read32(std::size_t offset) const
{
    if (offset > block_.size() || block_.size() - offset < 4)
        return std::nullopt;
    const std::uint8_t* p = block_.data() + offset;
    return littleEndian_ ? std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24
                         : std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}

std::uint32_t TiffDirectoryReader::firstDirectoryOffset() const
{
    return read32(4).value_or(0);
}

std::optional<TiffDirectoryReader::Entry> TiffDirectoryReader::find(std::uint32_t directoryOffset, std::uint16_t tag) const
{
    const auto count = read16(directoryOffset);
    if (!count || *count > maxEntries)
        return std::nullopt;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t at = std::size_t(directoryOffset) + 2 + i * 12;
        const auto entryTag = read16(at);
        const auto type = read16(at + 2);
        const auto n = read32(at + 4);
        const auto value = read32(at + 8);
        if (!entryTag || !type || !n || !value)
            return std::nullopt;
        if (*entryTag == tag)
            return Entry{*entryTag, *type, *n, *value, at + 8};
    }
    return std::nullopt;
}

std::uint16_t TiffDirectoryReader::shortValue(const Entry& entry) const
{
    return read16(entry.valueFieldOffset).value_or(0);
}

}  // namespace korvex
