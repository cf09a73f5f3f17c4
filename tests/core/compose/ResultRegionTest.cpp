#include "core/align/RightPictureResampler.h"
#include "core/compose/FrameRegion.h"
#include "core/compose/GlassesTypes.h"
#include "core/compose/ResultRegion.h"
#include "core/stereo/AlignedPair.h"
#include "core/stereo/StereoFrame.h"

#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

using namespace korvex;

namespace {

// Slowly changing colours: where a reduced copy is a fair stand-in for the picture.
std::unique_ptr<Bitmap> smoothPicture(int w, int h, int seed, int samples = 3, int bitsPerSample = 8,
                                      double slowness = 1.0)
{
    const double f = 1.0 / slowness;
    Bitmap::Layout layout;
    layout.pixelsWide = w;
    layout.pixelsHigh = h;
    layout.samplesPerPixel = samples;
    layout.hasAlpha = samples == 4 || samples == 2;
    layout.bitsPerSample = bitsPerSample;
    layout.colorSpace = samples < 3 ? ColorSpace::CalibratedWhite : ColorSpace::CalibratedRGB;
    auto bitmap = Bitmap::create(layout);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double r = 0.5 + 0.45 * std::sin(f * ((x + seed * 7) / 23.0 + y / 41.0));
            const double g = 0.5 + 0.45 * std::cos(f * (x / 37.0 - (y + seed) / 19.0));
            const double b = 0.5 + 0.45 * std::sin(f * (x + y) / 53.0 + seed);
            bitmap->setColor(samples < 3 ? Color::grey(r) : Color::rgb(r, g, b), x, y);
        }
    bitmap->setSize(Size{double(w), double(h)});
    return bitmap;
}

int byteAt(const Bitmap& b, int x, int y, int c)
{
    return b.bitmapData()[b.bytesPerRow() * std::size_t(y) + std::size_t(x) * 3 + std::size_t(c)];
}

// The full result reduced k times by 2 x 2 means, as the result view reduces it.
std::unique_ptr<Bitmap> halvedTimes(const Bitmap& full, int k)
{
    auto level = Bitmap::createRGBCanvas(full.pixelsWide(), full.pixelsHigh());
    std::memcpy(level->bitmapData(), full.bitmapData(), full.totalBytes());
    for (int i = 0; i < k; ++i) {
        auto next = Bitmap::createRGBCanvas(level->pixelsWide() / 2, level->pixelsHigh() / 2);
        for (int y = 0; y < next->pixelsHigh(); ++y)
            for (int x = 0; x < next->pixelsWide(); ++x)
                for (int c = 0; c < 3; ++c) {
                    const int sum = byteAt(*level, 2 * x, 2 * y, c) + byteAt(*level, 2 * x + 1, 2 * y, c)
                                    + byteAt(*level, 2 * x, 2 * y + 1, c) + byteAt(*level, 2 * x + 1, 2 * y + 1, c);
                    next->bitmapData()[next->bytesPerRow() * std::size_t(y) + std::size_t(x) * 3 + std::size_t(c)] =
                        std::uint8_t((sum + 2) / 4);
                }
        level = std::move(next);
    }
    return level;
}

ResultRegion wholeScale(int x, int y, int w, int h)
{
    return {double(x), double(y), double(w), double(h), w, h};
}

struct Pair {
    std::unique_ptr<Bitmap> left, right;
    OverlapGeometry geometry;
};

// Offsets chosen so the overlap starts at (8, 4) in the left picture and (0, 12) in the right one.
Pair pairOf(std::unique_ptr<Bitmap> left, std::unique_ptr<Bitmap> right)
{
    Pair p;
    p.geometry = OverlapGeometry::compute(left->size(), {100, 60}, right->size(), {92, 60}, 0, -8);
    p.left = std::move(left);
    p.right = std::move(right);
    return p;
}

std::unique_ptr<Bitmap> composeWhole(const AnaglyphComposer& composer, const Bitmap& left, const Bitmap& right,
                                     const OverlapGeometry& g)
{
    auto result = Bitmap::createRGBCanvas(g.pixelsWide(), g.pixelsHigh());
    composer.compose(left, right, g, *result);
    return result;
}

// How far a region lies from the same pixels of another picture.
struct Difference {
    int worst = 0;
    double mean = 0;
};

Difference difference(const Bitmap& part, const Bitmap& whole, int x0, int y0, int margin = 0)
{
    Difference d;
    long long sum = 0, count = 0;
    for (int y = margin; y < part.pixelsHigh() - margin; ++y)
        for (int x = margin; x < part.pixelsWide() - margin; ++x)
            for (int ch = 0; ch < 3; ++ch) {
                const int e = std::abs(byteAt(part, x, y, ch) - byteAt(whole, x0 + x, y0 + y, ch));
                d.worst = std::max(d.worst, e);
                sum += e;
                ++count;
            }
    d.mean = count ? double(sum) / double(count) : 0.0;
    return d;
}

struct ComposerCase {
    std::string name;
    int glasses;
    bool colorize;
    AnaglyphMethod method;
    // The classic method picks channels, so only the rounding of means and
    // of the dimming differ. Dubois mixes in linear light and encodes through
    // the sRGB curve, whose slope near black is 12.92: a step in a source is
    // up to 13 steps in the darkest outputs.
    int tolerance;
};

const ComposerCase composerCases[] = {
    {"classic red-cyan in colour (dimmed)", 2, true, AnaglyphMethod::Classic, 2},
    {"classic red-green in grey", 1, false, AnaglyphMethod::Classic, 2},
    {"classic amber-blue in colour", 9, true, AnaglyphMethod::Classic, 2},
    {"Dubois red-cyan", 2, true, AnaglyphMethod::Dubois, 13},
    {"half colour", 2, true, AnaglyphMethod::HalfColour, 2},
};

AnaglyphComposer composerFor(const ComposerCase& c)
{
    return AnaglyphComposer(c.glasses, c.colorize, c.method, *glassesType(2).dubois);
}

TEST(ResultRegion, WholeScaleRegionsAreExactlyThosePixelsOfTheFullResult)
{
    struct Layout {
        const char* name;
        int samples, bits;
    };
    const Layout layouts[] = {{"RGB", 3, 8}, {"RGBA", 4, 8}, {"16-bit RGB", 3, 16}, {"grey", 1, 8}};
    for (const Layout& layout : layouts) {
        const Pair p = pairOf(smoothPicture(200, 120, 1, layout.samples, layout.bits),
                              smoothPicture(190, 130, 2, layout.samples, layout.bits));
        for (const ComposerCase& c : composerCases) {
            SCOPED_TRACE(std::string(layout.name) + ", " + c.name);
            const AnaglyphComposer composer = composerFor(c);
            const auto full = composeWhole(composer, *p.left, *p.right, p.geometry);
            const int w = full->pixelsWide();
            const int h = full->pixelsHigh();
            const ResultRegion regions[] = {wholeScale(0, 0, w, h), wholeScale(13, 7, 40, 25), wholeScale(w - 1, h - 3, 1, 3)};
            for (const ResultRegion& r : regions) {
                const auto part = composeResultRegion(composer, {p.left.get(), nullptr, p.right.get(), nullptr, {}},
                                                      p.geometry, r);
                ASSERT_TRUE(part);
                for (int y = 0; y < r.height; ++y)
                    for (int x = 0; x < r.width; ++x)
                        for (int ch = 0; ch < 3; ++ch)
                            ASSERT_EQ(byteAt(*part, x, y, ch), byteAt(*full, r.x + x, r.y + y, ch))
                                << "at " << x << "," << y << " of region " << r.x << "," << r.y;
            }
        }
    }
}

TEST(ResultRegion, ZoomedOutRegionsMatchTheFullResultReducedToThatScale)
{
    // 50 %, 25 % and 12.5 % with the overlap on the reduced copies' grid; then
    // overlaps off the grid, where the reads fall between reduced pixels.
    struct Case {
        int k;
        Point rightPin;
        int extra;  // tolerance beyond the method's own
    };
    const Case cases[] = {{1, {92, 60}, 0}, {2, {92, 60}, 0}, {3, {92, 60}, 0}, {1, {95, 57}, 1}, {2, {93, 61}, 1}};
    for (const Case& zoom : cases) {
        auto left = smoothPicture(400, 240, 3, 3, 8, 4.0);
        auto right = smoothPicture(384, 256, 4, 3, 8, 4.0);
        const OverlapGeometry g = OverlapGeometry::compute(left->size(), {200, 120}, right->size(),
                                                           {zoom.rightPin.x + 96, zoom.rightPin.y + 60}, 0, 0);
        const auto leftReduced = ReducedCopies::make(*left);
        const auto rightReduced = ReducedCopies::make(*right);
        for (const ComposerCase& c : composerCases) {
            SCOPED_TRACE(c.name + " at 1/" + std::to_string(1 << zoom.k) + " with right pin "
                         + std::to_string(zoom.rightPin.x));
            const AnaglyphComposer composer = composerFor(c);
            const auto shown = halvedTimes(*composeWhole(composer, *left, *right, g), zoom.k);
            const int side = 1 << zoom.k;
            // Whole reduced pixels only: the region's edges fall on the view's 2 x 2 blocks.
            const ResultRegion r{0, 0, double(shown->pixelsWide() * side), double(shown->pixelsHigh() * side),
                                 shown->pixelsWide(), shown->pixelsHigh()};
            const auto preview = composeResultRegion(
                composer, {left.get(), leftReduced.get(), right.get(), rightReduced.get(), {}}, g, r);
            ASSERT_TRUE(preview);
            const Difference d = difference(*preview, *shown, 0, 0, 1);
            EXPECT_LE(d.worst, c.tolerance + zoom.extra);
            EXPECT_LT(d.mean, 0.6);
        }
    }
}

TEST(ResultRegion, ReadsTheRightPictureThroughAPendingCorrection)
{
    auto left = smoothPicture(240, 160, 5);
    auto right = smoothPicture(240, 160, 6);
    const OverlapGeometry g = OverlapGeometry::compute(left->size(), {120, 80}, right->size(), {120, 80}, 0, 0);
    const RightCorrection corrections[] = {{1.5, 1.0, 0, 0}, {-0.7, 1.02, 0.3, -0.4}, {0, 0.97, 0, 0}};
    for (const ComposerCase& c : composerCases) {
        const AnaglyphComposer composer = composerFor(c);
        for (const RightCorrection& correction : corrections) {
            SCOPED_TRACE(c.name + ", " + std::to_string(correction.rotationDegrees) + " degrees");
            const auto corrected = resampleRightPicture(*right, correction);
            const auto full = composeWhole(composer, *left, *corrected, g);
            const ResultRegion r{20, 20, 200, 120, 200, 120};
            const auto part =
                composeResultRegion(composer, {left.get(), nullptr, right.get(), nullptr, correction}, g, r);
            ASSERT_TRUE(part);
            // Bilinear reads against the corrected copy's bicubic ones.
            const Difference d = difference(*part, *full, r.x, r.y);
            EXPECT_LE(d.worst, c.tolerance);
            EXPECT_LT(d.mean, 0.6);
        }
    }
}

TEST(ResultRegion, RefusesRegionsOutsideTheResult)
{
    const Pair p = pairOf(smoothPicture(200, 120, 1), smoothPicture(190, 130, 2));
    const AnaglyphComposer composer(1, true);
    const int w = p.geometry.pixelsWide();
    const int h = p.geometry.pixelsHigh();
    const ResultRegion bad[] = {wholeScale(-1, 0, 10, 10), wholeScale(0, 0, w + 1, 10), wholeScale(0, h - 5, 10, 6),
                                {0, 0, 0, 10, 0, 10}, {0, 0, 10, 10, 0, 5}, {0.5, 0, w - 0.25, 10, 10, 10}};
    for (const ResultRegion& r : bad)
        EXPECT_FALSE(composeResultRegion(composer, {p.left.get(), nullptr, p.right.get(), nullptr, {}}, p.geometry, r));
}

// The frame as the whole composition lays it out.
std::unique_ptr<Bitmap> wholeFrame(const Bitmap& left, const Bitmap& right, const OverlapGeometry& g, StereoFormat format,
                                   int gap)
{
    const StereoFrameSize size = stereoFrameSize(format, g.pixelsWide(), g.pixelsHigh(), gap);
    auto frame = Bitmap::createRGBCanvas(size.width, size.height);
    EXPECT_TRUE(fillStereoFrame(AlignedPair(left, right, g), format, gap, *frame));
    return frame;
}

const StereoFormat regionFrames[] = {StereoFormat::SideBySide,     StereoFormat::CrossEyed,     StereoFormat::OverUnder,
                                     StereoFormat::HalfSideBySide, StereoFormat::HalfOverUnder, StereoFormat::InterleavedRows};

std::string frameName(StereoFormat format, int gap)
{
    return std::string(stereoFormatInfo(format).code) + " gap " + std::to_string(gap);
}

void expectSamePixels(const Bitmap& part, const Bitmap& frame, const ResultRegion& r)
{
    ASSERT_EQ(part.pixelsWide(), r.outWide);
    ASSERT_EQ(part.pixelsHigh(), r.outHigh);
    for (int y = 0; y < r.outHigh; ++y)
        for (int x = 0; x < r.outWide; ++x)
            for (int ch = 0; ch < 3; ++ch)
                ASSERT_EQ(byteAt(part, x, y, ch), byteAt(frame, int(r.x) + x, int(r.y) + y, ch))
                    << "at " << x << "," << y << " of region " << r.x << "," << r.y;
}

TEST(FrameRegion, WholeScaleRegionsAreExactlyThosePixelsOfTheFrame)
{
    // Even and odd overlaps: an odd one puts a white line between the half formats' eyes.
    struct Case {
        int samples;
        Point leftPin, rightPin;
        int overlapWide, overlapHigh;
    };
    const Case cases[] = {{3, {100, 60}, {92, 60}, 190, 112},
                          {1, {100, 60}, {92, 60}, 190, 112},
                          {3, {45, 60}, {92, 59}, 143, 111},
                          {4, {44, 60}, {93, 67}, 141, 119}};
    for (const Case& c : cases) {
        auto left = smoothPicture(200, 120, 1, c.samples);
        auto right = smoothPicture(190, 130, 2, c.samples);
        const OverlapGeometry g = OverlapGeometry::compute(left->size(), c.leftPin, right->size(), c.rightPin, 0, -8);
        ASSERT_EQ(g.pixelsWide(), c.overlapWide);
        ASSERT_EQ(g.pixelsHigh(), c.overlapHigh);
        const RegionSources sources{left.get(), nullptr, right.get(), nullptr, {}};
        for (const StereoFormat format : regionFrames) {
            for (const int gap : {0, 7}) {
                SCOPED_TRACE(frameName(format, gap) + " samples " + std::to_string(c.samples) + ", overlap "
                             + std::to_string(g.pixelsWide()) + " x " + std::to_string(g.pixelsHigh()));
                const auto frame = wholeFrame(*left, *right, g, format, gap);
                const int w = frame->pixelsWide(), h = frame->pixelsHigh();
                // All of it, a part across the gap from one eye to the other,
                // one across the middle, the last pixels, a single odd row.
                const ResultRegion regions[] = {wholeScale(0, 0, w, h),
                                                wholeScale(std::min(g.pixelsWide() - 5, w - 20),
                                                           std::min(g.pixelsHigh() - 6, h - 21), 20, 21),
                                                wholeScale(w / 2 - 7, h / 2 - 6, 15, 13), wholeScale(w - 2, h - 3, 2, 3),
                                                wholeScale(3, 5, w - 6, 1)};
                for (const ResultRegion& r : regions) {
                    const auto part = composeFrameRegion(format, gap, sources, g, r);
                    ASSERT_TRUE(part);
                    expectSamePixels(*part, *frame, r);
                }
                EXPECT_FALSE(composeFrameRegion(format, gap, sources, g, wholeScale(1, 0, w, h)));
            }
        }
        for (const StereoFormat other : {StereoFormat::Anaglyph, StereoFormat::Mpo, StereoFormat::Wiggle})
            EXPECT_FALSE(composeFrameRegion(other, 0, sources, g, wholeScale(0, 0, 10, 10)));
    }
}

TEST(FrameRegion, WholeScaleRegionsReadTheRightPictureThroughAPendingCorrection)
{
    auto left = smoothPicture(241, 161, 5);
    auto right = smoothPicture(241, 161, 6);
    const OverlapGeometry g = OverlapGeometry::compute(left->size(), {120, 80}, right->size(), {120, 80}, 0, 0);
    const RightCorrection correction{-0.7, 1.05, 0.3, -0.4};  // enlarged enough to leave no black corners
    const auto corrected = resampleRightPicture(*right, correction);
    for (const StereoFormat format : regionFrames) {
        SCOPED_TRACE(stereoFormatInfo(format).code);
        const auto frame = wholeFrame(*left, *corrected, g, format, 3);
        const int w = frame->pixelsWide(), h = frame->pixelsHigh();
        const ResultRegion r = wholeScale(0, 0, w, h);
        const auto part = composeFrameRegion(format, 3, {left.get(), nullptr, right.get(), nullptr, correction}, g, r);
        ASSERT_TRUE(part);
        // Bilinear reads against the corrected copy's bicubic ones; the
        // corrected picture's black corners are read alike.
        const Difference d = difference(*part, *frame, 0, 0);
        EXPECT_LE(d.worst, 2);
        EXPECT_LT(d.mean, 0.6);
    }
}

// The frame as a view scaled to 1 / step shows it: each pixel the mean of
// the step x step square it covers, edge pixels by the part of them inside.
std::unique_ptr<Bitmap> areaMeans(const Bitmap& frame, double step)
{
    const int outWide = int(frame.pixelsWide() / step), outHigh = int(frame.pixelsHigh() / step);
    auto means = Bitmap::createRGBCanvas(outWide, outHigh);
    const auto overlap = [](double a, double b, int pixel) {
        return std::max(0.0, std::min(b, pixel + 1.0) - std::max(a, double(pixel)));
    };
    for (int y = 0; y < outHigh; ++y)
        for (int x = 0; x < outWide; ++x) {
            double sums[3] = {0, 0, 0};
            for (int fy = int(y * step); fy < std::min(frame.pixelsHigh(), int(std::ceil((y + 1) * step))); ++fy)
                for (int fx = int(x * step); fx < std::min(frame.pixelsWide(), int(std::ceil((x + 1) * step))); ++fx) {
                    const double c = overlap(x * step, (x + 1) * step, fx) * overlap(y * step, (y + 1) * step, fy);
                    for (int ch = 0; ch < 3; ++ch)
                        sums[ch] += c * byteAt(frame, fx, fy, ch);
                }
            for (int ch = 0; ch < 3; ++ch)
                means->bitmapData()[means->bytesPerRow() * std::size_t(y) + std::size_t(x) * 3 + ch] =
                    std::uint8_t(std::lround(sums[ch] / (step * step)));
        }
    return means;
}

TEST(FrameRegion, ZoomedOutRegionsMatchTheFrameReducedToThatScale)
{
    // An overlap and a gap on the 16-pixel grid, so that no reduced pixel
    // straddles two eyes, the half formats' included.
    auto left = smoothPicture(400, 240, 3, 3, 8, 4.0);
    auto right = smoothPicture(400, 240, 4, 3, 8, 4.0);
    const OverlapGeometry g = OverlapGeometry::compute(left->size(), {200, 120}, right->size(), {216, 136}, 0, 0);
    ASSERT_EQ(g.pixelsWide() % 16, 0);
    ASSERT_EQ(g.pixelsHigh() % 16, 0);
    const auto leftReduced = ReducedCopies::make(*left);
    const auto rightReduced = ReducedCopies::make(*right);
    const RegionSources sources{left.get(), leftReduced.get(), right.get(), rightReduced.get(), {}};
    for (const StereoFormat format : regionFrames) {
        const auto whole = wholeFrame(*left, *right, g, format, 8);
        for (const int k : {1, 2, 3}) {
            SCOPED_TRACE(std::string(stereoFormatInfo(format).code) + " at 1/" + std::to_string(1 << k));
            const auto shown = halvedTimes(*whole, k);
            const int side = 1 << k;
            const ResultRegion r{0, 0, double(shown->pixelsWide() * side), double(shown->pixelsHigh() * side),
                                 shown->pixelsWide(), shown->pixelsHigh()};
            const auto preview = composeFrameRegion(format, 8, sources, g, r);
            ASSERT_TRUE(preview);
            const Difference d = difference(*preview, *shown, 0, 0);
            EXPECT_LE(d.worst, 2);
            EXPECT_LT(d.mean, 0.6);
        }
        // Between the halvings, where output pixels straddle the eyes' edges
        // and the interleaved rows of both eyes unevenly: each is about the
        // mean of the frame pixels it covers, the gap's white included. From
        // 1/2 down the view scales the frame's halved copy instead, whose
        // rows each hold one row of either eye.
        for (const double step : {1.5, 3.0}) {
            SCOPED_TRACE(std::string(stereoFormatInfo(format).code) + " at 1/" + std::to_string(step));
            const auto means = step < 2 ? areaMeans(*whole, step) : areaMeans(*halvedTimes(*whole, 1), step / 2);
            const ResultRegion r{0, 0, means->pixelsWide() * step, means->pixelsHigh() * step, means->pixelsWide(),
                                 means->pixelsHigh()};
            const auto preview = composeFrameRegion(format, 8, sources, g, r);
            ASSERT_TRUE(preview);
            const Difference d = difference(*preview, *means, 0, 0);
            EXPECT_LE(d.worst, 3);
            EXPECT_LT(d.mean, 0.6);
        }
    }
}

// Colours that change linearly across and down, two levels a pixel: the
// squeeze, the halving and the bilinear reads all keep them but for rounding,
// and a read one pixel off is a level or two off. The eyes run opposite
// ways, so that a wrong mix of them shows.
std::unique_ptr<Bitmap> rampPicture(int w, int h, bool left)
{
    auto bitmap = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int u = left ? x : w - 1 - x;
            std::uint8_t* p = bitmap->bitmapData() + bitmap->bytesPerRow() * std::size_t(y) + std::size_t(x) * 3;
            p[0] = std::uint8_t(4 + 2 * u);
            p[1] = std::uint8_t(left ? 4 + 2 * y : 250 - 2 * y);
            p[2] = std::uint8_t(8 + u + (left ? y : h - 1 - y));
        }
    bitmap->setSize(Size{double(w), double(h)});
    return bitmap;
}

TEST(FrameRegion, ZoomedOutRegionsReadEachEyeWhereTheFrameHasIt)
{
    // Each eye's part of the frame, kept clear of its edges where the
    // squeeze's and the halving's taps repeat or mix in what lies beside.
    struct Part {
        int x, y, wide, high;
    };
    struct Case {
        StereoFormat format;
        int rightHigh;
        double rightPinY;
        int margin;
        int worst;
        Part parts[2];
    };
    const Case cases[] = {
        // An odd overlap, 125 x 117, so that the squeeze is a little more than 2.
        {StereoFormat::HalfSideBySide, 117, 58, 8, 1, {{0, 0, 62, 117}, {63, 0, 62, 117}}},
        {StereoFormat::HalfOverUnder, 117, 58, 8, 1, {{0, 0, 125, 58}, {0, 59, 125, 58}}},
        // All of it, 125 x 118, the right picture one row below and taller: its
        // halved copy drops its last row, which the frame's halving keeps. At
        // the top edge the left eye's read half a row up repeats the edge.
        {StereoFormat::InterleavedRows, 119, 58, 0, 2, {{0, 0, 125, 118}, {0, 0, 125, 118}}},
    };
    for (const Case& c : cases) {
        auto left = rampPicture(125, 118, true);
        auto right = rampPicture(125, c.rightHigh, false);
        const OverlapGeometry g = OverlapGeometry::compute(left->size(), {62, 58}, right->size(), {62, c.rightPinY}, 0, 0);
        const auto leftReduced = ReducedCopies::make(*left);
        const auto rightReduced = ReducedCopies::make(*right);
        const RegionSources sources{left.get(), leftReduced.get(), right.get(), rightReduced.get(), {}};
        const auto whole = wholeFrame(*left, *right, g, c.format, 0);
        ASSERT_EQ(g.vr + g.pixelsHigh(), c.rightHigh);  // the overlap reaches the right picture's last row
        for (const int k : {1, 2}) {
            const int side = 1 << k;
            const auto shown = halvedTimes(*whole, k);
            for (const Part& part : c.parts) {
                SCOPED_TRACE(std::string(stereoFormatInfo(c.format).code) + " at 1/" + std::to_string(side) + ", part at "
                             + std::to_string(part.x) + "," + std::to_string(part.y));
                ASSERT_LE(part.x + part.wide, whole->pixelsWide());
                ASSERT_LE(part.y + part.high, whole->pixelsHigh());
                const int x0 = (part.x + c.margin + side - 1) / side, x1 = (part.x + part.wide - c.margin) / side;
                const int y0 = (part.y + c.margin + side - 1) / side, y1 = (part.y + part.high - c.margin) / side;
                const ResultRegion r{double(x0 * side), double(y0 * side), double((x1 - x0) * side),
                                     double((y1 - y0) * side), x1 - x0, y1 - y0};
                const auto preview = composeFrameRegion(c.format, 0, sources, g, r);
                ASSERT_TRUE(preview);
                const Difference d = difference(*preview, *shown, x0, y0);
                EXPECT_LE(d.worst, c.worst);
                EXPECT_LT(d.mean, 0.5);
            }
        }
    }
}

TEST(ReducedCopies, EachLevelIsTheRoundedMeanOfTwoByTwoBlocksOfTheOneAbove)
{
    struct Case {
        const char* name;
        int w, h, samples, bits;
        int levels;
    };
    const Case cases[] = {{"RGB, odd sizes", 37, 21, 3, 8, 4}, {"RGBA", 16, 16, 4, 8, 4}, {"16-bit", 9, 40, 3, 16, 3},
                          {"grey", 8, 5, 1, 8, 2}, {"one row", 8, 1, 3, 8, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto picture = smoothPicture(c.w, c.h, 7, c.samples, c.bits);
        const auto copies = ReducedCopies::make(*picture);
        ASSERT_TRUE(copies);
        ASSERT_EQ(copies->levels(), c.levels);
        // The picture in bytes, as a view converts it, then the means by hand.
        auto above = Bitmap::createRGBCanvas(c.w, c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                above->setColor(picture->colorAt(x, y), x, y);
        for (int k = 1; k <= copies->levels(); ++k) {
            const auto expected = halvedTimes(*above, 1);
            const Bitmap& level = copies->level(k);
            ASSERT_EQ(level.pixelsWide(), expected->pixelsWide());
            ASSERT_EQ(level.pixelsHigh(), expected->pixelsHigh());
            for (int y = 0; y < level.pixelsHigh(); ++y)
                for (int x = 0; x < level.pixelsWide(); ++x)
                    for (int ch = 0; ch < 3; ++ch)
                        ASSERT_EQ(byteAt(level, x, y, ch), byteAt(*expected, x, y, ch)) << "level " << k;
            above = halvedTimes(*expected, 0);
        }
    }
}

TEST(ReducedCopies, AStopRequestedBeforehandMakesNothing)
{
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(ReducedCopies::make(*smoothPicture(64, 64, 1), stop.get_token()));
}

}  // namespace
