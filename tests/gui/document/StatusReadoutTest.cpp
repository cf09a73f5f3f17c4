// The status readout and the names that assistive technology reads.
#include "gui/document/StatusReadout.h"

#include "GuiTestSupport.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/common/Command.h"
#include "gui/common/Strings.h"
#include "gui/document/DocumentController.h"
#include "gui/document/DocumentToolbar.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSizeGrip>
#include <QTabBar>
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
    // The size is the result's, before and after the result tab composes it.
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
        // A frame format's size is its frame's, gap included.
        {[](StereoDocument& m) { m.setResultFormat(StereoFormat::SideBySide); },
         "Depth +12 px \u00b7 Vertical \u22123 px \u00b7 Green\u2013Magenta colour \u00b7 166 \u00d7 77"},
        {[](StereoDocument& m) { m.setGap(5); },
         "Depth +12 px \u00b7 Vertical \u22123 px \u00b7 Green\u2013Magenta colour \u00b7 171 \u00d7 77"},
        {[](StereoDocument& m) { m.setResultFormat(StereoFormat::OverUnder); },
         "Depth +12 px \u00b7 Vertical \u22123 px \u00b7 Green\u2013Magenta colour \u00b7 83 \u00d7 159"},
        {[](StereoDocument& m) { m.setResultFormat(StereoFormat::HalfSideBySide); },
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
        d->model().setResultFormat(StereoFormat::Anaglyph);
        d->model().setGap(0);
    }
}

namespace {

QString nameOf(QObject* object)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(object);
    return a ? a->text(QAccessible::Name) : QString();
}

// Parts that assistive technology reads as part of a larger control: a combo
// box's list, a spin box's text, a list's scroll bars.
bool isPartOfControl(const QWidget& w)
{
    for (const QWidget* up = w.parentWidget(); up; up = up->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(up) || qobject_cast<const QAbstractSpinBox*>(up)
            || up->inherits("QComboBoxPrivateContainer"))
            return true;
    return false;
}

// The controls under the widget that have no accessible name, shown or not:
// buttons, boxes, bars, lists and grips.
QStringList unnamedControls(QWidget& top)
{
    QStringList unnamed;
    for (QWidget* w : top.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w)
                             || qobject_cast<QAbstractSlider*>(w) || qobject_cast<QAbstractSpinBox*>(w)
                             || qobject_cast<QSizeGrip*>(w) || qobject_cast<QTabBar*>(w)
                             || qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractItemView*>(w);
        if (control && !w->isWindow() && !isPartOfControl(*w) && nameOf(w).isEmpty())
            unnamed << QString::fromUtf8(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
    }
    return unnamed;
}

}  // namespace

TEST_F(Readout, EveryControlHasAnAccessibleName)
{
    d->resize(1000, 700);
    d->show();
    d->toolbar()->setItemIdentifiers(DocumentToolbar::toolbarAllowedItemIdentifiers());
    EXPECT_EQ(unnamedControls(*d).join(QStringLiteral(", ")).toStdString(), "");
    for (QAction* menu : d->menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            EXPECT_TRUE(item->isSeparator() || !item->text().isEmpty());
    EXPECT_EQ(nameOf(d->leftImage()), localizedString("AccLeftPicture"));
    EXPECT_EQ(nameOf(d->rightImage()), localizedString("AccRightPicture"));
    EXPECT_EQ(nameOf(d->resultImage()), localizedString("AccAnaglyph"));
    EXPECT_EQ(nameOf(d->statusReadout()), localizedString("AccReadout"));
    const auto zooms = d->findChildren<QWidget*>(QStringLiteral("zoomButton"));
    EXPECT_EQ(zooms.size(), 3);
    for (QWidget* zoom : zooms)
        EXPECT_EQ(nameOf(zoom), localizedString("AccZoom"));

    // The dialogs the window opens.
    for (Command opener : {Command::ColourMixing, Command::CustomizeToolbar}) {
        d->action(opener)->trigger();
        QDialog* dialog = d->findChild<QDialog*>();
        ASSERT_NE(dialog, nullptr) << int(opener);
        EXPECT_EQ(unnamedControls(*dialog).join(QStringLiteral(", ")).toStdString(), "") << dialog->windowTitle().toStdString();
        dialog->reject();
        delete dialog;
    }
    d->close();
}
