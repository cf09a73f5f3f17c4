#include "gui/app/ApplicationHandler.h"

#include "gui/app/AboutWindow.h"
#include "gui/app/ProductLinks.h"
#include "gui/common/Strings.h"
#include "gui/document/CommandTable.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace korvex {

namespace {

// Which picture the plain open command fills; kept across commands.
bool openIntoLeft = true;

}  // namespace

ApplicationHandler::ApplicationHandler(DocumentController& documents, QObject* parent)
    : QObject(parent), documents_(documents)
{
    documents_.setApplicationCommands(this);
}

ApplicationHandler::~ApplicationHandler()
{
    documents_.setApplicationCommands(nullptr);
    delete aboutWindow_.data();
}

MyDocument* ApplicationHandler::keyDocument() const
{
    // An open menu, or a moment with no active window at all (a dialog just
    // closed and the window manager has not handed the focus back yet), leaves
    // the last document window in charge; any other window (a dialog, About)
    // has no document.
    QWidget* window = QApplication::activeWindow();
    if (!window || QApplication::activePopupWidget() || window->windowType() == Qt::Popup)
        return documents_.documents().contains(lastKeyDocument_.data()) ? lastKeyDocument_.data() : nullptr;
    MyDocument* document = documents_.documentForWindow(window);
    if (document)
        lastKeyDocument_ = document;
    return document;
}

bool ApplicationHandler::validateMenuItem(Command command) const
{
    return isEnabled(command, keyDocument());
}

void ApplicationHandler::perform(Command command)
{
    korvex::perform(command, keyDocument(), this);
}

void ApplicationHandler::newDocument()
{
    documents_.openUntitledDocument();
}

void ApplicationHandler::openLeft()
{
    openIntoLeft = true;
    openDocument();
}

void ApplicationHandler::openRight()
{
    openIntoLeft = false;
    openDocument();
}

bool ApplicationHandler::openLeftSide()
{
    return openIntoLeft;
}

void ApplicationHandler::openDocument()
{
    MyDocument* document = keyDocument();
    if (!document)
        document = documents_.openUntitledDocument();
    if (!document)
        return;
    if (openIntoLeft)
        document->openLeft();
    else
        document->openRight();
}

void ApplicationHandler::openRecentDocument(const RecentDocument& entry)
{
    QString error;
    if (documents_.openRecentDocument(entry, keyDocument(), &error))
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Korvex"), error, QMessageBox::Ok, keyDocument());
    box->setObjectName(QStringLiteral("recentMissing"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(box->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    box->open();
}

int ApplicationHandler::editedWindowCount() const
{
    int count = 0;
    for (MyDocument* d : documents_.documents())
        if (d->isDocumentEdited())
            ++count;
    return count;
}

int ApplicationHandler::askAboutUnsavedDocuments(int count)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Korvex"), localizedString("QuitUnsaved").arg(count));
    box.setInformativeText(localizedString("QuitDataLoss"));
    QPushButton* review = box.addButton(localizedString("Review"), QMessageBox::AcceptRole);
    box.addButton(localizedString("Discard"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(localizedString("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(review);
    box.setEscapeButton(cancel);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    if (box.clickedButton() == review)
        return 1;
    if (box.clickedButton() == cancel)
        return -1;
    return 0;  // Discard, or the question closed some other way
}

ApplicationHandler::TerminateReply ApplicationHandler::applicationShouldTerminate()
{
    const int count = editedWindowCount();
    if (count == 0)
        return TerminateNow;
    if (count >= 2) {
        const int answer = askAboutUnsavedDocuments(count);
        if (answer == -1)
            return TerminateCancel;
        if (answer != 1)
            return TerminateNow;  // Discard: every unsaved change is given up
    }
    terminationPending_ = true;
    reviewChangesAndQuitEnumeration(true);
    return terminationPending_ ? TerminateLater : TerminateNow;
}

void ApplicationHandler::reviewChangesAndQuitEnumeration(bool proceed)
{
    if (proceed) {
        const QList<MyDocument*> documents = documents_.documents();
        for (auto it = documents.rbegin(); it != documents.rend(); ++it) {
            if ((*it)->isDocumentEdited()) {
                QPointer<ApplicationHandler> self = this;
                (*it)->askToSaveAndQuit(true, [self](bool goOn) {
                    if (self)
                        self->reviewChangesAndQuitEnumeration(goOn);
                });
                return;
            }
        }
    }
    replyToApplicationShouldTerminate(proceed);
}

void ApplicationHandler::replyToApplicationShouldTerminate(bool terminate)
{
    if (!terminationPending_)
        return;
    terminationPending_ = false;
    if (terminate)
        emit terminationApproved();
    else
        emit terminationCancelled();
}

void ApplicationHandler::terminate()
{
    switch (applicationShouldTerminate()) {
    case TerminateNow:
        emit terminationApproved();
        break;
    case TerminateCancel:
        emit terminationCancelled();
        break;
    case TerminateLater:
        break;  // the review's last answer decides
    }
}

void ApplicationHandler::showAboutPanel()
{
    if (!aboutWindow_)
        aboutWindow_ = new AboutWindow;
    aboutWindow_->show();
    aboutWindow_->raise();
    aboutWindow_->activateWindow();
}

QDialog* ApplicationHandler::aboutWindow() const
{
    return aboutWindow_;
}

void ApplicationHandler::goToWebSite()
{
    QDesktopServices::openUrl(links::webSite());
}

void ApplicationHandler::showFAQ()
{
    QDesktopServices::openUrl(links::faq());
}

void ApplicationHandler::mailToAuthor()
{
    QDesktopServices::openUrl(links::authorMail());
}

}  // namespace korvex
