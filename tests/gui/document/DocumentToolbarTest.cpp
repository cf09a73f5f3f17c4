// The document toolbar: its item lists, the items it makes and what they do,
// the enabling by the pictures, the kept items and the saved arrangement.
#include "gui/document/DocumentToolbar.h"

#include "GuiTestSupport.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/common/Strings.h"
#include "gui/common/Command.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QPrintDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>

using namespace korvex;

namespace {

using T = DocumentToolbar;

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
    }

    MyDocument* openDocument() { return controller.openUntitledDocument(false); }

    QString writePicture(const QString& name)
    {
        const EncodeResult png = representationUsingType(*test::patternPicture(40, 30), FileType::PNG, {});
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(png.data.data()), qint64(png.data.size()));
        return path;
    }

    QAction* placed(DocumentToolbar* toolbar, const QString& identifier)
    {
        for (QAction* item : toolbar->actions())
            if (item->property(T::itemIdentifierProperty).toString() == identifier)
                return item;
        return nullptr;
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
};

QImage rendered(const QIcon& icon)
{
    return icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_RGB32);
}

// The colours of the two lenses in a glasses picture, left eye first.
std::pair<QRgb, QRgb> lenses(const QIcon& icon)
{
    const QImage image = rendered(icon);
    return {image.pixel(8, 16) & 0xffffff, image.pixel(23, 16) & 0xffffff};
}

const std::map<char, QRgb> filterColours = {
    {'r', 0xe5262a}, {'g', 0x1fa83c}, {'b', 0x2a55e5}, {'c', 0x1fc6e8}, {'a', 0xf0a81c}, {'m', 0xd23cc8}};

}  // namespace

TEST_F(ToolbarTest, AllowedAndDefaultSetsInOrder)
{
    EXPECT_EQ(T::toolbarAllowedItemIdentifiers(),
              (QStringList{T::printItemIdentifier, T::customizeItemIdentifier, T::flexibleSpaceItemIdentifier,
                           T::spaceItemIdentifier, T::separatorItemIdentifier, QStringLiteral("ToolbarOpenLeftButton"),
                           QStringLiteral("ToolbarOpenRightButton"), QStringLiteral("ToolbarSaveButton"),
                           QStringLiteral("ToolbarResetButton"), QStringLiteral("ToolbarBiggerButton"),
                           QStringLiteral("ToolbarSmallerButton"), QStringLiteral("ToolbarUpButton"),
                           QStringLiteral("ToolbarDownButton"), QStringLiteral("ToolbarGlassesButton"),
                           QStringLiteral("ToolbarColorButton"), QStringLiteral("ToolbarSwapButton"),
                           QStringLiteral("ToolbarAutoAlignButton"), QStringLiteral("ToolbarMethodButton")}));

    const QStringList defaultSet{QStringLiteral("ToolbarResetButton"),  T::separatorItemIdentifier,
                                 QStringLiteral("ToolbarBiggerButton"), QStringLiteral("ToolbarSmallerButton"),
                                 T::separatorItemIdentifier,            QStringLiteral("ToolbarUpButton"),
                                 QStringLiteral("ToolbarDownButton"),   T::flexibleSpaceItemIdentifier,
                                 QStringLiteral("ToolbarSwapButton"),   QStringLiteral("ToolbarGlassesButton"),
                                 QStringLiteral("ToolbarColorButton")};
    EXPECT_EQ(T::toolbarDefaultItemIdentifiers(), defaultSet);

    // With nothing saved, a window shows the default set, left to right.
    MyDocument* document = openDocument();
    DocumentToolbar* toolbar = document->toolbar();
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->objectName(), QStringLiteral("KorvexToolbar"));
    EXPECT_EQ(document->findChild<DocumentToolbar*>(QStringLiteral("KorvexToolbar")), toolbar);
    EXPECT_EQ(toolbar->itemIdentifiers(), defaultSet);
    EXPECT_TRUE(placed(toolbar, T::separatorItemIdentifier)->isSeparator());

    // The flexible space takes what is left, pushing Swap, Glasses and Color right.
    document->resize(1100, 600);
    document->show();
    QCoreApplication::processEvents();
    const QWidget* flexible = toolbar->widgetForAction(placed(toolbar, T::flexibleSpaceItemIdentifier));
    const QWidget* color = toolbar->widgetForAction(placed(toolbar, QStringLiteral("ToolbarColorButton")));
    ASSERT_TRUE(flexible && color);
    EXPECT_GT(flexible->width(), 300);
    EXPECT_GT(color->geometry().right(), toolbar->width() - 80);
    document->close();
}

TEST_F(ToolbarTest, ItemsMadeByIdentifierDriveTheirDocument)
{
    MyDocument* document = openDocument();
    DocumentToolbar* toolbar = document->toolbar();
    StereoDocument& model = document->model();

    const std::map<QString, std::pair<const char*, const char*>> keys = {
        {QStringLiteral("ToolbarSaveButton"), {"Save", "TBSave"}},
        {QStringLiteral("ToolbarOpenLeftButton"), {"OpenL", "TBOpenL"}},
        {QStringLiteral("ToolbarOpenRightButton"), {"OpenR", "TBOpenR"}},
        {QStringLiteral("ToolbarResetButton"), {"Reset", "TBReset"}},
        {QStringLiteral("ToolbarBiggerButton"), {"IncDepth", "TBIncDepth"}},
        {QStringLiteral("ToolbarSmallerButton"), {"DecDepth", "TBDecDepth"}},
        {QStringLiteral("ToolbarUpButton"), {"IncVOff", "TBIncVOff"}},
        {QStringLiteral("ToolbarDownButton"), {"DecVOff", "TBDecVOff"}},
        {QStringLiteral("ToolbarGlassesButton"), {"Glasses", "TBGlasses"}},
        {QStringLiteral("ToolbarColorButton"), {"Color", "TBColor"}},
        {QStringLiteral("ToolbarSwapButton"), {"Swap", "TBSwap"}},
        {QStringLiteral("ToolbarAutoAlignButton"), {"AutoAlign", "TBAutoAlign"}},
    };
    for (const auto& [identifier, key] : keys) {
        std::unique_ptr<QAction> item = toolbar->paletteItemForItemIdentifier(identifier);
        ASSERT_NE(item, nullptr) << identifier.toStdString();
        EXPECT_EQ(item->objectName(), identifier);
        EXPECT_EQ(item->text(), localizedString(key.first));
        EXPECT_EQ(item->property(T::paletteLabelProperty).toString(), localizedString(key.first));
        EXPECT_EQ(item->toolTip(), localizedString(key.second));
        EXPECT_NE(item->toolTip(), QString::fromLatin1(key.second)) << "missing string " << key.second;
        EXPECT_FALSE(rendered(item->icon()).isNull()) << identifier.toStdString();
    }
    // Identifiers that name no item give nothing.
    EXPECT_EQ(toolbar->itemForItemIdentifier(QStringLiteral("ToolbarNoSuchButton")), nullptr);
    EXPECT_EQ(toolbar->paletteItemForItemIdentifier(QStringLiteral("ToolbarNoSuchButton")), nullptr);

    // Placed, the items drive their document; the shared ones are the
    // window's menu actions themselves.
    toolbar->setItemIdentifiers(T::toolbarAllowedItemIdentifiers());
    EXPECT_EQ(placed(toolbar, QStringLiteral("ToolbarBiggerButton")), document->action(Command::IncDepth));
    EXPECT_EQ(placed(toolbar, QStringLiteral("ToolbarSaveButton")), document->action(Command::SaveAs));
    EXPECT_EQ(placed(toolbar, T::printItemIdentifier), document->action(Command::Print));
    document->loadPair(writePicture(QStringLiteral("left.png")), writePicture(QStringLiteral("right.png")));
    ASSERT_TRUE(test::waitForLoads(*document));
    auto trigger = [&](const char* identifier) { placed(toolbar, QString::fromLatin1(identifier))->trigger(); };
    trigger("ToolbarBiggerButton");
    trigger("ToolbarBiggerButton");
    EXPECT_EQ(model.horizontalOffset(), 2);
    trigger("ToolbarSmallerButton");
    EXPECT_EQ(model.horizontalOffset(), 1);
    trigger("ToolbarUpButton");
    trigger("ToolbarUpButton");
    trigger("ToolbarDownButton");
    EXPECT_EQ(model.verticalOffset(), 1);
    trigger("ToolbarResetButton");
    EXPECT_EQ(model.horizontalOffset(), 0);
    EXPECT_EQ(model.verticalOffset(), 0);

    const bool colour = model.colorize();
    trigger("ToolbarColorButton");
    EXPECT_NE(model.colorize(), colour);
    trigger("ToolbarGlassesButton");
    EXPECT_EQ(model.glasses(), 2);

    document->rightImage()->setImage(nullptr);
    trigger("ToolbarSwapButton");
    EXPECT_EQ(document->leftImage()->image(), nullptr);
    EXPECT_NE(document->rightImage()->image(), nullptr);

    trigger("ToolbarOpenLeftButton");
    ASSERT_NE(document->openPanel(), nullptr);
    document->openPanel()->reject();
    document->loadLeft(writePicture(QStringLiteral("left.png")));
    ASSERT_TRUE(test::waitForLoads(*document));
    trigger("ToolbarSaveButton");
    ASSERT_NE(document->savePanel(), nullptr);
    document->savePanel()->reject();
    trigger("ToolbarPrintItem");
    ASSERT_NE(document->printPanel(), nullptr);
    document->printPanel()->reject();
}

TEST_F(ToolbarTest, GlassesItemCyclesAndShowsTheSettingFromTheStart)
{
    defaults.setInteger("GlassesType", 4);
    defaults.setBool("Colorize", true);
    MyDocument* document = openDocument();
    DocumentToolbar* toolbar = document->toolbar();
    QAction* glassesItem = toolbar->glassesButton();
    ASSERT_NE(glassesItem, nullptr);
    ASSERT_NE(toolbar->colorizeButton(), nullptr);

    // The first items already show the stored settings.
    EXPECT_EQ(toolbar->glassesButtonName(), QStringLiteral("gr"));
    EXPECT_EQ(lenses(glassesItem->icon()), std::make_pair(filterColours.at('g'), filterColours.at('r')));
    EXPECT_EQ(rendered(toolbar->colorizeButton()->icon()), rendered(T::pictureNamed(QStringLiteral("color"))));

    // Ten clicks step 5 to 10, then 1 to 4; the default and the picture follow.
    const char* codes[] = {"cr", "br", "ab", "ba", "gm", "mg", "rg", "rc", "rb", "gr"};
    for (int click = 0; click < 10; ++click) {
        glassesItem->trigger();
        const int expected = (4 + click) % 10 + 1;
        EXPECT_EQ(document->model().glasses(), expected);
        EXPECT_EQ(defaults.integerForKey("GlassesType"), expected);
        const QString code = QString::fromLatin1(codes[click]);
        EXPECT_EQ(toolbar->glassesButtonName(), code);
        EXPECT_EQ(lenses(glassesItem->icon()),
                  std::make_pair(filterColours.at(codes[click][0]), filterColours.at(codes[click][1])))
            << codes[click];
    }

    // The menu's way of choosing a type updates the item just the same.
    document->model().set3DGlasses(2);
    EXPECT_EQ(rendered(glassesItem->icon()), rendered(T::pictureNamed(QStringLiteral("rc"))));
    toolbar->colorizeButton()->trigger();
    EXPECT_EQ(toolbar->colorizeButtonName(), QStringLiteral("bw"));
    EXPECT_EQ(rendered(toolbar->colorizeButton()->icon()), rendered(T::pictureNamed(QStringLiteral("bw"))));
    EXPECT_EQ(defaults.boolForKey("Colorize"), false);
    EXPECT_NE(rendered(T::pictureNamed(QStringLiteral("bw"))), rendered(T::pictureNamed(QStringLiteral("color"))));
}

TEST_F(ToolbarTest, EnablingFollowsThePictures)
{
    MyDocument* document = openDocument();
    DocumentToolbar* toolbar = document->toolbar();
    toolbar->setItemIdentifiers(T::toolbarAllowedItemIdentifiers());

    const QStringList needBoth{QStringLiteral("ToolbarResetButton"), QStringLiteral("ToolbarBiggerButton"),
                               QStringLiteral("ToolbarSmallerButton"), QStringLiteral("ToolbarUpButton"),
                               QStringLiteral("ToolbarDownButton"), QStringLiteral("ToolbarSaveButton"),
                               QStringLiteral("ToolbarAutoAlignButton")};
    // Print needs a picture in the selected tab (the left one here).
    auto expectEnabled = [&](bool withBoth, const char* when) {
        for (QAction* item : toolbar->actions()) {
            if (item->isSeparator())
                continue;
            const QString identifier = item->property(T::itemIdentifierProperty).toString();
            const bool expected = needBoth.contains(identifier)                  ? withBoth
                                  : identifier == T::printItemIdentifier ? document->leftImage()->image() != nullptr
                                                                                 : true;
            EXPECT_EQ(item->isEnabled(), expected) << identifier.toStdString() << " " << when;
        }
    };
    expectEnabled(false, "with no picture");
    document->loadLeft(writePicture(QStringLiteral("left.png")));
    ASSERT_TRUE(test::waitForLoads(*document));
    expectEnabled(false, "with the left picture only");
    document->loadRight(writePicture(QStringLiteral("right.png")));
    ASSERT_TRUE(test::waitForLoads(*document));
    expectEnabled(true, "with both pictures");
    document->model().switchPictures();
    expectEnabled(true, "after a swap");

    // Only the placed items are checked: a palette copy of Bigger is not one.
    std::unique_ptr<QAction> copy = toolbar->paletteItemForItemIdentifier(QStringLiteral("ToolbarBiggerButton"));
    document->leftImage()->setImage(nullptr);
    EXPECT_FALSE(toolbar->validateToolbarItem(toolbar->incHoffButton()));
    EXPECT_TRUE(toolbar->validateToolbarItem(copy.get()));
}

TEST_F(ToolbarTest, PrintItemFollowsTheMenuRule)
{
    // Print needs a picture in the selected tab, from the toolbar as from the menu.
    MyDocument* document = openDocument();
    DocumentToolbar* toolbar = document->toolbar();
    toolbar->setItemIdentifiers({T::printItemIdentifier});
    QAction* print = placed(toolbar, T::printItemIdentifier);
    ASSERT_NE(print, nullptr);
    struct Case {
        bool left, right;
        int tab;
        bool enabled;
    };
    const Case cases[] = {{false, false, 0, false}, {true, false, 0, true}, {true, false, 1, false},
                          {true, false, 2, false},  {true, true, 1, true},  {true, true, 2, true}};
    for (const Case& c : cases) {
        document->leftImage()->setImage(c.left ? test::patternPicture(8, 8) : nullptr);
        document->rightImage()->setImage(c.right ? test::patternPicture(8, 8) : nullptr);
        document->model().setChanged(true);
        document->tabView()->setCurrentIndex(c.tab);
        document->updateActions();
        EXPECT_EQ(print->isEnabled(), c.enabled) << c.left << c.right << " tab " << c.tab;
        EXPECT_EQ(toolbar->validateToolbarItem(print), c.enabled);
        EXPECT_EQ(document->action(Command::Print)->isEnabled(), c.enabled);
    }
}

TEST_F(ToolbarTest, OnlyItemsPlacedInTheToolbarAreKept)
{
    MyDocument* document = openDocument();
    DocumentToolbar* toolbar = document->toolbar();
    // The default set places six of the eight kept items; Save is not in it.
    EXPECT_EQ(toolbar->saveButton(), nullptr);
    QAction* kept = toolbar->glassesButton();
    ASSERT_EQ(kept, placed(toolbar, QStringLiteral("ToolbarGlassesButton")));
    EXPECT_EQ(toolbar->incHoffButton(), placed(toolbar, QStringLiteral("ToolbarBiggerButton")));
    EXPECT_EQ(toolbar->decVoffButton(), placed(toolbar, QStringLiteral("ToolbarDownButton")));

    std::unique_ptr<QAction> copy = toolbar->paletteItemForItemIdentifier(QStringLiteral("ToolbarGlassesButton"));
    std::unique_ptr<QAction> saveCopy = toolbar->paletteItemForItemIdentifier(QStringLiteral("ToolbarSaveButton"));
    EXPECT_EQ(toolbar->glassesButton(), kept);
    EXPECT_EQ(toolbar->saveButton(), nullptr);
    // A change of glasses goes to the placed item, not to the palette copy.
    const QImage copyPicture = rendered(copy->icon());
    document->model().set3DGlasses(3);
    EXPECT_EQ(rendered(copy->icon()), copyPicture);
    EXPECT_EQ(rendered(kept->icon()), rendered(T::pictureNamed(QStringLiteral("rb"))));

    QAction* inserted = toolbar->itemForItemIdentifier(QStringLiteral("ToolbarGlassesButton"));
    EXPECT_EQ(toolbar->glassesButton(), inserted);
    // The kept reference lets go when its item is gone.
    delete inserted;
    EXPECT_EQ(toolbar->glassesButton(), nullptr);
    document->model().set3DGlasses(0);
    EXPECT_EQ(document->model().glasses(), 4);
}

TEST_F(ToolbarTest, RemovedItemsLeaveNoDanglingReference)
{
    MyDocument* document = openDocument();
    DocumentToolbar* toolbar = document->toolbar();
    QPointer<QAction> oldGlasses = toolbar->glassesButton();
    QPointer<QAction> oldColor = toolbar->colorizeButton();
    ASSERT_TRUE(oldGlasses && oldColor);

    QStringList without = T::toolbarDefaultItemIdentifiers();
    without.removeAll(QStringLiteral("ToolbarGlassesButton"));
    without.removeAll(QStringLiteral("ToolbarColorButton"));
    T::applyArrangement(without);
    EXPECT_EQ(toolbar->itemIdentifiers(), without);
    EXPECT_TRUE(oldGlasses.isNull());
    EXPECT_TRUE(oldColor.isNull());
    EXPECT_EQ(toolbar->glassesButton(), nullptr);
    EXPECT_EQ(toolbar->colorizeButton(), nullptr);

    // The commands still work and store their settings.
    document->model().set3DGlasses(0);
    document->model().set3DColor();
    EXPECT_EQ(document->model().glasses(), 2);
    EXPECT_EQ(defaults.integerForKey("GlassesType"), 2);
    EXPECT_EQ(defaults.boolForKey("Colorize"), true);

    // Put back, the items show the settings made meanwhile.
    T::applyArrangement(T::toolbarDefaultItemIdentifiers());
    ASSERT_NE(toolbar->glassesButton(), nullptr);
    EXPECT_EQ(rendered(toolbar->glassesButton()->icon()), rendered(T::pictureNamed(QStringLiteral("rc"))));
    EXPECT_EQ(rendered(toolbar->colorizeButton()->icon()), rendered(T::pictureNamed(QStringLiteral("color"))));
}

TEST_F(ToolbarTest, SavedArrangementServesEveryWindow)
{
    MyDocument* first = openDocument();
    MyDocument* second = openDocument();
    const QStringList arrangement{QStringLiteral("ToolbarOpenLeftButton"), QStringLiteral("ToolbarOpenRightButton"),
                                  T::spaceItemIdentifier, QStringLiteral("ToolbarSaveButton"),
                                  T::separatorItemIdentifier, T::printItemIdentifier, T::customizeItemIdentifier};
    T::applyArrangement(arrangement);
    EXPECT_EQ(QSettings().value(QStringLiteral("KorvexToolbar")).toStringList(), arrangement);
    EXPECT_EQ(first->toolbar()->itemIdentifiers(), arrangement);
    EXPECT_EQ(second->toolbar()->itemIdentifiers(), arrangement);
    EXPECT_NE(second->toolbar()->saveButton(), nullptr);
    EXPECT_EQ(second->toolbar()->resetButton(), nullptr);

    EXPECT_EQ(openDocument()->toolbar()->itemIdentifiers(), arrangement);

    // Settings from elsewhere: unknown names go, an own item shows once,
    // spaces and separators as often as saved.
    QSettings().setValue(QStringLiteral("KorvexToolbar"),
                         QStringList{QStringLiteral("ToolbarSwapButton"), QStringLiteral("ToolbarBogus"),
                                     QStringLiteral("ToolbarSwapButton"), T::separatorItemIdentifier,
                                     T::separatorItemIdentifier});
    EXPECT_EQ(openDocument()->toolbar()->itemIdentifiers(),
              (QStringList{QStringLiteral("ToolbarSwapButton"), T::separatorItemIdentifier, T::separatorItemIdentifier}));

    // An emptied toolbar stays empty rather than falling back to the default set.
    T::applyArrangement({});
    EXPECT_TRUE(openDocument()->toolbar()->itemIdentifiers().isEmpty());
}
