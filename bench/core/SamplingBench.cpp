// The window's quick preview reads each picture at the scale the view shows:
// a 24 MP picture's halved copy (3000 x 2000) read into what Fit shows in a
// 1920 x 1080 viewport (1620 x 1080), and a picture enlarged to 200 %, a
// fraction of a pixel off; then, as the right picture is read through a
// pending correction, Fit and 100 % turned by a quarter degree. The baseline,
// in the same iteration: copying the same output bytes. The counter "xCopy"
// is the ratio of their medians.
#include "../SameRunTiming.h"
#include "core/compose/GlassesTypes.h"
#include "core/compose/RegionSampling.h"
#include "core/compose/ResultRegion.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

using namespace korvex;
using bench::median;
using bench::secondsOf;

namespace {

std::unique_ptr<Bitmap> noise(int w, int h, int samples)
{
    Bitmap::Layout layout;
    layout.pixelsWide = w;
    layout.pixelsHigh = h;
    layout.samplesPerPixel = samples;
    auto bitmap = Bitmap::create(layout);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < bitmap->totalBytes(); ++i)
        bitmap->bitmapData()[i] = std::uint8_t(random());
    return bitmap;
}


// Arguments: the source's width, the output's width (height in proportion,
// 2 : 3), the read's offset in 1/100 pixel, its rotation in 1/100 degree.
void sampleAgainstCopy(benchmark::State& state)
{
    const int sourceWide = int(state.range(0));
    const int outWide = int(state.range(1));
    const double offset = double(state.range(2)) / 100.0;
    const double turn = double(state.range(3)) / 100.0 * 3.14159265358979 / 180.0;
    const auto source = noise(sourceWide, sourceWide * 2 / 3, 3);
    const auto out = Bitmap::createRGBCanvas(outWide, outWide * 2 / 3);
    std::vector<std::uint8_t> copy(out->totalBytes());
    const double step = double(sourceWide) / outWide;
    const double c = step * std::cos(turn), sn = step * std::sin(turn);
    const PixelMap map{offset + 0.5 * step - 0.5, c, -sn, 0.5 * step - 0.5, sn, c};
    std::vector<double> sampling, copying;
    for (auto _ : state) {
        sampling.push_back(secondsOf([&] { sampleBilinear(*source, map, *out, 0, out->pixelsHigh()); }));
        copying.push_back(secondsOf([&] { std::memcpy(copy.data(), out->bitmapData(), copy.size()); }));
        benchmark::DoNotOptimize(copy.data());
        state.SetIterationTime(sampling.back());
    }
    state.counters["xCopy"] = median(sampling) / median(copying);
    state.counters["ns_per_pixel"] = median(sampling) * 1e9 / (double(out->pixelsWide()) * out->pixelsHigh());
}

}  // namespace

BENCHMARK(sampleAgainstCopy)
    ->Args({3000, 1620, 0, 0})
    ->Args({810, 1620, 37, 0})
    ->Args({3000, 1620, 0, 25})
    ->Args({1920, 1920, 0, 25})
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

namespace {

// The preview's composition alone, as Fit in a 1920 x 1080 viewport asks for
// it of a 24 MP pair (1620 x 1080 from the halved copies, buffers reused as
// the window reuses them), against composing the whole result in the same
// iteration. Argument: 1 for Dubois, else classic red-cyan.
void previewAgainstWhole(benchmark::State& state)
{
    const auto left = noise(6000, 4000, 3);
    const auto right = noise(6000, 4000, 3);
    const Size size{6000, 4000};
    const OverlapGeometry geometry = OverlapGeometry::compute(size, {3000, 2000}, size, {3000, 2000}, 0, 0);
    const AnaglyphComposer composer(2, true, state.range(0) ? AnaglyphMethod::Dubois : AnaglyphMethod::Classic,
                                    *glassesType(2).dubois);
    const auto leftReduced = ReducedCopies::make(*left);
    const auto rightReduced = ReducedCopies::make(*right);
    const RegionSources sources{left.get(), leftReduced.get(), right.get(), rightReduced.get(), {}};
    const ResultRegion fit{0, 0, 6000, 4000, 1620, 1080};
    RegionScratch scratch;
    auto whole = Bitmap::createRGBCanvas(6000, 4000);
    std::vector<double> preview, full;
    for (auto _ : state) {
        preview.push_back(secondsOf([&] {
            auto part = composeResultRegion(composer, sources, geometry, fit, &scratch);
            scratch.spare = std::move(part);
        }));
        full.push_back(secondsOf([&] { composer.compose(*left, *right, geometry, *whole); }));
        state.SetIterationTime(preview.back());
    }
    state.counters["xWhole"] = median(preview) / median(full);
    state.counters["preview_ms"] = median(preview) * 1e3;
}

}  // namespace

BENCHMARK(previewAgainstWhole)->Arg(0)->Arg(1)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);
