#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "core/compose/StereoDocument.h"
#include "cli/HeadlessHost.h"

#include "../core/JpegTestSegments.h"
#include "../core/TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvex;
using korvex::testing::readText;
namespace fs = std::filesystem;

namespace {

const std::string sampleLeft = KORVEX_SAMPLE_DIR "/aloeL.jpg";
const std::string sampleRight = KORVEX_SAMPLE_DIR "/aloeR.jpg";

std::string shellQuoted(const std::string& arg)
{
    std::string q = "'";
    for (char c : arg)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ComposeProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::path(::testing::TempDir()) / ("compose-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    // Runs the built program; prelude is shell set-up such as resource limits.
    ProgramRun run(const std::vector<std::string>& args, const std::string& prelude = "")
    {
        std::string command = prelude + "exec " + shellQuoted(KORVEX_COMPOSE_BINARY);
        for (const auto& a : args)
            command += " " + shellQuoted(a);
        const fs::path outFile = folder / "stdout.txt";
        const fs::path errFile = folder / "stderr.txt";
        command += " >" + shellQuoted(outFile.string()) + " 2>" + shellQuoted(errFile.string());
        const int raw = std::system(("sh -c " + shellQuoted(command)).c_str());
        ProgramRun r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readText(outFile);
        r.err = readText(errFile);
        fs::remove(outFile);
        fs::remove(errFile);
        return r;
    }

    // Everything in the folder but the given files: temporary leftovers.
    std::vector<std::string> strayFiles(std::initializer_list<fs::path> expected) const
    {
        std::vector<std::string> stray;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (std::find(expected.begin(), expected.end(), entry.path()) == expected.end())
                stray.push_back(entry.path().filename());
        }
        return stray;
    }

    fs::path folder;
};

bool isOneLine(const std::string& text)
{
    return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

TEST_F(ComposeProgramTest, ComposesTheSamplePairQuietlyAndLikeTheWindow)
{
    const fs::path output = folder / "aloe.png";
    const ProgramRun r = run({"--glasses", "gr", "--bw", "--depth", "-7", "--vertical", "3", "--left-pin", "100.5,80.25",
                       sampleLeft, sampleRight, output});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(strayFiles({output}).empty());

    const DecodeResult written = decodeImageFile(output);
    ASSERT_TRUE(written) << written.error;

    // The same composition done in memory, as the window does it.
    PictureStore left, right, result;
    left.setType(LeftRole);
    right.setType(RightRole);
    ASSERT_TRUE(left.setImageWithFile(sampleLeft));
    ASSERT_TRUE(right.setImageWithFile(sampleRight));
    left.setPinPoint({100.5, 80.25});
    HeadlessHost host;
    MemoryDefaults defaults;
    defaults.setInteger("GlassesType", 4);
    StereoDocument document(left, right, result, host, defaults);
    document.setUpFromDefaults();
    document.setAlignment(-7, 3);
    document.recalc();
    const Bitmap* expected = result.image();
    ASSERT_NE(expected, nullptr);
    ASSERT_EQ(written.bitmap->pixelsWide(), expected->pixelsWide());
    ASSERT_EQ(written.bitmap->pixelsHigh(), expected->pixelsHigh());
    int differing = 0;
    for (int y = 0; y < expected->pixelsHigh(); ++y)
        for (int x = 0; x < expected->pixelsWide(); x += 7) {
            const Color a = written.bitmap->colorAt(x, y);
            const Color b = expected->colorAt(x, y);
            differing += a.red != b.red || a.green != b.green || a.blue != b.blue;
        }
    EXPECT_EQ(differing, 0);
}

TEST_F(ComposeProgramTest, MethodsComposeAsTheDocumentDoes)
{
    // Grey with amber-blue glasses: red and green carry the left luma, blue the right's.
    const fs::path output = folder / "grey.png";
    ProgramRun r = run({"--glasses", "ab", "--method", "grey", sampleLeft, sampleRight, output});
    ASSERT_EQ(r.status, 0) << r.err;
    const DecodeResult written = decodeImageFile(output);
    ASSERT_TRUE(written) << written.error;
    const DecodeResult left = decodeImageFile(sampleLeft);
    const DecodeResult right = decodeImageFile(sampleRight);
    ASSERT_TRUE(left && right);
    ASSERT_EQ(written.bitmap->pixelsWide(), left.bitmap->pixelsWide());
    for (int y = 0; y < written.bitmap->pixelsHigh(); y += 37) {
        for (int x = 0; x < written.bitmap->pixelsWide(); x += 41) {
            auto luma = [&](const Bitmap& b) {
                const Color c = b.colorAt(x, y);
                return 255.0 * (0.299 * c.red + 0.587 * c.green + 0.114 * c.blue);
            };
            const Color out = written.bitmap->colorAt(x, y);
            EXPECT_NEAR(out.red * 255, luma(*left.bitmap), 1.0);
            EXPECT_NEAR(out.green * 255, luma(*left.bitmap), 1.0);
            EXPECT_NEAR(out.blue * 255, luma(*right.bitmap), 1.0);
        }
    }

    r = run({"--glasses", "rb", "--method", "dubois", sampleLeft, sampleRight, folder / "no.png"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_NE(r.err.find("rb glasses"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(folder / "no.png"));
}

TEST_F(ComposeProgramTest, StereoFileIsSplitIntoItsTwoShares)
{
    // A side-by-side pair 4 + 4 pixels wide, stored as PNG under a stereo name.
    auto frame = Bitmap::createRGBCanvas(8, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x)
            frame->setColor(x < 4 ? Color::rgb(200 / 255.0, 10 / 255.0, 20 / 255.0)
                                  : Color::rgb(30 / 255.0, 120 / 255.0, 240 / 255.0), x, y);
    const EncodeResult png = representationUsingType(*frame, FileType::PNG, {});
    ASSERT_TRUE(png) << png.error;
    const fs::path pair = folder / "pair.jps";
    std::ofstream(pair, std::ios::binary).write(reinterpret_cast<const char*>(png.data.data()), png.data.size());

    const fs::path output = folder / "pair.tif";
    const ProgramRun r = run({"--glasses", "rc", pair, output});
    ASSERT_EQ(r.status, 0) << r.err;
    const DecodeResult written = decodeImageFile(output);
    ASSERT_TRUE(written) << written.error;
    EXPECT_EQ(written.bitmap->pixelsWide(), 4);
    EXPECT_EQ(written.bitmap->pixelsHigh(), 2);
    const Color c = written.bitmap->colorAt(1, 1);
    EXPECT_EQ(int(c.red * 255 + 0.5), 200);
    EXPECT_EQ(int(c.green * 255 + 0.5), 100);  // 120 / 1.2
    EXPECT_EQ(int(c.blue * 255 + 0.5), 200);   // 240 / 1.2
}

TEST_F(ComposeProgramTest, ExitStatusesAndOneLineErrors)
{
    const fs::path output = folder / "out.png";

    ProgramRun r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: korvex-compose", 0), 0u);
    r = run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("korvex-compose ", 0), 0u);

    r = run({sampleLeft, sampleRight});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    r = run({"--glasses", "xy", sampleLeft, sampleRight, output});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;

    const fs::path missing = folder / "no such picture.jpg";
    r = run({missing, sampleRight, output});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_NE(r.err.find(missing.string()), std::string::npos) << r.err;

    const fs::path garbage = folder / "garbage.jpg";
    std::ofstream(garbage) << "not a picture\n";
    r = run({sampleLeft, garbage, output});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_NE(r.err.find(garbage.string()), std::string::npos) << r.err;

    r = run({"--depth", "100000", sampleLeft, sampleRight, output});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_NE(r.err.find("overlap"), std::string::npos) << r.err;

    EXPECT_FALSE(fs::exists(output));
    EXPECT_TRUE(strayFiles({garbage}).empty());
}

TEST_F(ComposeProgramTest, FailedRunsLeaveAnExistingOutputUntouched)
{
    const fs::path output = folder / "keep.png";
    std::ofstream(output, std::ios::binary) << "precious bytes";

    EXPECT_EQ(run({"--overwrite", "--depth=-99999", sampleLeft, sampleRight, output}).status, 1);
    EXPECT_EQ(run({"--overwrite", folder / "missing.jpg", sampleRight, output}).status, 1);
    // The encoded file cannot be written out: the file size limit stops the writes.
    const ProgramRun limited = run({"--overwrite", sampleLeft, sampleRight, output}, "trap '' XFSZ; ulimit -f 2; ");
    EXPECT_EQ(limited.status, 1);
    EXPECT_TRUE(isOneLine(limited.err)) << limited.err;
    EXPECT_NE(limited.err.find(output.string()), std::string::npos) << limited.err;

    EXPECT_EQ(readText(output), "precious bytes");
    EXPECT_TRUE(strayFiles({output}).empty());
}

TEST_F(ComposeProgramTest, UnwritableFolderIsReportedAsAFailure)
{
    // Root may write anywhere but into /proc.
    fs::path unwritable = folder / "locked";
    if (::geteuid() == 0) {
        unwritable = "/proc";
    } else {
        fs::create_directories(unwritable);
        fs::permissions(unwritable, fs::perms::owner_read | fs::perms::owner_exec);
    }
    const fs::path output = unwritable / "out.png";
    const ProgramRun r = run({sampleLeft, sampleRight, output});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_NE(r.err.find(output.string()), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(output));
    if (unwritable != "/proc")
        fs::permissions(unwritable, fs::perms::owner_all);
}

}  // namespace

namespace {

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

int level(double component)
{
    return int(component * 255 + 0.5);
}

}  // namespace

TEST_F(ComposeProgramTest, CameraStereoFilesComposeEyeByEye)
{
    using namespace korvex::testing;
    // An MPO whose first picture (the left eye) is red and second is cyan-blue.
    const fs::path mpo = folder / "camera.MPO";
    writeBytes(mpo, multiPictureFile(solidJpeg(48, 32, 0.9, 0.1, 0.1), solidJpeg(48, 32, 0.1, 0.6, 0.9), 0x020002, 0x020002));
    const fs::path fromMpo = folder / "mpo.png";
    ProgramRun r = run({"--glasses", "rg", mpo, fromMpo});
    ASSERT_EQ(r.status, 0) << r.err;
    DecodeResult written = decodeImageFile(fromMpo);
    ASSERT_TRUE(written);
    EXPECT_EQ(written.bitmap->pixelsWide(), 48);
    Color c = written.bitmap->colorAt(20, 20);
    EXPECT_NEAR(level(c.red), 230, 4);   // left red
    EXPECT_NEAR(level(c.green), 153, 4); // right green
    EXPECT_NEAR(level(c.blue), 230, 4);  // right blue

    // A JPS marked cross-eyed: the left eye is the right half.
    auto frame = Bitmap::createRGBCanvas(64, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            frame->setColor(x < 32 ? Color::rgb(0.1, 0.6, 0.9) : Color::rgb(0.9, 0.1, 0.1), x, y);
    const auto jpeg = representationUsingType(*frame, FileType::JPEG, {0.98f, {}}).data;
    const fs::path jps = folder / "crossed.jps";
    writeBytes(jps, withSegment(jpeg, jpsSegment(0x00, 0x02)));
    const fs::path fromJps = folder / "jps.png";
    r = run({"--glasses", "rg", jps, fromJps});
    ASSERT_EQ(r.status, 0) << r.err;
    written = decodeImageFile(fromJps);
    ASSERT_TRUE(written);
    EXPECT_EQ(written.bitmap->pixelsWide(), 32);
    c = written.bitmap->colorAt(10, 10);
    EXPECT_NEAR(level(c.red), 230, 4);
    EXPECT_NEAR(level(c.green), 153, 4);
}

namespace {

// A side-by-side pair, 4 + 4 pixels, stored as PNG under a stereo name.
void writeSideBySidePair(const fs::path& path)
{
    auto frame = Bitmap::createRGBCanvas(8, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x)
            frame->setColor(x < 4 ? Color::rgb(0.8, 0.1, 0.1) : Color::rgb(0.1, 0.5, 0.9), x, y);
    writeBytes(path, representationUsingType(*frame, FileType::PNG, {}).data);
}

bool startsWith(const std::string& bytes, std::string_view prefix)
{
    return bytes.rfind(prefix, 0) == 0;
}

}  // namespace

TEST_F(ComposeProgramTest, AnExistingOutputIsReplacedOnlyWithOverwrite)
{
    // "korvex-compose pair.jps right.png", meant as a pair, names right.png as the output.
    const fs::path pair = folder / "pair.jps";
    writeSideBySidePair(pair);
    const fs::path right = folder / "right.png";
    std::ofstream(right, std::ios::binary) << "the right picture";

    ProgramRun r = run({pair, right});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvex-compose: " + right.string() + " exists; add --overwrite to replace it\n");
    EXPECT_EQ(readText(right), "the right picture");

    r = run({sampleLeft, sampleRight, right});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(readText(right), "the right picture");

    r = run({"--overwrite", pair, right});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(startsWith(readText(right), "\x89PNG"));
    EXPECT_TRUE(strayFiles({pair, right}).empty());
}

TEST_F(ComposeProgramTest, TypeNamesAreReadInAnyCase)
{
    const fs::path pair = folder / "pair.jps";
    writeSideBySidePair(pair);
    const std::vector<std::tuple<std::string, std::string, std::string_view>> cases{
        {"png", "a.png", "\x89PNG"},
        {"jpeg", "b.jpg", "\xff\xd8"},
        {"Gif", "c.gif", "GIF8"},
        {"tiff", "d.tif", "II*"},
    };
    for (const auto& [type, name, signature] : cases) {
        const ProgramRun r = run({"--type", type, pair, folder / name});
        ASSERT_EQ(r.status, 0) << type << ": " << r.err;
        EXPECT_TRUE(startsWith(readText(folder / name), signature)) << type;
    }
    const ProgramRun r = run({"--type", "png", pair, folder / "e.jpg"});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(fs::exists(folder / "e.jpg"));
}

TEST_F(ComposeProgramTest, ADamagedStereoFileIsWarnedAboutOnce)
{
    using namespace korvex::testing;
    auto frame = Bitmap::createRGBCanvas(64, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            frame->setColor(Color::rgb(x / 64.0, y / 32.0, 0.5), x, y);
    std::vector<std::uint8_t> jpeg = representationUsingType(*frame, FileType::JPEG, {0.98f, {}}).data;
    jpeg.resize(jpeg.size() * 2 / 3);  // the last rows are missing
    const fs::path pair = folder / "cut.jps";
    writeBytes(pair, jpeg);

    const ProgramRun r = run({pair, folder / "cut.png"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(isOneLine(r.err)) << r.err;
    EXPECT_NE(r.err.find("warning: " + pair.string()), std::string::npos) << r.err;
}
