#pragma once

#include "gui/common/ApplicationCommands.h"
#include "gui/common/Command.h"

#include <QObject>
#include <QPointer>

class QDialog;

namespace korvex {

class DocumentController;
class MyDocument;

// The application's controller: carries out the application's commands
// (new, open, quit, About, the web links) for every document window's menu,
// sends a command to the document of the active window, opens pictures
// (making a document when none is in front) and walks the unsaved documents
// at quit.
class ApplicationHandler : public QObject, public ApplicationCommands {
    Q_OBJECT

public:
    // Termination replies, as the quit review uses them.
    enum TerminateReply { TerminateCancel = 0, TerminateNow = 1, TerminateLater = 2 };

    explicit ApplicationHandler(DocumentController& documents, QObject* parent = nullptr);
    ~ApplicationHandler() override;

    // The stereo document of the active window: null while a dialog, the
    // About window or nothing is active.
    MyDocument* keyDocument() const;

    // Whether a command is enabled for the active window's document.
    bool validateMenuItem(Command command) const;
    // Carries out a command for the active window's document, when it is
    // enabled there; a document's command without a document does nothing.
    void perform(Command command);

    void newDocument() override;
    void openLeft() override;
    void openRight() override;
    void openDocument() override;
    // Into the active document while it is empty, else into a new one; a
    // file that has gone is taken off the list with a message.
    void openRecentDocument(const RecentDocument& entry) override;
    static bool openLeftSide();

    // Quitting. applicationShouldTerminate answers TerminateLater while
    // documents are asked one at a time; the last answer quits or cancels.
    TerminateReply applicationShouldTerminate();
    void reviewChangesAndQuitEnumeration(bool proceed);
    bool isTerminationPending() const { return terminationPending_; }
    // The Quit command: asks, then quits when the answer allows.
    void terminate() override;

    void showAboutPanel() override;
    QDialog* aboutWindow() const;
    void goToWebSite() override;
    void showFAQ() override;
    void mailToAuthor() override;

signals:
    // The application may now quit (the review confirmed it or nothing was edited).
    void terminationApproved();
    void terminationCancelled();

private:
    void replyToApplicationShouldTerminate(bool terminate);
    int editedWindowCount() const;
    // The application-modal question when two or more windows are edited;
    // answers 1 (Review), 0 (Discard) or -1 (Cancel).
    int askAboutUnsavedDocuments(int count);

    DocumentController& documents_;
    QPointer<QDialog> aboutWindow_;
    mutable QPointer<MyDocument> lastKeyDocument_;
    bool terminationPending_ = false;
};

}  // namespace korvex
