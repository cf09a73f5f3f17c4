#include "gui/document/DocumentActions.h"

#include "gui/common/Strings.h"
#include "gui/document/CommandTable.h"
#include "gui/document/DocumentToolbar.h"
#include "gui/document/MyDocument.h"
#include "gui/document/RecentMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <QToolButton>

namespace korvex {

DocumentActions::DocumentActions(MyDocument& document)
    : QObject(&document), document_(document)
{
    std::map<std::string_view, QActionGroup*> groups;
    for (const CommandRow& row : commandTable()) {
        auto* a = new QAction(localizedString(row.textKey), this);
        a->setObjectName(QLatin1String(row.objectName));
        a->setData(row.tag);
        a->setShortcuts(row.shortcuts);
        if (row.iconName)
            a->setIcon(DocumentToolbar::pictureNamed(QLatin1String(row.iconName)));
        if (row.iconTextKey)
            a->setIconText(localizedString(row.iconTextKey));
        if (row.toolTipKey)
            a->setToolTip(localizedString(row.toolTipKey));
        if (row.checked)
            a->setCheckable(true);
        if (row.exclusiveGroup) {
            QActionGroup*& group = groups[row.exclusiveGroup];
            if (!group)
                group = new QActionGroup(this);
            group->addAction(a);
        }
        if (row.command == Command::Quit)
            a->setMenuRole(QAction::QuitRole);
        else if (row.command == Command::About)
            a->setMenuRole(QAction::AboutRole);

        const Command command = row.command;
        connect(a, &QAction::triggered, this, [this, command] {
            perform(command, &document_, application_);
            // A checkable item toggles itself; put the marks right.
            updateActions();
        });
        actions_[command] = a;
    }
}

QAction* DocumentActions::action(Command command) const
{
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void DocumentActions::installMenus(QMenuBar* bar)
{
    for (const MenuRow& row : menuLayout())
        addEntries(bar->addMenu(localizedString(row.titleKey)), row.entries);
    // Qt's button for the menus that do not fit has no text of its own.
    if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button")))
        more->setAccessibleName(localizedString("AccMoreMenus"));
    for (const auto& [command, a] : actions_)
        document_.addAction(a);
}

void DocumentActions::addEntries(QMenu* menu, const std::vector<MenuEntry>& entries)
{
    connect(menu, &QMenu::aboutToShow, this, &DocumentActions::updateActions);
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Item:
            menu->addAction(action(entry.command));
            break;
        case MenuEntry::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuEntry::Kind::Submenu:
            addEntries(menu->addMenu(localizedString(entry.titleKey)), entry.entries);
            break;
        case MenuEntry::Kind::RecentDocuments: {
            // Filled when the menu opens, before the items that follow.
            auto* end = menu->addSeparator();
            new RecentMenu(menu, end, document_.defaults(), application_);
            break;
        }
        }
    }
}

void DocumentActions::updateActions()
{
    for (const auto& [command, a] : actions_) {
        a->setEnabled(isEnabled(command, &document_));
        if (commandRow(command).currentText)
            a->setText(commandText(command, &document_));
        if (a->isCheckable())
            a->setChecked(isChecked(command, document_));
    }
}

}  // namespace korvex
