#pragma once

#include "core/recent/RecentDocuments.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace korvex {

class ApplicationCommands;
class UserDefaults;

// Remembers what the user opened for File > Open Recent: a picture on its
// side, or a pair (a stereo file is a pair of itself). Empty paths mean no
// picture on that side; paths are kept absolute.
void rememberOpened(UserDefaults& defaults, const QString& leftPath, const QString& rightPath);

// The text of an Open Recent item: its number as the accelerator, then the
// file names ("left + right" for a pair, "name (right)" for a right picture).
QString recentItemText(int number, const RecentDocument& entry);

// Fills File > Open Recent from the defaults each time it opens: the entries
// go before `before`, each a QAction that hands its entry to the application.
// `application` is the window's own pointer, so that a later one is used.
class RecentMenu : public QObject {
    Q_OBJECT

public:
    RecentMenu(QMenu* menu, QAction* before, UserDefaults& defaults, ApplicationCommands* const& application);

    void rebuild();

private:
    QMenu* menu_;
    QAction* before_;
    UserDefaults& defaults_;
    ApplicationCommands* const& application_;
    QList<QAction*> items_;
};

}  // namespace korvex
