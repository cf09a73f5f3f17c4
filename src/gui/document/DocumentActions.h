#pragma once

#include "gui/common/Command.h"

#include <QObject>

#include <map>

class QAction;
class QMenu;
class QMenuBar;

namespace korvex {

class ApplicationCommands;
struct MenuEntry;
class MyDocument;

// The actions of one document window, made from the command table: one
// QAction per command, shared by the window's menu bar and toolbar, so that
// a menu item and its toolbar item are enabled by the one rule.
class DocumentActions : public QObject {
    Q_OBJECT

public:
    explicit DocumentActions(MyDocument& document);

    QAction* action(Command command) const;
    // Fills the window's menu bar from the menu layout; the shortcuts work
    // while the menus are closed too.
    void installMenus(QMenuBar* bar);
    // Enables and checks every action for the document's present state.
    void updateActions();
    // Where the application's commands go; without one they do nothing.
    void setApplicationCommands(ApplicationCommands* application) { application_ = application; }

private:
    void addEntries(QMenu* menu, const std::vector<MenuEntry>& entries);

    MyDocument& document_;
    ApplicationCommands* application_ = nullptr;
    std::map<Command, QAction*> actions_;  // owned by this object
};

}  // namespace korvex
