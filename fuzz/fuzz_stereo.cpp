// Any bytes through the stereo split: every layout a file name can select and
// both eyes, then an EXIF orientation (the file's own when it has one)
// applied to each share.
#include "core/bitmap/ExifOrientation.h"
#include "core/imageview/PictureStore.h"
#include "core/imageview/StereoFile.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

// Turning pictures round costs time in proportion to their size and finds
// nothing new beyond a few thousand pixels.
constexpr std::uint64_t maxPixelsToTurn = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korvex;
    const std::span<const std::uint8_t> bytes(data, size);
    const int exif = exifOrientation(bytes);
    if (exif < 1 || exif > 8)
        __builtin_trap();
    // Most inputs carry no EXIF block; let their length pick a turn so that
    // every orientation meets every share layout.
    const int orientation = exif != 1 ? exif : 1 + int(size % 8);

    for (const StereoLayout layout : {StereoLayout::None, StereoLayout::SideBySide, StereoLayout::RowInterleaved,
                                      StereoLayout::MultiPicture}) {
        for (const int role : {int(LeftRole), int(RightRole)}) {
            DecodeResult share = loadStereoShare(bytes, layout, role);
            if (!share) {
                if (share.error.empty())
                    __builtin_trap();
                continue;
            }
            if (share.bitmap->pixelsWide() < 1 || share.bitmap->pixelsHigh() < 1)
                __builtin_trap();
            if (std::uint64_t(share.bitmap->pixelsWide()) * std::uint64_t(share.bitmap->pixelsHigh()) > maxPixelsToTurn)
                continue;
            const int wide = share.bitmap->pixelsWide();
            const int high = share.bitmap->pixelsHigh();
            if (orientUpright(share.bitmap, orientation)) {
                // Orientations 5 to 8 swap width and height; the others keep them.
                const bool swaps = orientation >= 5;
                if (share.bitmap->pixelsWide() != (swaps ? high : wide)
                    || share.bitmap->pixelsHigh() != (swaps ? wide : high))
                    __builtin_trap();
            }
        }
    }
    return 0;
}
