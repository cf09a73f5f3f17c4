#include "gui/app/ProductLinks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace korvex::links {

namespace {

QUrl configuredOrGuide(const char* configured, const char* page)
{
    const QString address = QString::fromUtf8(configured);
    if (!address.isEmpty())
        return QUrl(address);
    return guidePage(QString::fromLatin1(page));
}

}  // namespace

QUrl guidePage(const QString& page)
{
    // The installed layout: PREFIX/bin/korvex and PREFIX/share/doc/korvex/guide.
    const QDir installed(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/doc/korvex/guide"));
    const QDir source(QStringLiteral(KORVEX_GUIDE_SOURCE_DIR));
    const QString file = page.section(QLatin1Char('#'), 0, 0);
    const QDir& folder = QFileInfo::exists(installed.filePath(file)) ? installed : source;
    QUrl url = QUrl::fromLocalFile(QDir::cleanPath(folder.filePath(file)));
    const QString fragment = page.section(QLatin1Char('#'), 1);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

QUrl webSite()
{
    return configuredOrGuide(KORVEX_WEB_SITE_URL, "index.html");
}

QUrl faq()
{
    return configuredOrGuide(KORVEX_FAQ_URL, "faq.html");
}

QUrl authorMail()
{
    return configuredOrGuide(KORVEX_MAIL_URL, "faq.html#contact");
}

}  // namespace korvex::links
