#include "core/compose/ResultComposition.h"

#include "core/align/RightPictureResampler.h"
#include "core/compose/ResultRegion.h"
#include "core/stereo/AlignedPair.h"
#include "core/stereo/StereoFrame.h"

#include <algorithm>
#include <cstring>

namespace korvex {

namespace {

// Stopped early: the picture, if any, is unfinished, kept only for its
// memory; a corrected right picture already made is still good for the next
// composition.
ComposedResult stoppedResult(std::unique_ptr<Bitmap> picture, std::shared_ptr<const Bitmap> correctedRight = {})
{
    ComposedResult r;
    r.stopped = true;
    r.picture = std::move(picture);
    r.correctedRight = std::move(correctedRight);
    return r;
}

// The anaglyph in bands of rows, each exactly those rows of the whole, so
// that a stop request is seen within one band.
bool composeAnaglyph(const CompositionInputs& in, const Bitmap& right, Bitmap& canvas, std::stop_token stop)
{
    const int w = canvas.pixelsWide();
    const int h = canvas.pixelsHigh();
    const RegionSources sources{in.left, nullptr, &right, nullptr, {}};
    const int bandRows = std::clamp(compositionBandPixels / std::max(w, 1), 1, compositionBandRows);
    RegionScratch scratch;  // one band's memory for the next
    for (int y = 0; y < h; y += bandRows) {
        if (stop.stop_requested())
            return false;
        const int rows = std::min(bandRows, h - y);
        if (rows == h) {  // one band: straight into the canvas
            in.composer.compose(*in.left, right, in.geometry, canvas);
            return true;
        }
        auto band = composeResultRegion(in.composer, sources, in.geometry, {double(0), double(y), double(w), double(rows), w, rows},
                                        &scratch);
        if (!band)
            return false;
        for (int row = 0; row < rows; ++row)
            std::memcpy(canvas.bitmapData() + canvas.bytesPerRow() * std::size_t(y + row),
                        band->bitmapData() + band->bytesPerRow() * std::size_t(row), std::size_t(w) * 3);
        scratch.spare = std::move(band);
    }
    return true;
}

}  // namespace

ComposedResult composeResultPicture(const CompositionInputs& in, std::stop_token stop, std::unique_ptr<Bitmap> recycled)
{
    ComposedResult out;
    if (!in.left || !in.right)
        return out;
    const OverlapGeometry& geometry = in.geometry;
    if (!geometry.overlaps())
        out.problem = "the pictures do not overlap with these pin points and offsets";
    const Bitmap* right = in.right;
    if (!in.correction.isIdentity()) {
        if (!in.correctedRight) {
            out.correctedRight = resampleRightPicture(*in.right, in.correction, stop);
            if (!out.correctedRight && stop.stop_requested())
                return stoppedResult(std::move(recycled));
            if (!out.correctedRight) {
                out.problem = "not enough memory for the corrected right picture";
                return out;
            }
        }
        right = in.correctedRight ? in.correctedRight.get() : out.correctedRight.get();
    }
    if (stop.stop_requested())
        return stoppedResult(std::move(recycled), std::move(out.correctedRight));
    if (in.format == StereoFormat::Anaglyph) {
        if (!geometry.overlaps())
            return out;
        out.picture = Bitmap::createRGBCanvas(geometry.pixelsWide(), geometry.pixelsHigh(), std::move(recycled));
        if (!out.picture)
            return out;
        if (!composeAnaglyph(in, *right, *out.picture, stop))
            return stoppedResult(std::move(out.picture), std::move(out.correctedRight));
        return out;
    }
    const StereoFrameSize size = stereoFrameSize(in.format, geometry.pixelsWide(), geometry.pixelsHigh(), in.gap);
    if (geometry.overlaps() && !size)
        out.problem = size.error;
    if (!out.problem.empty())
        return out;
    out.picture = Bitmap::createRGBCanvas(size.width, size.height, std::move(recycled));
    if (!out.picture)
        return out;
    const bool filled = fillStereoFrame(AlignedPair(*in.left, *right, geometry), in.format, in.gap, *out.picture, stop);
    if (stop.stop_requested())
        return stoppedResult(std::move(out.picture), std::move(out.correctedRight));
    if (!filled) {
        out.problem = "not enough memory for the " + std::string(stereoFormatInfo(in.format).code) + " picture";
        out.picture.reset();
    }
    return out;
}

}  // namespace korvex
