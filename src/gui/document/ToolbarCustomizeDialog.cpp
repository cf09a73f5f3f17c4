#include "gui/document/ToolbarCustomizeDialog.h"

#include "gui/common/Strings.h"
#include "gui/document/DocumentToolbar.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex {

namespace {

constexpr int identifierRole = Qt::UserRole;

QString identifierOf(const QListWidgetItem* row)
{
    return row ? row->data(identifierRole).toString() : QString();
}

}  // namespace

ToolbarCustomizeDialog::ToolbarCustomizeDialog(DocumentToolbar& toolbar, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(localizedString("CustomizeTitle"));
    setObjectName(QStringLiteral("ToolbarCustomizeDialog"));

    available_ = new QListWidget;
    available_->setObjectName(QStringLiteral("availableItems"));
    available_->setIconSize(toolbar.iconSize());
    available_->setAccessibleName(localizedString("AvailableItems"));
    arranged_ = new QListWidget;
    arranged_->setAccessibleName(localizedString("ToolbarItems"));
    arranged_->setObjectName(QStringLiteral("arrangedItems"));
    arranged_->setIconSize(toolbar.iconSize());
    arranged_->setDragDropMode(QAbstractItemView::InternalMove);
    arranged_->setDefaultDropAction(Qt::MoveAction);
    // Tall enough to show every allowed item without scrolling.
    for (QListWidget* list : {available_, arranged_})
        list->setMinimumSize(240, 16 * (toolbar.iconSize().height() + 6));

    for (const QString& identifier : DocumentToolbar::toolbarAllowedItemIdentifiers()) {
        std::unique_ptr<QAction> copy = toolbar.paletteItemForItemIdentifier(identifier);
        if (!copy)
            continue;
        copy->setParent(this);
        palette_.insert(identifier, copy.release());
        available_->addItem(makeRow(identifier));
    }

    auto makeButton = [this](const char* key, const QString& name) {
        auto* button = new QPushButton(localizedString(key));
        button->setObjectName(name);
        button->setAutoDefault(false);
        return button;
    };
    addButton_ = makeButton("AddItem", QStringLiteral("addButton"));
    removeButton_ = makeButton("RemoveItem", QStringLiteral("removeButton"));
    upButton_ = makeButton("MoveUp", QStringLiteral("upButton"));
    downButton_ = makeButton("MoveDown", QStringLiteral("downButton"));
    QPushButton* restoreButton = makeButton("RestoreDefaults", QStringLiteral("restoreButton"));

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    for (QPushButton* button : {addButton_, removeButton_, upButton_, downButton_})
        middle->addWidget(button);
    middle->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(restoreButton, QDialogButtonBox::ResetRole);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(localizedString("AvailableItems")), 0, 0);
    grid->addWidget(new QLabel(localizedString("ToolbarItems")), 0, 2);
    grid->addWidget(available_, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(arranged_, 1, 2);
    auto* hint = new QLabel(localizedString("CustomizeHint"));
    hint->setWordWrap(true);
    grid->addWidget(hint, 2, 0, 1, 3);
    grid->addWidget(buttons, 3, 0, 1, 3);

    connect(addButton_, &QPushButton::clicked, this, &ToolbarCustomizeDialog::addSelectedItem);
    connect(removeButton_, &QPushButton::clicked, this, &ToolbarCustomizeDialog::removeSelectedItem);
    connect(upButton_, &QPushButton::clicked, this, [this] { moveSelectedItem(-1); });
    connect(downButton_, &QPushButton::clicked, this, [this] { moveSelectedItem(1); });
    connect(restoreButton, &QPushButton::clicked, this, &ToolbarCustomizeDialog::restoreDefaultSet);
    connect(buttons, &QDialogButtonBox::accepted, this, &ToolbarCustomizeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ToolbarCustomizeDialog::reject);
    connect(available_, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizeDialog::addSelectedItem);
    connect(arranged_, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizeDialog::removeSelectedItem);
    connect(available_, &QListWidget::currentRowChanged, this, &ToolbarCustomizeDialog::updateButtons);
    connect(arranged_, &QListWidget::currentRowChanged, this, &ToolbarCustomizeDialog::updateButtons);
    // A drag within the arrangement moves rows without changing the current one.
    connect(arranged_->model(), &QAbstractItemModel::rowsMoved, this, &ToolbarCustomizeDialog::updateButtons);

    setArrangement(toolbar.itemIdentifiers());
    available_->setCurrentRow(0);
}

QListWidgetItem* ToolbarCustomizeDialog::makeRow(const QString& identifier) const
{
    const QAction* copy = palette_.value(identifier);
    auto* row = new QListWidgetItem;
    row->setData(identifierRole, identifier);
    if (copy) {
        row->setIcon(copy->icon());
        row->setText(copy->property(DocumentToolbar::paletteLabelProperty).toString());
        row->setToolTip(copy->toolTip());
    } else {
        row->setText(identifier);
    }
    return row;
}

QStringList ToolbarCustomizeDialog::arrangement() const
{
    QStringList identifiers;
    for (int i = 0; i < arranged_->count(); ++i)
        identifiers << identifierOf(arranged_->item(i));
    return identifiers;
}

void ToolbarCustomizeDialog::setArrangement(const QStringList& identifiers)
{
    arranged_->clear();
    for (const QString& identifier : identifiers)
        arranged_->addItem(makeRow(identifier));
    updateButtons();
}

void ToolbarCustomizeDialog::addSelectedItem()
{
    const QString identifier = identifierOf(available_->currentItem());
    if (identifier.isEmpty())
        return;
    if (!DocumentToolbar::isRepeatableItem(identifier) && arrangement().contains(identifier))
        return;
    const int at = arranged_->currentRow() < 0 ? arranged_->count() : arranged_->currentRow() + 1;
    arranged_->insertItem(at, makeRow(identifier));
    arranged_->setCurrentRow(at);
    updateButtons();
}

void ToolbarCustomizeDialog::removeSelectedItem()
{
    const int row = arranged_->currentRow();
    if (row < 0)
        return;
    delete arranged_->takeItem(row);
    updateButtons();
}

void ToolbarCustomizeDialog::moveSelectedItem(int delta)
{
    const int from = arranged_->currentRow();
    const int to = from + delta;
    if (from < 0 || to < 0 || to >= arranged_->count())
        return;
    arranged_->insertItem(to, arranged_->takeItem(from));
    arranged_->setCurrentRow(to);
    updateButtons();
}

void ToolbarCustomizeDialog::restoreDefaultSet()
{
    setArrangement(DocumentToolbar::toolbarDefaultItemIdentifiers());
}

void ToolbarCustomizeDialog::accept()
{
    DocumentToolbar::applyArrangement(arrangement());
    QDialog::accept();
}

void ToolbarCustomizeDialog::updateButtons()
{
    const QString chosen = identifierOf(available_->currentItem());
    addButton_->setEnabled(!chosen.isEmpty()
                           && (DocumentToolbar::isRepeatableItem(chosen) || !arrangement().contains(chosen)));
    const int row = arranged_->currentRow();
    removeButton_->setEnabled(row >= 0);
    upButton_->setEnabled(row > 0);
    downButton_->setEnabled(row >= 0 && row + 1 < arranged_->count());
}

}  // namespace korvex
