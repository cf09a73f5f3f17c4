#pragma once

#include "core/compose/DocumentHost.h"
#include "gui/common/Command.h"

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QToolBar>

#include <memory>
#include <optional>
#include <string_view>

class QAction;

namespace korvex {

class MyDocument;
class ToolbarCustomizeDialog;

// The toolbar of one document window and its delegate: which items exist,
// which show by default and how each item is made. Most items are the
// window's own command actions, shared with its menus and enabled by the
// command table's rule; the glasses and colour items show the settings in
// their pictures and are actions of their own. The user's arrangement is
// kept in the settings under "KorvexToolbar" and serves every later window.
class DocumentToolbar : public QToolBar {
    Q_OBJECT

public:
    // The toolbar's name, and the settings key of its arrangement.
    static const QString toolbarIdentifier;
    // The action property that holds an item's label in the palette.
    static constexpr const char* paletteLabelProperty = "paletteLabel";
    // The action property that holds a placed item's identifier.
    static constexpr const char* itemIdentifierProperty = "toolbarItemIdentifier";

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
    static const QString methodItemIdentifier;
    static const QString swapItemIdentifier;
    static const QString autoAlignItemIdentifier;

    // Builds the saved arrangement, or the default set when none is saved.
    explicit DocumentToolbar(MyDocument& document, QWidget* parent = nullptr);
    ~DocumentToolbar() override;

    static QStringList toolbarAllowedItemIdentifiers();
    static QStringList toolbarDefaultItemIdentifiers();
    // Whether the identifier may appear more than once in an arrangement.
    static bool isRepeatableItem(const QString& identifier);

    // The item to place for an identifier (the window's shared action, or a
    // new item owned by the toolbar), which becomes the kept item; null for
    // an identifier that names no item.
    QAction* itemForItemIdentifier(const QString& identifier);
    // A copy of any allowed item as shown in the customisation palette,
    // handed over to the caller and never kept. Null for an identifier that
    // is not allowed.
    std::unique_ptr<QAction> paletteItemForItemIdentifier(const QString& identifier);
    // The command behind a placed item, if it is a shared one.
    static std::optional<Command> commandForItemIdentifier(const QString& identifier);

    // Whether the item is enabled: a shared item by its command's rule, any other always.
    bool validateToolbarItem(const QAction* item) const;

    QString glassesButtonName() const;
    QString colorizeButtonName() const;
    QString methodButtonName() const;
    // The method's picture: "method-" and its name.
    static QString methodPictureName(std::string_view methodName);
    // Shows a new picture on the glasses, colour or method item, if one is placed.
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
    QAction* methodButton() const { return methodButton_; }
    QAction* incHoffButton() const { return incHoffButton_; }
    QAction* decHoffButton() const { return decHoffButton_; }
    QAction* incVoffButton() const { return incVoffButton_; }
    QAction* decVoffButton() const { return decVoffButton_; }
    QAction* resetButton() const { return resetButton_; }
    QAction* saveButton() const { return saveButton_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct OwnItem;
    static const OwnItem* ownItem(const QString& identifier);
    void makeOwnItem(QAction& item, const OwnItem& own);

    MyDocument& document_;
    // Not owned: the toolbar owns its items, and a removed item clears these.
    QPointer<QAction> glassesButton_;
    QPointer<QAction> colorizeButton_;
    QPointer<QAction> methodButton_;
    QPointer<QAction> incHoffButton_;
    QPointer<QAction> decHoffButton_;
    QPointer<QAction> incVoffButton_;
    QPointer<QAction> decVoffButton_;
    QPointer<QAction> resetButton_;
    QPointer<QAction> saveButton_;
    QPointer<ToolbarCustomizeDialog> customizeDialog_;
};

}  // namespace korvex
