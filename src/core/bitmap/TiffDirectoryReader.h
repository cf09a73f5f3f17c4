#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace korvex {

// Reads tags of one image file directory of a TIFF-structured block (as in
// EXIF and multi-picture headers). Every read is bounds-checked; offsets are
// from the start of the block (its byte-order mark).
class TiffDirectoryReader {
public:
    struct Entry {
        std::uint16_t tag = 0;
        std::uint16_t type = 0;
        std::uint32_t count = 0;
        std::uint32_t valueOrOffset = 0;  // the value itself when it fits in four bytes
        std::size_t valueFieldOffset = 0;
    };

    // Null when the block has no valid byte-order mark.
    static std::optional<TiffDirectoryReader> open(std::span<const std::uint8_t> block);

    std::uint32_t firstDirectoryOffset() const;
    // The entry for `tag` in the directory at `offset`, if present and sane.
    std::optional<Entry> find(std::uint32_t directoryOffset, std::uint16_t tag) const;
    // A SHORT value stored in the entry's value field.
    std::uint16_t shortValue(const Entry& entry) const;

    std::optional<std::uint16_t> read16(std::size_t offset) const;
    std::optional<std::uint32_t> read32(std::size_t offset) const;
    std::size_t size() const { return block_.size(); }

private:
    TiffDirectoryReader(std::span<const std::uint8_t> block, bool littleEndian)
        : block_(block), littleEndian_(littleEndian) {}

    std::span<const std::uint8_t> block_;
    bool littleEndian_;
};

}  // namespace korvex
