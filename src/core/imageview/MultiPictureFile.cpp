#include "core/imageview/MultiPictureFile.h"

#include "core/bitmap/JpegSegments.h"
#include "core/bitmap/TiffDirectoryReader.h"

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

    Entry entries[2];
    const std::uint32_t wanted = count < 2 ? count : 2;
    for (std::uint32_t i = 0; i < wanted; ++i) {
        const std::size_t at = std::size_t(entriesEntry->valueOrOffset) + std::size_t(i) * 16;
        const auto attribute = mp->read32(at);
        const auto size = mp->read32(at + 4);
        const auto offset = mp->read32(at + 8);
        if (!attribute || !size || !offset) {
            index.error = "damaged multi-picture index: entries lie outside the index";
            return index;
        }
        entries[i] = {*attribute & typeMask, *size, *offset};
    }

    // The first picture starts the file; every other one is placed by its offset.
    auto locate = [&](const Entry& e, bool isFirst, std::span<const std::uint8_t>& out) {
        const std::uint64_t start = isFirst ? 0 : std::uint64_t(headerOffset) + e.offset;
        if ((!isFirst && e.offset == 0) || e.size == 0 || start >= file.size() || e.size > file.size() - start)
            return false;
        out = file.subspan(std::size_t(start), e.size);
        return true;
    };
    if (!locate(entries[0], true, index.first)) {
        index.error = "damaged multi-picture index: the first picture lies outside the file";
        index.first = file;
        return index;
    }
    if (count < 2)
        return index;

    const bool pair = (entries[0].type == disparity || entries[0].type == baselinePrimary) && entries[1].type == disparity;
    if (!pair)
        return index;
    if (!locate(entries[1], false, index.second)) {
        index.error = "damaged multi-picture index: the second picture lies outside the file";
        return index;
    }
    // A second entry that points back into the first picture is a loop, not a picture.
    if (index.second.data() < index.first.data() + index.first.size()) {
        index.error = "damaged multi-picture index: the second picture overlaps the first";
        return index;
    }
    index.isStereoPair = true;
    return index;
}

}  // namespace korvex
