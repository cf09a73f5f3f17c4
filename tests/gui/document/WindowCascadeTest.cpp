// New windows step down and to the right of the saved place when it is taken.
#include "gui/document/WindowCascade.h"

#include "core/compose/MemoryDefaults.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(WindowCascadeTest, StepsPastTakenPlacesAndWrapsAtTheEdges)
{
    constexpr int s = cascadeStep;
    const QRect screen(0, 0, 1600, 1000);
    const QSize window(900, 700);
    struct Case {
        const char* what;
        QPoint saved;
        QList<QPoint> taken;
        QRect available;
        QPoint expected;
    };
    const Case cases[] = {
        {"nothing open", {100, 50}, {}, screen, {100, 50}},
        {"another window elsewhere", {100, 50}, {{400, 300}}, screen, {100, 50}},
        {"one on the saved place", {100, 50}, {{100, 50}}, screen, {100 + s, 50 + s}},
        {"a window manager's few pixels off", {100, 50}, {{102, 51}}, screen, {100 + s, 50 + s}},
        {"three in a cascade", {100, 50}, {{100 + s, 50 + s}, {100, 50}, {100 + 2 * s, 50 + 2 * s}}, screen,
         {100 + 3 * s, 50 + 3 * s}},
        {"a gap in the cascade is filled", {100, 50}, {{100, 50}, {100 + 2 * s, 50 + 2 * s}}, screen,
         {100 + s, 50 + s}},
        // 290 + 28 + 700 passes the bottom edge: back to the top, one step in.
        {"the bottom edge", {600, 290}, {{600, 290}}, screen, {s, 0}},
        {"the right edge", {700, 0}, {{700, 0}}, screen, {s, 0}},
        {"an area that does not start at 0", {1700, 300}, {{1700, 300}}, QRect(1600, 0, 1000, 1000), {1600 + s, 0}},
        {"no area known", {5000, 5000}, {{5000, 5000}}, QRect(), {5000 + s, 5000 + s}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cascadedPosition(c.saved, window, c.taken, c.available), c.expected) << c.what;
}

TEST(WindowCascadeTest, NewDocumentWindowsDoNotCoverEachOther)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
    MemoryDefaults defaults;
    DocumentController controller(defaults);
    MyDocument* first = controller.openUntitledDocument();
    first->setGeometry(120, 80, 300, 200);  // small enough for three on the test screen
    first->close();                         // saves its frame
    QCoreApplication::processEvents();

    QList<QPoint> places;
    for (int i = 0; i < 3; ++i)
        places << controller.openUntitledDocument()->pos();
    const QPoint step(cascadeStep, cascadeStep);
    EXPECT_EQ(places.at(1), places.at(0) + step);
    EXPECT_EQ(places.at(2), places.at(0) + 2 * step);
    for (MyDocument* d : controller.documents())
        delete d;
}

}  // namespace
}  // namespace korvex
