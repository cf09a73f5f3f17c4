#include "gui/app/AboutWindow.h"

#include "gui/app/ProductLinks.h"
#include "gui/common/Strings.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace korvex {

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(localizedString("AboutTitle"));
    auto* layout = new QVBoxLayout(this);

    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(96, 96));
    icon->setAlignment(Qt::AlignHCenter);
    icon->setAccessibleName(QApplication::applicationName());
    layout->addWidget(icon);

    auto* name = new QLabel(QStringLiteral("<h2>Korvex %1</h2>").arg(QApplication::applicationVersion()), this);
    name->setAlignment(Qt::AlignHCenter);
    layout->addWidget(name);

    auto* about = new QLabel(localizedString("AboutText"), this);
    about->setWordWrap(true);
    about->setAlignment(Qt::AlignHCenter);
    layout->addWidget(about);

    // The installed guide by its name; a web site by its address.
    const QUrl siteUrl = links::webSite();
    const QString siteText = siteUrl.isLocalFile() ? localizedString("AboutGuide") : siteUrl.toString();
    auto* site = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(siteUrl.toString(QUrl::FullyEncoded), siteText.toHtmlEscaped()), this);
    site->setOpenExternalLinks(true);
    site->setAlignment(Qt::AlignHCenter);
    layout->addWidget(site);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

}  // namespace korvex
