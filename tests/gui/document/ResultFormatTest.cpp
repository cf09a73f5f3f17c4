// View > Result As and the save panel's pair types in a document window.
#include "gui/document/MyDocument.h"

#include "GuiTestSupport.h"
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "core/imageview/JpsDescriptor.h"
#include "core/imageview/MultiPictureFile.h"
#include "gui/document/CommandTable.h"
#include "gui/document/DocumentController.h"
#include "gui/imageview/ImageView.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

class ResultFormatWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        document = controller.openUntitledDocument(false);
        document->openFileDidEnd(true, {writePicture(QStringLiteral("left.png"))}, document->leftImage());
        ASSERT_TRUE(test::waitForLoads(*document));
        document->openFileDidEnd(true, {writePicture(QStringLiteral("right.png"))}, document->rightImage());
        ASSERT_TRUE(test::waitForLoads(*document));
    }

    QString writePicture(const QString& name)
    {
        const EncodeResult png = representationUsingType(*test::patternPicture(64, 48), FileType::PNG, {});
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(png.data.data()), qint64(png.data.size()));
        return path;
    }

    // Saves through the save panel with the given filter's type and name.
    QByteArray saveThroughPanel(const QString& typeName, const QString& name)
    {
        document->saveResult();
        QFileDialog* panel = document->savePanel();
        EXPECT_NE(panel, nullptr);
        if (!panel)
            return {};
        // As a user's choice of type does: the filter, then the signal that follows it.
        for (const QString& filter : panel->nameFilters())
            if (filter.startsWith(typeName + QStringLiteral(" picture ("))) {
                panel->selectNameFilter(filter);
                emit panel->filterSelected(filter);
            }
        panel->selectFile(dir.filePath(name));
        static_cast<QDialog*>(panel)->accept();
        QFile file(document->filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static std::span<const std::uint8_t> bytesOf(const QByteArray& a)
    {
        return {reinterpret_cast<const std::uint8_t*>(a.data()), std::size_t(a.size())};
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* document = nullptr;
};

}  // namespace

TEST_F(ResultFormatWindow, ResultAsChangesWhatTheResultTabShowsAndIsRemembered)
{
    document->tabView()->setCurrentIndex(2);
    document->model().completeResult();
    ASSERT_NE(document->resultImage()->image(), nullptr);
    EXPECT_EQ(document->resultImage()->image()->pixelsWide(), 64);

    // The View menu holds the Result As submenu with all seven, one checked.
    QMenu* view = nullptr;
    for (QAction* top : document->menuBar()->actions())
        if (top->menu() && top->menu()->actions().contains(document->action(Command::ShowResult)))
            view = top->menu();
    ASSERT_NE(view, nullptr);
    QMenu* resultAs = nullptr;
    for (QAction* item : view->actions())
        if (item->menu() && item->menu()->actions().contains(document->action(Command::ResultAsCrossEyed)))
            resultAs = item->menu();
    ASSERT_NE(resultAs, nullptr);
    EXPECT_EQ(resultAs->actions().size(), 7);
    EXPECT_TRUE(document->action(Command::ResultAsAnaglyph)->isChecked());

    document->action(Command::ResultAsSideBySide)->trigger();
    EXPECT_EQ(document->model().resultFormat(), StereoFormat::SideBySide);
    document->model().completeResult();
    EXPECT_EQ(document->resultImage()->image()->pixelsWide(), 128);
    EXPECT_TRUE(document->action(Command::ResultAsSideBySide)->isChecked());
    EXPECT_FALSE(document->action(Command::ResultAsAnaglyph)->isChecked());
    EXPECT_TRUE(document->isDocumentEdited());

    document->action(Command::ResultAsHalfOverUnder)->trigger();
    document->model().completeResult();
    EXPECT_EQ(document->resultImage()->image()->pixelsWide(), 64);
    EXPECT_EQ(document->resultImage()->image()->pixelsHigh(), 48);

    // A still save holds what the tab shows; the next window starts from the choice.
    document->action(Command::ResultAsOverUnder)->trigger();
    const DecodeResult png = decodeImage(bytesOf(saveThroughPanel(QStringLiteral("PNG"), QStringLiteral("ou"))));
    ASSERT_TRUE(png);
    EXPECT_EQ(png.bitmap->pixelsHigh(), 96);
    MyDocument* next = controller.openUntitledDocument(false);
    EXPECT_EQ(next->model().resultFormat(), StereoFormat::OverUnder);
    EXPECT_TRUE(next->action(Command::ResultAsOverUnder)->isChecked());
}

TEST_F(ResultFormatWindow, PairTypesSaveThePairWhateverTheTabShows)
{
    document->action(Command::ResultAsInterleavedRows)->trigger();

    const QByteArray mpo = saveThroughPanel(QStringLiteral("MPO"), QStringLiteral("pair"));
    EXPECT_TRUE(document->filePath().endsWith(QStringLiteral("pair.mpo")));
    EXPECT_TRUE(readMultiPictureIndex(bytesOf(mpo)).isStereoPair);
    EXPECT_FALSE(document->isDocumentEdited());

    const QByteArray jps = saveThroughPanel(QStringLiteral("JPS"), QStringLiteral("pair.jps"));
    const auto descriptor = readJpsDescriptor(bytesOf(jps));
    ASSERT_TRUE(descriptor);
    EXPECT_EQ(descriptor->layout, JpsDescriptor::Layout::SideBySide);

    // A ".gif" name under the wiggle's filter is a wiggle; under GIF's a still.
    const QByteArray wiggle = saveThroughPanel(QStringLiteral("Wiggle (GIF)"), QStringLiteral("wiggle.gif"));
    EXPECT_TRUE(wiggle.contains("NETSCAPE2.0"));
    EXPECT_EQ(document->filePath(), dir.filePath(QStringLiteral("wiggle.gif")));
    const QByteArray still = saveThroughPanel(QStringLiteral("GIF"), QStringLiteral("still.gif"));
    EXPECT_FALSE(still.isEmpty());
    EXPECT_FALSE(still.contains("NETSCAPE2.0"));

    const QByteArray webp = saveThroughPanel(QStringLiteral("Wiggle (WebP)"), QStringLiteral("wiggle"));
    EXPECT_TRUE(document->filePath().endsWith(QStringLiteral("wiggle.webp")));
    // Both eyes are one picture here, which libwebp keeps as one frame.
    EXPECT_TRUE(webp.startsWith("RIFF"));
    EXPECT_EQ(webp.mid(8, 4), QByteArray("WEBP"));
}
