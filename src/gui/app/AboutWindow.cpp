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
    layout->addWidget(icon);

    auto* name = new QLabel(QStringLiteral("<h2>Korvex %1</h2>").arg(QApplication::applicationVersion()), this);
    name->setAlignment(Qt::AlignHCenter);
    layout->addWidget(name);

    auto* about = new QLabel(localizedString("AboutText"), this);
    about->setWordWrap(true);
    about->setAlignment(Qt::AlignHCenter);
    layout->addWidget(about);

    auto* site = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(QString::fromLatin1(links::webSite)), this);
    site->setOpenExternalLinks(true);
    site->setAlignment(Qt::AlignHCenter);
    layout->addWidget(site);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

}  // namespace korvex
