#pragma once

#include "core/compose/DocumentHost.h"

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QToolBar>

#include <memory>
#include <string_view>

class QAction;

namespace korvex {

class MyDocument;
class ToolbarCustomizeDialog;

// The toolbar of one document window and its delegate: which items exist,
// which show by default, how each item is made and when it is enabled. The
// items target their document directly. The user's arrangement is kept in
// the settings under "KorvexToolbar" and serves every later window.
class DocumentToolbar : public QToolBar {
    Q_OBJECT

public:
    // The toolbar's name, and the settings key of its arrangement.
    static const QString toolbarIdentifier;
    // The action property that holds an item's label in the palette.
    static constexpr const char* paletteLabelProperty = "paletteLabel";

    // Items the toolbar makes itself rather than asking its delegate.
    static const QString printItemIdentifier;
    static const QString customizeItemIdentifier;
    static const QString flexibleSpaceItemIdentifier;
    static const QString spaceItemIdentifier;
    static const QString separatorItemIdentifier;

    // The document's own items.
    static const QString openLeftItemIdentifier;
    static const QString openRightItemIdentifier;
    static const QString saveItemIdentifier;
    static const QString resetItemIdentifier;
    static const QString biggerItemIdentifier;
    static const QString smallerItemIdentifier;
    static const QString upItemIdentifier;
    static const QString downItemIdentifier;
    static const QString glassesItemIdentifier;
    static const QString colorItemIdentifier;
    static const QString swapItemIdentifier;

    // Builds the saved arrangement, or the default set when none is saved.
    explicit DocumentToolbar(MyDocument& document, QWidget* parent = nullptr);
    ~DocumentToolbar() override;

    static QStringList toolbarAllowedItemIdentifiers();
    static QStringList toolbarDefaultItemIdentifiers();
    // Whether the identifier may appear more than once in an arrangement.
    static bool isRepeatableItem(const QString& identifier);

    // A new item for one of the document's own identifiers, handed over to
    // the caller; null for any other identifier. Only items made for the
    // toolbar itself (not palette copies) become the kept items.
    std::unique_ptr<QAction> itemForItemIdentifier(const QString& identifier, bool willBeInsertedIntoToolbar);
    // Any allowed item, the toolbar's own ones included, as shown in the
    // customisation palette. Null for an identifier that is not allowed.
    std::unique_ptr<QAction> paletteItemForItemIdentifier(const QString& identifier);

    bool validateToolbarItem(const QAction* item) const;
    // Enables every placed item by the document's present state.
    void validateVisibleItems();

    QString glassesButtonName() const;
    QString colorizeButtonName() const;
    // Shows a new picture on the glasses or colour item, if one is placed.
    void showPicture(DocumentHost::ToolbarItem item, std::string_view pictureName);
    // The application's toolbar picture of that name; null when there is none.
    static QIcon pictureNamed(const QString& name);

    // The arrangement: identifiers of the placed items, left to right.
    QStringList itemIdentifiers() const;
    void setItemIdentifiers(const QStringList& identifiers);
    // The saved arrangement (cleaned of identifiers no longer allowed), or
    // the default set.
    static QStringList savedItemIdentifiers();
    // Saves the arrangement and rebuilds the toolbar of every open window.
    static void applyArrangement(const QStringList& identifiers);

    // Opens the customise dialog on the window (one at a time).
    void runCustomizePalette();
    ToolbarCustomizeDialog* customizeDialog() const;

    MyDocument& document() const { return document_; }
    QAction* glassesButton() const { return glassesButton_; }
    QAction* colorizeButton() const { return colorizeButton_; }
    QAction* incHoffButton() const { return incHoffButton_; }
    QAction* decHoffButton() const { return decHoffButton_; }
    QAction* incVoffButton() const { return incVoffButton_; }
    QAction* decVoffButton() const { return decVoffButton_; }
    QAction* resetButton() const { return resetButton_; }
    QAction* saveButton() const { return saveButton_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::unique_ptr<QAction> platformItem(const QString& identifier);

    MyDocument& document_;
    // Not owned: the toolbar owns its items, and a removed item clears these.
    QPointer<QAction> glassesButton_;
    QPointer<QAction> colorizeButton_;
    QPointer<QAction> incHoffButton_;
    QPointer<QAction> decHoffButton_;
    QPointer<QAction> incVoffButton_;
    QPointer<QAction> decVoffButton_;
    QPointer<QAction> resetButton_;
    QPointer<QAction> saveButton_;
    QPointer<ToolbarCustomizeDialog> customizeDialog_;
};

}  // namespace korvex
