// The close question of an edited document, and its part in a quit: the
// answer closes the window, saves first, or keeps it, and settles a waiting
// quit exactly once.
#include "gui/document/MyDocument.h"

#include "gui/common/Strings.h"
#include "gui/document/PictureLoading.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPointer>
#include <QPushButton>

#include <memory>
#include <utility>

namespace korvex {

QMessageBox* MyDocument::closeSheet() const
{
    return closeSheet_;
}

QPrintDialog* MyDocument::printPanel() const
{
    return printPanel_;
}

bool MyDocument::windowShouldClose()
{
    return askToSaveAndQuit(false);
}

bool MyDocument::askToSaveAndQuit(bool quitting, QuitAnswer quitAnswer)
{
    show();
    raise();
    activateWindow();
    if (!isDocumentEdited())
        return true;
    if (quitting)
        quitAnswer_ = std::move(quitAnswer);
    // Already asking (the close button came first): that answer settles the quit too.
    if (askingToClose_)
        return false;
    askingToClose_ = true;

    auto* sheet = new QMessageBox(QMessageBox::Warning, windowTitle(), localizedString("CloseSave"), QMessageBox::NoButton, this);
    sheet->setInformativeText(localizedString("SaveDataLoss"));
    QPushButton* save = sheet->addButton(localizedString("Save"), QMessageBox::AcceptRole);
    QPushButton* dontSave = sheet->addButton(localizedString("DontSave"), QMessageBox::DestructiveRole);
    QPushButton* cancel = sheet->addButton(localizedString("Cancel"), QMessageBox::RejectRole);
    sheet->setDefaultButton(save);
    sheet->setEscapeButton(cancel);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);

    // Whether the answer is part of a quit is decided when it is given.
    auto returnCode = std::make_shared<int>(-1);
    connect(sheet, &QMessageBox::buttonClicked, this, [this, returnCode, save, dontSave](QAbstractButton* button) {
        *returnCode = button == save ? 1 : button == dontSave ? 0 : -1;
        willEndCloseSheet(*returnCode, bool(quitAnswer_));
    });
    connect(sheet, &QMessageBox::finished, this, [this, returnCode] {
        closeSheet_ = nullptr;
        didEndCloseSheet(*returnCode, bool(quitAnswer_));
    });
    closeSheet_ = sheet;
    sheet->open();
    return false;
}

void MyDocument::willEndCloseSheet(int returnCode, bool quitting)
{
    if (returnCode != 0)
        return;
    askingToClose_ = false;
    closeWithoutAsking();
    if (quitting)
        answerQuit(true);
}

void MyDocument::didEndCloseSheet(int returnCode, bool quitting)
{
    if (returnCode == 1) {
        QPointer<MyDocument> self = this;
        saveDocument([self](bool saved) {
            // A quit that arrived while the save panel was up is answered too.
            if (self)
                self->saveAndQuit(saved, bool(self->quitAnswer_));
        });
    } else if (returnCode == -1) {
        askingToClose_ = false;
        if (quitting)
            answerQuit(false);
    }
}

void MyDocument::saveAndQuit(bool didSave, bool quitting)
{
    askingToClose_ = false;
    if (didSave)
        closeWithoutAsking();
    if (quitting)
        answerQuit(didSave);
}

void MyDocument::answerQuit(bool proceed)
{
    if (QuitAnswer answer = std::exchange(quitAnswer_, {}))
        answer(proceed);
}

void MyDocument::closeWithoutAsking()
{
    closeApproved_ = true;
    close();
}

void MyDocument::closeEvent(QCloseEvent* event)
{
    if (!closeApproved_ && !windowShouldClose()) {
        event->ignore();
        return;
    }
    saveWindowFrame();
    closed_ = true;  // gone for the application, though deleted only later
    loading_->cancel();  // nothing lands in a closed window
    QMainWindow::closeEvent(event);
}

}  // namespace korvex
