#pragma once

#include "gui/common/ApplicationCommands.h"
#include "gui/common/Command.h"

#include <QKeySequence>
#include <QList>
#include <QString>

#include <vector>

namespace korvex {

class MyDocument;

// One row per command: what the menus and the toolbar show, the tag that
// decides its enabling, and its handler. Rows name texts by key.
struct CommandRow {
    Command command;
    const char* objectName;
    const char* textKey;             // the menu item's text
    int tag = tag::always;
    QList<QKeySequence> shortcuts = {};
    const char* iconName = nullptr;  // a toolbar picture, also shown in the menu
    const char* iconTextKey = nullptr;  // the toolbar label, when the toolbar shows it
    const char* toolTipKey = nullptr;
    // Checkable items; those sharing a group name are a choice of one.
    const char* exclusiveGroup = nullptr;
    bool (*checked)(const MyDocument&, int tag) = nullptr;
    // A further condition beside the tag's rule, and a text that follows the
    // document (Undo names the step it undoes).
    bool (*available)(const MyDocument&) = nullptr;
    QString (*currentText)(const MyDocument&) = nullptr;
    // The handler: a command of the document it is triggered in, or of the application.
    void (*onDocument)(MyDocument&, int tag) = nullptr;
    void (ApplicationCommands::*onApplication)() = nullptr;
};

const std::vector<CommandRow>& commandTable();
const CommandRow& commandRow(Command command);

// The one enabling rule, by the row's tag. With no stereo document in front
// (null) only the general items (tags 100 and 101) are enabled.
bool isEnabled(Command command, const MyDocument* document);
// Carries out the command for the document (a document's command needs
// one) or the application, when it is enabled for that document.
void perform(Command command, MyDocument* document, ApplicationCommands* application);
// The item's text for the document: its own, or the key's.
QString commandText(Command command, const MyDocument* document);
// Whether the item carries a check mark for the document (false for items
// that are not checkable).
bool isChecked(Command command, const MyDocument& document);

// The menu bar: menus of items, separators and submenus, in order.
struct MenuEntry {
    // RecentDocuments: where File > Open Recent lists its entries.
    enum class Kind { Item, Separator, Submenu, RecentDocuments };
    Kind kind = Kind::Item;
    Command command = Command::NewDocument;
    const char* titleKey = nullptr;  // submenus only
    std::vector<MenuEntry> entries = {};

    static MenuEntry item(Command command) { return {Kind::Item, command}; }
    static MenuEntry separator() { return {Kind::Separator}; }
    static MenuEntry recentDocuments() { return {Kind::RecentDocuments}; }
    static MenuEntry submenu(const char* titleKey, std::vector<MenuEntry> entries)
    {
        return {Kind::Submenu, Command::NewDocument, titleKey, std::move(entries)};
    }
};

struct MenuRow {
    const char* titleKey;
    std::vector<MenuEntry> entries;
};

const std::vector<MenuRow>& menuLayout();

}  // namespace korvex
