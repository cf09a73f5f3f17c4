#include "core/compose/ResultRegion.h"

#include "core/tasks/BothCores.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace korvex {

namespace {

// An affine map from output pixel indices (i, j) to pixel-centre coordinates
// in one picture (whole numbers at pixel centres).
struct PixelMap {
    double x0 = 0, xi = 0, xj = 0;  // x = x0 + xi * i + xj * j
    double y0 = 0, yi = 0, yj = 0;

    // The same positions on a level whose pixels are 2^k of these.
    PixelMap onLevel(int k) const
    {
        const double s = std::ldexp(1.0, -k);
        return {(x0 + 0.5) * s - 0.5, xi * s, xj * s, (y0 + 0.5) * s - 0.5, yi * s, yj * s};
    }
    // This map followed by another.
    PixelMap then(const AffineMatrix& a) const
    {
        return {a.mapX(x0, y0), a.m[0] * xi + a.m[1] * yi, a.m[0] * xj + a.m[1] * yj,
                a.mapY(x0, y0), a.m[3] * xi + a.m[4] * yi, a.m[3] * xj + a.m[4] * yj};
    }
};

AffineMatrix inverse(const AffineMatrix& a)
{
    const double det = a.m[0] * a.m[4] - a.m[1] * a.m[3];
    AffineMatrix inv;
    inv.m = {a.m[4] / det, -a.m[1] / det, 0, -a.m[3] / det, a.m[0] / det, 0};
    inv.m[2] = -(inv.m[0] * a.m[2] + inv.m[1] * a.m[5]);
    inv.m[5] = -(inv.m[3] * a.m[2] + inv.m[4] * a.m[5]);
    return inv;
}

// The picture or reduced copy a sampling reads, as bytes when it can.
struct Plane {
    const Bitmap* bitmap = nullptr;
    bool bytes = false;
    int stride = 3;

    explicit Plane(const Bitmap& b)
        : bitmap(&b), bytes(AnaglyphComposer::qualifiesForBytePath(b)), stride(AnaglyphComposer::bytePathStride(b))
    {
    }

    void rgb(int x, int y, int out[3]) const
    {
        if (bytes) {
            const std::uint8_t* p = bitmap->bitmapData() + bitmap->bytesPerRow() * std::size_t(y) + std::size_t(x) * stride;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
            return;
        }
        const Color c = bitmap->colorAt(x, y);
        out[0] = int(std::lround(std::clamp(c.red, 0.0, 1.0) * 255.0));
        out[1] = int(std::lround(std::clamp(c.green, 0.0, 1.0) * 255.0));
        out[2] = int(std::lround(std::clamp(c.blue, 0.0, 1.0) * 255.0));
    }
};

// Bilinear reads at every output pixel's mapped centre. A centre outside the
// picture is black (as the corrected picture is there); taps beyond the edge
// of a centre inside repeat the edge.
void sampleRows(const Plane& plane, const PixelMap& map, Bitmap& out, int begin, int end)
{
    const int w = plane.bitmap->pixelsWide();
    const int h = plane.bitmap->pixelsHigh();
    const int outWide = out.pixelsWide();
    for (int j = begin; j < end; ++j) {
        std::uint8_t* d = out.bitmapData() + out.bytesPerRow() * std::size_t(j);
        double u = map.x0 + map.xj * j;
        double v = map.y0 + map.yj * j;
        for (int i = 0; i < outWide; ++i, u += map.xi, v += map.yi, d += 3) {
            if (u < -0.5 || v < -0.5 || u > w - 0.5 || v > h - 0.5) {
                d[0] = d[1] = d[2] = 0;
                continue;
            }
            const double fu = std::floor(u);
            const double fv = std::floor(v);
            const int wx = int((u - fu) * 256.0 + 0.5);
            const int wy = int((v - fv) * 256.0 + 0.5);
            const int x0 = std::clamp(int(fu), 0, w - 1);
            const int x1 = std::clamp(int(fu) + 1, 0, w - 1);
            const int y0 = std::clamp(int(fv), 0, h - 1);
            const int y1 = std::clamp(int(fv) + 1, 0, h - 1);
            int p00[3], p10[3], p01[3], p11[3];
            plane.rgb(x0, y0, p00);
            plane.rgb(x1, y0, p10);
            plane.rgb(x0, y1, p01);
            plane.rgb(x1, y1, p11);
            for (int c = 0; c < 3; ++c) {
                const int top = p00[c] * (256 - wx) + p10[c] * wx;
                const int bottom = p01[c] * (256 - wx) + p11[c] * wx;
                d[c] = std::uint8_t((top * (256 - wy) + bottom * wy + (1 << 15)) >> 16);
            }
        }
    }
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

std::unique_ptr<Bitmap> sample(const Bitmap& picture, const ReducedCopies* reduced, const PixelMap& map,
                               double step, int outWide, int outHigh)
{
    auto out = Bitmap::createRGBCanvas(outWide, outHigh);
    if (!out)
        return nullptr;
    int k = 0;
    const Plane plane(levelFor(picture, reduced, step, k));
    const PixelMap onLevel = map.onLevel(k);
    splitRowsOnBothCores(outHigh, (long long)outWide * outHigh, [&](int begin, int end) { sampleRows(plane, onLevel, *out, begin, end); });
    return out;
}

}  // namespace

bool ResultRegion::isWholeScale() const
{
    return x == std::floor(x) && y == std::floor(y) && width == outWide && height == outHigh;
}

std::unique_ptr<Bitmap> composeResultRegion(const AnaglyphComposer& composer, const RegionSources& sources,
                                            const OverlapGeometry& geometry, const ResultRegion& region)
{
    const ResultRegion& r = region;
    if (!sources.left || !sources.right || !(r.x >= 0) || !(r.y >= 0) || !(r.width > 0) || !(r.height > 0)
        || r.outWide < 1 || r.outHigh < 1 || r.x + r.width > geometry.pixelsWide()
        || r.y + r.height > geometry.pixelsHigh())
        return nullptr;
    auto result = Bitmap::createRGBCanvas(r.outWide, r.outHigh);
    if (!result)
        return nullptr;
    const bool correcting = sources.rightCorrection && !sources.rightCorrection->isIdentity();
    if (r.isWholeScale() && !correcting) {
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
    const PixelMap inLeft = inResult.then(AffineMatrix{{1, 0, double(geometry.ul), 0, 1, double(geometry.vl)}});
    PixelMap inRight = inResult.then(AffineMatrix{{1, 0, double(geometry.ur), 0, 1, double(geometry.vr)}});
    double rightStep = std::min(stepX, stepY);
    if (correcting) {
        const Bitmap& original = *sources.right;
        const RightCorrection& c = *sources.rightCorrection;
        inRight = inRight.then(inverse(c.matrixFor(original.pixelsWide(), original.pixelsHigh())));
        rightStep /= c.scale;
    }
    const double step = std::min(stepX, stepY);
    auto left = sample(*sources.left, sources.leftReduced, inLeft, step, r.outWide, r.outHigh);
    auto right = sample(*sources.right, sources.rightReduced, inRight, rightStep, r.outWide, r.outHigh);
    if (!left || !right)
        return nullptr;
    OverlapGeometry whole;
    whole.W = r.outWide;
    whole.H = r.outHigh;
    composer.composeOnPath(AnaglyphComposer::pathFor(*sources.left, *sources.right), *left, *right, whole, *result);
    return result;
}

}  // namespace korvex
