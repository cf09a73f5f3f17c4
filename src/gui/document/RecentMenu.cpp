#include "gui/document/RecentMenu.h"

#include "gui/common/ApplicationCommands.h"
#include "gui/common/Strings.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

namespace korvex {

namespace {

std::string absoluteNativePath(const QString& path)
{
    return path.isEmpty() ? std::string() : QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString();
}

QString qtPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// A file name as a menu shows it: an ampersand is not an accelerator.
QString menuName(const std::string& path)
{
    return QFileInfo(qtPath(path)).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

void rememberOpened(UserDefaults& defaults, const QString& leftPath, const QString& rightPath)
{
    RecentDocuments(defaults).add({absoluteNativePath(leftPath), absoluteNativePath(rightPath)});
}

QString recentItemText(int number, const RecentDocument& entry)
{
    QString name;
    if (entry.left == entry.right || entry.right.empty())
        name = menuName(entry.left);
    else if (entry.left.empty())
        name = localizedString("RecentRight").arg(menuName(entry.right));
    else
        name = localizedString("RecentPair").arg(menuName(entry.left), menuName(entry.right));
    // 1 to 9, then 0 for the tenth.
    return QStringLiteral("&%1 %2").arg(number % 10).arg(name);
}

RecentMenu::RecentMenu(QMenu* menu, QAction* before, UserDefaults& defaults,
                       ApplicationCommands* const& application)
    : QObject(menu), menu_(menu), before_(before), defaults_(defaults), application_(application)
{
    menu_->setToolTipsVisible(true);
    connect(menu_, &QMenu::aboutToShow, this, &RecentMenu::rebuild);
    rebuild();
}

void RecentMenu::rebuild()
{
    qDeleteAll(items_);
    items_.clear();
    const std::vector<RecentDocument> entries = RecentDocuments(defaults_).entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const RecentDocument entry = entries[i];
        auto* item = new QAction(recentItemText(int(i) + 1, entry), menu_);
        QStringList paths;
        for (const std::string& path : {entry.left, entry.right})
            if (!path.empty() && !paths.contains(qtPath(path)))
                paths << qtPath(path);
        item->setToolTip(paths.join(QLatin1Char('\n')));
        connect(item, &QAction::triggered, this, [this, entry] {
            if (application_)
                application_->openRecentDocument(entry);
        });
        menu_->insertAction(before_, item);
        items_ << item;
    }
}

}  // namespace korvex
