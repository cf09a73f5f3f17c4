// Every pair file read back: by Korvex's own readers, by giflib and libwebp's
// demuxer for the animations, and by exiftool for the MPO index.
#include "core/bitmap/ImageDecoder.h"
#include "core/imageview/JpsDescriptor.h"
#include "core/imageview/MultiPictureFile.h"
#include "core/imageview/PictureStore.h"
#include "core/imageview/StereoFile.h"
#include "core/stereo/PairFile.h"

#include "../TestPictures.h"
#include "StereoPairTestPictures.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <webp/demux.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>
#include <memory>

using namespace korvex;
using namespace korvex::testing;

namespace {

// A pair big enough for JPEG's blocks and smooth enough for a palette.
struct PhotoPair {
    std::unique_ptr<Bitmap> left = pictureWith(96, 64, 0);
    std::unique_ptr<Bitmap> right = pictureWith(90, 70, 1);
    OverlapGeometry geometry;

    static std::unique_ptr<Bitmap> pictureWith(int w, int h, int eye)
    {
        auto b = Bitmap::createRGBCanvas(w, h);
        b->setSize({double(w), double(h)});
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint8_t* p = b->bitmapData() + b->bytesPerRow() * std::size_t(y) + std::size_t(x) * 3;
                p[0] = std::uint8_t(eye ? 40 + x : 220 - x);
                p[1] = std::uint8_t(60 + 2 * y);
                p[2] = std::uint8_t(eye ? 200 : 30);
            }
        return b;
    }

    PhotoPair() { geometry = OverlapGeometry::compute(left->size(), {50, 30}, right->size(), {44, 36}, 2, 1); }
    AlignedPair aligned() const { return AlignedPair(*left, *right, geometry); }
};

EncodeResult encode(const PhotoPair& pair, PairFileType type, int wiggleMilliseconds = 120)
{
    PairFileOptions options;
    options.jpeg.compressionFactor = 0.98f;
    options.wiggleMilliseconds = wiggleMilliseconds;
    EncodeResult result = encodePairFile(pair.aligned(), type, options);
    EXPECT_TRUE(result) << result.error;
    return result;
}

using Tags = std::vector<std::pair<std::string, std::string>>;

// exiftool's reading of a file: "[Group] Name" and the value, in its order.
// -G3 names the picture a tag comes from: Main, then Doc1, Doc2 ...
Tags exiftoolTags(const std::vector<std::uint8_t>& file, const std::string& extension)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path()
                                       / ("korvex-pair-" + std::to_string(::getpid()) + "." + extension);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    const std::string command = "exiftool -a -s -G3 -ee -n -MPF:all -JPS:all -GIF:all -RIFF:all " + path.string() + " 2>&1";
    Tags tags;
    if (FILE* out = ::popen(command.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, out)) {
            const std::string text(line);
            const std::size_t close = text.find(']');
            const std::size_t colon = text.find(':', close == std::string::npos ? 0 : close);
            if (text.empty() || text[0] != '[' || colon == std::string::npos)
                continue;
            std::string name = text.substr(0, colon);
            name.erase(name.find_last_not_of(' ') + 1);
            name = text.substr(0, close + 1) + " " + name.substr(name.find_first_not_of(' ', close + 1));
            std::string value = text.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            value.erase(value.find_last_not_of(" \n") + 1);
            tags.emplace_back(name, value);
        }
        ::pclose(out);
    }
    std::filesystem::remove(path);
    return tags;
}

std::vector<std::string> valuesOf(const Tags& tags, const std::string& name)
{
    std::vector<std::string> values;
    for (const auto& [n, v] : tags)
        if (n == name)
            values.push_back(v);
    return values;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(PairFile, MpoHoldsBothEyesInOrder)
{
    const PhotoPair pair;
    const EncodeResult mpo = encode(pair, PairFileType::Mpo);
    const MultiPictureIndex index = readMultiPictureIndex(mpo.data);
    ASSERT_TRUE(index.error.empty()) << index.error;
    ASSERT_TRUE(index.isStereoPair);
    const auto left = loadStereoShare(mpo.data, StereoLayout::MultiPicture, LeftRole);
    const auto right = loadStereoShare(mpo.data, StereoLayout::MultiPicture, RightRole);
    ASSERT_TRUE(left && right);
    EXPECT_LT(meanDifference(*left.bitmap, *pair.aligned().eyePicture(Eye::Left)), 1.5);
    EXPECT_LT(meanDifference(*right.bitmap, *pair.aligned().eyePicture(Eye::Right)), 1.5);
    EXPECT_GT(meanDifference(*left.bitmap, *right.bitmap), 20.0);
}

TEST(PairFile, ExiftoolReadsTheMpoIndexAsAStereoPair)
{
    const PhotoPair pair;
    const EncodeResult mpo = encode(pair, PairFileType::Mpo);
    const Tags tags = exiftoolTags(mpo.data, "mpo");
    ASSERT_FALSE(tags.empty()) << "exiftool (libimage-exiftool-perl) is needed";
    EXPECT_EQ(valuesOf(tags, "[Main] NumberOfImages"), Strings{"2"});
    // Two multi-frame disparity pictures (0x020002); only the first is representative (flag 4 as exiftool counts).
    EXPECT_EQ(valuesOf(tags, "[Main] MPImageType"), (Strings{"131074", "131074"}));
    EXPECT_EQ(valuesOf(tags, "[Main] MPImageFlags"), (Strings{"4", "0"}));
    EXPECT_EQ(valuesOf(tags, "[Main] MPImageFormat"), (Strings{"0", "0"}));
    // The second picture starts where the first one ends and runs to the end of the file.
    const Strings lengths = valuesOf(tags, "[Main] MPImageLength");
    const Strings starts = valuesOf(tags, "[Main] MPImageStart");
    ASSERT_EQ(lengths.size(), 2u);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0], "0");
    EXPECT_EQ(std::stoul(lengths[0]) + std::stoul(lengths[1]), mpo.data.size());
    EXPECT_EQ(valuesOf(tags, "[Main] MPIndividualNum"), Strings{"1"});
    EXPECT_EQ(valuesOf(tags, "[Doc2] MPIndividualNum"), Strings{"2"});
    EXPECT_EQ(valuesOf(tags, "[Main] BaseViewpointNum"), Strings{"1"});
    EXPECT_EQ(valuesOf(tags, "[Doc2] BaseViewpointNum"), Strings{"1"});
}

TEST(PairFile, JpsIsCrossEyedAndSaysSo)
{
    const PhotoPair pair;
    const EncodeResult jps = encode(pair, PairFileType::Jps);
    const auto descriptor = readJpsDescriptor(jps.data);
    ASSERT_TRUE(descriptor);
    EXPECT_EQ(descriptor->layout, JpsDescriptor::Layout::SideBySide);
    EXPECT_FALSE(descriptor->leftFirst);
    // The frame itself holds the right eye in its left half.
    const DecodeResult frame = decodeImage(jps.data);
    ASSERT_TRUE(frame);
    const int w = pair.geometry.pixelsWide();
    EXPECT_EQ(frame.bitmap->pixelsWide(), 2 * w);
    EXPECT_EQ(frame.bitmap->pixelsHigh(), pair.geometry.pixelsHigh());
    // Korvex's reader gives the eyes back the right way round.
    const auto left = loadStereoShare(jps.data, StereoLayout::SideBySide, LeftRole);
    const auto right = loadStereoShare(jps.data, StereoLayout::SideBySide, RightRole);
    ASSERT_TRUE(left && right);
    EXPECT_LT(meanDifference(*left.bitmap, *pair.aligned().eyePicture(Eye::Left)), 1.5);
    EXPECT_LT(meanDifference(*right.bitmap, *pair.aligned().eyePicture(Eye::Right)), 1.5);

    const Tags tags = exiftoolTags(jps.data, "jps");
    EXPECT_EQ(valuesOf(tags, "[Main] JPSLayout"), Strings{"2"});
    EXPECT_EQ(valuesOf(tags, "[Main] JPSType"), Strings{"1"});
    EXPECT_EQ(valuesOf(tags, "[Main] JPSFlags"), Strings{"0"});
}

namespace {

struct GifFileCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

struct MemoryReader {
    const std::vector<std::uint8_t>* data;
    std::size_t at = 0;
};

int readMemory(GifFileType* gif, GifByteType* out, int length)
{
    auto* in = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t n = std::min(std::size_t(length), in->data->size() - in->at);
    std::memcpy(out, in->data->data() + in->at, n);
    in->at += n;
    return int(n);
}

// A GIF frame as an RGB canvas, through its own or the global palette.
std::unique_ptr<Bitmap> gifFrame(const GifFileType& gif, int index)
{
    const SavedImage& frame = gif.SavedImages[index];
    const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif.SColorMap;
    auto canvas = Bitmap::createRGBCanvas(frame.ImageDesc.Width, frame.ImageDesc.Height);
    for (int y = 0; y < frame.ImageDesc.Height; ++y)
        for (int x = 0; x < frame.ImageDesc.Width; ++x) {
            const GifColorType c = map->Colors[frame.RasterBits[y * frame.ImageDesc.Width + x]];
            std::uint8_t* p = canvas->bitmapData() + canvas->bytesPerRow() * std::size_t(y) + std::size_t(x) * 3;
            p[0] = c.Red;
            p[1] = c.Green;
            p[2] = c.Blue;
        }
    return canvas;
}

}  // namespace

TEST(PairFile, WiggleGifAlternatesTheEyesForever)
{
    const PhotoPair pair;
    for (const int milliseconds : {120, 250}) {
        const EncodeResult gif = encode(pair, PairFileType::WiggleGif, milliseconds);
        MemoryReader reader{&gif.data};
        int error = 0;
        std::unique_ptr<GifFileType, GifFileCloser> file(DGifOpen(&reader, readMemory, &error));
        ASSERT_TRUE(file);
        ASSERT_EQ(DGifSlurp(file.get()), GIF_OK);
        ASSERT_EQ(file->ImageCount, 2);
        for (int i = 0; i < 2; ++i) {
            GraphicsControlBlock control;
            ASSERT_EQ(DGifSavedExtensionToGCB(file.get(), i, &control), GIF_OK);
            EXPECT_EQ(control.DelayTime, milliseconds / 10);
            // Dithered to one palette of its own: close to the eye on average.
            const auto eye = pair.aligned().eyePicture(i == 0 ? Eye::Left : Eye::Right);
            EXPECT_LT(meanDifference(*gifFrame(*file, i), *eye), 3.0) << "frame " << i;
        }
        const Tags tags = exiftoolTags(gif.data, "gif");
        EXPECT_EQ(valuesOf(tags, "[Main] AnimationIterations"), Strings{"0"}) << "0 means forever";
        EXPECT_EQ(valuesOf(tags, "[Main] FrameCount"), Strings{"2"});
    }
    // Our own decoder reads its first frame: the left eye.
    const DecodeResult first = decodeImage(encode(pair, PairFileType::WiggleGif).data);
    ASSERT_TRUE(first);
    EXPECT_LT(meanDifference(*first.bitmap, *pair.aligned().eyePicture(Eye::Left)), 3.0);
}

TEST(PairFile, WiggleWebpAlternatesTheEyesForever)
{
    const PhotoPair pair;
    const EncodeResult webp = encode(pair, PairFileType::WiggleWebp, 150);
    WebPData data{webp.data.data(), webp.data.size()};
    WebPAnimDecoderOptions options;
    ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
    options.color_mode = MODE_RGBA;
    std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&data, &options),
                                                                        WebPAnimDecoderDelete);
    ASSERT_TRUE(decoder);
    WebPAnimInfo info;
    ASSERT_TRUE(WebPAnimDecoderGetInfo(decoder.get(), &info));
    EXPECT_EQ(info.frame_count, 2u);
    EXPECT_EQ(info.loop_count, 0u);
    EXPECT_EQ(int(info.canvas_width), pair.geometry.pixelsWide());
    EXPECT_EQ(int(info.canvas_height), pair.geometry.pixelsHigh());
    for (int i = 0; i < 2; ++i) {
        std::uint8_t* rgba = nullptr;
        int timestamp = 0;
        ASSERT_TRUE(WebPAnimDecoderGetNext(decoder.get(), &rgba, &timestamp));
        EXPECT_EQ(timestamp, 150 * (i + 1)) << "each frame ends 150 ms after the last";
        Bitmap::Layout layout;
        layout.pixelsWide = int(info.canvas_width);
        layout.pixelsHigh = int(info.canvas_height);
        layout.samplesPerPixel = 4;
        layout.hasAlpha = true;
        layout.bytesPerRow = std::size_t(layout.pixelsWide) * 4;
        auto frame = Bitmap::create(layout);
        std::memcpy(frame->bitmapData(), rgba, frame->totalBytes());
        const auto eye = pair.aligned().eyePicture(i == 0 ? Eye::Left : Eye::Right);
        EXPECT_LT(meanDifference(*frame, *eye), 3.0) << "frame " << i;
    }
}

TEST(PairFile, TypesAreFoundByExactNameAndByExtension)
{
    EXPECT_EQ(pairFileTypeForName("MPO"), PairFileType::Mpo);
    EXPECT_EQ(pairFileTypeForName("JPS"), PairFileType::Jps);
    EXPECT_EQ(pairFileTypeForName("Wiggle (GIF)"), PairFileType::WiggleGif);
    EXPECT_EQ(pairFileTypeForName("Wiggle (WebP)"), PairFileType::WiggleWebp);
    for (const char* still : {"JPEG", "JPS picture", "jps", "GIF", "MPO ", "Wiggle"})
        EXPECT_FALSE(pairFileTypeForName(still)) << still;
    EXPECT_EQ(pairFileTypeForExtension("MPO", StereoFormat::Mpo), PairFileType::Mpo);
    EXPECT_EQ(pairFileTypeForExtension("gif", StereoFormat::Wiggle), PairFileType::WiggleGif);
    EXPECT_EQ(pairFileTypeForExtension("WebP", StereoFormat::Wiggle), PairFileType::WiggleWebp);
    EXPECT_FALSE(pairFileTypeForExtension("png", StereoFormat::Mpo));
    EXPECT_FALSE(pairFileTypeForExtension("gif", StereoFormat::Mpo));
}
