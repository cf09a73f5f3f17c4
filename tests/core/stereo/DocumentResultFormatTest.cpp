// The result as the document shows and saves it in each format.
#include "core/compose/MemoryDefaults.h"
#include "core/compose/StereoDocument.h"
#include "core/imageview/JpsDescriptor.h"
#include "core/imageview/MultiPictureFile.h"

#include "StereoPairTestPictures.h"

#include <gtest/gtest.h>

using namespace korvex;
using namespace korvex::testing;

namespace {

class QuietHost : public DocumentHost {
public:
    bool isShiftHeld() const override { return false; }
    void setDocumentEdited(bool) override {}
    void showToolbarPicture(ToolbarItem, std::string_view) override {}
};

class DocumentResultFormat : public ::testing::Test {
protected:
    DocumentResultFormat()
    {
        left.setImage(codedPicture(41, 30, 3, 5));
        right.setImage(codedPicture(37, 33, 7, 2));
        left.image()->setSize({41, 30});
        right.image()->setSize({37, 33});
        left.setPinPoint({20, 14});
        right.setPinPoint({16, 17});
        document.setUpFromDefaults();
        document.setAlignment(3, -2);
        document.setResultVisible(true);
    }

    const Bitmap& shown()
    {
        document.recalc();
        EXPECT_TRUE(result.image()) << document.resultProblem();
        return *result.image();
    }

    PictureStore left, right, result;
    QuietHost host;
    MemoryDefaults defaults;
    StereoDocument document{left, right, result, host, defaults};
};

}  // namespace

TEST_F(DocumentResultFormat, TheChosenFormatIsShownAndKeptInTheDefaults)
{
    const ShiftedPair pair;  // the same pictures, pins and offsets
    const int w = pair.geometry.pixelsWide();
    const int h = pair.geometry.pixelsHigh();
    EXPECT_EQ(document.resultFormat(), StereoFormat::Anaglyph);
    EXPECT_EQ(shown().pixelsWide(), w);

    document.setResultFormat(StereoFormat::CrossEyed);
    EXPECT_EQ(defaults.integerForKey(StereoDocument::resultFormatKey), 2);
    const Bitmap& crossEyed = shown();
    ASSERT_EQ(crossEyed.pixelsWide(), 2 * w);
    const auto rightEye = pair.eyeFromAnaglyphs(Eye::Right);
    const auto leftEye = pair.eyeFromAnaglyphs(Eye::Left);
    EXPECT_EQ(rgbAt(crossEyed, 0, 0), rgbAt(*rightEye, 0, 0));
    EXPECT_EQ(rgbAt(crossEyed, w + 5, h - 1), rgbAt(*leftEye, 5, h - 1));

    document.setGap(7);
    EXPECT_EQ(shown().pixelsWide(), 2 * w + 7);

    // A second document starts from what the first chose; files of their
    // own, and numbers no format has, are not results and change nothing.
    PictureStore l2, r2, res2;
    StereoDocument second(l2, r2, res2, host, defaults);
    second.setUpFromDefaults();
    EXPECT_EQ(second.resultFormat(), StereoFormat::CrossEyed);
    second.setResultFormat(StereoFormat::Mpo);
    EXPECT_EQ(second.resultFormat(), StereoFormat::CrossEyed);
    for (const int stored : {7, 9, 99, -1}) {
        defaults.setInteger(StereoDocument::resultFormatKey, stored);
        second.setUpFromDefaults();
        EXPECT_EQ(second.resultFormat(), StereoFormat::Anaglyph) << stored;
    }
}

TEST_F(DocumentResultFormat, PairTypesSaveThePairWhateverTheResultShows)
{
    document.setResultFormat(StereoFormat::HalfOverUnder);
    const EncodeResult mpo = document.dataRepresentationOfType("MPO");
    ASSERT_TRUE(mpo) << mpo.error;
    EXPECT_TRUE(readMultiPictureIndex(mpo.data).isStereoPair);

    // "JPS" begins like "JPEG" but is matched whole first; "JPEG" stays a plain JPEG of the result.
    const EncodeResult jps = document.dataRepresentationOfType("JPS");
    ASSERT_TRUE(jps) << jps.error;
    EXPECT_TRUE(readJpsDescriptor(jps.data));
    const EncodeResult jpeg = document.dataRepresentationOfType("JPEG");
    ASSERT_TRUE(jpeg) << jpeg.error;
    EXPECT_FALSE(readJpsDescriptor(jpeg.data));
    EXPECT_FALSE(readMultiPictureIndex(jpeg.data).isStereoPair);

    for (const char* wiggle : {"Wiggle (GIF)", "Wiggle (WebP)"}) {
        const EncodeResult animation = document.dataRepresentationOfType(wiggle);
        EXPECT_TRUE(animation) << wiggle << ": " << animation.error;
    }
}

TEST_F(DocumentResultFormat, AResultTooSmallForItsFormatSaysWhy)
{
    left.setPinPoint({0, 14});  // the overlap is now one column wide
    right.setPinPoint({36, 17});
    document.setAlignment(0, 0);
    document.setResultFormat(StereoFormat::HalfSideBySide);
    document.recalc();
    EXPECT_FALSE(result.image());
    EXPECT_NE(document.resultProblem().find("2 pixels wide"), std::string::npos) << document.resultProblem();
    const EncodeResult png = document.dataRepresentationOfType("PNG");
    EXPECT_FALSE(png);
    EXPECT_EQ(png.error, document.resultProblem());
    // The pair itself still overlaps, so its own files can be written.
    EXPECT_TRUE(document.dataRepresentationOfType("MPO"));
}
