#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QDialog;
class QMenu;
class QMenuBar;
class QMainWindow;

namespace korvex {

class DocumentController;
class StereoDocument;
class MyDocument;

// The application's controller: makes the menu commands, forwards the stereo
// commands to the document of the active window, opens pictures (making a
// document when none is in front), walks the unsaved documents at quit, and
// shows the About window and the web links.
class ApplicationHandler : public QObject {
    Q_OBJECT

public:
    // Termination replies, as the quit review uses them.
    enum TerminateReply { TerminateCancel = 0, TerminateNow = 1, TerminateLater = 2 };

    explicit ApplicationHandler(DocumentController& documents, QObject* parent = nullptr);
    ~ApplicationHandler() override;

    // The one handler of the running application, if any.
    static ApplicationHandler* instance();

    // The stereo document of the active window: null while a dialog, the
    // About window or nothing is active.
    MyDocument* keyDocument() const;

    // Gives a document window its own menu bar over the shared actions.
    void installMenus(QMainWindow* window);
    // Enables and checks every action by its tag for the active document.
    void validateMenuItems();
    bool validateMenuItem(QAction* item);
    QAction* actionWithTag(int tag) const;
    QAction* action(const char* objectName) const;
    const QList<QAction*>& actions() const { return actions_; }

    // Forwarded stereo commands; the sender's tag matters to the glasses.
    void set3DColor();
    void set3DGlasses(QAction* sender);
    void resetAlignment();
    void decDepth();
    void incDepth();
    void decVerticalOffset();
    void incVerticalOffset();
    void switchPictures();

    void openLeft();
    void openRight();
    void openDocument();
    static bool openLeftSide();

    // Quitting. applicationShouldTerminate answers TerminateLater while
    // documents are asked one at a time; the last answer quits or cancels.
    TerminateReply applicationShouldTerminate();
    static void reviewChangesAndQuitEnumeration(bool proceed);
    bool isTerminationPending() const { return terminationPending_; }
    // Called by the menu's Quit: asks, then quits when the answer allows.
    void terminate();

    void showAboutPanel();
    QDialog* aboutWindow() const;
    void goToWebSite();
    void showFAQ();
    void mailToAuthor();

signals:
    // The application may now quit (the review confirmed it or nothing was edited).
    void terminationApproved();
    void terminationCancelled();

private:
    void createActions();
    // Sends a stereo command to the key window's document; without one, nothing happens.
    void forward(void (StereoDocument::*command)());
    QAction* makeAction(const char* objectName, const QString& text, int tag);
    void replyToApplicationShouldTerminate(bool terminate);
    void documentAdded(MyDocument* document);
    int editedWindowCount() const;
    // The application-modal question when two or more windows are edited;
    // answers 1 (Review), 0 (Discard) or -1 (Cancel).
    int askAboutUnsavedDocuments(int count);

    DocumentController& documents_;
    QList<QAction*> actions_;
    QPointer<QDialog> aboutWindow_;
    mutable QPointer<MyDocument> lastKeyDocument_;
    bool terminationPending_ = false;
};

}  // namespace korvex
