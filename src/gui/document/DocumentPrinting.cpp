#include "gui/document/DocumentPrinting.h"

#include "gui/document/MyDocument.h"

#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace korvex {

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
