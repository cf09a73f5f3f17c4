// Stereo files of one and two pixels, odd row counts, and shares that do not
// overlap: each gives the share the split rules say, or a refusal with its
// reason, and the composition of shares that miss each other is empty.
#include "core/compose/MemoryDefaults.h"
#include "core/compose/StereoDocument.h"
#include "core/imageview/PictureStore.h"

#include "../JpegTestSegments.h"
#include "HostileFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

using namespace korvex;
using namespace korvex::testing;

namespace {

// Pixel (x, y), y from the top, has red 10 + 60x and green 10 + 40y.
int redOf(int x) { return 10 + 60 * x; }
int greenOf(int y) { return 10 + 40 * y; }

std::vector<std::uint8_t> coordinatePng(int w, int h)
{
    auto canvas = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = canvas->bitmapData() + std::size_t(y) * canvas->bytesPerRow() + std::size_t(x) * 3;
            p[0] = std::uint8_t(redOf(x));
            p[1] = std::uint8_t(greenOf(y));
            p[2] = 200;
        }
    return representationUsingType(*canvas, FileType::PNG, {}).data;
}

// "x,y" of the source pixel a share pixel came from, "clear" when transparent.
std::string sourceOf(const Bitmap& b, int x, int y)
{
    const Color c = b.colorAt(x, y);
    if (c.alpha == 0.0)
        return "clear";
    return std::to_string(int(std::lround((c.red * 255 - 10) / 60))) + ","
           + std::to_string(int(std::lround((c.green * 255 - 10) / 40)));
}

// Every pixel's source, rows from the top separated by "|".
std::string sources(const Bitmap& b)
{
    std::string s;
    for (int y = 0; y < b.pixelsHigh(); ++y) {
        if (y)
            s += " | ";
        for (int x = 0; x < b.pixelsWide(); ++x)
            s += (x ? " " : "") + sourceOf(b, x, y);
    }
    return s;
}

class OddStereoShapes : public ::testing::Test {
protected:
    OddStereoShapes()
        : dir_(std::filesystem::temp_directory_path() / ("korvex-odd-shapes-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(dir_);
    }
    ~OddStereoShapes() override { std::filesystem::remove_all(dir_); }

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const std::filesystem::path path = dir_ / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path.string();
    }

    // What a view of the given role holds after loading the file.
    static std::string load(const std::string& path, int role, PictureStore* into = nullptr)
    {
        PictureStore local;
        PictureStore& view = into ? *into : local;
        view.setType(role);
        if (!view.setImageWithFile(path))
            return "refused: " + view.lastError();
        return sources(*view.image());
    }

private:
    std::filesystem::path dir_;
};

}  // namespace

TEST_F(OddStereoShapes, SideBySideHalvesOfTinyAndOddWidths)
{
    // One column cannot be halved.
    const std::string one = write("one.jps", coordinatePng(1, 3));
    EXPECT_EQ(load(one, LeftRole), "refused: stereo picture too small to split (a share would be 0 x 3 pixels)");
    EXPECT_EQ(load(one, RightRole), "refused: stereo picture too small to split (a share would be 0 x 3 pixels)");

    const std::string two = write("two.jps", coordinatePng(2, 1));
    EXPECT_EQ(load(two, LeftRole), "0,0");
    EXPECT_EQ(load(two, RightRole), "1,0");

    // The middle column of an odd width belongs to neither eye.
    const std::string three = write("three.JPS", coordinatePng(3, 2));
    EXPECT_EQ(load(three, LeftRole), "0,0 | 0,1");
    EXPECT_EQ(load(three, RightRole), "2,0 | 2,1");

    PictureStore view;
    load(two, RightRole, &view);
    EXPECT_EQ(view.size(), (Size{1, 1}));
    EXPECT_EQ(view.pinPoint(), (Point{0.5, 0.5}));
}

TEST_F(OddStereoShapes, RowInterleavedSharesOfOneTwoAndFiveRows)
{
    // Rows count from the bottom: the left eye takes rows 1, 3, ..., the
    // right eye rows 0, 2, ...; the canvas is H / 2 + 1 rows, filled upwards.
    const std::string one = write("one.pns", coordinatePng(2, 1));
    EXPECT_EQ(load(one, LeftRole), "clear clear");
    EXPECT_EQ(load(one, RightRole), "0,0 1,0");

    const std::string two = write("two.pns", coordinatePng(1, 2));
    EXPECT_EQ(load(two, LeftRole), "clear | 0,0");
    EXPECT_EQ(load(two, RightRole), "clear | 0,1");

    const std::string five = write("five.PNS", coordinatePng(1, 5));
    EXPECT_EQ(load(five, LeftRole), "clear | 0,1 | 0,3");
    EXPECT_EQ(load(five, RightRole), "0,0 | 0,2 | 0,4");

    PictureStore view;
    load(five, LeftRole, &view);
    EXPECT_EQ(view.size(), (Size{1, 3}));
    EXPECT_EQ(view.pinPoint(), (Point{0.5, 1.5}));
}

TEST_F(OddStereoShapes, MarkedJpsLayoutsTooSmallToSplitAreRefused)
{
    const std::vector<std::uint8_t> oneRow = encodedPicture(FileType::JPEG, 4, 1);
    const std::string overUnder = write("over-under.jps", withSegment(oneRow, jpsSegment(0x04, 0x03)));
    EXPECT_EQ(load(overUnder, LeftRole), "refused: stereo picture too small to split (a share would be 4 x 0 pixels)");
    // Interleaved rows from the top: one row goes to the first eye only.
    const std::string interleaved = write("interleaved.jps", withSegment(oneRow, jpsSegment(0x04, 0x01)));
    PictureStore first;
    load(interleaved, LeftRole, &first);
    EXPECT_EQ(first.size(), (Size{4, 1}));
    EXPECT_EQ(load(interleaved, RightRole), "refused: stereo picture too small to split (a share would be 4 x 0 pixels)");

    const std::vector<std::uint8_t> oneColumn = encodedPicture(FileType::JPEG, 1, 3);
    const std::string sideBySide = write("side-by-side.jps", withSegment(oneColumn, jpsSegment(0x04, 0x02)));
    EXPECT_EQ(load(sideBySide, RightRole), "refused: stereo picture too small to split (a share would be 0 x 3 pixels)");
}

TEST_F(OddStereoShapes, MultiPictureFilesOfSinglePixels)
{
    const std::string path = write("tiny.mpo", multiPictureFile(encodedPicture(FileType::JPEG, 1, 1),
                                                                encodedPicture(FileType::JPEG, 2, 1), 0x020002, 0x020002));
    PictureStore left, right;
    left.setType(LeftRole);
    right.setType(RightRole);
    ASSERT_TRUE(left.setImageWithFile(path)) << left.lastError();
    ASSERT_TRUE(right.setImageWithFile(path)) << right.lastError();
    EXPECT_EQ(left.size(), (Size{1, 1}));
    EXPECT_EQ(right.size(), (Size{2, 1}));
    EXPECT_EQ(right.pinPoint(), (Point{1, 0.5}));
}

namespace {

struct QuietHost : DocumentHost {
    bool edited = false;
    bool isShiftHeld() const override { return false; }
    void setDocumentEdited(bool e) override { edited = e; }
    void showToolbarPicture(ToolbarItem, std::string_view) override {}
};

}  // namespace

TEST_F(OddStereoShapes, SharesThatDoNotOverlapComposeNothing)
{
    // Two one-pixel shares: they meet only at no offset.
    const std::string path = write("pair.jps", coordinatePng(2, 1));
    PictureStore left, right, result;
    QuietHost host;
    MemoryDefaults defaults;
    StereoDocument document(left, right, result, host, defaults);
    load(path, LeftRole, &left);
    load(path, RightRole, &right);

    document.setAlignment(0, 0);
    document.setChanged(true);
    document.recalc();
    ASSERT_NE(result.image(), nullptr);
    EXPECT_EQ(result.size(), (Size{1, 1}));

    const std::int32_t big = std::numeric_limits<std::int32_t>::max();
    for (const auto& [h, v] : std::vector<std::pair<std::int32_t, std::int32_t>>{{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {big, -big}, {-big - 1, 0}}) {
        SCOPED_TRACE(std::to_string(h) + ", " + std::to_string(v));
        document.setAlignment(h, v);
        document.setChanged(true);
        document.recalc();
        EXPECT_EQ(result.image(), nullptr);
        const EncodeResult saved = document.dataRepresentationOfType("PNG");
        EXPECT_TRUE(saved.data.empty());
        EXPECT_FALSE(saved.error.empty());
    }
}
