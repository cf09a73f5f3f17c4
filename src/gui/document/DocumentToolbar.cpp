#include "gui/document/DocumentToolbar.h"

#include "core/compose/StereoCodes.h"
#include "gui/document/CommandTable.h"
#include "gui/common/Strings.h"
#include "gui/document/MyDocument.h"
#include "gui/document/ToolbarCustomizeDialog.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QToolButton>


// The pictures live in a resource of this static library, so they are
// registered by hand before the first use (outside any namespace, as Qt needs).
static void registerToolbarPictures()
{
    Q_INIT_RESOURCE(toolbar);
}

namespace korvex {

const QString DocumentToolbar::toolbarIdentifier = QStringLiteral("KorvexToolbar");

const QString DocumentToolbar::printItemIdentifier = QStringLiteral("ToolbarPrintItem");
const QString DocumentToolbar::customizeItemIdentifier = QStringLiteral("ToolbarCustomizeItem");
const QString DocumentToolbar::flexibleSpaceItemIdentifier = QStringLiteral("ToolbarFlexibleSpaceItem");
const QString DocumentToolbar::spaceItemIdentifier = QStringLiteral("ToolbarSpaceItem");
const QString DocumentToolbar::separatorItemIdentifier = QStringLiteral("ToolbarSeparatorItem");

const QString DocumentToolbar::openLeftItemIdentifier = QStringLiteral("ToolbarOpenLeftButton");
const QString DocumentToolbar::openRightItemIdentifier = QStringLiteral("ToolbarOpenRightButton");
const QString DocumentToolbar::saveItemIdentifier = QStringLiteral("ToolbarSaveButton");
const QString DocumentToolbar::resetItemIdentifier = QStringLiteral("ToolbarResetButton");
const QString DocumentToolbar::biggerItemIdentifier = QStringLiteral("ToolbarBiggerButton");
const QString DocumentToolbar::smallerItemIdentifier = QStringLiteral("ToolbarSmallerButton");
const QString DocumentToolbar::upItemIdentifier = QStringLiteral("ToolbarUpButton");
const QString DocumentToolbar::downItemIdentifier = QStringLiteral("ToolbarDownButton");
const QString DocumentToolbar::glassesItemIdentifier = QStringLiteral("ToolbarGlassesButton");
const QString DocumentToolbar::colorItemIdentifier = QStringLiteral("ToolbarColorButton");
const QString DocumentToolbar::methodItemIdentifier = QStringLiteral("ToolbarMethodButton");
const QString DocumentToolbar::swapItemIdentifier = QStringLiteral("ToolbarSwapButton");
const QString DocumentToolbar::autoAlignItemIdentifier = QStringLiteral("ToolbarAutoAlignButton");

namespace {

constexpr int fixedSpaceWidth = 16;

QString fromView(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

}  // namespace

DocumentToolbar::DocumentToolbar(MyDocument& document, QWidget* parent)
    : QToolBar(parent), document_(document)
{
    setObjectName(toolbarIdentifier);
    setWindowTitle(localizedString("ToolbarTitle"));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setMovable(false);
    // Qt's button for the items that do not fit has no text of its own.
    if (auto* more = findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(localizedString("AccMoreToolbarItems"));
    setItemIdentifiers(savedItemIdentifiers());
}

DocumentToolbar::~DocumentToolbar() = default;

QStringList DocumentToolbar::toolbarAllowedItemIdentifiers()
{
    return {printItemIdentifier,    customizeItemIdentifier, flexibleSpaceItemIdentifier, spaceItemIdentifier,
            separatorItemIdentifier, openLeftItemIdentifier,  openRightItemIdentifier,     saveItemIdentifier,
            resetItemIdentifier,     biggerItemIdentifier,    smallerItemIdentifier,       upItemIdentifier,
            downItemIdentifier,      glassesItemIdentifier,   colorItemIdentifier,         swapItemIdentifier,
            autoAlignItemIdentifier, methodItemIdentifier};
}

QStringList DocumentToolbar::toolbarDefaultItemIdentifiers()
{
    return {resetItemIdentifier, separatorItemIdentifier, biggerItemIdentifier,        smallerItemIdentifier,
            separatorItemIdentifier, upItemIdentifier,    downItemIdentifier,          flexibleSpaceItemIdentifier,
            swapItemIdentifier,  glassesItemIdentifier,   colorItemIdentifier};
}

bool DocumentToolbar::isRepeatableItem(const QString& identifier)
{
    return identifier == flexibleSpaceItemIdentifier || identifier == spaceItemIdentifier
           || identifier == separatorItemIdentifier;
}

std::optional<Command> DocumentToolbar::commandForItemIdentifier(const QString& identifier)
{
    // The items that are the window's command actions, shared with its menus.
    const std::pair<const QString&, Command> shared[] = {
        {saveItemIdentifier, Command::SaveAs},
        {resetItemIdentifier, Command::ResetAlignment},
        {biggerItemIdentifier, Command::IncDepth},
        {smallerItemIdentifier, Command::DecDepth},
        {upItemIdentifier, Command::IncVerticalOffset},
        {downItemIdentifier, Command::DecVerticalOffset},
        {swapItemIdentifier, Command::SwitchPictures},
        {autoAlignItemIdentifier, Command::AutoAlign},
        {printItemIdentifier, Command::Print},
    };
    for (const auto& [id, command] : shared)
        if (id == identifier)
            return command;
    return std::nullopt;
}

// The items that are not menu commands: the open items open into their own
// document (the menu's open commands also choose the side that the plain
// Open fills), the glasses item steps through the types (it carries no tag)
// and, like the colour item, shows the setting in its picture; the customise
// item opens the palette.
struct DocumentToolbar::OwnItem {
    const QString& identifier;
    const char* labelKey;
    const char* toolTipKey;
    QString (*picture)(const DocumentToolbar&);
    void (*command)(DocumentToolbar&);
};

const DocumentToolbar::OwnItem* DocumentToolbar::ownItem(const QString& identifier)
{
    static const OwnItem items[] = {
        {openLeftItemIdentifier, "OpenL", "TBOpenL", [](const DocumentToolbar&) { return QStringLiteral("openleft"); },
         [](DocumentToolbar& t) { t.document().openLeft(); }},
        {openRightItemIdentifier, "OpenR", "TBOpenR", [](const DocumentToolbar&) { return QStringLiteral("openright"); },
         [](DocumentToolbar& t) { t.document().openRight(); }},
        {glassesItemIdentifier, "Glasses", "TBGlasses", [](const DocumentToolbar& t) { return t.glassesButtonName(); },
         [](DocumentToolbar& t) {
             t.document().changeUndoably("UndoGlasses", UndoMerge::None, [&] { t.document().model().set3DGlasses(0); });
         }},
        {colorItemIdentifier, "Color", "TBColor", [](const DocumentToolbar& t) { return t.colorizeButtonName(); },
         [](DocumentToolbar& t) {
             t.document().changeUndoably("UndoColor", UndoMerge::None, [&] { t.document().model().set3DColor(); });
         }},
        {methodItemIdentifier, "Method", "TBMethod", [](const DocumentToolbar& t) { return t.methodButtonName(); },
         [](DocumentToolbar& t) {
             t.document().changeUndoably("UndoMethod", UndoMerge::None, [&] { t.document().model().nextAnaglyphMethod(); });
         }},
        {customizeItemIdentifier, "Customize", "TBCustomize",
         [](const DocumentToolbar&) { return QStringLiteral("customize"); },
         [](DocumentToolbar& t) { t.runCustomizePalette(); }},
    };
    for (const OwnItem& item : items)
        if (item.identifier == identifier)
            return &item;
    return nullptr;
}

void DocumentToolbar::makeOwnItem(QAction& item, const OwnItem& own)
{
    item.setText(localizedString(own.labelKey));
    item.setIconText(localizedString(own.labelKey));
    item.setToolTip(localizedString(own.toolTipKey));
    item.setIcon(pictureNamed(own.picture(*this)));
}

QAction* DocumentToolbar::itemForItemIdentifier(const QString& identifier)
{
    QPointer<QAction>* kept = nullptr;
    const std::pair<const QString&, QPointer<QAction>*> keptItems[] = {
        {saveItemIdentifier, &saveButton_},         {resetItemIdentifier, &resetButton_},
        {biggerItemIdentifier, &incHoffButton_},    {smallerItemIdentifier, &decHoffButton_},
        {upItemIdentifier, &incVoffButton_},        {downItemIdentifier, &decVoffButton_},
        {glassesItemIdentifier, &glassesButton_},   {colorItemIdentifier, &colorizeButton_},
        {methodItemIdentifier, &methodButton_},
    };
    for (const auto& [id, pointer] : keptItems)
        if (id == identifier)
            kept = pointer;

    QAction* item = nullptr;
    if (const auto command = commandForItemIdentifier(identifier)) {
        item = document_.action(*command);
    } else if (const OwnItem* own = ownItem(identifier)) {
        item = new QAction(this);
        item->setObjectName(identifier);
        makeOwnItem(*item, *own);
        const auto command = own->command;
        connect(item, &QAction::triggered, this, [this, command] { command(*this); });
    }
    if (item && kept)
        *kept = item;
    return item;
}

std::unique_ptr<QAction> DocumentToolbar::paletteItemForItemIdentifier(const QString& identifier)
{
    struct Spacer {
        const QString& identifier;
        const char* labelKey;
        const char* pictureName;
    };
    const Spacer spacers[] = {
        {flexibleSpaceItemIdentifier, "FlexibleSpace", "flexspace"},
        {spaceItemIdentifier, "Space", "space"},
        {separatorItemIdentifier, "Separator", "separator"},
    };
    auto copy = std::make_unique<QAction>();
    copy->setObjectName(identifier);
    if (const auto command = commandForItemIdentifier(identifier)) {
        const QAction* shared = document_.action(*command);
        copy->setText(shared->iconText());
        copy->setToolTip(shared->toolTip());
        copy->setIcon(shared->icon());
    } else if (const OwnItem* own = ownItem(identifier)) {
        makeOwnItem(*copy, *own);
    } else {
        const Spacer* spacer = nullptr;
        for (const Spacer& s : spacers)
            if (s.identifier == identifier)
                spacer = &s;
        if (!spacer)
            return nullptr;
        copy->setText(localizedString(spacer->labelKey));
        copy->setIcon(pictureNamed(QLatin1String(spacer->pictureName)));
    }
    copy->setProperty(paletteLabelProperty, copy->text());
    return copy;
}

bool DocumentToolbar::validateToolbarItem(const QAction* item) const
{
    if (!item)
        return false;
    const auto command = commandForItemIdentifier(item->property(itemIdentifierProperty).toString());
    return !command || document_.action(*command) != item || korvex::isEnabled(*command, &document_);
}

QString DocumentToolbar::glassesButtonName() const
{
    return fromView(korvex::glassesButtonName(document_.model().glasses()));
}

QString DocumentToolbar::colorizeButtonName() const
{
    return fromView(korvex::colorizeButtonName(document_.model().colorize()));
}

QString DocumentToolbar::methodButtonName() const
{
    return methodPictureName(anaglyphMethodName(document_.model().anaglyphMethod()));
}

QString DocumentToolbar::methodPictureName(std::string_view methodName)
{
    return QStringLiteral("method-") + fromView(methodName);
}

void DocumentToolbar::showPicture(DocumentHost::ToolbarItem item, std::string_view pictureName)
{
    if (item == DocumentHost::ToolbarItem::Method) {
        if (methodButton_)
            methodButton_->setIcon(pictureNamed(methodPictureName(pictureName)));
        return;
    }
    QAction* target = item == DocumentHost::ToolbarItem::Glasses ? glassesButton_.data() : colorizeButton_.data();
    if (target)
        target->setIcon(pictureNamed(fromView(pictureName)));
}

QIcon DocumentToolbar::pictureNamed(const QString& name)
{
    static const bool registered = (registerToolbarPictures(), true);
    (void)registered;
    const QString path = QStringLiteral(":/toolbar/") + name + QStringLiteral(".svg");
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QStringList DocumentToolbar::itemIdentifiers() const
{
    QStringList identifiers;
    for (const QAction* item : actions())
        identifiers << item->property(itemIdentifierProperty).toString();
    return identifiers;
}

void DocumentToolbar::setItemIdentifiers(const QStringList& identifiers)
{
    // The toolbar owns the items it made; deleting them clears the kept
    // references to any that the new arrangement leaves out. The shared
    // command actions belong to the window and only leave the toolbar.
    const QList<QAction*> old = actions();
    clear();
    for (QAction* item : old)
        if (item->parent() == this)
            delete item;
    for (QPointer<QAction>* kept : {&incHoffButton_, &decHoffButton_, &incVoffButton_, &decVoffButton_,
                                    &resetButton_, &saveButton_})
        *kept = nullptr;

    for (const QString& identifier : identifiers) {
        QAction* placed = nullptr;
        if (identifier == separatorItemIdentifier) {
            placed = addSeparator();
        } else if (identifier == flexibleSpaceItemIdentifier || identifier == spaceItemIdentifier) {
            auto* spacer = new QWidget;
            if (identifier == flexibleSpaceItemIdentifier)
                spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            else
                spacer->setFixedSize(fixedSpaceWidth, fixedSpaceWidth);
            placed = addWidget(spacer);
        } else {
            placed = itemForItemIdentifier(identifier);
            if (!placed)
                continue;
            addAction(placed);
        }
        placed->setProperty(itemIdentifierProperty, identifier);
    }
}

QStringList DocumentToolbar::savedItemIdentifiers()
{
    const QSettings settings;
    if (!settings.contains(toolbarIdentifier))
        return toolbarDefaultItemIdentifiers();
    // Settings edited by hand or by another version may name unknown items or
    // repeat one; keep what this version can show, once each.
    const QStringList allowed = toolbarAllowedItemIdentifiers();
    QStringList identifiers;
    for (const QString& identifier : settings.value(toolbarIdentifier).toStringList())
        if (allowed.contains(identifier) && (isRepeatableItem(identifier) || !identifiers.contains(identifier)))
            identifiers << identifier;
    return identifiers;
}

void DocumentToolbar::applyArrangement(const QStringList& identifiers)
{
    QSettings().setValue(toolbarIdentifier, identifiers);
    const QStringList cleaned = savedItemIdentifiers();
    for (QWidget* window : QApplication::topLevelWidgets())
        for (DocumentToolbar* toolbar : window->findChildren<DocumentToolbar*>())
            toolbar->setItemIdentifiers(cleaned);
}

void DocumentToolbar::runCustomizePalette()
{
    if (customizeDialog_) {
        customizeDialog_->raise();
        return;
    }
    auto* dialog = new ToolbarCustomizeDialog(*this, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    customizeDialog_ = dialog;
    dialog->open();
}

ToolbarCustomizeDialog* DocumentToolbar::customizeDialog() const
{
    return customizeDialog_;
}

void DocumentToolbar::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(localizedString("CustomizeToolbar"), this, &DocumentToolbar::runCustomizePalette);
    menu.exec(event->globalPos());
}

}  // namespace korvex
