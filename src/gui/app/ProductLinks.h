#pragma once

#include <QUrl>

// Where the Help menu leads. A distributor sets the addresses when building
// (KORVEX_WEB_SITE_URL, KORVEX_FAQ_URL, KORVEX_MAIL_URL); left empty, each
// opens a page of the user guide installed with the program.
namespace korvex::links {

QUrl webSite();
QUrl faq();
QUrl authorMail();

// A page of the installed user guide: beside the program's prefix
// (share/doc/korvex/guide), else the guide in the source tree that built it.
QUrl guidePage(const QString& page);

}  // namespace korvex::links
