// The customise dialog: reached from the toolbar, showing the allowed items,
// editing the arrangement, and applying it to the windows and the settings.
#include "gui/document/ToolbarCustomizeDialog.h"

#include "core/compose/MemoryDefaults.h"
#include "gui/common/Strings.h"
#include "gui/document/DocumentController.h"
#include "gui/document/DocumentToolbar.h"
#include "gui/document/MyDocument.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

using T = DocumentToolbar;

class CustomizeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("settings")));
        document = controller.openUntitledDocument(false);
        toolbar = document->toolbar();
    }

    // Opens the dialog as the customise item does.
    ToolbarCustomizeDialog* openDialog()
    {
        toolbar->setItemIdentifiers(T::toolbarDefaultItemIdentifiers() << T::customizeItemIdentifier);
        toolbar->actions().constLast()->trigger();
        return toolbar->customizeDialog();
    }

    void choose(QListWidget* list, const QString& identifier)
    {
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->data(Qt::UserRole).toString() == identifier) {
                list->setCurrentRow(row);
                return;
            }
        ADD_FAILURE() << "no row " << identifier.toStdString();
    }

    QPushButton* button(ToolbarCustomizeDialog* dialog, const char* name)
    {
        return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    QTemporaryDir dir;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* document = nullptr;
    DocumentToolbar* toolbar = nullptr;
};

}  // namespace

TEST_F(CustomizeTest, ShowsTheAllowedItemsWithPicturesAndTheArrangement)
{
    ToolbarCustomizeDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    // A second request raises the same dialog.
    toolbar->runCustomizePalette();
    EXPECT_EQ(toolbar->customizeDialog(), dialog);

    QListWidget* available = dialog->availableList();
    const QStringList allowed = T::toolbarAllowedItemIdentifiers();
    ASSERT_EQ(available->count(), allowed.size());
    for (int row = 0; row < available->count(); ++row) {
        EXPECT_EQ(available->item(row)->data(Qt::UserRole).toString(), allowed.at(row));
        EXPECT_FALSE(available->item(row)->icon().pixmap(24).isNull()) << row;
        EXPECT_NE(available->item(row)->text(), allowed.at(row)) << row;
    }
    EXPECT_EQ(available->item(5)->text(), localizedString("OpenL"));
    EXPECT_EQ(dialog->arrangement(), toolbar->itemIdentifiers());

    // Making the palette copies changed none of the kept items.
    EXPECT_EQ(toolbar->glassesButton(), toolbar->actions().at(9));
    EXPECT_EQ(toolbar->saveButton(), nullptr);
    dialog->reject();
}

TEST_F(CustomizeTest, EditingTheArrangement)
{
    ToolbarCustomizeDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    QListWidget* arranged = dialog->arrangementList();
    dialog->setArrangement({QStringLiteral("ToolbarSwapButton")});

    // Added after the selected row; an own item only once, separators freely.
    arranged->setCurrentRow(0);
    choose(dialog->availableList(), QStringLiteral("ToolbarSaveButton"));
    EXPECT_TRUE(button(dialog, "addButton")->isEnabled());
    button(dialog, "addButton")->click();
    EXPECT_FALSE(button(dialog, "addButton")->isEnabled());
    dialog->addSelectedItem();
    choose(dialog->availableList(), T::separatorItemIdentifier);
    button(dialog, "addButton")->click();
    button(dialog, "addButton")->click();
    EXPECT_EQ(dialog->arrangement(), (QStringList{QStringLiteral("ToolbarSwapButton"), QStringLiteral("ToolbarSaveButton"),
                                                  T::separatorItemIdentifier, T::separatorItemIdentifier}));

    // Reordering stops at the ends.
    arranged->setCurrentRow(1);
    button(dialog, "upButton")->click();
    EXPECT_FALSE(button(dialog, "upButton")->isEnabled());
    dialog->moveSelectedItem(-1);
    arranged->setCurrentRow(3);
    EXPECT_FALSE(button(dialog, "downButton")->isEnabled());
    button(dialog, "removeButton")->click();
    EXPECT_EQ(dialog->arrangement(), (QStringList{QStringLiteral("ToolbarSaveButton"), QStringLiteral("ToolbarSwapButton"),
                                                  T::separatorItemIdentifier}));

    button(dialog, "restoreButton")->click();
    EXPECT_EQ(dialog->arrangement(), T::toolbarDefaultItemIdentifiers());

    // Cancelling leaves the toolbar and the settings alone.
    const QStringList before = toolbar->itemIdentifiers();
    dialog->reject();
    EXPECT_EQ(toolbar->itemIdentifiers(), before);
    EXPECT_FALSE(QSettings().contains(QStringLiteral("KorvexToolbar")));
}

TEST_F(CustomizeTest, RemovingTheGlassesItemThenChangingTheGlasses)
{
    MyDocument* other = controller.openUntitledDocument(false);
    ToolbarCustomizeDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    choose(dialog->arrangementList(), QStringLiteral("ToolbarGlassesButton"));
    button(dialog, "removeButton")->click();
    const QStringList arrangement = dialog->arrangement();
    dialog->accept();

    // Applied to every open window and saved for the next ones.
    EXPECT_EQ(toolbar->itemIdentifiers(), arrangement);
    EXPECT_EQ(other->toolbar()->itemIdentifiers(), arrangement);
    EXPECT_EQ(QSettings().value(QStringLiteral("KorvexToolbar")).toStringList(), arrangement);
    EXPECT_EQ(toolbar->glassesButton(), nullptr);

    for (int i = 0; i < 11; ++i)
        document->model().set3DGlasses(0);
    EXPECT_EQ(document->model().glasses(), 2);
    EXPECT_EQ(controller.openUntitledDocument(false)->toolbar()->glassesButton(), nullptr);
}
