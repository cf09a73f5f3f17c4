#include "gui/document/DocumentToolbar.h"

#include "core/compose/StereoCodes.h"
#include "gui/app/Strings.h"
#include "gui/document/MyDocument.h"
#include "gui/document/ToolbarCustomizeDialog.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QSettings>

#include <functional>

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
const QString DocumentToolbar::swapItemIdentifier = QStringLiteral("ToolbarSwapButton");

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
    setItemIdentifiers(savedItemIdentifiers());
    connect(&document_, &MyDocument::stateChanged, this, &DocumentToolbar::validateVisibleItems);
}

DocumentToolbar::~DocumentToolbar() = default;

QStringList DocumentToolbar::toolbarAllowedItemIdentifiers()
{
    return {printItemIdentifier,    customizeItemIdentifier, flexibleSpaceItemIdentifier, spaceItemIdentifier,
            separatorItemIdentifier, openLeftItemIdentifier,  openRightItemIdentifier,     saveItemIdentifier,
            resetItemIdentifier,     biggerItemIdentifier,    smallerItemIdentifier,       upItemIdentifier,
            downItemIdentifier,      glassesItemIdentifier,   colorItemIdentifier,         swapItemIdentifier};
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

std::unique_ptr<QAction> DocumentToolbar::itemForItemIdentifier(const QString& identifier,
                                                                bool willBeInsertedIntoToolbar)
{
    struct Row {
        const QString& identifier;
        const char* labelKey;
        const char* toolTipKey;
        QString pictureName;
        std::function<void()> command;
        QPointer<QAction>* kept;
    };
    MyDocument& doc = document_;
    // In the order the identifiers are compared; the first equal one wins.
    const Row rows[] = {
        {saveItemIdentifier, "Save", "TBSave", QStringLiteral("save"), [&doc] { doc.saveResult(); }, &saveButton_},
        {openLeftItemIdentifier, "OpenL", "TBOpenL", QStringLiteral("openleft"), [&doc] { doc.openLeft(); }, nullptr},
        {openRightItemIdentifier, "OpenR", "TBOpenR", QStringLiteral("openright"), [&doc] { doc.openRight(); }, nullptr},
        {resetItemIdentifier, "Reset", "TBReset", QStringLiteral("reset"), [&doc] { doc.model().resetAlignment(); }, &resetButton_},
        {biggerItemIdentifier, "IncDepth", "TBIncDepth", QStringLiteral("larger"), [&doc] { doc.model().incDepth(); }, &incHoffButton_},
        {smallerItemIdentifier, "DecDepth", "TBDecDepth", QStringLiteral("smaller"), [&doc] { doc.model().decDepth(); }, &decHoffButton_},
        {upItemIdentifier, "IncVOff", "TBIncVOff", QStringLiteral("up"), [&doc] { doc.model().incVerticalOffset(); }, &incVoffButton_},
        {downItemIdentifier, "DecVOff", "TBDecVOff", QStringLiteral("down"), [&doc] { doc.model().decVerticalOffset(); }, &decVoffButton_},
        // The item carries no tag, so the document steps to the next glasses.
        {glassesItemIdentifier, "Glasses", "TBGlasses", glassesButtonName(), [&doc] { doc.model().set3DGlasses(0); }, &glassesButton_},
        {colorItemIdentifier, "Color", "TBColor", colorizeButtonName(), [&doc] { doc.model().set3DColor(); }, &colorizeButton_},
        {swapItemIdentifier, "Swap", "TBSwap", QStringLiteral("swap"), [&doc] { doc.model().switchPictures(); }, nullptr},
    };
    for (const Row& row : rows) {
        if (row.identifier != identifier)
            continue;
        auto item = std::make_unique<QAction>();
        item->setObjectName(identifier);
        if (row.kept && willBeInsertedIntoToolbar)
            *row.kept = item.get();
        item->setText(localizedString(row.labelKey));
        item->setIconText(localizedString(row.labelKey));
        item->setProperty(paletteLabelProperty, localizedString(row.labelKey));
        item->setToolTip(localizedString(row.toolTipKey));
        item->setIcon(pictureNamed(row.pictureName));
        // The target is this window's document, whichever window is active.
        QObject::connect(item.get(), &QAction::triggered, &doc, row.command);
        return item;
    }
    return nullptr;
}

std::unique_ptr<QAction> DocumentToolbar::platformItem(const QString& identifier)
{
    struct Row {
        const QString& identifier;
        const char* labelKey;
        QString pictureName;
    };
    const Row rows[] = {
        {printItemIdentifier, "Print", QStringLiteral("print")},
        {customizeItemIdentifier, "Customize", QStringLiteral("customize")},
        {flexibleSpaceItemIdentifier, "FlexibleSpace", QStringLiteral("flexspace")},
        {spaceItemIdentifier, "Space", QStringLiteral("space")},
        {separatorItemIdentifier, "Separator", QStringLiteral("separator")},
    };
    for (const Row& row : rows) {
        if (row.identifier != identifier)
            continue;
        auto item = std::make_unique<QAction>();
        item->setObjectName(identifier);
        item->setText(localizedString(row.labelKey));
        item->setIconText(localizedString(row.labelKey));
        item->setProperty(paletteLabelProperty, localizedString(row.labelKey));
        item->setIcon(pictureNamed(row.pictureName));
        if (identifier == customizeItemIdentifier) {
            item->setToolTip(localizedString("TBCustomize"));
            connect(item.get(), &QAction::triggered, this, &DocumentToolbar::runCustomizePalette);
        } else if (identifier == printItemIdentifier) {
            item->setToolTip(localizedString("TBPrint"));
            MyDocument& doc = document_;
            connect(item.get(), &QAction::triggered, &doc, [&doc] { doc.printShowingPrintPanel(true); });
        }
        return item;
    }
    return nullptr;
}

std::unique_ptr<QAction> DocumentToolbar::paletteItemForItemIdentifier(const QString& identifier)
{
    if (auto item = itemForItemIdentifier(identifier, false))
        return item;
    return platformItem(identifier);
}

bool DocumentToolbar::validateToolbarItem(const QAction* item) const
{
    if (!item)
        return false;
    for (const QAction* kept : {incHoffButton_.data(), decHoffButton_.data(), incVoffButton_.data(),
                                decVoffButton_.data(), resetButton_.data(), saveButton_.data()})
        if (item == kept)
            return document_.model().hasResult();
    return true;
}

void DocumentToolbar::validateVisibleItems()
{
    for (QAction* item : actions())
        item->setEnabled(validateToolbarItem(item));
}

QString DocumentToolbar::glassesButtonName() const
{
    return fromView(korvex::glassesButtonName(document_.model().glasses()));
}

QString DocumentToolbar::colorizeButtonName() const
{
    return fromView(korvex::colorizeButtonName(document_.model().colorize()));
}

void DocumentToolbar::showPicture(DocumentHost::ToolbarItem item, std::string_view pictureName)
{
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
        identifiers << item->objectName();
    return identifiers;
}

void DocumentToolbar::setItemIdentifiers(const QStringList& identifiers)
{
    // The toolbar owns every item it shows; deleting the old ones clears the
    // kept references to any that the new arrangement leaves out.
    const QList<QAction*> old = actions();
    clear();
    qDeleteAll(old);

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
            std::unique_ptr<QAction> item = itemForItemIdentifier(identifier, true);
            if (!item)
                item = platformItem(identifier);
            if (!item)
                continue;
            item->setParent(this);
            placed = item.release();
            addAction(placed);
        }
        placed->setObjectName(identifier);
    }
    validateVisibleItems();
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
