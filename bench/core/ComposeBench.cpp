#include "core/compose/AnaglyphComposer.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

using namespace korvex;

namespace {

// Pictures of about N megapixels in the 4:3 shape of most cameras.
struct Pair {
    std::unique_ptr<Bitmap> left;
    std::unique_ptr<Bitmap> right;
    std::unique_ptr<Bitmap> result;
    OverlapGeometry geometry;
};

std::unique_ptr<Bitmap> noise(int w, int h, int samples, ColorSpace space, std::mt19937& random)
{
    Bitmap::Layout layout;
    layout.pixelsWide = w;
    layout.pixelsHigh = h;
    layout.samplesPerPixel = samples;
    layout.colorSpace = space;
    auto bitmap = Bitmap::create(layout);
    for (std::size_t i = 0; i < bitmap->totalBytes(); ++i)
        bitmap->bitmapData()[i] = std::uint8_t(random());
    return bitmap;
}

Pair makePair(int megapixels, bool greyLeft)
{
    const int w = megapixels == 1 ? 1152 : megapixels == 12 ? 4000 : 6000;
    const int h = w * 3 / 4 + (megapixels == 1 ? 4 : 0);
    std::mt19937 random(megapixels);
    Pair p;
    p.left = greyLeft ? noise(w, h, 1, ColorSpace::DeviceWhite, random) : noise(w, h, 3, ColorSpace::CalibratedRGB, random);
    p.right = noise(w, h, 3, ColorSpace::CalibratedRGB, random);
    const Size size{double(w), double(h)};
    p.geometry = OverlapGeometry::compute(size, {w / 2.0, h / 2.0}, size, {w / 2.0, h / 2.0}, 0, 0);
    p.result = Bitmap::createRGBCanvas(p.geometry.pixelsWide(), p.geometry.pixelsHigh());
    std::memset(p.result->bitmapData(), 0, p.result->totalBytes());
    return p;
}

void BM_ComposeBytes(benchmark::State& state)
{
    Pair p = makePair(int(state.range(0)), false);
    const AnaglyphComposer composer(2, true);
    for (auto _ : state) {
        composer.compose(*p.left, *p.right, p.geometry, *p.result);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(p.result->totalBytes()));
}

void BM_ComposeBytesBlackAndWhite(benchmark::State& state)
{
    Pair p = makePair(int(state.range(0)), false);
    const AnaglyphComposer composer(2, false);
    for (auto _ : state) {
        composer.compose(*p.left, *p.right, p.geometry, *p.result);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(p.result->totalBytes()));
}

// The yardstick: one plain copy of as many bytes as the result holds.
void BM_CopyResultBytes(benchmark::State& state)
{
    Pair p = makePair(int(state.range(0)), false);
    const std::size_t n = p.result->totalBytes();
    for (auto _ : state) {
        std::memcpy(p.result->bitmapData(), p.left->bitmapData(), n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(n));
}

void BM_ComposePerPixel(benchmark::State& state)
{
    Pair p = makePair(int(state.range(0)), true);
    const AnaglyphComposer composer(2, true);
    for (auto _ : state) {
        composer.compose(*p.left, *p.right, p.geometry, *p.result);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(p.result->totalBytes()));
}

BENCHMARK(BM_CopyResultBytes)->Arg(1)->Arg(12)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ComposeBytes)->Arg(1)->Arg(12)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ComposeBytesBlackAndWhite)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ComposePerPixel)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
