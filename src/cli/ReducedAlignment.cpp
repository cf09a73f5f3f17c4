#include "cli/ReducedAlignment.h"

#include "core/bitmap/ReducedJpeg.h"
#include "core/imageview/StereoFile.h"

namespace korvex {

std::optional<PairAlignment> alignOnReducedJpegs(const ComposeOptions& options)
{
    if (options.stereoFile || stereoLayoutForPath(options.left) != StereoLayout::None
        || stereoLayoutForPath(options.right) != StereoLayout::None)
        return std::nullopt;
    const ReducedJpeg left = ReducedJpeg::decode(options.left, PairAlignment::studiedSide);
    if (!left.bitmap || left.exifOrientation != 1)
        return std::nullopt;
    const ReducedJpeg right = ReducedJpeg::decode(options.right, PairAlignment::studiedSide);
    if (!right.bitmap || right.exifOrientation != 1)
        return std::nullopt;
    return PairAlignment::find(PairAlignment::Study{*left.bitmap, left.storedWide, left.storedHigh},
                               PairAlignment::Study{*right.bitmap, right.storedWide, right.storedHigh});
}

}  // namespace korvex
