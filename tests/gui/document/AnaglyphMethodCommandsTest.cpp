// The methods and the new glasses in the window: the Stereo menu's rows, the
// toolbar item, and the colour-mixing dialog's preview, OK and Cancel.
#include "gui/document/ColourMixingDialog.h"

#include "GuiTestSupport.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/document/CommandTable.h"
#include "gui/document/DocumentController.h"
#include "gui/document/DocumentToolbar.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QComboBox>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

class MethodCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        document = controller.openUntitledDocument(false);
        document->leftImage()->store().setImage(test::patternPicture(40, 30));
        document->rightImage()->store().setImage(test::patternPicture(40, 30));
        document->leftImage()->store().setPinPoint({20, 15});
        document->rightImage()->store().setPinPoint({20, 15});
    }

    // The whole result, once the window has composed it.
    const std::uint8_t* resultPixel() const
    {
        document->model().completeResult();
        return document->resultImage()->store().image()->bitmapData();
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* document = nullptr;
};

TEST_F(MethodCommandsTest, NewGlassesHaveTagsOfTheirOwnAndMethodsFollowTheGlasses)
{
    const std::pair<Command, int> glasses[] = {{Command::GlassesAmberBlue, 7}, {Command::GlassesBlueAmber, 8},
                                               {Command::GlassesGreenMagenta, 9}, {Command::GlassesMagentaGreen, 10}};
    for (const auto& [command, type] : glasses) {
        EXPECT_NE(commandRow(command).tag, tag::colorize);
        perform(command, document, nullptr);
        EXPECT_EQ(document->model().glasses(), type);
        EXPECT_TRUE(isChecked(command, *document));
    }
    perform(Command::MethodDubois, document, nullptr);
    EXPECT_EQ(document->model().anaglyphMethod(), AnaglyphMethod::Dubois);
    EXPECT_TRUE(isChecked(Command::MethodDubois, *document));
    EXPECT_FALSE(isChecked(Command::MethodGrey, *document));

    // Red-blue glasses have no Dubois matrices: the item is disabled.
    perform(Command::GlassesRedBlue, document, nullptr);
    EXPECT_FALSE(isEnabled(Command::MethodDubois, document));
    EXPECT_TRUE(isEnabled(Command::MethodHalfColour, document));
    perform(Command::MethodGrey, document, nullptr);
    perform(Command::MethodDubois, document, nullptr);
    EXPECT_EQ(document->model().anaglyphMethod(), AnaglyphMethod::Grey);
}

TEST_F(MethodCommandsTest, ToolbarItemStepsThroughTheMethods)
{
    DocumentToolbar* toolbar = document->toolbar();
    toolbar->setItemIdentifiers({DocumentToolbar::methodItemIdentifier});
    QAction* item = toolbar->methodButton();
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->icon().isNull());
    document->model().set3DGlasses(2);
    item->trigger();
    EXPECT_EQ(document->model().anaglyphMethod(), AnaglyphMethod::Grey);
    EXPECT_EQ(defaults.stringForKey("AnaglyphMethod"), "grey");
    EXPECT_EQ(toolbar->methodButtonName(), QStringLiteral("method-grey"));
    EXPECT_FALSE(DocumentToolbar::pictureNamed(QStringLiteral("method-half-colour")).isNull());
}

TEST_F(MethodCommandsTest, MixingDialogPreviewsAndCancelPutsBackWhatWasThere)
{
    document->model().set3DGlasses(2);
    document->model().setAnaglyphMethod(AnaglyphMethod::HalfColour);
    const MixingMatrices before = document->model().customMatrices();

    ColourMixingDialog dialog(*document);
    EXPECT_EQ(document->tabView()->currentIndex(), 2);
    int named = 0;
    for (bool left : {true, false})
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) {
                QSpinBox* box = dialog.spinBox(left, row, column);
                ASSERT_NE(box, nullptr);
                named += !box->accessibleName().isEmpty();
                EXPECT_EQ(box->minimum(), -5000);
                EXPECT_EQ(box->maximum(), 5000);
            }
    EXPECT_EQ(named, 18);
    EXPECT_FALSE(dialog.presetList()->accessibleName().isEmpty());

    // Only the left red into red: the result's red is the left picture's, the rest black.
    dialog.setMatrices({{1000, 0, 0, 0, 0, 0, 0, 0, 0}, {}});
    EXPECT_EQ(document->model().anaglyphMethod(), AnaglyphMethod::Custom);
    const Bitmap& left = *document->leftImage()->store().image();
    EXPECT_EQ(resultPixel()[0], left.bitmapData()[0]);
    EXPECT_EQ(resultPixel()[1], 0);
    dialog.spinBox(false, 1, 1)->setValue(1000);  // right green into green, at once
    EXPECT_EQ(resultPixel()[1], document->rightImage()->store().image()->bitmapData()[1]);

    // The grey preset fills the boxes with luma rows where the eyes see.
    const int grey = dialog.presetList()->findText(QStringLiteral("Grey"));
    ASSERT_GE(grey, 0);
    dialog.choosePreset(grey);
    EXPECT_EQ(dialog.spinBox(true, 0, 1)->value(), 587);
    EXPECT_EQ(dialog.spinBox(true, 1, 1)->value(), 0);
    EXPECT_EQ(dialog.spinBox(false, 2, 2)->value(), 114);

    dialog.reject();
    EXPECT_EQ(document->model().anaglyphMethod(), AnaglyphMethod::HalfColour);
    EXPECT_EQ(document->model().customMatrices(), before);
}

TEST_F(MethodCommandsTest, MixingDialogOkKeepsTheCustomMixing)
{
    ColourMixingDialog dialog(*document);
    dialog.spinBox(true, 2, 0)->setValue(-250);
    dialog.accept();
    EXPECT_EQ(document->model().anaglyphMethod(), AnaglyphMethod::Custom);
    EXPECT_EQ(document->model().customMatrices().left[6], -250);
    EXPECT_EQ(defaults.stringForKey("AnaglyphMethod"), "custom");
}

}  // namespace
