// korvex-compose's --format, --gap and --wiggle-ms: parsed, then run end to
// end with every output read back.
#include "cli/CommandLine.h"
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/imageview/JpsDescriptor.h"
#include "core/imageview/MultiPictureFile.h"
#include "core/imageview/PictureStore.h"
#include "core/imageview/StereoFile.h"

#include "../core/TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvex;
using namespace korvex::testing;
namespace fs = std::filesystem;

TEST(StereoFormatOptions, FormatsComeFromTheOptionOrTheOutputName)
{
    struct Case {
        std::vector<std::string> args;
        StereoFormat format;
        std::string typeName;
    };
    const Case cases[] = {
        {{"l", "r", "o.png"}, StereoFormat::Anaglyph, "PNG"},
        {{"--format", "side-by-side", "--gap", "8", "l", "r", "o.jpg"}, StereoFormat::SideBySide, "JPEG"},
        {{"--format=cross-eyed", "l", "r", "o.tif"}, StereoFormat::CrossEyed, "TIFF"},
        {{"--format", "over-under", "--gap=0", "l", "r", "o.gif"}, StereoFormat::OverUnder, "GIF"},
        {{"--format", "half-side-by-side", "l", "r", "o.png"}, StereoFormat::HalfSideBySide, "PNG"},
        {{"--format", "half-over-under", "l", "r", "o.png"}, StereoFormat::HalfOverUnder, "PNG"},
        {{"--format", "interleaved", "l", "r", "o.png"}, StereoFormat::InterleavedRows, "PNG"},
        {{"l", "r", "o.mpo"}, StereoFormat::Mpo, "MPO"},
        {{"l", "r", "o.JPS"}, StereoFormat::Jps, "JPS"},
        {{"--format", "mpo", "l", "r", "o.MPO"}, StereoFormat::Mpo, "MPO"},
        {{"--type", "jps", "l", "r", "o.jps"}, StereoFormat::Jps, "JPS"},
        {{"--format", "wiggle", "l", "r", "o.gif"}, StereoFormat::Wiggle, "Wiggle (GIF)"},
        {{"--format", "wiggle", "--wiggle-ms", "250", "l", "r", "o.webp"}, StereoFormat::Wiggle, "Wiggle (WebP)"},
    };
    for (const Case& c : cases) {
        const CommandLine line = CommandLine::parse(c.args);
        ASSERT_EQ(line.action, CommandLine::Action::Compose) << c.args.back() << ": " << line.error;
        EXPECT_EQ(line.options.format, c.format) << c.args.back();
        EXPECT_EQ(line.options.typeName, c.typeName) << c.args.back();
    }
    const CommandLine timed = CommandLine::parse({"--format", "wiggle", "--wiggle-ms", "250", "l", "r", "o.webp"});
    EXPECT_EQ(timed.options.wiggleMilliseconds, 250);
    EXPECT_EQ(CommandLine::parse({"--format", "side-by-side", "--gap", "8", "l", "r", "o.jpg"}).options.gap, 8);
}

TEST(StereoFormatOptions, FormatsTheFileCannotHoldAreUsageErrors)
{
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const Case cases[] = {
        {{"--format", "mpo", "l", "r", "o.png"}, "--format mpo writes .mpo files, not 'o.png'"},
        {{"--format", "wiggle", "l", "r", "o.jpg"}, "writes .gif or .webp files"},
        {{"--format", "jps", "l", "r", "o.mpo"}, "--format jps writes .jps files"},
        {{"--format", "side-by-side", "l", "r", "o.mpo"}, "'o.mpo' cannot hold the side-by-side format"},
        {{"l", "r", "o.webp"}, "'o.webp' cannot hold the anaglyph format"},
        {{"--format", "mpo", "--type", "JPEG", "l", "r", "o.mpo"}, "type 'JPEG' does not make"},
        {{"--type", "MPO", "--format", "jps", "l", "r", "o.jps"}, "type 'MPO' does not hold --format jps"},
        {{"--type", "JPS", "l", "r", "o.jpg"}, "--format jps writes .jps files"},
        {{"--format", "stereo", "l", "r", "o.png"}, "unknown format 'stereo'"},
        {{"--format", "half-side-by-side", "--gap", "2", "l", "r", "o.png"}, "--gap applies to side-by-side"},
        {{"--gap", "-1", "--format", "side-by-side", "l", "r", "o.png"}, "from 0 to 65535"},
        {{"--wiggle-ms", "100", "l", "r", "o.png"}, "--wiggle-ms applies to the wiggle format only"},
        {{"--format", "wiggle", "--wiggle-ms", "5", "l", "r", "o.gif"}, "from 20 to 10000"},
    };
    for (const Case& c : cases) {
        const CommandLine line = CommandLine::parse(c.args);
        EXPECT_EQ(line.action, CommandLine::Action::UsageError) << c.says;
        EXPECT_NE(line.error.find(c.says), std::string::npos) << line.error;
    }
}

namespace {

const Color leftColour = Color::rgb(0.9, 0.1, 0.1);
const Color rightColour = Color::rgb(0.1, 0.2, 0.9);

bool near(const Color& a, const Color& b)
{
    return std::abs(a.red - b.red) < 0.06 && std::abs(a.green - b.green) < 0.06 && std::abs(a.blue - b.blue) < 0.06;
}

class StereoFormatsProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::path(::testing::TempDir()) / ("formats-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        write(folder / "l.png", FileType::PNG, solidCanvas(40, 30, 0.9, 0.1, 0.1));
        write(folder / "r.png", FileType::PNG, solidCanvas(36, 30, 0.1, 0.2, 0.9));
    }
    void TearDown() override { fs::remove_all(folder); }

    static void write(const fs::path& path, FileType type, const std::unique_ptr<Bitmap>& picture)
    {
        const auto bytes = representationUsingType(*picture, type, {0.98f, {}}).data;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    // Runs the built program on the pair; returns its exit status, its errors in `err`.
    int run(std::vector<std::string> args, const std::string& output)
    {
        std::string command = std::string(KORVEX_COMPOSE_BINARY);
        args.insert(args.end(), {(folder / "l.png").string(), (folder / "r.png").string(), (folder / output).string()});
        for (const auto& a : args)
            command += " '" + a + "'";
        command += " 2>'" + (folder / "err.txt").string() + "'";
        const int raw = std::system(command.c_str());
        err = readBytesAsText(folder / "err.txt");
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    static std::string readBytesAsText(const fs::path& path)
    {
        const auto bytes = readBytes(path.string());
        return {bytes.begin(), bytes.end()};
    }

    fs::path folder;
    std::string err;
};

}  // namespace

TEST_F(StereoFormatsProgram, EveryFrameFormatIsWrittenWithTheEyesInPlace)
{
    // The overlap of a 40 and a 36 pixel wide picture pinned at their centres is 36 x 30.
    struct Case {
        std::vector<std::string> args;
        int w, h;
        std::vector<std::tuple<int, int, Color>> samples;  // x, y and the colour there
    };
    const Color white = Color::rgb(1, 1, 1);
    const Case cases[] = {
        {{"--format", "side-by-side", "--gap", "6"}, 78, 30, {{10, 10, leftColour}, {38, 5, white}, {50, 10, rightColour}}},
        {{"--format", "cross-eyed"}, 72, 30, {{10, 10, rightColour}, {50, 10, leftColour}}},
        {{"--format", "over-under", "--gap", "2"}, 36, 62, {{10, 10, leftColour}, {10, 31, white}, {10, 50, rightColour}}},
        {{"--format", "half-side-by-side"}, 36, 30, {{8, 10, leftColour}, {28, 10, rightColour}}},
        {{"--format", "half-over-under"}, 36, 30, {{10, 6, leftColour}, {10, 24, rightColour}}},
        {{"--format", "interleaved"}, 36, 30, {{10, 10, leftColour}, {10, 11, rightColour}}},
    };
    for (const Case& c : cases) {
        const std::string what = c.args[1];
        ASSERT_EQ(run(c.args, what + ".png"), 0) << what << ": " << err;
        const DecodeResult frame = decodeImageFile((folder / (what + ".png")).string());
        ASSERT_TRUE(frame) << what;
        EXPECT_EQ(frame.bitmap->pixelsWide(), c.w) << what;
        EXPECT_EQ(frame.bitmap->pixelsHigh(), c.h) << what;
        for (const auto& [x, y, colour] : c.samples)
            EXPECT_TRUE(near(frame.bitmap->colorAt(x, y), colour)) << what << " at " << x << "," << y;
    }
}

TEST_F(StereoFormatsProgram, PairFilesReadBackAsThePair)
{
    ASSERT_EQ(run({}, "pair.mpo"), 0) << err;
    const auto mpo = readBytes((folder / "pair.mpo").string());
    EXPECT_TRUE(readMultiPictureIndex(mpo).isStereoPair);
    ASSERT_EQ(run({"--format", "jps"}, "pair.jps"), 0) << err;
    const auto jps = readBytes((folder / "pair.jps").string());
    for (const auto& [file, layout] : {std::pair{&mpo, StereoLayout::MultiPicture}, std::pair{&jps, StereoLayout::SideBySide}}) {
        const auto l = loadStereoShare(*file, layout, LeftRole);
        const auto r = loadStereoShare(*file, layout, RightRole);
        ASSERT_TRUE(l && r);
        EXPECT_EQ(l.bitmap->pixelsWide(), 36);
        EXPECT_TRUE(near(l.bitmap->colorAt(5, 5), leftColour));
        EXPECT_TRUE(near(r.bitmap->colorAt(5, 5), rightColour));
    }

    ASSERT_EQ(run({"--format", "wiggle", "--wiggle-ms", "200"}, "wiggle.gif"), 0) << err;
    const DecodeResult firstFrame = decodeImageFile((folder / "wiggle.gif").string());
    ASSERT_TRUE(firstFrame);
    EXPECT_TRUE(near(firstFrame.bitmap->colorAt(5, 5), leftColour));
    ASSERT_EQ(run({"--format", "wiggle"}, "wiggle.webp"), 0) << err;
    const std::string webp = readBytesAsText(folder / "wiggle.webp");
    EXPECT_EQ(webp.substr(0, 4), "RIFF");
    EXPECT_NE(webp.find("ANIM"), std::string::npos);
}

TEST_F(StereoFormatsProgram, AResultTooSmallForItsFormatWritesNothing)
{
    // Pins at opposite edges leave an overlap one pixel wide.
    EXPECT_EQ(run({"--format", "half-side-by-side", "--left-pin", "0,15", "--right-pin", "35,15"}, "thin.png"), 1);
    EXPECT_NE(err.find("half-side-by-side needs a result at least 2 pixels wide"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(folder / "thin.png"));
    EXPECT_EQ(run({"--format", "mpo"}, "wrong.png"), 2);
    EXPECT_FALSE(fs::exists(folder / "wrong.png"));
}
