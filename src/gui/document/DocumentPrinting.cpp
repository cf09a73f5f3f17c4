#include "gui/document/DocumentPrinting.h"

#include "gui/common/Strings.h"
#include "gui/document/MyDocument.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>
#include <QToolButton>

namespace korvex {

namespace {

// Qt's preview leaves its inner window, its tool bar, the tool bar's overflow
// button, the page number and the zoom box's text without names for a screen
// reader.
void nameParts(QPrintPreviewDialog& panel)
{
    for (QMainWindow* inner : panel.findChildren<QMainWindow*>())
        inner->setAccessibleName(localizedString("MenuPrintPreview").remove(QLatin1Char('&')));
    for (QToolBar* bar : panel.findChildren<QToolBar*>()) {
        bar->setAccessibleName(localizedString("ToolbarTitle"));
        if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
            more->setAccessibleName(localizedString("AccMoreToolbarItems"));
    }
    for (QLineEdit* text : panel.findChildren<QLineEdit*>())
        if (text->accessibleName().isEmpty())
            text->setAccessibleName(
                localizedString(qobject_cast<QComboBox*>(text->parentWidget()) ? "AccZoom" : "AccPageNumber"));
}

}  // namespace

QPrinter& sharedPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

DocumentPrinting::DocumentPrinting(MyDocument& document) : QObject(&document), document_(document) {}

QPrintPreviewDialog* DocumentPrinting::previewPanel() const
{
    return previewPanel_;
}

QPageSetupDialog* DocumentPrinting::pageSetupPanel() const
{
    return pageSetupPanel_;
}

void DocumentPrinting::showPrintPreview()
{
    if (previewPanel_) {
        previewPanel_->raise();
        previewPanel_->activateWindow();
        return;
    }
    auto* panel = new QPrintPreviewDialog(&sharedPrinter(), &document_);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    nameParts(*panel);
    connect(panel, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) { document_.printTo(*printer); });
    previewPanel_ = panel;
    panel->open();
}

void DocumentPrinting::runPageSetup()
{
    if (pageSetupPanel_)
        return;
    QPageSetupDialog panel(&sharedPrinter(), &document_);
    panel.setWindowModality(Qt::WindowModal);
    pageSetupPanel_ = &panel;
    // Run, not opened: on this platform the dialog hands the chosen paper
    // and margins to the printer only when it is run.
    panel.exec();
}

}  // namespace korvex
