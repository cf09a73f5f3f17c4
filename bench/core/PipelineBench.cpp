// The steps of one korvex-compose run on a camera-sized pair: reading and
// decoding the pictures, composing, encoding the result.
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/ResultEncoding.h"
#include "core/imageview/PictureStore.h"
#include "core/imageview/PicturePairLoader.h"

#include "../SamplePair.h"

#include <benchmark/benchmark.h>

using namespace korvex;

namespace {

const bench::SamplePair& files(int megapixels)
{
    return bench::SamplePair::of(megapixels);
}

void decodeOne(benchmark::State& state)
{
    const bench::SamplePair& f = files(int(state.range(0)));
    for (auto _ : state) {
        PictureStore store;
        store.setType(LeftRole);
        benchmark::DoNotOptimize(store.setImageWithFile(f.left));
    }
}
BENCHMARK(decodeOne)->Arg(24)->UseRealTime()->Unit(benchmark::kMillisecond);

// Opening a pair the way the window and the command line do.
void openPairOneAfterOther(benchmark::State& state)
{
    const bench::SamplePair& f = files(int(state.range(0)));
    for (auto _ : state) {
        PictureStore left, right;
        left.setType(LeftRole);
        right.setType(RightRole);
        left.setImageWithFile(f.left);
        right.setImageWithFile(f.right);
        benchmark::DoNotOptimize(right.image());
    }
}
BENCHMARK(openPairOneAfterOther)->Arg(24)->UseRealTime()->Unit(benchmark::kMillisecond);

void openPairTogether(benchmark::State& state)
{
    const bench::SamplePair& f = files(int(state.range(0)));
    for (auto _ : state) {
        PictureStore left, right;
        left.setType(LeftRole);
        right.setType(RightRole);
        PicturePairLoader::load(left, f.left, right, f.right);
        benchmark::DoNotOptimize(right.image());
    }
}
BENCHMARK(openPairTogether)->Arg(24)->UseRealTime()->Unit(benchmark::kMillisecond);

// Encoding a composed 24 MP result by each saved type.
void encodeResult(benchmark::State& state, const char* typeName)
{
    const bench::SamplePair& f = files(24);
    const DecodeResult picture = decodeImageFile(f.left);
    const ResultEncoding encoding = ResultEncoding::forTypeName(typeName);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const EncodeResult encoded = encoding.encode(*picture.bitmap);
        bytes = encoded.data.size();
    }
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK_CAPTURE(encodeResult, jpeg, "JPEG")->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encodeResult, png, "PNG")->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encodeResult, tiff, "TIFF")->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
