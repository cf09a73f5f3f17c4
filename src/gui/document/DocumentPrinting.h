#pragma once

#include <QObject>
#include <QPointer>

class QPageSetupDialog;
class QPrintPreviewDialog;
class QPrinter;

namespace korvex {

class MyDocument;

// The printer set-up that every document shares for the session, as the
// application's one set of print settings: Page Setup changes it, and Print
// and Print Preview both use it.
QPrinter& sharedPrinter();

// File > Print Preview and File > Page Setup of one document window. The
// preview draws its page through the document's own print path, so it shows
// exactly what Print prints.
class DocumentPrinting : public QObject {
    Q_OBJECT

public:
    explicit DocumentPrinting(MyDocument& document);

    // Window-modal; one of each per window at a time.
    void showPrintPreview();
    void runPageSetup();
    QPrintPreviewDialog* previewPanel() const;
    QPageSetupDialog* pageSetupPanel() const;

private:
    MyDocument& document_;
    QPointer<QPrintPreviewDialog> previewPanel_;
    QPointer<QPageSetupDialog> pageSetupPanel_;
};

}  // namespace korvex
