// The streamed composition against the whole-picture path of the same job:
// the same file, byte for byte, and the same messages.
#include "cli/ComposeJob.h"
#include "cli/StreamedComposeJob.h"
#include "core/bitmap/ImageEncoder.h"

#include "../core/JpegTestSegments.h"
#include "../core/TestPictures.h"
#include "../core/align/WarpedPairs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace korvex;
using namespace korvex::testing;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::uint8_t> jpegOf(int w, int h, bool grey, float quality)
{
    Bitmap::Layout layout;
    layout.pixelsWide = w;
    layout.pixelsHigh = h;
    layout.samplesPerPixel = grey ? 1 : 3;
    layout.colorSpace = grey ? ColorSpace::CalibratedWhite : ColorSpace::CalibratedRGB;
    return representationUsingType(*patternBitmap(layout), FileType::JPEG, {quality, {}}).data;
}

class StreamedComposeJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::path(::testing::TempDir()) / ("streamed-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path file(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        writeFile(folder / name, bytes);
        return folder / name;
    }

    struct Both {
        std::optional<ComposeJob::Outcome> streamed;
        ComposeJob::Outcome whole;
        std::vector<std::uint8_t> streamedBytes;
        std::vector<std::uint8_t> wholeBytes;
    };
    // The job streamed and taken whole, each into a file of its own.
    Both runBoth(ComposeOptions options)
    {
        Both both;
        options.output = (folder / "streamed.jpg").string();
        fs::remove(options.output);
        both.streamed = StreamedComposeJob::run(options);
        both.streamedBytes = readBytes(options.output);
        options.output = (folder / "whole.jpg").string();
        fs::remove(options.output);
        both.whole = ComposeJob::runWithWholePictures(options);
        both.wholeBytes = readBytes(options.output);
        return both;
    }

    ComposeOptions pair(const fs::path& left, const fs::path& right)
    {
        ComposeOptions options;
        options.left = left.string();
        options.right = right.string();
        options.typeName = "JPEG";
        return options;
    }

    fs::path folder;
};

struct Job {
    const char* name;
    bool leftGrey, rightGrey;
    float quality;  // of the sources: below 0.9 they are subsampled 4:2:0
    int glasses;
    bool colorize;
    AnaglyphMethod method;
    std::int32_t depth, vertical;
    std::optional<Point> leftPin, rightPin;
};

TEST_F(StreamedComposeJobTest, GivesTheWholePicturePathsFileByteForByte)
{
    const MixingMatrices customMatrices{{299, 587, 114, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1000, 0, 0, 0, 1000}};
    const std::vector<Job> jobs = {
        {"centred red-cyan", false, false, 0.98f, 2, true, AnaglyphMethod::Classic, 0, 0, {}, {}},
        {"black and white, depth", false, false, 0.75f, 2, false, AnaglyphMethod::Classic, 9, 0, {}, {}},
        {"dimmed glasses, negative vertical", false, false, 0.98f, 1, true, AnaglyphMethod::Classic, -5, -7, {}, {}},
        {"vertical beyond several bands", false, false, 0.75f, 3, true, AnaglyphMethod::Classic, 3, 70, {}, {}},
        {"large negative vertical", false, false, 0.98f, 5, true, AnaglyphMethod::Classic, -40, -91, {}, {}},
        {"pins far apart", false, false, 0.98f, 2, true, AnaglyphMethod::Classic, 0, 0,
         Point{100.5, 20}, Point{10, 90}},
        {"pins outside are clamped", false, false, 0.98f, 2, true, AnaglyphMethod::Classic, 4, 2,
         Point{-30, 500}, Point{1e9, -3}},
        {"dubois", false, false, 0.98f, 2, true, AnaglyphMethod::Dubois, 2, -3, {}, {}},
        {"half colour, amber-blue", false, false, 0.75f, 7, true, AnaglyphMethod::HalfColour, -2, 5, {}, {}},
        {"grey method", false, false, 0.98f, 9, true, AnaglyphMethod::Grey, 1, 1, {}, {}},
        {"custom matrices", false, false, 0.98f, 2, true, AnaglyphMethod::Custom, 0, 33, {}, {}},
        {"two grey pictures", true, true, 0.98f, 2, true, AnaglyphMethod::Classic, 6, -4, {}, {}},
        {"grey left, colour right", true, false, 0.75f, 2, true, AnaglyphMethod::Classic, 0, 12, {}, {}},
        {"colour left, grey right, dubois", false, true, 0.98f, 2, true, AnaglyphMethod::Dubois, 3, -45, {}, {}},
        {"grey pair in black and white", true, true, 0.98f, 4, false, AnaglyphMethod::Classic, 0, 0, {}, {}},
    };
    for (const Job& job : jobs) {
        SCOPED_TRACE(job.name);
        // Odd sizes that differ, so that neither picture's rows line up with the bands.
        const fs::path left = file("left.jpg", jpegOf(131, 97, job.leftGrey, job.quality));
        const fs::path right = file("right.jpg", jpegOf(120, 103, job.rightGrey, job.quality));
        ComposeOptions options = pair(left, right);
        options.glasses = job.glasses;
        options.colorize = job.colorize;
        options.method = job.method;
        if (job.method == AnaglyphMethod::Custom)
            options.matrix = customMatrices;
        options.depth = job.depth;
        options.vertical = job.vertical;
        options.leftPin = job.leftPin;
        options.rightPin = job.rightPin;
        for (const char* type : {"JPEG", "png"}) {
            SCOPED_TRACE(type);
            options.typeName = type;
            const Both both = runBoth(options);
            ASSERT_TRUE(both.streamed.has_value()) << "the job was not streamed";
            EXPECT_EQ(both.streamed->exitStatus, 0) << both.streamed->error;
            EXPECT_EQ(both.whole.exitStatus, 0) << both.whole.error;
            ASSERT_FALSE(both.wholeBytes.empty());
            EXPECT_TRUE(both.streamedBytes == both.wholeBytes) << both.streamedBytes.size() << " bytes against "
                                                               << both.wholeBytes.size();
        }
    }
}

TEST_F(StreamedComposeJobTest, ATurnedOrScaledRightPictureGivesTheWholePicturePathsFile)
{
    struct Correction {
        const char* name;
        double degrees, scale;
        int rightWide, rightHigh;
        std::int32_t vertical;
        bool cut;  // the right file ends in its rows
    };
    const std::vector<Correction> corrections = {
        {"a slight turn", 0.35, 1.0, 300, 200, 0, false},
        {"the widest turn, clockwise", 15.0, 1.0, 300, 200, -20, false},
        {"the widest turn, anticlockwise, tall picture", -15.0, 1.0, 90, 260, 11, false},
        {"shrunk", 0.0, 0.9, 300, 200, 0, false},
        {"enlarged and turned", -2.5, 1.15, 217, 173, 35, false},
        {"a turn reaching beyond the picture", 40.0, 1.0, 160, 120, 0, false},
        {"turned, the file cut in its rows", 1.5, 1.0, 300, 200, 0, true},
    };
    for (const Correction& c : corrections) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> rightBytes = jpegOf(c.rightWide, c.rightHigh, false, 0.98f);
        if (c.cut)
            rightBytes.resize(rightBytes.size() * 7 / 10);
        const fs::path left = file("left.jpg", jpegOf(c.rightWide + 7, c.rightHigh - 5, false, 0.75f));
        const fs::path right = file("right.jpg", rightBytes);
        ComposeOptions options = pair(left, right);
        options.rotateDegrees = c.degrees;
        options.scale = c.scale;
        options.vertical = c.vertical;
        for (const char* type : {"JPEG", "png"}) {
            SCOPED_TRACE(type);
            options.typeName = type;
            const Both both = runBoth(options);
            ASSERT_TRUE(both.streamed.has_value()) << "the job was not streamed";
            EXPECT_EQ(both.streamed->exitStatus, both.whole.exitStatus) << both.streamed->error;
            EXPECT_EQ(both.streamed->warnings, both.whole.warnings);
            ASSERT_FALSE(both.wholeBytes.empty());
            EXPECT_TRUE(both.streamedBytes == both.wholeBytes) << both.streamedBytes.size() << " bytes against "
                                                               << both.wholeBytes.size();
        }
    }
}

TEST_F(StreamedComposeJobTest, AutoAlignPlacesThePicturesAsTheWholePicturePathDoes)
{
    const auto sample = samplePicture("aloeL.jpg");
    ASSERT_TRUE(sample);
    const auto large = enlarged(*sample, 2);
    TrueMap truth{1.7, 0.97, 30.0, 80.0};
    const auto warped = warpedRight(*large, truth);
    const std::vector<std::uint8_t> largeLeft = representationUsingType(*large, FileType::JPEG, {0.92f, {}}).data;
    const std::vector<std::uint8_t> largeRight = representationUsingType(*warped, FileType::JPEG, {0.92f, {}}).data;
    struct Aligned {
        const char* name;
        fs::path left, right;
        std::optional<double> windowParallax;
        std::int32_t depth;
        const char* type;
    };
    const std::vector<Aligned> jobs = {
        {"a real pair, the window in front", fs::path(KORVEX_SAMPLE_DIR) / "aloeL.jpg",
         fs::path(KORVEX_SAMPLE_DIR) / "aloeR.jpg", 0.0, 0, "JPEG"},
        {"a turned pair decoded reduced, depth kept", file("large-left.jpg", largeLeft),
         file("large-right.jpg", largeRight), std::nullopt, 5, "png"},
    };
    for (const Aligned& job : jobs) {
        SCOPED_TRACE(job.name);
        ComposeOptions options = pair(job.left, job.right);
        options.autoAlign = true;
        options.printAlignment = true;
        options.windowParallax = job.windowParallax;
        options.depth = job.depth;
        options.typeName = job.type;
        const Both both = runBoth(options);
        ASSERT_TRUE(both.streamed.has_value()) << "the job was not streamed";
        EXPECT_EQ(both.streamed->exitStatus, 0) << both.streamed->error;
        EXPECT_EQ(both.whole.exitStatus, 0) << both.whole.error;
        EXPECT_EQ(both.streamed->alignmentJson, both.whole.alignmentJson);
        EXPECT_FALSE(both.whole.alignmentJson.empty());
        ASSERT_FALSE(both.wholeBytes.empty());
        EXPECT_TRUE(both.streamedBytes == both.wholeBytes) << both.streamedBytes.size() << " bytes against "
                                                           << both.wholeBytes.size();
    }
}

TEST_F(StreamedComposeJobTest, FilesOfEveryKindAndDamageGiveTheSameFileAndMessages)
{
    const std::vector<std::uint8_t> sample = readBytes(corpusPath("mixed/video-001.jpeg"));
    std::vector<std::uint8_t> cut(sample.begin(), sample.begin() + std::ptrdiff_t(sample.size() * 6 / 10));
    std::vector<std::uint8_t> headerOnly(sample.begin(), sample.begin() + 700);
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"progressive", readBytes(corpusPath("mixed/video-001.progressive.jpeg"))},
        {"cmyk", readBytes(corpusPath("mixed/video-001.cmyk.jpeg"))},
        {"4:1:1", readBytes(corpusPath("mixed/video-001.q50.411.jpeg"))},
        {"grey 2x2", readBytes(corpusPath("mixed/video-005.gray.q50.2x2.jpeg"))},
        {"truncated progressive", readBytes(corpusPath("mixed/video-001.progressive.truncated.jpeg"))},
        {"cut in its rows", cut},
        {"cut in its header", headerOnly},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const fs::path left = file("left.jpg", bytes);
        const fs::path right = file("right.jpg", sample);
        for (int arrangement = 0; arrangement < 3; ++arrangement) {
            SCOPED_TRACE(arrangement);
            // The file on the left, on the right, and on both sides.
            ComposeOptions options = arrangement == 0 ? pair(left, right) : arrangement == 1 ? pair(right, left)
                                                                                             : pair(left, left);
            options.vertical = 5;
            const Both both = runBoth(options);
            ASSERT_TRUE(both.streamed.has_value()) << "the job was not streamed";
            const ComposeJob::Outcome& streamed = *both.streamed;
            EXPECT_EQ(streamed.exitStatus, both.whole.exitStatus);
            EXPECT_EQ(streamed.error, both.whole.error);
            EXPECT_EQ(streamed.warnings, both.whole.warnings);
            EXPECT_TRUE(both.streamedBytes == both.wholeBytes);
        }
    }
}

TEST_F(StreamedComposeJobTest, JobsThatNeedWholePicturesAreLeftToThatPath)
{
    const std::vector<std::uint8_t> jpeg = jpegOf(64, 48, false, 0.9f);
    const fs::path left = file("left.jpg", jpeg);
    const fs::path right = file("right.jpg", jpeg);
    const fs::path png = file("right.png", representationUsingType(*patternBitmap({64, 48}), FileType::PNG, {}).data);
    const fs::path turned = file("turned.jpg", withSegment(jpeg, exifOrientationSegment(6)));
    const fs::path jps = file("pair.jps", jpeg);
    const fs::path grey = file("grey.jpg", jpegOf(64, 48, true, 0.9f));
    const std::vector<std::pair<std::string, std::function<void(ComposeOptions&)>>> needs = {
        {"a PNG picture", [&](ComposeOptions& o) { o.right = png.string(); }},
        {"an EXIF turn", [&](ComposeOptions& o) { o.left = turned.string(); }},
        {"a stereo file by its name", [&](ComposeOptions& o) { o.right = jps.string(); }},
        {"auto-align that finds nothing in common", [](ComposeOptions& o) { o.autoAlign = true; }},
        {"a grey right picture turned", [&](ComposeOptions& o) {
             o.right = grey.string();
             o.rotateDegrees = 0.5;
         }},
        {"a right picture flipped by its scale", [](ComposeOptions& o) { o.scale = -1.0; }},
        {"a side-by-side frame", [](ComposeOptions& o) { o.format = StereoFormat::SideBySide; }},
        {"a TIFF result", [](ComposeOptions& o) { o.typeName = "TIFF"; }},
        {"a GIF result", [](ComposeOptions& o) { o.typeName = "GIF"; }},
        {"pictures that do not overlap", [](ComposeOptions& o) { o.depth = 100; }},
    };
    for (const auto& [name, need] : needs) {
        SCOPED_TRACE(name);
        ComposeOptions options = pair(left, right);
        options.output = (folder / "out").string();
        need(options);
        EXPECT_FALSE(StreamedComposeJob::run(options).has_value());
        EXPECT_FALSE(fs::exists(options.output));
    }
    // A rotation of nothing and a scale of one change nothing: still streamed.
    ComposeOptions identity = pair(left, right);
    identity.output = (folder / "out").string();
    identity.rotateDegrees = 0.0;
    identity.scale = 1.0;
    EXPECT_TRUE(StreamedComposeJob::run(identity).has_value());
}

TEST_F(StreamedComposeJobTest, AFailedWriteLeavesTheExistingFileAndNoTemporary)
{
    const std::vector<std::uint8_t> jpeg = jpegOf(40, 30, false, 0.9f);
    ComposeOptions options = pair(file("left.jpg", jpeg), file("right.jpg", jpeg));
    options.output = (folder / "kept.jpg").string();
    writeFile(options.output, {1, 2, 3});
    // Only ComposeJob::run looks before composing; the final rename must refuse too.
    const std::optional<ComposeJob::Outcome> kept = StreamedComposeJob::run(options);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->exitStatus, 1);
    EXPECT_EQ(kept->error, options.output + " exists; add --overwrite to replace it");
    EXPECT_EQ(readBytes(options.output), (std::vector<std::uint8_t>{1, 2, 3}));

    options.output = (folder / "no-such-folder" / "out.jpg").string();
    const std::optional<ComposeJob::Outcome> nowhere = StreamedComposeJob::run(options);
    ASSERT_TRUE(nowhere.has_value());
    EXPECT_EQ(nowhere->exitStatus, 1);
    EXPECT_EQ(nowhere->error.rfind(options.output + ": cannot create a temporary file", 0), 0u) << nowhere->error;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
}

}  // namespace
