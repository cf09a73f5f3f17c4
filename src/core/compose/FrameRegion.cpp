#include "core/compose/FrameRegion.h"

#include "core/stereo/Squeeze.h"
#include "core/stereo/StereoFrame.h"
#include "core/tasks/BothCores.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace korvex {

namespace {

// Where one eye's part of the overlap lies in the frame, and how many of its
// pixels one frame pixel stands for on each axis (more than one along a half
// format's squeeze).
struct Tile {
    bool left;
    int x, y, wide, high;
    double squeezeX = 1.0, squeezeY = 1.0;

    bool squeezed() const { return squeezeX != 1.0 || squeezeY != 1.0; }
};

std::array<Tile, 2> tilesOf(StereoFormat format, int w, int h, int gap)
{
    // As fillStereoFrame lays them out: the half formats' left eye takes the
    // first floor(size / 2) columns or rows and the right eye the last.
    switch (format) {
    case StereoFormat::SideBySide: return {{{true, 0, 0, w, h}, {false, w + gap, 0, w, h}}};
    case StereoFormat::CrossEyed: return {{{false, 0, 0, w, h}, {true, w + gap, 0, w, h}}};
    case StereoFormat::OverUnder: return {{{true, 0, 0, w, h}, {false, 0, h + gap, w, h}}};
    case StereoFormat::HalfSideBySide: {
        const int half = w / 2;
        const double s = double(w) / half;
        return {{{true, 0, 0, half, h, s, 1.0}, {false, w - half, 0, half, h, s, 1.0}}};
    }
    default: {
        const int half = h / 2;
        const double s = double(h) / half;
        return {{{true, 0, 0, w, half, 1.0, s}, {false, 0, h - half, w, half, 1.0, s}}};
    }
    }
}

std::uint8_t* rowOf(Bitmap& b, int y)
{
    return b.bitmapData() + b.bytesPerRow() * std::size_t(y);
}

bool fitSlot(std::unique_ptr<Bitmap>& slot, int wide, int high)
{
    if (!slot || slot->pixelsWide() != wide || slot->pixelsHigh() != high)
        slot = Bitmap::createRGBCanvas(wide, high);
    return bool(slot);
}

// The tile's pixels from (x, y) on, wide x high, at whole scale as the frame
// has them: the eye's pixels under those outputs' taps only, read as any
// region reads them, then squeezed by the frame's own weights.
bool squeezeTile(const Tile& tile, int x, int y, int wide, int high, const RegionSources& sources,
                 const OverlapGeometry& geometry, RegionScratch& reads, std::unique_ptr<Bitmap>& slot)
{
    if (!fitSlot(slot, wide, high))
        return false;
    Bitmap& out = *slot;
    const long long work = (long long)wide * high * 6;
    if (tile.squeezeX != 1.0) {
        const Squeeze squeeze(geometry.pixelsWide(), tile.wide, x, x + wide);
        const int from = squeeze.first(0), to = squeeze.last(wide - 1) + 1;
        if (!readEyeRegion(tile.left, sources, geometry, {double(from), 1, 0, double(y), 0, 1}, 1.0, to - from, high,
                           reads.unsqueezed))
            return false;
        const Bitmap& eye = *reads.unsqueezed;
        splitRowsOnBothCores(high, work, [&](int begin, int end) {
            for (int j = begin; j < end; ++j)
                squeeze.squeezeRow(eye.bitmapData() + eye.bytesPerRow() * std::size_t(j), rowOf(out, j), from);
        });
        return true;
    }
    const Squeeze squeeze(geometry.pixelsHigh(), tile.high, y, y + high);
    const int from = squeeze.first(0), to = squeeze.last(high - 1) + 1;
    if (!readEyeRegion(tile.left, sources, geometry, {double(x), 1, 0, double(from), 0, 1}, 1.0, wide, to - from,
                       reads.unsqueezed))
        return false;
    const Bitmap& eye = *reads.unsqueezed;
    const std::size_t bytes = std::size_t(wide) * 3;
    splitRowsOnBothCores(high, work, [&](int begin, int end) {
        std::vector<std::int32_t> sums(bytes);
        std::vector<const std::uint8_t*> rows;
        for (int j = begin; j < end; ++j) {
            rows.clear();
            for (int k = squeeze.first(j); k <= squeeze.last(j); ++k)
                rows.push_back(eye.bitmapData() + eye.bytesPerRow() * std::size_t(k - from));
            squeeze.squeezeColumnsInto(j, rows.data(), bytes, sums.data(), rowOf(out, j));
        }
    });
    return true;
}

// A squeezed tile zoomed out: along the squeeze each output pixel covers
// twice the eye's pixels it covers across, so it is the mean of two reads
// half its width apart, each at about the step across, from the reduced copy
// that suits that step. Where the step is a power of two the two reads fall
// on the copy's pixels and make the squeeze's box exactly.
bool readSqueezed(const Tile& tile, const PixelMap& inOverlap, int wide, int high, const RegionSources& sources,
                  const OverlapGeometry& geometry, RegionScratch& reads, std::unique_ptr<Bitmap>& slot)
{
    const bool across = tile.squeezeX != 1.0;
    PixelMap twice = inOverlap;
    if (across) {
        twice.x0 -= inOverlap.xi / 4;
        twice.xi /= 2;
    } else {
        twice.y0 -= inOverlap.yj / 4;
        twice.yj /= 2;
    }
    const int readWide = across ? 2 * wide : wide, readHigh = across ? high : 2 * high;
    if (!readEyeRegion(tile.left, sources, geometry, twice, std::min(twice.xi, twice.yj), readWide, readHigh,
                       reads.unsqueezed)
        || !fitSlot(slot, wide, high))
        return false;
    const Bitmap& pairs = *reads.unsqueezed;
    Bitmap& out = *slot;
    const std::size_t bytes = std::size_t(wide) * 3;
    for (int j = 0; j < high; ++j) {
        const std::uint8_t* a = pairs.bitmapData() + pairs.bytesPerRow() * std::size_t(across ? j : 2 * j);
        const std::uint8_t* b = across ? a + 3 : a + pairs.bytesPerRow();
        std::uint8_t* o = rowOf(out, j);
        const std::size_t stride = across ? 6 : 3;
        for (std::size_t n = 0, m = 0; n < bytes; n += 3, m += stride)
            for (int c = 0; c < 3; ++c)
                o[n + c] = std::uint8_t((a[m + c] + b[m + c] + 1) / 2);
    }
    // Where the squeeze repeats the overlap's edge pixel, a read a quarter
    // pixel beyond it could leave the picture, which reads black: an end
    // pixel whose reads reach past the overlap is read once, at its centre.
    const double from = across ? inOverlap.x0 : inOverlap.y0, step = across ? inOverlap.xi : inOverlap.yj;
    const double end = (across ? geometry.pixelsWide() : geometry.pixelsHigh()) - 0.5;
    const int count = across ? wide : high;
    std::unique_ptr<Bitmap> single;
    for (const int i : {0, count - 1}) {
        const double centre = from + i * step;
        if (centre - step / 4 >= -0.5 && centre + step / 4 <= end)
            continue;
        PixelMap once = inOverlap;
        (across ? once.x0 : once.y0) = centre;
        if (!readEyeRegion(tile.left, sources, geometry, once, std::min(twice.xi, twice.yj), across ? 1 : wide,
                           across ? high : 1, single))
            return false;
        for (int j = 0; j < (across ? high : 1); ++j)
            std::memcpy(rowOf(out, across ? j : i) + std::size_t(across ? i : 0) * 3, rowOf(*single, j),
                        across ? 3 : bytes);
    }
    return true;
}

// The share of the rows from a to b (frame rows, fractions allowed) that even rows cover.
double evenShare(double a, double b)
{
    const auto evenBelow = [](double t) {
        const double pairs = std::floor(t / 2);
        return pairs + std::min(t - 2 * pairs, 1.0);
    };
    return (evenBelow(b) - evenBelow(a)) / (b - a);
}

std::unique_ptr<Bitmap> composeInterleavedRegion(const RegionSources& sources, const OverlapGeometry& geometry,
                                                 const ResultRegion& r, RegionScratch& reads,
                                                 std::unique_ptr<Bitmap> result)
{
    if (r.isWholeScale()) {
        // Each eye's rows of the region only, every other one.
        const int top = int(r.y), bottom = int(r.y) + r.outHigh;
        for (const bool left : {true, false}) {
            const int first = top + (top % 2 == (left ? 0 : 1) ? 0 : 1);
            const int rows = (bottom - first + 1) / 2;
            if (rows <= 0)
                continue;
            std::unique_ptr<Bitmap>& read = left ? reads.left : reads.right;
            if (!readEyeRegion(left, sources, geometry, {r.x, 1, 0, double(first), 0, 2}, 1.0, r.outWide, rows, read))
                return nullptr;
            for (int k = 0; k < rows; ++k)
                std::memcpy(rowOf(*result, first - top + 2 * k), rowOf(*read, k), std::size_t(r.outWide) * 3);
        }
        return result;
    }
    const double stepX = r.width / r.outWide;
    const double stepY = r.height / r.outHigh;
    // From 1/2 down the view shows the frame's halved copies, whose rows each
    // hold an even row of the frame and the odd one below it: the left eye's
    // rows lie half a row above the pixel's centre, the right eye's half a row below.
    const bool halved = stepY >= 2.0 - 1e-9;
    const double apart = halved ? 0.5 : 0.0;
    const PixelMap inOverlap{r.x + 0.5 * stepX - 0.5, stepX, 0, r.y + 0.5 * stepY - 0.5, 0, stepY};
    PixelMap above = inOverlap, below = inOverlap;
    above.y0 -= apart;
    below.y0 += apart;
    const double step = std::min(stepX, stepY);
    if (!readEyeRegion(true, sources, geometry, above, step, r.outWide, r.outHigh, reads.left)
        || !readEyeRegion(false, sources, geometry, below, step, r.outWide, r.outHigh, reads.right))
        return nullptr;
    if (halved) {
        // Half a row below the last centre can pass the end of a reduced copy
        // that dropped the picture's trailing odd row: that row is read at its centre.
        PixelMap last = inOverlap;
        last.y0 += (r.outHigh - 1) * stepY;
        if (!readEyeRegion(false, sources, geometry, last, step, r.outWide, 1, reads.unsqueezed))
            return nullptr;
        std::memcpy(rowOf(*reads.right, r.outHigh - 1), rowOf(*reads.unsqueezed, 0), std::size_t(r.outWide) * 3);
    }
    const std::size_t bytes = std::size_t(r.outWide) * 3;
    for (int j = 0; j < r.outHigh; ++j) {
        const double share = halved ? 0.5 : evenShare(r.y + j * stepY, r.y + (j + 1) * stepY);
        const int leftWeight = int(std::lround(share * 256));
        const std::uint8_t* a = rowOf(*reads.left, j);
        const std::uint8_t* b = rowOf(*reads.right, j);
        std::uint8_t* out = rowOf(*result, j);
        for (std::size_t n = 0; n < bytes; ++n)
            out[n] = std::uint8_t((a[n] * leftWeight + b[n] * (256 - leftWeight) + 128) >> 8);
    }
    return result;
}

}  // namespace

bool framesRegions(StereoFormat format)
{
    return format != StereoFormat::Anaglyph && stereoFormatInfo(format).isFrame;
}

std::unique_ptr<Bitmap> composeFrameRegion(StereoFormat format, int gap, const RegionSources& sources,
                                           const OverlapGeometry& geometry, const ResultRegion& region, RegionScratch* scratch)
{
    const int w = geometry.pixelsWide();
    const int h = geometry.pixelsHigh();
    const StereoFrameSize frame = stereoFrameSize(format, w, h, gap);
    const ResultRegion& r = region;
    if (!framesRegions(format) || !frame || !geometry.overlaps() || !sources.left || !sources.right
        || !r.fitsIn(frame.width, frame.height))
        return nullptr;
    auto result = Bitmap::createRGBCanvas(r.outWide, r.outHigh, scratch ? std::move(scratch->spare) : nullptr);
    if (!result)
        return nullptr;
    RegionScratch own;
    RegionScratch& reads = scratch ? *scratch : own;
    if (format == StereoFormat::InterleavedRows)
        return composeInterleavedRegion(sources, geometry, r, reads, std::move(result));

    const std::array<Tile, 2> tiles = tilesOf(format, w, h, gap);
    std::memset(result->bitmapData(), 0xFF, result->totalBytes());  // the gap and what no eye covers
    const double stepX = r.width / r.outWide;
    const double stepY = r.height / r.outHigh;
    // Each eye read at the output pixels whose centres fall on its pixels.
    struct Span {
        int begin = 0, end = 0;
    };
    Span across[2], down[2];
    const auto centred = [](double from, double step) { return int(std::ceil(from / step - 0.5)); };
    for (int t = 0; t < 2; ++t) {
        const Tile& tile = tiles[t];
        across[t] = {std::max(0, centred(tile.x - r.x, stepX)), std::min(r.outWide, centred(tile.x + tile.wide - r.x, stepX))};
        down[t] = {std::max(0, centred(tile.y - r.y, stepY)), std::min(r.outHigh, centred(tile.y + tile.high - r.y, stepY))};
        const int i0 = across[t].begin, i1 = across[t].end, j0 = down[t].begin, j1 = down[t].end;
        if (i1 <= i0 || j1 <= j0)
            continue;
        std::unique_ptr<Bitmap>& read = tile.left ? reads.left : reads.right;
        if (r.isWholeScale() && tile.squeezed()) {
            if (!squeezeTile(tile, int(r.x) + i0 - tile.x, int(r.y) + j0 - tile.y, i1 - i0, j1 - j0, sources, geometry,
                             reads, read))
                return nullptr;
        } else {
            // Frame pixel centres to the overlap's pixel-centre coordinates.
            const double sx = tile.squeezeX, sy = tile.squeezeY;
            const PixelMap inOverlap{(r.x + (i0 + 0.5) * stepX - tile.x) * sx - 0.5, stepX * sx, 0,
                                     (r.y + (j0 + 0.5) * stepY - tile.y) * sy - 0.5, 0, stepY * sy};
            if (!(tile.squeezed() ? readSqueezed(tile, inOverlap, i1 - i0, j1 - j0, sources, geometry, reads, read)
                                  : readEyeRegion(tile.left, sources, geometry, inOverlap, std::min(stepX, stepY),
                                                  i1 - i0, j1 - j0, read)))
                return nullptr;
        }
        for (int j = j0; j < j1; ++j)
            std::memcpy(rowOf(*result, j) + std::size_t(i0) * 3, rowOf(*read, j - j0), std::size_t(i1 - i0) * 3);
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
            const Tile& tile = tiles[t];
            const double c = covered(r.x + i * stepX, r.x + (i + 1) * stepX, tile.x, tile.x + tile.wide)
                             * covered(r.y + j * stepY, r.y + (j + 1) * stepY, tile.y, tile.y + tile.high);
            if (c <= 0)
                continue;
            const Bitmap& read = *(tile.left ? reads.left : reads.right);
            const int x = std::clamp(i, across[t].begin, across[t].end - 1) - across[t].begin;
            const int y = std::clamp(j, down[t].begin, down[t].end - 1) - down[t].begin;
            for (int ch = 0; ch < 3; ++ch)
                sums[ch] += c * read.bitmapData()[read.bytesPerRow() * std::size_t(y) + std::size_t(x) * 3 + ch];
            coverage += c;
        }
        std::uint8_t* out = rowOf(*result, j) + std::size_t(i) * 3;
        for (int ch = 0; ch < 3; ++ch)
            out[ch] = std::uint8_t(std::lround(std::clamp(sums[ch] + (1.0 - coverage) * 255.0, 0.0, 255.0)));
    };
    for (const Tile& tile : tiles) {
        // The first and last columns and rows the eye reaches into.
        const int i0 = std::max(0, int(std::floor((tile.x - r.x) / stepX)));
        const int i1 = std::min(r.outWide, int(std::ceil((tile.x + tile.wide - r.x) / stepX)));
        const int j0 = std::max(0, int(std::floor((tile.y - r.y) / stepY)));
        const int j1 = std::min(r.outHigh, int(std::ceil((tile.y + tile.high - r.y) / stepY)));
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
