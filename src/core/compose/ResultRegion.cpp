#include "core/compose/ResultRegion.h"

#include "core/compose/RegionSampling.h"
#include "core/stereo/StereoFrame.h"
#include "core/tasks/BothCores.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// One picture's part of the overlap read at `inOverlap` (output pixels to the
// overlap's pixel-centre coordinates), `step` overlap pixels apart, into `slot`.
bool readEye(bool left, const RegionSources& sources, const OverlapGeometry& geometry, const PixelMap& inOverlap,
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

bool fitsIn(const ResultRegion& r, int wide, int high)
{
    return r.x >= 0 && r.y >= 0 && r.width > 0 && r.height > 0 && r.outWide >= 1 && r.outHigh >= 1
           && r.x + r.width <= wide && r.y + r.height <= high;
}

}  // namespace

bool ResultRegion::isWholeScale() const
{
    return x == std::floor(x) && y == std::floor(y) && width == outWide && height == outHigh;
}

std::unique_ptr<Bitmap> composeResultRegion(const AnaglyphComposer& composer, const RegionSources& sources,
                                            const OverlapGeometry& geometry, const ResultRegion& region, RegionScratch* scratch)
{
    const ResultRegion& r = region;
    if (!sources.left || !sources.right || !fitsIn(r, geometry.pixelsWide(), geometry.pixelsHigh()))
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
    if (!readEye(true, sources, geometry, inResult, step, r.outWide, r.outHigh, reads.left)
        || !readEye(false, sources, geometry, inResult, step, r.outWide, r.outHigh, reads.right))
        return nullptr;
    OverlapGeometry whole;
    whole.W = r.outWide;
    whole.H = r.outHigh;
    composer.composeOnPath(AnaglyphComposer::pathFor(*sources.left, *sources.right), *reads.left, *reads.right, whole, *result);
    return result;
}

bool framesRegions(StereoFormat format)
{
    return format == StereoFormat::SideBySide || format == StereoFormat::CrossEyed || format == StereoFormat::OverUnder;
}

std::unique_ptr<Bitmap> composeFrameRegion(StereoFormat format, int gap, const RegionSources& sources,
                                           const OverlapGeometry& geometry, const ResultRegion& region, RegionScratch* scratch)
{
    const int w = geometry.pixelsWide();
    const int h = geometry.pixelsHigh();
    const StereoFrameSize frame = stereoFrameSize(format, w, h, gap);
    const ResultRegion& r = region;
    if (!framesRegions(format) || !frame || !geometry.overlaps() || !sources.left || !sources.right
        || !fitsIn(r, frame.width, frame.height))
        return nullptr;
    // Where each eye's part of the overlap lies in the frame.
    struct Tile {
        bool left;
        int x, y;
    };
    const Tile beside[2] = {{true, 0, 0}, {false, w + gap, 0}};
    const Tile crossed[2] = {{false, 0, 0}, {true, w + gap, 0}};
    const Tile stacked[2] = {{true, 0, 0}, {false, 0, h + gap}};
    const Tile* tiles = format == StereoFormat::SideBySide ? beside : format == StereoFormat::CrossEyed ? crossed : stacked;

    auto result = Bitmap::createRGBCanvas(r.outWide, r.outHigh, scratch ? std::move(scratch->spare) : nullptr);
    if (!result)
        return nullptr;
    std::memset(result->bitmapData(), 0xFF, result->totalBytes());  // the gap and what no eye covers
    const double stepX = r.width / r.outWide;
    const double stepY = r.height / r.outHigh;
    RegionScratch own;
    RegionScratch& reads = scratch ? *scratch : own;
    // Each eye read at the output pixels whose centres fall on its pixels.
    struct Span {
        int begin = 0, end = 0;
    };
    Span across[2], down[2];
    const auto centred = [](double from, double step) { return int(std::ceil(from / step - 0.5)); };
    for (int t = 0; t < 2; ++t) {
        const Tile& tile = tiles[t];
        across[t] = {std::max(0, centred(tile.x - r.x, stepX)), std::min(r.outWide, centred(tile.x + w - r.x, stepX))};
        down[t] = {std::max(0, centred(tile.y - r.y, stepY)), std::min(r.outHigh, centred(tile.y + h - r.y, stepY))};
        const int i0 = across[t].begin, i1 = across[t].end, j0 = down[t].begin, j1 = down[t].end;
        if (i1 <= i0 || j1 <= j0)
            continue;
        const PixelMap inOverlap{r.x + (i0 + 0.5) * stepX - 0.5 - tile.x, stepX, 0, r.y + (j0 + 0.5) * stepY - 0.5 - tile.y,
                                 0, stepY};
        std::unique_ptr<Bitmap>& read = tile.left ? reads.left : reads.right;
        if (!readEye(tile.left, sources, geometry, inOverlap, std::min(stepX, stepY), i1 - i0, j1 - j0, read))
            return nullptr;
        for (int j = j0; j < j1; ++j)
            std::memcpy(result->bitmapData() + result->bytesPerRow() * std::size_t(j) + std::size_t(i0) * 3,
                        read->bitmapData() + read->bytesPerRow() * std::size_t(j - j0), std::size_t(i1 - i0) * 3);
    }

    // An output pixel over an eye's edge mixes the eye and what lies beside it
    // (the gap's white or the other eye) by how much of it each covers, as the
    // view's reduction of the whole frame mixes them; each eye lends its
    // nearest pixel read.
    const auto covered = [](double from, double to, double begin, double end) {
        return std::max(0.0, std::min(to, end) - std::max(from, begin)) / (to - from);
    };
    const auto mixEdge = [&](int i, int j) {
        double sums[3] = {0, 0, 0}, coverage = 0;
        for (int t = 0; t < 2; ++t) {
            if (across[t].end <= across[t].begin || down[t].end <= down[t].begin)
                continue;
            const double c = covered(r.x + i * stepX, r.x + (i + 1) * stepX, tiles[t].x, tiles[t].x + w)
                             * covered(r.y + j * stepY, r.y + (j + 1) * stepY, tiles[t].y, tiles[t].y + h);
            if (c <= 0)
                continue;
            const Bitmap& read = *(tiles[t].left ? reads.left : reads.right);
            const int x = std::clamp(i, across[t].begin, across[t].end - 1) - across[t].begin;
            const int y = std::clamp(j, down[t].begin, down[t].end - 1) - down[t].begin;
            for (int ch = 0; ch < 3; ++ch)
                sums[ch] += c * read.bitmapData()[read.bytesPerRow() * std::size_t(y) + std::size_t(x) * 3 + ch];
            coverage += c;
        }
        std::uint8_t* out = result->bitmapData() + result->bytesPerRow() * std::size_t(j) + std::size_t(i) * 3;
        for (int ch = 0; ch < 3; ++ch)
            out[ch] = std::uint8_t(std::lround(std::clamp(sums[ch] + (1.0 - coverage) * 255.0, 0.0, 255.0)));
    };
    for (int t = 0; t < 2; ++t) {
        // The first and last columns and rows the eye reaches into.
        const int i0 = std::max(0, int(std::floor((tiles[t].x - r.x) / stepX)));
        const int i1 = std::min(r.outWide, int(std::ceil((tiles[t].x + w - r.x) / stepX)));
        const int j0 = std::max(0, int(std::floor((tiles[t].y - r.y) / stepY)));
        const int j1 = std::min(r.outHigh, int(std::ceil((tiles[t].y + h - r.y) / stepY)));
        if (i1 <= i0 || j1 <= j0)
            continue;
        for (int j = j0; j < j1; ++j) {
            mixEdge(i0, j);
            mixEdge(i1 - 1, j);
        }
        for (int i = i0; i < i1; ++i) {
            mixEdge(i, j0);
            mixEdge(i, j1 - 1);
        }
    }
    return result;
}

}  // namespace korvex
