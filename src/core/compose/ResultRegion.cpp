#include "core/compose/ResultRegion.h"

#include "core/compose/RegionSampling.h"
#include "core/tasks/BothCores.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace korvex {

namespace {

AffineMatrix inverse(const AffineMatrix& a)
{
    const double det = a.m[0] * a.m[4] - a.m[1] * a.m[3];
    AffineMatrix inv;
    inv.m = {a.m[4] / det, -a.m[1] / det, 0, -a.m[3] / det, a.m[0] / det, 0};
    inv.m[2] = -(inv.m[0] * a.m[2] + inv.m[1] * a.m[5]);
    inv.m[5] = -(inv.m[3] * a.m[2] + inv.m[4] * a.m[5]);
    return inv;
}

// The finest copy whose pixels are not coarser than `step` picture pixels.
const Bitmap& levelFor(const Bitmap& picture, const ReducedCopies* reduced, double step, int& k)
{
    k = 0;
    if (!reduced)
        return picture;
    const int wanted = step > 1.0 ? int(std::floor(std::log2(step) + 1e-9)) : 0;
    k = std::min(wanted, reduced->levels());
    return k == 0 ? picture : reduced->level(k);
}

// The picture read at the map into `slot`, which is reused when it has the size.
bool sample(const Bitmap& picture, const ReducedCopies* reduced, const PixelMap& map, double step, int outWide,
            int outHigh, std::unique_ptr<Bitmap>& slot)
{
    if (!slot || slot->pixelsWide() != outWide || slot->pixelsHigh() != outHigh)
        slot = Bitmap::createRGBCanvas(outWide, outHigh);
    if (!slot)
        return false;
    int k = 0;
    const Bitmap& level = levelFor(picture, reduced, step, k);
    const PixelMap onLevel = map.onLevel(k);
    Bitmap& out = *slot;
    splitRowsOnBothCores(outHigh, (long long)outWide * outHigh,
                         [&](int begin, int end) { sampleBilinear(level, onLevel, out, begin, end); });
    return true;
}

bool correcting(const RegionSources& sources)
{
    return sources.rightCorrection && !sources.rightCorrection->isIdentity();
}

}  // namespace

bool readEyeRegion(bool left, const RegionSources& sources, const OverlapGeometry& geometry, const PixelMap& inOverlap,
                   double step, int outWide, int outHigh, std::unique_ptr<Bitmap>& slot)
{
    if (left)
        return sample(*sources.left, sources.leftReduced,
                      inOverlap.then(AffineMatrix{{1, 0, double(geometry.ul), 0, 1, double(geometry.vl)}}), step, outWide,
                      outHigh, slot);
    PixelMap inRight = inOverlap.then(AffineMatrix{{1, 0, double(geometry.ur), 0, 1, double(geometry.vr)}});
    double rightStep = step;
    if (correcting(sources)) {
        const Bitmap& original = *sources.right;
        const RightCorrection& c = *sources.rightCorrection;
        inRight = inRight.then(inverse(c.matrixFor(original.pixelsWide(), original.pixelsHigh())));
        rightStep /= c.scale;
    }
    return sample(*sources.right, sources.rightReduced, inRight, rightStep, outWide, outHigh, slot);
}

bool ResultRegion::isWholeScale() const
{
    return x == std::floor(x) && y == std::floor(y) && width == outWide && height == outHigh;
}

bool ResultRegion::fitsIn(int wide, int high) const
{
    return x >= 0 && y >= 0 && width > 0 && height > 0 && outWide >= 1 && outHigh >= 1 && x + width <= wide
           && y + height <= high;
}

std::unique_ptr<Bitmap> composeResultRegion(const AnaglyphComposer& composer, const RegionSources& sources,
                                            const OverlapGeometry& geometry, const ResultRegion& region, RegionScratch* scratch)
{
    const ResultRegion& r = region;
    if (!sources.left || !sources.right || !r.fitsIn(geometry.pixelsWide(), geometry.pixelsHigh()))
        return nullptr;
    auto result = Bitmap::createRGBCanvas(r.outWide, r.outHigh, scratch ? std::move(scratch->spare) : nullptr);
    if (!result)
        return nullptr;
    if (r.isWholeScale() && !correcting(sources)) {
        OverlapGeometry part = geometry;
        part.ul += std::int32_t(r.x);
        part.ur += std::int32_t(r.x);
        part.vl += std::int32_t(r.y);
        part.vr += std::int32_t(r.y);
        part.W = r.width;
        part.H = r.height;
        composer.compose(*sources.left, *sources.right, part, *result);
        return result;
    }

    const double stepX = r.width / r.outWide;
    const double stepY = r.height / r.outHigh;
    // Output pixel (i, j) is centred on result point x + (i + 0.5) stepX; its
    // pixel-centre coordinate is half a pixel less.
    const PixelMap inResult{r.x + 0.5 * stepX - 0.5, stepX, 0, r.y + 0.5 * stepY - 0.5, 0, stepY};
    const double step = std::min(stepX, stepY);
    RegionScratch own;
    RegionScratch& reads = scratch ? *scratch : own;
    if (!readEyeRegion(true, sources, geometry, inResult, step, r.outWide, r.outHigh, reads.left)
        || !readEyeRegion(false, sources, geometry, inResult, step, r.outWide, r.outHigh, reads.right))
        return nullptr;
    OverlapGeometry whole;
    whole.W = r.outWide;
    whole.H = r.outHigh;
    composer.composeOnPath(AnaglyphComposer::pathFor(*sources.left, *sources.right), *reads.left, *reads.right, whole, *result);
    return result;
}

}  // namespace korvex
