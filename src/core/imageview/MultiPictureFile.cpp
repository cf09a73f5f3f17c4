#include "core/imageview/MultiPictureFile.h"

#include "core/bitmap/JpegSegments.h"
#include "core/bitmap/TiffDirectoryReader.h"

#include <optional>

namespace korvex {

namespace {

constexpr std::uint16_t numberOfImagesTag = 0xB001;
constexpr std::uint16_t mpEntryTag = 0xB002;
constexpr std::uint32_t maxImages = 256;  // cameras write 2 to a handful
constexpr std::uint32_t typeMask = 0x00FFFFFF;
constexpr std::uint32_t baselinePrimary = 0x030000;
constexpr std::uint32_t disparity = 0x020002;

struct Entry {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::uint32_t offset = 0;
};

}  // namespace

MultiPictureIndex readMultiPictureIndex(std::span<const std::uint8_t> file)
{
    MultiPictureIndex index;
    index.first = file;
    const auto app2 = findJpegSegment(file, 0xE2, std::string_view("MPF\0", 4));
    if (!app2)
        return index;  // no index: an ordinary JPEG, its first picture is the file

    const auto mp = TiffDirectoryReader::open(app2->payload.subspan(4));
    if (!mp) {
        index.error = "damaged multi-picture index: no valid byte order";
        return index;
    }
    // Picture offsets count from the MP header's byte-order mark.
    const std::size_t headerOffset = app2->payloadOffset + 4;
    const std::uint32_t directory = mp->firstDirectoryOffset();

    const auto countEntry = mp->find(directory, numberOfImagesTag);
    const auto entriesEntry = mp->find(directory, mpEntryTag);
    if (!countEntry || !entriesEntry) {
        index.error = "damaged multi-picture index: missing picture count or entries";
        return index;
    }
    const std::uint32_t count = countEntry->valueOrOffset;
    if (count < 1 || count > maxImages || entriesEntry->count != count * 16) {
        index.error = "damaged multi-picture index: absurd picture count " + std::to_string(count);
        return index;
    }

    auto readEntry = [&](std::uint32_t i) -> std::optional<Entry> {
        const std::size_t at = std::size_t(entriesEntry->valueOrOffset) + std::size_t(i) * 16;
        const auto attribute = mp->read32(at);
        const auto size = mp->read32(at + 4);
        const auto offset = mp->read32(at + 8);
        if (!attribute || !size || !offset)
            return std::nullopt;
        return Entry{*attribute & typeMask, *size, *offset};
    };
    const std::optional<Entry> firstEntry = readEntry(0);
    if (!firstEntry) {
        index.error = "damaged multi-picture index: entries lie outside the index";
        return index;
    }

    // The first picture starts the file; every other one is placed by its
    // offset and must start like a JPEG, or the index is what is wrong.
    auto locate = [&](const Entry& e, bool isFirst, std::span<const std::uint8_t>& out) {
        const std::uint64_t start = isFirst ? 0 : std::uint64_t(headerOffset) + e.offset;
        if ((!isFirst && e.offset == 0) || e.size == 0 || start >= file.size() || e.size > file.size() - start)
            return false;
        out = file.subspan(std::size_t(start), e.size);
        return true;
    };
    if (!locate(*firstEntry, true, index.first)) {
        index.error = "damaged multi-picture index: the first picture lies outside the file";
        index.first = file;
        return index;
    }
    if (firstEntry->type != disparity && firstEntry->type != baselinePrimary)
        return index;

    // The other eye is the next disparity picture; thumbnails may come between.
    std::optional<Entry> secondEntry;
    for (std::uint32_t i = 1; i < count && !secondEntry; ++i) {
        const std::optional<Entry> e = readEntry(i);
        if (!e) {
            index.error = "damaged multi-picture index: entries lie outside the index";
            return index;
        }
        if (e->type == disparity)
            secondEntry = e;
    }
    if (!secondEntry)
        return index;
    if (!locate(*secondEntry, false, index.second)) {
        index.error = "damaged multi-picture index: the second picture lies outside the file";
        return index;
    }
    // A second entry that points back into the first picture is a loop, not a picture.
    if (index.second.data() < index.first.data() + index.first.size()) {
        index.error = "damaged multi-picture index: the second picture overlaps the first";
        return index;
    }
    if (!isJpeg(index.second)) {
        index.error = "damaged multi-picture index: the second picture's offset does not lead to a JPEG picture";
        return index;
    }
    index.isStereoPair = true;
    return index;
}

}  // namespace korvex
