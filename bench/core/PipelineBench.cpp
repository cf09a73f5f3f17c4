// The steps of one korvex-compose run on a camera-sized pair: reading and
// decoding the pictures, composing, encoding the result.
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/ResultEncoding.h"
#include "core/imageview/PictureStore.h"
#include "core/imageview/PicturePairLoader.h"

#include "../SamplePair.h"

#include <benchmark/benchmark.h>

#include <cstring>

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

// A side-by-side stereo file of the 12 MP pair: an 8000 x 3000 JPEG frame.
const std::string& stereoFile()
{
    static const std::string path = [] {
        const bench::SamplePair& f = files(12);
        const DecodeResult l = decodeImageFile(f.left), r = decodeImageFile(f.right);
        const int w = l.bitmap->pixelsWide(), h = l.bitmap->pixelsHigh();
        auto frame = Bitmap::createRGBCanvas(2 * w, h);
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = frame->bitmapData() + std::size_t(y) * frame->bytesPerRow();
            std::memcpy(row, l.bitmap->bitmapData() + std::size_t(y) * l.bitmap->bytesPerRow(), std::size_t(w) * 3);
            std::memcpy(row + std::size_t(w) * 3, r.bitmap->bitmapData() + std::size_t(y) * r.bitmap->bytesPerRow(),
                        std::size_t(w) * 3);
        }
        const std::string name = (std::filesystem::temp_directory_path() / "korvex-bench-pair.jps").string();
        const EncodeResult jpeg = representationUsingType(*frame, FileType::JPEG, {0.92f, {}});
        std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data.data()),
                                                    std::streamsize(jpeg.data.size()));
        return name;
    }();
    return path;
}

// The window's way until now: each view decodes the whole frame for its share.
void openStereoFileTwice(benchmark::State& state)
{
    for (auto _ : state) {
        PictureStore left, right;
        left.setType(LeftRole);
        right.setType(RightRole);
        left.setImageWithFile(stereoFile());
        right.setImageWithFile(stereoFile());
        benchmark::DoNotOptimize(right.image());
    }
}
BENCHMARK(openStereoFileTwice)->UseRealTime()->Unit(benchmark::kMillisecond);

void openStereoFileOnce(benchmark::State& state)
{
    for (auto _ : state) {
        PictureStore left, right;
        left.setType(LeftRole);
        right.setType(RightRole);
        PicturePairLoader::load(left, stereoFile(), right, stereoFile());
        benchmark::DoNotOptimize(right.image());
    }
}
BENCHMARK(openStereoFileOnce)->UseRealTime()->Unit(benchmark::kMillisecond);

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
