// The typical road through a document window: open left, open right (a
// stereo file filling both), move a pin point, show the result, change the
// offsets while it shows, save every type and read the files back.
#include "gui/document/MyDocument.h"

#include "GuiTestSupport.h"
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "core/compose/ResultFileTypes.h"
#include "core/stereo/PairFile.h"
#include "gui/document/CommandTable.h"
#include "gui/document/DocumentController.h"
#include "gui/imageview/ImageView.h"

#include <QApplication>
#include <QDir>
#include <QMap>
#include <QFile>
#include <QFileDialog>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include <sys/resource.h>

using namespace korvex;

namespace {

class DocumentRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        left = writePicture(QStringLiteral("left.png"), *test::patternPicture(64, 48));
        right = writePicture(QStringLiteral("right.png"), *test::patternPicture(64, 48));
        pair = writePicture(QStringLiteral("pair.jps"), *test::patternPicture(128, 48));
        document = controller.openUntitledDocument(false);
    }

    QString writePicture(const QString& name, const Bitmap& bitmap)
    {
        const EncodeResult png = representationUsingType(bitmap, FileType::PNG, {});
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(png.data.data()), qint64(png.data.size()));
        return path;
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* document = nullptr;
    QString left, right, pair;
};

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The format a file's first bytes announce.
std::optional<FileType> formatOf(const QByteArray& bytes)
{
    const std::pair<const char*, FileType> signatures[] = {
        {"\x89PNG", FileType::PNG}, {"\xff\xd8\xff", FileType::JPEG}, {"GIF8", FileType::GIF},
        {"II*", FileType::TIFF},  {"MM", FileType::TIFF}};
    for (const auto& [signature, type] : signatures)
        if (bytes.startsWith(signature))
            return type;
    return std::nullopt;
}

}  // namespace

TEST_F(DocumentRoad, OpeningComposingAndSaving)
{
    EXPECT_EQ(document->displayName(), QStringLiteral("Untitled"));
    EXPECT_TRUE(document->windowTitle().contains(QStringLiteral("[*]")));
    EXPECT_EQ(document->currentImage(), document->leftImage());

    document->openFileDidEnd(true, {left}, document->leftImage());
    ASSERT_TRUE(test::waitForLoads(*document));
    EXPECT_TRUE(document->model().changed());
    EXPECT_FALSE(document->isDocumentEdited());  // one picture is no result yet
    EXPECT_FALSE(isEnabled(Command::Save, document));

    document->model().incDepth();
    document->openFileDidEnd(true, {right}, document->rightImage());
    ASSERT_TRUE(test::waitForLoads(*document));
    EXPECT_EQ(document->model().horizontalOffset(), 0);  // every load resets the alignment
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(isEnabled(Command::SaveAs, document));

    // A click on the left picture moves its pin: changed and edited, not composed.
    document->leftImage()->resize(64, 48);
    document->setDocumentEdited(false);
    QTest::mouseClick(document->leftImage(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(document->model().changed());
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(document->resultImage()->image(), nullptr);
    EXPECT_TRUE(isEnabled(Command::Print, document));  // the left tab holds a picture
    document->leftImage()->setPinPoint({32, 24});

    // Showing the result composes once; showing it again composes nothing.
    document->tabView()->setCurrentIndex(2);
    EXPECT_EQ(document->currentImage(), document->resultImage());
    document->model().completeResult();
    ASSERT_NE(document->resultImage()->image(), nullptr);
    EXPECT_FALSE(document->model().changed());
    const Bitmap* first = document->resultImage()->image();
    document->tabView()->setCurrentIndex(0);
    document->tabView()->setCurrentIndex(2);
    EXPECT_EQ(document->resultImage()->image(), first);
    EXPECT_TRUE(isEnabled(Command::Print, document));

    // While the result shows, each command composes at once (what is in
    // sight first, the whole off the window's thread).
    document->model().incDepth();
    EXPECT_TRUE(document->model().resultPending());
    document->model().completeResult();
    EXPECT_EQ(document->resultImage()->image()->pixelsWide(), 63);
    document->model().incVerticalOffset();
    document->model().completeResult();
    EXPECT_EQ(document->resultImage()->image()->pixelsHigh(), 47);
    EXPECT_FALSE(document->model().changed());

    // Every still type saves, reads back and clears the edited mark (the
    // pair types are read back in ResultFormatTest).
    for (const ResultFileType& type : resultFileTypes()) {
        if (pairFileTypeForName(type.typeName))
            continue;
        document->setDocumentEdited(true);
        const QString typeName = QString::fromLatin1(type.typeName.data(), qsizetype(type.typeName.size()));
        const QString path = dir.filePath(QStringLiteral("result.") + QLatin1String(type.extensions.front()));
        QString error;
        ASSERT_TRUE(document->writeResult(path, typeName, &error)) << error.toStdString();
        EXPECT_FALSE(document->isDocumentEdited());
        const QByteArray bytes = fileBytes(path);
        const DecodeResult back = decodeImage({reinterpret_cast<const std::uint8_t*>(bytes.data()), std::size_t(bytes.size())});
        ASSERT_TRUE(back) << type.typeName;
        EXPECT_EQ(back.bitmap->pixelsWide(), 63);
        EXPECT_EQ(back.bitmap->pixelsHigh(), 47);
    }
    EXPECT_EQ(document->displayName(), QStringLiteral("result.tif"));
}

TEST_F(DocumentRoad, AStereoFileFillsBothViewsTargetFirst)
{
    QSignalSpy notes(document, &MyDocument::noteShown);
    document->openFileDidEnd(true, {pair}, document->rightImage());
    ASSERT_TRUE(test::waitForLoads(*document));
    ASSERT_NE(document->leftImage()->image(), nullptr);
    ASSERT_NE(document->rightImage()->image(), nullptr);
    EXPECT_EQ(document->leftImage()->image()->pixelsWide(), 64);
    EXPECT_EQ(document->rightImage()->image()->colorAt(0, 0).red, 64 / 255.0);  // the right half
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(notes.count(), 0);

    // An ordinary file then a stereo file: the left gets the first whole, the
    // right its share of the second. A third file is ignored.
    document->openFileDidEnd(true, {right, pair, left}, document->leftImage());
    ASSERT_TRUE(test::waitForLoads(*document));
    EXPECT_EQ(document->leftImage()->image()->pixelsWide(), 64);
    EXPECT_EQ(document->rightImage()->image()->colorAt(0, 0).red, 64 / 255.0);

    document->openFileDidEnd(false, {left}, document->leftImage());  // cancelled: nothing happens
    ASSERT_TRUE(test::waitForLoads(*document));
    EXPECT_EQ(document->leftImage()->image()->colorAt(0, 0).red, 0.0);
}

TEST_F(DocumentRoad, AnUnreadablePictureEmptiesItsViewAndSaysWhy)
{
    const QString junk = dir.filePath(QStringLiteral("junk.jpg"));
    std::ofstream(junk.toStdString()) << "not a picture";
    document->openFileDidEnd(true, {left, right}, document->leftImage());
    ASSERT_TRUE(test::waitForLoads(*document));
    QSignalSpy notes(document, &MyDocument::noteShown);
    document->setDocumentEdited(false);
    document->loadRight(junk);
    ASSERT_TRUE(test::waitForLoads(*document));
    EXPECT_EQ(document->rightImage()->image(), nullptr);
    EXPECT_FALSE(document->isDocumentEdited());
    ASSERT_EQ(notes.count(), 1);
    EXPECT_TRUE(notes.at(0).at(0).toString().contains(QStringLiteral("junk.jpg")));
}

TEST_F(DocumentRoad, ADocumentFileBecomesTheWholeLeftPictureAStereoFileBothViews)
{
    // The same bytes under a plain picture's name: the whole frame, left.
    const QString frame = dir.filePath(QStringLiteral("frame.png"));
    ASSERT_TRUE(QFile::copy(pair, frame));
    MyDocument* opened = controller.openDocumentWithContentsOfFile(frame, false);
    ASSERT_NE(opened, nullptr);
    ASSERT_TRUE(test::waitForLoads(*opened));
    EXPECT_EQ(opened->displayName(), QStringLiteral("frame.png"));
    ASSERT_NE(opened->leftImage()->image(), nullptr);
    EXPECT_EQ(opened->leftImage()->image()->pixelsWide(), 128);  // never split
    EXPECT_EQ(opened->rightImage()->image(), nullptr);
    EXPECT_FALSE(opened->isDocumentEdited());
    EXPECT_FALSE(opened->model().changed());
    EXPECT_TRUE(opened->filePath().isEmpty());  // saving must never overwrite the photo

    MyDocument* stereo = controller.openDocumentWithContentsOfFile(pair, false);
    ASSERT_NE(stereo, nullptr);
    ASSERT_TRUE(test::waitForLoads(*stereo));
    EXPECT_EQ(stereo->displayName(), QStringLiteral("pair.jps"));
    ASSERT_NE(stereo->rightImage()->image(), nullptr);
    EXPECT_EQ(stereo->leftImage()->image()->pixelsWide(), 64);
    EXPECT_EQ(stereo->rightImage()->image()->pixelsWide(), 64);
    EXPECT_FALSE(stereo->isDocumentEdited());
    EXPECT_TRUE(stereo->filePath().isEmpty());

    QString error;
    EXPECT_EQ(controller.openDocumentWithContentsOfFile(dir.filePath(QStringLiteral("none.png")), false, &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("none.png")));

    EXPECT_EQ(controller.openUntitledDocument(false)->displayName(), QStringLiteral("Untitled 2"));
    EXPECT_EQ(controller.documentForWindow(opened->leftImage()), opened);
    EXPECT_EQ(controller.documents().size(), 4);
    delete opened;
    EXPECT_EQ(controller.documents().size(), 3);
}

TEST_F(DocumentRoad, AFailedSaveKeepsTheMarkAndAnyEarlierFile)
{
    document->openFileDidEnd(true, {left, right}, document->leftImage());
    ASSERT_TRUE(test::waitForLoads(*document));
    QString error;
    EXPECT_FALSE(document->writeResult(dir.filePath(QStringLiteral("left.png/inside.png")), QStringLiteral("PNG"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(document->isDocumentEdited());

    // A full disk, stood in for by the file-size limit.
    const QString earlier = dir.filePath(QStringLiteral("earlier.png"));
    std::ofstream(earlier.toStdString()) << "earlier";
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 40;  // less than any PNG
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = document->writeResult(earlier, QStringLiteral("PNG"), &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(fileBytes(earlier), QByteArray("earlier"));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("earlier.png.*")}, QDir::Files | QDir::Hidden).size(), 0);

    // Without a result there is nothing to save, and the user is told so.
    MyDocument* empty = controller.openUntitledDocument(false);
    EXPECT_FALSE(empty->writeResult(dir.filePath(QStringLiteral("x.png")), QStringLiteral("PNG"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.png"))));
}

TEST_F(DocumentRoad, TheDialogsAreWindowModalAndAnswerLater)
{
    document->openLeft();
    QFileDialog* open = document->openPanel();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->windowModality(), Qt::WindowModal);
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFiles);
    EXPECT_TRUE(open->nameFilters().at(0).contains(QStringLiteral("*.JPS")));
    open->selectFile(left);
    static_cast<QDialog*>(open)->accept();
    ASSERT_TRUE(test::waitForLoads(*document));
    ASSERT_NE(document->leftImage()->image(), nullptr);

    document->openFileDidEnd(true, {right}, document->rightImage());
    ASSERT_TRUE(test::waitForLoads(*document));
    bool saved = false;
    document->saveResult([&](bool ok) { saved = ok; });
    QFileDialog* save = document->savePanel();
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->windowModality(), Qt::WindowModal);
    const QString target = dir.filePath(QStringLiteral("chosen.jpg"));
    save->selectFile(target);
    static_cast<QDialog*>(save)->accept();
    EXPECT_TRUE(saved);
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_EQ(document->filePath(), target);
    EXPECT_FALSE(document->isDocumentEdited());

    // Saving again writes to the same file without asking.
    document->model().incDepth();
    document->tabView()->setCurrentIndex(2);
    EXPECT_TRUE(document->isDocumentEdited());
    document->saveDocument([&](bool ok) { saved = ok; });
    EXPECT_EQ(document->savePanel(), nullptr);
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(DocumentRoad, ASaveNameAgreesWithTheBytes)
{
    document->loadPair(left, right);
    ASSERT_TRUE(test::waitForLoads(*document));
    // (name typed, filter chosen) -> file written, and the type its bytes have.
    const std::tuple<const char*, int, const char*, FileType> cases[] = {
        {"out.bmp", 1, "out.bmp.jpg", FileType::JPEG},  // unknown extension: the filter's type, and its extension
        {"plain", 2, "plain.gif", FileType::GIF},
        {"named.png", 1, "named.png", FileType::PNG},   // a known extension chooses the type
        {"named.TIFF", 0, "named.TIFF", FileType::TIFF},
    };
    for (const auto& [typed, filter, written, type] : cases) {
        document->saveResult();
        QFileDialog* panel = document->savePanel();
        ASSERT_NE(panel, nullptr);
        panel->selectNameFilter(panel->nameFilters().at(filter));
        emit panel->filterSelected(panel->nameFilters().at(filter));
        panel->selectFile(dir.filePath(QString::fromLatin1(typed)));
        static_cast<QDialog*>(panel)->accept();
        const QString path = dir.filePath(QString::fromLatin1(written));
        ASSERT_TRUE(QFile::exists(path)) << written;
        EXPECT_EQ(document->filePath(), path);
        EXPECT_EQ(formatOf(fileBytes(path)), type) << written;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.bmp"))));
}

TEST_F(DocumentRoad, ALoadWhileTheResultShowsComposesOnce)
{
    document->loadPair(left, right);
    ASSERT_TRUE(test::waitForLoads(*document));
    document->tabView()->setCurrentIndex(2);
    int compositions = 0;
    document->resultImage()->store().setFrameChangedHandler([&] { ++compositions; });
    for (bool offsetsMoved : {false, true}) {
        if (offsetsMoved) {
            document->model().incDepth();
            document->model().decVerticalOffset();
        }
        document->model().completeResult();  // what the steps before asked for is in
        compositions = 0;
        document->loadLeft(left);
        ASSERT_TRUE(test::waitForLoads(*document));
        document->model().completeResult();
        EXPECT_EQ(compositions, 1) << "offsets moved: " << offsetsMoved;
        EXPECT_EQ(document->model().horizontalOffset(), 0);
        EXPECT_EQ(document->model().verticalOffset(), 0);
        compositions = 0;
        document->loadPair(left, right);
        ASSERT_TRUE(test::waitForLoads(*document));
        document->model().completeResult();
        EXPECT_EQ(compositions, 1) << "pair, offsets moved: " << offsetsMoved;
    }
}

TEST_F(DocumentRoad, SaveAsHasAShortcutUnderEveryKeyScheme)
{
    // Some key schemes have no Save As key; Ctrl+Shift+S is there always.
    EXPECT_TRUE(document->action(Command::SaveAs)->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)));
    // No two commands of a window share a key.
    QMap<QKeySequence, QString> owners;
    for (const CommandRow& row : commandTable())
        for (const QKeySequence& key : document->action(row.command)->shortcuts()) {
            EXPECT_FALSE(owners.contains(key)) << key.toString().toStdString() << " of " << row.objectName << " and "
                                               << owners.value(key).toStdString();
            owners.insert(key, QLatin1String(row.objectName));
        }
}

TEST_F(DocumentRoad, TabGoesBetweenTheTwoPictureViews)
{
    document->loadPair(left, right);
    ASSERT_TRUE(test::waitForLoads(*document));
    document->show();
    QApplication::setActiveWindow(document);
    ASSERT_TRUE(QTest::qWaitForWindowActive(document));
    document->leftImage()->setFocus();
    QTest::keyClick(document->leftImage(), Qt::Key_Tab);
    EXPECT_EQ(document->currentImage(), document->rightImage());
    EXPECT_TRUE(document->rightImage()->hasFocus());
    QTest::keyClick(document->rightImage(), Qt::Key_Tab);
    EXPECT_EQ(document->currentImage(), document->leftImage());
    EXPECT_TRUE(document->leftImage()->hasFocus());
    // The arrows then move the pin of the view that shows.
    const Point pin = document->leftImage()->pinPoint();
    QTest::keyClick(document->leftImage(), Qt::Key_Left);
    EXPECT_EQ(document->leftImage()->pinPoint(), (Point{pin.x - 1, pin.y}));
}
