// The status readout and the names that assistive technology reads.
#include "gui/document/StatusReadout.h"

#include "GuiTestSupport.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/common/Strings.h"
#include "gui/document/DocumentController.h"
#include "gui/document/DocumentToolbar.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QAccessible>
#include <QAction>
#include <QMenuBar>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

class Readout : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        d = controller.openUntitledDocument(false);
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* d = nullptr;
};

}  // namespace

TEST_F(Readout, FollowsEveryChange)
{
    EXPECT_EQ(d->statusReadout()->text(),
              QStringLiteral("Depth 0 px \u00b7 Vertical 0 px \u00b7 Red\u2013Green black and white \u00b7 no anaglyph yet"));
    d->leftImage()->setImage(test::patternPicture(100, 80));
    d->leftImage()->setPinPoint({50, 40});
    d->rightImage()->setImage(test::patternPicture(90, 80));
    d->rightImage()->setPinPoint({45, 40});
    d->model().setChanged(true);
    struct Step {
        void (*change)(StereoDocument&);
        const char* expected;
    };
    // The size is the overlap's, before and after the result tab composes it.
    const Step steps[] = {
        {[](StereoDocument& m) { m.setAlignment(12, -3); },
         "Depth +12 px \u00b7 Vertical \u22123 px \u00b7 Red\u2013Green black and white \u00b7 83 \u00d7 77"},
        {[](StereoDocument& m) { m.set3DGlasses(2); },
         "Depth +12 px \u00b7 Vertical \u22123 px \u00b7 Red\u2013Cyan black and white \u00b7 83 \u00d7 77"},
        {[](StereoDocument& m) { m.set3DColor(); },
         "Depth +12 px \u00b7 Vertical \u22123 px \u00b7 Red\u2013Cyan colour \u00b7 83 \u00d7 77"},
        {[](StereoDocument& m) { m.setAnaglyphMethod(AnaglyphMethod::Dubois); },
         "Depth +12 px \u00b7 Vertical \u22123 px \u00b7 Red\u2013Cyan Dubois method \u00b7 83 \u00d7 77"},
        {[](StereoDocument& m) { m.set3DGlasses(9); },
         "Depth +12 px \u00b7 Vertical \u22123 px \u00b7 Green\u2013Magenta Dubois method \u00b7 83 \u00d7 77"},
        {[](StereoDocument& m) { m.setAnaglyphMethod(AnaglyphMethod::Classic); },
         "Depth +12 px \u00b7 Vertical \u22123 px \u00b7 Green\u2013Magenta colour \u00b7 83 \u00d7 77"},
        {[](StereoDocument& m) { m.setAlignment(500, 0); },
         "Depth +500 px \u00b7 Vertical 0 px \u00b7 Green\u2013Magenta colour \u00b7 no overlap"},
    };
    for (int tab : {0, 2}) {
        d->tabView()->setCurrentIndex(tab);
        for (const Step& step : steps) {
            step.change(d->model());
            EXPECT_EQ(d->statusReadout()->text(), QString::fromUtf8(step.expected)) << "tab " << tab;
        }
        // Back to the first step's settings.
        d->model().setAlignment(0, 0);
        d->model().set3DGlasses(1);
        d->model().set3DColor();
    }
}

TEST_F(Readout, EveryControlHasAnAccessibleName)
{
    d->resize(1000, 700);
    d->show();
    d->toolbar()->setItemIdentifiers(DocumentToolbar::toolbarAllowedItemIdentifiers());
    auto nameOf = [](QObject* object) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(object);
        return a ? a->text(QAccessible::Name) : QString();
    };
    for (QToolButton* button : d->toolbar()->findChildren<QToolButton*>()) {
        if (!button->isVisible())
            continue;
        EXPECT_FALSE(nameOf(button).isEmpty()) << button->defaultAction()->objectName().toStdString();
    }
    for (QAction* menu : d->menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            EXPECT_TRUE(item->isSeparator() || !item->text().isEmpty());
    EXPECT_EQ(nameOf(d->leftImage()), localizedString("AccLeftPicture"));
    EXPECT_EQ(nameOf(d->rightImage()), localizedString("AccRightPicture"));
    EXPECT_EQ(nameOf(d->resultImage()), localizedString("AccAnaglyph"));
    EXPECT_EQ(nameOf(d->statusReadout()), localizedString("AccReadout"));
    for (QWidget* zoom : d->findChildren<QWidget*>(QStringLiteral("zoomButton")))
        EXPECT_EQ(nameOf(zoom), localizedString("AccZoom"));
    d->close();
}
