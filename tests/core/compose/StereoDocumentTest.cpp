#include "core/compose/StereoDocument.h"

#include "core/compose/MemoryDefaults.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <string>
#include <utility>
#include <vector>

using namespace korvex;

namespace {

class RecordingHost : public DocumentHost {
public:
    bool shift = false;
    std::vector<bool> editedMarks;
    std::vector<std::pair<ToolbarItem, std::string>> pictures;
    int changes = 0;

    bool isShiftHeld() const override { return shift; }
    void setDocumentEdited(bool edited) override { editedMarks.push_back(edited); }
    void showToolbarPicture(ToolbarItem item, std::string_view name) override
    {
        pictures.emplace_back(item, std::string(name));
    }
    void documentChanged() override { ++changes; }
};

class RecordingDefaults : public MemoryDefaults {
public:
    std::vector<std::string> writes;
    void setInteger(std::string_view key, int value) override
    {
        writes.push_back(std::string(key) + "=" + std::to_string(value));
        MemoryDefaults::setInteger(key, value);
    }
    void setBool(std::string_view key, bool value) override
    {
        writes.push_back(std::string(key) + "=" + (value ? "YES" : "NO"));
        MemoryDefaults::setBool(key, value);
    }
    void setString(std::string_view key, std::string_view value) override
    {
        writes.push_back(std::string(key) + "=" + std::string(value));
        MemoryDefaults::setString(key, value);
    }
};

// Puts a picture into a view as a load does: pixel-sized, pin at the centre.
void givePicture(PictureStore& view, int w, int h, std::uint8_t shade)
{
    auto bitmap = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y)
        std::fill_n(bitmap->bitmapData() + bitmap->bytesPerRow() * y, w * 3, shade);
    view.setImage(std::move(bitmap));
    view.setPinPoint({w / 2.0, h / 2.0});
}

class StereoDocumentTest : public ::testing::Test {
protected:
    StereoDocumentTest()
    {
        left.setType(LeftRole);
        right.setType(RightRole);
        result.setFrameChangedHandler([this] { ++compositions; });
    }

    StereoDocument& document()
    {
        if (!doc) {
            doc = std::make_unique<StereoDocument>(left, right, result, host, defaults);
            doc->setUpFromDefaults();
        }
        return *doc;
    }

    PictureStore left, right, result;
    RecordingHost host;
    RecordingDefaults defaults;
    int compositions = 0;
    std::unique_ptr<StereoDocument> doc;
};

TEST_F(StereoDocumentTest, StartsFromTheStoredDefaults)
{
    StereoDocument& d = document();
    EXPECT_EQ(d.glasses(), 1);
    EXPECT_FALSE(d.colorize());
    EXPECT_EQ(d.horizontalOffset(), 0);
    EXPECT_EQ(d.verticalOffset(), 0);
    EXPECT_FALSE(d.changed());
    EXPECT_FALSE(d.resultVisible());
    EXPECT_TRUE(defaults.writes.empty());

    const std::vector<std::pair<int, int>> storedToRead{{0, 1}, {5, 5}, {6, 6}, {7, 7}, {10, 10}, {11, 1}, {-2, 1}};
    for (const auto& [stored, expected] : storedToRead) {
        defaults.setInteger("GlassesType", stored);
        defaults.setBool("Colorize", true);
        d.setUpFromDefaults();
        EXPECT_EQ(d.glasses(), expected) << "stored " << stored;
        EXPECT_TRUE(d.colorize());
    }
}

TEST_F(StereoDocumentTest, GlassesItemCyclesAndStoresEachType)
{
    StereoDocument& d = document();
    for (int i = 0; i < 10; ++i)
        d.set3DGlasses(0);
    EXPECT_EQ(d.glasses(), 1);
    EXPECT_EQ(defaults.writes,
              (std::vector<std::string>{"GlassesType=2", "GlassesType=3", "GlassesType=4", "GlassesType=5",
                                        "GlassesType=6", "GlassesType=7", "GlassesType=8", "GlassesType=9",
                                        "GlassesType=10", "GlassesType=1"}));
    ASSERT_EQ(host.pictures.size(), 10u);
    EXPECT_EQ(host.pictures[0], std::make_pair(DocumentHost::ToolbarItem::Glasses, std::string("rc")));
    EXPECT_EQ(host.pictures[4].second, "br");
    EXPECT_EQ(host.pictures[8].second, "mg");
    EXPECT_EQ(host.pictures[9].second, "rg");
    EXPECT_TRUE(d.changed());
}

TEST_F(StereoDocumentTest, GlassesMenuTagOfCurrentTypeOrBeyondTenDoesNothing)
{
    StereoDocument& d = document();
    d.set3DGlasses(1);
    d.set3DGlasses(11);
    EXPECT_EQ(d.glasses(), 1);
    EXPECT_FALSE(d.changed());
    EXPECT_TRUE(defaults.writes.empty());
    EXPECT_TRUE(host.pictures.empty());

    d.set3DGlasses(4);
    EXPECT_EQ(d.glasses(), 4);
    EXPECT_TRUE(d.changed());
    EXPECT_EQ(defaults.integerForKey("GlassesType"), 4);
}

TEST_F(StereoDocumentTest, MethodAndCustomMatricesComeFromTheDefaults)
{
    StereoDocument& d = document();
    EXPECT_EQ(d.anaglyphMethod(), AnaglyphMethod::Classic);
    EXPECT_EQ(d.customMatrices(), StereoDocument::initialCustomMatrices);

    const std::string grey = "299,587,114,0,0,0,0,0,0;0,0,0,299,587,114,299,587,114";
    const std::tuple<std::string, std::string, AnaglyphMethod, bool> cases[] = {
        {"dubois", grey, AnaglyphMethod::Dubois, true},
        {"half-colour", "", AnaglyphMethod::HalfColour, false},
        {"Dubois", "1,2;3", AnaglyphMethod::Classic, false},
        {"custom", grey + ",1", AnaglyphMethod::Custom, false},
    };
    for (const auto& [method, matrix, expectedMethod, matrixRead] : cases) {
        defaults.setString("AnaglyphMethod", method);
        defaults.setString("AnaglyphCustomMatrix", matrix);
        d.setUpFromDefaults();
        EXPECT_EQ(d.anaglyphMethod(), expectedMethod) << method;
        EXPECT_EQ(d.customMatrices() == StereoDocument::initialCustomMatrices, !matrixRead) << matrix;
    }
}

TEST_F(StereoDocumentTest, MethodCommandsStoreMarkAndRecompose)
{
    StereoDocument& d = document();
    givePicture(left, 8, 6, 200);
    givePicture(right, 8, 6, 100);
    d.setResultVisible(true);
    d.setAnaglyphMethod(AnaglyphMethod::Classic);  // already chosen
    EXPECT_FALSE(d.changed());
    EXPECT_TRUE(defaults.writes.empty());

    d.setAnaglyphMethod(AnaglyphMethod::Grey);
    EXPECT_EQ(defaults.writes, std::vector<std::string>{"AnaglyphMethod=grey"});
    EXPECT_EQ(host.pictures.back(), std::make_pair(DocumentHost::ToolbarItem::Method, std::string("grey")));
    EXPECT_EQ(compositions, 1);
    // Red-green glasses, grey: red the left luma, green the right, blue nothing.
    const std::uint8_t* p = result.image()->bitmapData();
    EXPECT_EQ(p[0], 200);
    EXPECT_EQ(p[1], 100);
    EXPECT_EQ(p[2], 0);

    // Custom matrices count only while the custom method is chosen.
    const MixingMatrices swapRedGreen{{0, 0, 0, 1000, 0, 0, 0, 0, 0}, {0, 1000, 0, 0, 0, 0, 0, 0, 0}};
    d.setCustomMatrices(swapRedGreen);
    EXPECT_EQ(compositions, 1);
    EXPECT_EQ(defaults.writes.back(), "AnaglyphCustomMatrix=0,0,0,1000,0,0,0,0,0;0,1000,0,0,0,0,0,0,0");
    d.setAnaglyphMethod(AnaglyphMethod::Custom);
    EXPECT_EQ(compositions, 2);
    p = result.image()->bitmapData();
    EXPECT_EQ(p[0], 100);
    EXPECT_EQ(p[1], 200);
    d.setCustomMatrices(StereoDocument::initialCustomMatrices);
    EXPECT_EQ(compositions, 3);
}

TEST_F(StereoDocumentTest, MethodItemCyclesThroughWhatTheGlassesOffer)
{
    StereoDocument& d = document();
    auto cycle = [&d] {
        std::vector<std::string> names;
        for (int i = 0; i < 6; ++i) {
            d.nextAnaglyphMethod();
            names.emplace_back(anaglyphMethodName(d.anaglyphMethod()));
        }
        return names;
    };
    // Red-green glasses have no Dubois matrices.
    EXPECT_EQ(cycle(), (std::vector<std::string>{"grey", "half-colour", "colour", "custom", "classic", "grey"}));
    d.set3DGlasses(2);
    EXPECT_EQ(cycle(), (std::vector<std::string>{"half-colour", "colour", "dubois", "custom", "classic", "grey"}));
}

TEST_F(StereoDocumentTest, ColourToggleStoresAndMarksEveryTime)
{
    StereoDocument& d = document();
    d.set3DColor();
    EXPECT_TRUE(d.colorize());
    d.set3DColor();
    EXPECT_FALSE(d.colorize());
    EXPECT_TRUE(d.changed());
    EXPECT_EQ(defaults.writes, (std::vector<std::string>{"Colorize=YES", "Colorize=NO"}));
    ASSERT_EQ(host.pictures.size(), 2u);
    EXPECT_EQ(host.pictures[0], std::make_pair(DocumentHost::ToolbarItem::Colorize, std::string("color")));
    EXPECT_EQ(host.pictures[1].second, "bw");
}

TEST_F(StereoDocumentTest, OffsetCommandsStepByOneOrFiveWithShift)
{
    StereoDocument& d = document();
    d.incDepth();
    EXPECT_EQ(d.horizontalOffset(), 1);
    EXPECT_TRUE(d.changed());
    host.shift = true;
    EXPECT_EQ(d.calcValueOffset(), 5);
    d.incDepth();
    d.incVerticalOffset();
    EXPECT_EQ(d.horizontalOffset(), 6);
    EXPECT_EQ(d.verticalOffset(), 5);
    d.decVerticalOffset();
    d.decVerticalOffset();
    EXPECT_EQ(d.verticalOffset(), -5);
    host.shift = false;
    for (int i = 0; i < 206; ++i)
        d.decDepth();
    EXPECT_EQ(d.horizontalOffset(), -200);
    EXPECT_EQ(host.changes, 211);  // every command tells the window
    d.resetAlignment();
    d.resetAlignment();  // nothing left to reset: no news
    EXPECT_EQ(host.changes, 212);
    EXPECT_TRUE(defaults.writes.empty());
    EXPECT_TRUE(host.editedMarks.empty());  // nothing composed: the result tab is hidden

    // Offsets stop at the ends of their range instead of wrapping round.
    d.setAlignment(std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min());
    d.incDepth();
    d.decVerticalOffset();
    EXPECT_EQ(d.horizontalOffset(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(d.verticalOffset(), std::numeric_limits<std::int32_t>::min());
}

TEST_F(StereoDocumentTest, ResetAlignmentMarksOnlyWhenSomethingMoves)
{
    StereoDocument& d = document();
    d.resetAlignment();
    EXPECT_FALSE(d.changed());

    d.incVerticalOffset();
    d.incVerticalOffset();
    d.incVerticalOffset();
    d.setChanged(false);
    givePicture(left, 4, 4, 10);
    givePicture(right, 4, 4, 20);
    const Point pin{1.25, 3};
    left.setPinPoint(pin);
    d.resetAlignment();
    EXPECT_EQ(d.verticalOffset(), 0);
    EXPECT_EQ(d.horizontalOffset(), 0);
    EXPECT_TRUE(d.changed());
    EXPECT_EQ(left.pinPoint(), pin);
}

TEST_F(StereoDocumentTest, RecalcComposesOnlyWhenChangedAndBothPicturesArePresent)
{
    StereoDocument& d = document();
    givePicture(left, 640, 480, 90);
    d.setChanged(true);
    d.recalc();  // right picture missing
    EXPECT_EQ(host.editedMarks, std::vector<bool>{false});
    EXPECT_TRUE(d.changed());
    EXPECT_EQ(result.image(), nullptr);
    EXPECT_EQ(compositions, 0);

    givePicture(right, 640, 480, 30);
    d.recalc();
    EXPECT_EQ(host.editedMarks, (std::vector<bool>{false, true}));
    EXPECT_FALSE(d.changed());
    EXPECT_EQ(compositions, 1);
    ASSERT_NE(result.image(), nullptr);
    EXPECT_EQ(result.image()->pixelsWide(), 640);
    EXPECT_EQ(result.image()->pixelsHigh(), 480);
    EXPECT_EQ(result.image()->bitmapData()[0], 90);  // type 1, black and white: red from the left
    EXPECT_EQ(result.image()->bitmapData()[1], 30);

    const Bitmap* first = result.image();
    d.recalc();  // nothing changed
    EXPECT_EQ(compositions, 1);
    EXPECT_EQ(result.image(), first);
    EXPECT_EQ(host.editedMarks.size(), 2u);

    // A missing picture clears the mark and keeps the old result.
    right.setImage(nullptr);
    d.setChanged(true);
    d.recalc();
    EXPECT_EQ(host.editedMarks.back(), false);
    EXPECT_EQ(result.image(), first);
    EXPECT_TRUE(d.changed());
}

TEST_F(StereoDocumentTest, CommandsRecomposeAtOnceOnlyWhileTheResultShows)
{
    StereoDocument& d = document();
    givePicture(left, 64, 48, 90);
    givePicture(right, 64, 48, 30);
    d.incDepth();
    d.set3DColor();
    d.set3DGlasses(0);
    d.switchPictures();
    EXPECT_EQ(compositions, 0);

    d.setResultVisible(true);
    d.recalc();  // selecting the tab
    EXPECT_EQ(compositions, 1);
    d.recalc();
    EXPECT_EQ(compositions, 1);
    d.incDepth();
    EXPECT_EQ(compositions, 2);
    EXPECT_EQ(result.image()->pixelsWide(), 62);
    d.set3DGlasses(5);
    EXPECT_EQ(compositions, 3);
    EXPECT_FALSE(d.changed());
    EXPECT_EQ(host.editedMarks.back(), true);
}

TEST_F(StereoDocumentTest, PicturesThatDoNotOverlapLeaveNoResult)
{
    StereoDocument& d = document();
    givePicture(left, 640, 10, 90);
    givePicture(right, 640, 10, 30);
    d.setAlignment(639, 0);
    d.recalc();
    ASSERT_NE(result.image(), nullptr);
    EXPECT_EQ(result.image()->pixelsWide(), 1);
    EXPECT_EQ(compositions, 1);

    for (const int depth : {640, -640, std::numeric_limits<std::int32_t>::min()}) {
        d.setAlignment(depth, 0);
        d.recalc();
        EXPECT_EQ(result.image(), nullptr) << depth;
        EXPECT_FALSE(d.changed());
    }
    EXPECT_EQ(compositions, 1);  // no re-layout without a picture
}

TEST_F(StereoDocumentTest, SwitchPicturesTwiceRestoresBitmapsAndPins)
{
    StereoDocument& d = document();
    givePicture(left, 40, 30, 90);
    givePicture(right, 20, 10, 30);
    left.setPinPoint({35.5, 25.25});
    right.setPinPoint({3, 4});
    const Bitmap* leftBitmap = left.image();
    const Bitmap* rightBitmap = right.image();

    d.switchPictures();
    EXPECT_EQ(left.image(), rightBitmap);
    EXPECT_EQ(right.image(), leftBitmap);
    EXPECT_EQ(left.pinPoint(), (Point{3, 4}));
    EXPECT_EQ(right.pinPoint(), (Point{35.5, 25.25}));

    d.switchPictures();
    EXPECT_EQ(left.image(), leftBitmap);
    EXPECT_EQ(right.image(), rightBitmap);
    EXPECT_EQ(left.pinPoint(), (Point{35.5, 25.25}));
    EXPECT_EQ(right.pinPoint(), (Point{3, 4}));
    EXPECT_TRUE(d.changed());
    EXPECT_EQ(d.horizontalOffset(), 0);

    // A lone picture moves across; the emptied view's pin is clamped to (0, 0).
    right.setImage(nullptr);
    d.switchPictures();
    EXPECT_EQ(left.image(), nullptr);
    EXPECT_EQ(right.image(), leftBitmap);
    EXPECT_EQ(left.pinPoint(), (Point{0, 0}));
}

}  // namespace

TEST_F(StereoDocumentTest, RestoringAStateReadEarlierPutsBackEachPartInOneCommand)
{
    // What undo relies on: any state read with state() comes back whole from
    // any other, the defaults and toolbar follow, and the result is composed
    // once however many parts differ.
    StereoDocument& d = document();
    givePicture(left, 40, 30, 90);
    givePicture(right, 40, 30, 30);
    d.setResultVisible(true);
    d.recalc();
    const DocumentState base = d.state();

    MixingMatrices mixing = StereoDocument::initialCustomMatrices;
    mixing.left[4] = 333;
    struct Case {
        const char* what;
        void (*change)(DocumentState&, const MixingMatrices&);
        const char* storedDefault;  // the default written each way, "" when none
    };
    const Case cases[] = {
        {"glasses", [](DocumentState& s, const MixingMatrices&) { s.glasses = 8; }, "GlassesType="},
        {"colour", [](DocumentState& s, const MixingMatrices&) { s.colorize = true; }, "Colorize="},
        {"method", [](DocumentState& s, const MixingMatrices&) { s.method = AnaglyphMethod::Grey; }, "AnaglyphMethod="},
        {"mixing", [](DocumentState& s, const MixingMatrices& m) { s.customMatrices = m; }, "AnaglyphCustomMatrix="},
        {"format", [](DocumentState& s, const MixingMatrices&) { s.resultFormat = StereoFormat::SideBySide; }, "ResultFormat="},
        {"offsets", [](DocumentState& s, const MixingMatrices&) { s.placement.horizontalOffset = -7; s.placement.verticalOffset = 12; }, ""},
        {"pins, exactly", [](DocumentState& s, const MixingMatrices&) { s.placement.leftPin = {-1, -1}; s.placement.rightPin = {12.25, 3}; }, ""},
        {"correction", [](DocumentState& s, const MixingMatrices&) { s.placement.correction = {0.7, 1.01, 0.25, -0.5}; }, ""},
        {"everything at once", [](DocumentState& s, const MixingMatrices& m) {
             s = {4, true, AnaglyphMethod::Custom, m, StereoFormat::OverUnder, {{1, 2}, {3, 4}, 5, 6, {1.5, 1, 0, 0}}};
         }, ""},
    };
    for (const Case& c : cases) {
        DocumentState target = base;
        c.change(target, mixing);
        ASSERT_NE(target, base) << c.what;
        for (const auto& [from, to] : {std::pair{base, target}, std::pair{target, base}}) {
            ASSERT_EQ(d.state(), from) << c.what;
            defaults.writes.clear();
            const int before = compositions;
            const int notices = host.changes;
            d.restoreState(to);
            EXPECT_EQ(d.state(), to) << c.what;
            EXPECT_EQ(compositions, before + 1) << c.what;
            EXPECT_EQ(host.changes, notices + 1) << c.what;
            if (*c.storedDefault) {
                ASSERT_FALSE(defaults.writes.empty()) << c.what;
                EXPECT_EQ(defaults.writes.front().rfind(c.storedDefault, 0), 0u) << c.what << ": " << defaults.writes.front();
            }
        }
    }
    // The same state again is no command; a glasses type that names none is left alone.
    const int before = compositions;
    d.restoreState(base);
    EXPECT_EQ(compositions, before);
    DocumentState unknown = base;
    unknown.glasses = 11;
    unknown.placement.horizontalOffset = 4;
    d.restoreState(unknown);
    EXPECT_EQ(d.glasses(), base.glasses);
    EXPECT_EQ(d.horizontalOffset(), 4);
}
