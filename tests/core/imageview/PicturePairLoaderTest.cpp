#include "core/imageview/PicturePairLoader.h"

#include "../JpegTestSegments.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/imageview/StereoFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

using namespace korvex;
using namespace korvex::testing;
namespace fs = std::filesystem;

namespace {

// Every pixel different, so that a share cut from the wrong place or a
// picture given to the wrong side shows.
std::unique_ptr<Bitmap> numbered(int w, int h, std::uint8_t salt)
{
    auto canvas = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = canvas->bitmapData() + std::size_t(y) * canvas->bytesPerRow() + std::size_t(x) * 3;
            p[0] = std::uint8_t(x * 3 + salt);
            p[1] = std::uint8_t(y * 5);
            p[2] = std::uint8_t(x ^ y ^ salt);
        }
    return canvas;
}

std::vector<std::uint8_t> encoded(const Bitmap& b, FileType type)
{
    EncodeResult e = representationUsingType(b, type, {0.9f, {}});
    EXPECT_TRUE(e) << e.error;
    return e.data;
}

bool samePixels(const Bitmap* a, const Bitmap* b)
{
    if (!a || !b)
        return a == b;
    if (!(a->layout().pixelsWide == b->layout().pixelsWide && a->layout().pixelsHigh == b->layout().pixelsHigh
          && a->bitsPerPixel() == b->bitsPerPixel() && a->samplesPerPixel() == b->samplesPerPixel()
          && a->hasAlpha() == b->hasAlpha()))
        return false;
    const std::size_t rowBytes = std::size_t(a->pixelsWide()) * std::size_t(a->bitsPerPixel() / 8);
    for (int y = 0; y < a->pixelsHigh(); ++y)
        if (std::memcmp(a->bitmapData() + std::size_t(y) * a->bytesPerRow(),
                        b->bitmapData() + std::size_t(y) * b->bytesPerRow(), rowBytes) != 0)
            return false;
    return true;
}

// The loaded store must be what setImageWithFile gives a view of that role.
void expectSameAsSingleLoad(const PictureStore& loaded, const std::string& path, int role, const std::string& what)
{
    PictureStore single;
    single.setType(role);
    single.setImageWithFile(path);
    EXPECT_TRUE(samePixels(loaded.image(), single.image())) << what;
    EXPECT_EQ(loaded.size(), single.size()) << what;
    EXPECT_EQ(loaded.pinPoint(), single.pinPoint()) << what;
    EXPECT_EQ(loaded.lastError(), single.lastError()) << what;
    EXPECT_EQ(loaded.lastWarning(), single.lastWarning()) << what;
}

class PicturePairFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("korvex-pair-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    std::streamsize(bytes.size()));
        return path.string();
    }

    fs::path dir;
};

}  // namespace

TEST_F(PicturePairFiles, EachSideGetsWhatItsOwnLoadWouldGive)
{
    const auto jpeg = encoded(*numbered(97, 61, 1), FileType::JPEG);
    std::vector<std::uint8_t> cut = jpeg;
    cut.resize(cut.size() * 2 / 3);
    const std::string a = write("a.png", encoded(*numbered(90, 60, 0), FileType::PNG));
    const std::string b = write("b.jpg", jpeg);
    const std::string truncated = write("cut.jpg", cut);
    const std::string missing = (dir / "none.png").string();
    const std::string jps = write("pair.jps", encoded(*numbered(120, 40, 9), FileType::PNG));
    const std::string pns = write("rows.pns", encoded(*numbered(64, 49, 4), FileType::PNG));
    const std::string mono = write("mono.jps", withSegment(jpeg, jpsSegment(0x00, 0x00, 0x00)));
    const std::string mpo = write("pair.mpo", multiPictureFile(encoded(*numbered(40, 30, 2), FileType::JPEG),
                                                               encoded(*numbered(40, 30, 3), FileType::JPEG),
                                                               0x020002, 0x020002));

    struct Case { const char* what; std::string left, right; bool bothLoad; };
    const Case cases[] = {
        {"two pictures", a, b, true},
        {"swapped", b, a, true},
        {"same ordinary file on both sides", a, a, true},
        {"side by side, decoded once", jps, jps, true},
        {"rows interleaved, decoded once", pns, pns, true},
        {"marked as one picture", mono, mono, true},
        {"multi-picture file", mpo, mpo, true},
        {"damaged keeps its warning", truncated, a, true},
        {"missing left, right still loads", missing, b, false},
        {"missing stereo file", dir / "none.jps", dir / "none.jps", false},
    };
    for (const Case& c : cases) {
        PictureStore left, right;
        left.setType(LeftRole);
        right.setType(RightRole);
        EXPECT_EQ(PicturePairLoader::load(left, c.left, right, c.right), c.bothLoad) << c.what;
        expectSameAsSingleLoad(left, c.left, LeftRole, std::string(c.what) + " (left)");
        expectSameAsSingleLoad(right, c.right, RightRole, std::string(c.what) + " (right)");
    }

    PictureStore left, right;
    left.setType(LeftRole);
    right.setType(RightRole);
    ASSERT_TRUE(PicturePairLoader::load(left, truncated, right, b));
    EXPECT_FALSE(left.lastWarning().empty());
    EXPECT_FALSE(PicturePairLoader::load(left, missing, right, b));
    EXPECT_NE(right.image(), nullptr);
    EXPECT_EQ(left.image(), nullptr);
    EXPECT_EQ(left.pinPoint(), (Point{0, 0}));
    EXPECT_FALSE(left.lastError().empty());
    EXPECT_EQ(left.lastWarning(), "");  // nothing left over from the damaged load
}

TEST_F(PicturePairFiles, StoresAdoptOnTheCallingThreadAndDropTheirOldPictures)
{
    const std::string a = write("a.png", encoded(*numbered(30, 20, 0), FileType::PNG));
    const std::string b = write("b.png", encoded(*numbered(50, 10, 1), FileType::PNG));
    PictureStore left, right;
    left.setType(LeftRole);
    right.setType(RightRole);
    ASSERT_TRUE(PicturePairLoader::load(left, b, right, a));

    // The window's views redraw from the frame handler: it must run on their thread.
    std::vector<std::thread::id> handlerThreads;
    left.setFrameChangedHandler([&] { handlerThreads.push_back(std::this_thread::get_id()); });
    right.setFrameChangedHandler([&] { handlerThreads.push_back(std::this_thread::get_id()); });
    ASSERT_FALSE(PicturePairLoader::load(left, (dir / "gone.png").string(), right, (dir / "gone.png").string()));
    EXPECT_EQ(left.image(), nullptr);
    EXPECT_EQ(right.image(), nullptr);
    ASSERT_TRUE(PicturePairLoader::load(left, a, right, b));
    EXPECT_EQ(left.size(), (Size{30, 20}));
    EXPECT_EQ(right.size(), (Size{50, 10}));
    ASSERT_EQ(handlerThreads.size(), 4u);
    for (const std::thread::id id : handlerThreads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(StereoShares, OneDecodeCutsBothSharesOfEveryLayout)
{
    const auto frame = encoded(*numbered(121, 47, 5), FileType::PNG);
    const auto jpeg = encoded(*numbered(64, 32, 6), FileType::JPEG);
    struct Case { const char* what; std::vector<std::uint8_t> file; StereoLayout layout; };
    const Case cases[] = {
        {"side by side, odd width", frame, StereoLayout::SideBySide},
        {"rows from the bottom, odd height", frame, StereoLayout::RowInterleaved},
        {"marked cross-eyed", withSegment(jpeg, jpsSegment(0x00, 0x02)), StereoLayout::SideBySide},
        {"marked over-under", withSegment(jpeg, jpsSegment(0x04, 0x03)), StereoLayout::SideBySide},
        {"marked as an anaglyph: whole", withSegment(jpeg, jpsSegment(0x00, 0x04)), StereoLayout::SideBySide},
        {"not a picture", {1, 2, 3}, StereoLayout::SideBySide},
    };
    for (const Case& c : cases) {
        const StereoShares shares = loadStereoShares(c.file, c.layout);
        const DecodeResult left = loadStereoShare(c.file, c.layout, LeftRole);
        const DecodeResult right = loadStereoShare(c.file, c.layout, RightRole);
        EXPECT_TRUE(samePixels(shares.left.bitmap.get(), left.bitmap.get())) << c.what;
        EXPECT_TRUE(samePixels(shares.right.bitmap.get(), right.bitmap.get())) << c.what;
        EXPECT_EQ(shares.left.error, left.error) << c.what;
        EXPECT_EQ(shares.right.error, right.error) << c.what;
        // A frame kept whole is two pictures, not one shared between the views.
        if (shares.left && shares.right) {
            EXPECT_NE(shares.left.bitmap->bitmapData(), shares.right.bitmap->bitmapData()) << c.what;
        }
    }
}
