#pragma once

#include "core/compose/DocumentHost.h"
#include "core/compose/StereoDocument.h"
#include "gui/common/Command.h"

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QFileDialog;
class QMessageBox;
class QPrintDialog;
class QPrinter;
class QTabWidget;
class QUndoCommand;
class QUndoStack;

namespace korvex {

class ApplicationCommands;
class AutoAligner;
class BackgroundComposition;
class DocumentActions;
class DocumentPrinting;
class DocumentToolbar;
class DocumentZoom;
class ImageView;
class PictureLoading;
class StatusReadout;
class UserDefaults;
class ZoomScrollView;

// A load the user makes marks the window edited; pictures opened as a
// document (from the file manager, Open Recent) do not: nothing is made yet
// that could be lost.
enum class LoadMark { Edited, Unedited };

// Kinds of undo steps that merge when they follow each other quickly.
enum class UndoMerge { None = -1, Depth = 1, Vertical, Rotate, LeftPin, RightPin };

// One stereo document and its window: three tabs (left "1", right "2",
// result "3"), each an ImageView in its ZoomScrollView. The stereo model
// lives in StereoDocument; this class is its window half and its host.
class MyDocument : public QMainWindow, public DocumentHost {
    Q_OBJECT

public:
    explicit MyDocument(UserDefaults& defaults, QWidget* parent = nullptr);
    ~MyDocument() override;

    // Keeps the bytes of a file opened as a document; awakeFromNib has them
    // decoded into the left view whole, and Open Recent remembers `path`
    // once they are in. Decodes nothing.
    void loadDataRepresentation(std::vector<std::uint8_t> bytes, const QString& path = {});
    // The window's set-up: defaults, roles, drops, observers, the opened file.
    void awakeFromNib();

    StereoDocument& model() { return *model_; }
    const StereoDocument& model() const { return *model_; }
    ImageView* leftImage() const { return leftImage_; }
    ImageView* rightImage() const { return rightImage_; }
    ImageView* resultImage() const { return resultImage_; }
    ImageView* currentImage() const { return currentImage_; }
    QTabWidget* tabView() const { return tabView_; }
    StatusReadout* statusReadout() const { return readout_; }
    DocumentToolbar* toolbar() const { return toolbar_; }
    AutoAligner& autoAligner() const { return *autoAligner_; }
    DocumentZoom& documentZoom() const { return *zoom_; }
    UserDefaults& defaults() const { return defaults_; }
    DocumentPrinting& printing() const { return *printing_; }
    BackgroundComposition& composition() const { return *composition_; }
    // Opened pictures decode away from the window's thread and land here later.
    PictureLoading& loading() const { return *loading_; }
    bool isLoading() const;

    // The window's actions, one per command, shared by its menus and toolbar.
    QAction* action(Command command) const;
    // Enables and checks every action for the present state.
    void updateActions();
    // Where the application's commands (New, Quit, About...) go.
    void setApplicationCommands(ApplicationCommands* application);

    // Undo. Every change a user makes is one step on this stack; the edited
    // mark is cleared when undo or redo comes back to the saved state.
    QUndoStack* undoStack() const { return undoStack_; }
    // Runs a change of the settings or the placement as one undo step named
    // by the text key; steps of the same kind (but None) in quick
    // succession, as a held key makes them, become one.
    void changeUndoably(const char* nameKey, UndoMerge merge, const std::function<void()>& change);
    // The step from `before` to the present state, for a change made over
    // time (a dialog, a search); nothing when the state is as it was.
    void recordChange(const char* nameKey, const DocumentState& before, UndoMerge merge = UndoMerge::None);
    // The edited mark and what decides it, for a preview that Cancel takes back.
    struct EditedMark {
        bool shown = false;
        bool matchesSavedState = false;
    };
    EditedMark editedMark() const { return {isWindowModified(), matchesSavedState_}; }
    void restoreEditedMark(const EditedMark& mark);
    void swapPictures();
    // After an undo or redo has put the state back, or pictures with it.
    void stateRestored();
    void picturesRestored();

    // The clipboard: the selected tab's picture out, a picture into the left
    // or right view (refused, with a message, on the result tab).
    void copy();
    void paste();

    // Opening pictures through a window-modal file dialog.
    void openLeft();
    void openRight();
    void openFileInView(ImageView* target);
    void openFileDidEnd(bool accepted, const QStringList& files, ImageView* target);
    // Loads both views together, each taking its share of a stereo file.
    // Every load decodes off the window's thread and lands later as one undo
    // step (loading().landed()); a newer load into the same view supersedes
    // it. Save, Print and Copy meanwhile act on what the window shows.
    void loadPair(const QString& leftPath, const QString& rightPath, LoadMark mark = LoadMark::Edited);
    void loadLeft(const QString& path, LoadMark mark = LoadMark::Edited);
    void loadRight(const QString& path, LoadMark mark = LoadMark::Edited);
    QFileDialog* openPanel() const;

    // Saving the result. saveResult asks for a name (window-modal);
    // saveDocument writes to the document's file when it has one. `done`
    // learns whether the anaglyph was written.
    void saveResult(std::function<void(bool saved)> done = {});
    void saveDocument(std::function<void(bool saved)> done = {});
    // Recomposes if needed and writes the result atomically. On success the
    // document takes the name and the edited mark is cleared; on failure the
    // mark stays, an existing file is untouched and `error` says why.
    bool writeResult(const QString& path, const QString& typeName, QString* error = nullptr);
    QFileDialog* savePanel() const;

    // Closing. askToSaveAndQuit answers true when the window may close at
    // once; otherwise a window-modal question is up and its answer arrives
    // through willEndCloseSheet and didEndCloseSheet (return codes: Save 1,
    // Don't Save 0, Cancel -1). During a quit the answer ends in exactly one
    // call of `quitAnswer`: true to go on with the quit, false to cancel it.
    // A quit that finds the question already up (asked by the close button)
    // is answered by that question.
    using QuitAnswer = std::function<void(bool proceed)>;
    bool askToSaveAndQuit(bool quitting, QuitAnswer quitAnswer = {});
    bool windowShouldClose();
    void willEndCloseSheet(int returnCode, bool quitting);
    void didEndCloseSheet(int returnCode, bool quitting);
    void saveAndQuit(bool didSave, bool quitting);
    QMessageBox* closeSheet() const;
    // Closes the window without the question (after Don't Save, a save, or a
    // quit that gave the changes up).
    void closeWithoutAsking();

    // Prints the selected tab's picture on one page through a window-modal
    // print dialog; printTo prints on a printer that is already set up.
    void printShowingPrintPanel(bool showPanels);
    bool printTo(QPrinter& printer);
    QPrintDialog* printPanel() const;

    QString filePath() const { return filePath_; }
    QString displayName() const { return displayName_; }
    void setDisplayName(const QString& name);
    bool isDocumentEdited() const { return isWindowModified(); }
    // The window has been closed; the object goes away at the next turn of the event loop.
    bool isClosed() const { return closed_; }

    // A message for the status bar that needs no answer (noteShown).
    void showNote(const QString& text);

    // DocumentHost.
    bool isShiftHeld() const override;
    void setDocumentEdited(bool edited) override;
    void showToolbarPicture(ToolbarItem item, std::string_view pictureName) override;
    void documentChanged() override;

signals:
    // Anything that enabling or check marks depend on may have changed.
    void stateChanged();
    // A message for the user that needs no answer (load failures, saves).
    void noteShown(const QString& text);
    // Sent first thing in the destructor, while the document is still whole.
    void destroying(korvex::MyDocument* document);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void imageHasChanged();
    void tabViewDidSelectTabViewItem(int index);
    // Shows the tab of the left or right view and gives it the keyboard.
    void showPinView(ImageView* view);
    void loadIntoView(ImageView* view, const QString& path, LoadMark mark = LoadMark::Edited);
    // Decodes dropped or pasted bytes as one picture, off the window's thread.
    void decodeDropped(ImageView* view, QByteArray bytes);
    void pushUndo(QUndoCommand* command);
    void trackUndoState();
    // Pushes the undo steps of drops and pin moves in the picture views.
    void recordViewChanges();
    // Ends a load (open, pair, paste): a new alignment, composed once, one undo step.
    void finishLoad(std::unique_ptr<QUndoCommand> command, LoadMark mark = LoadMark::Edited);
    // Tells the user when the view's last load failed or found damage.
    void reportLoad(ImageView* view, const QString& path);
    void showSaveError(const QString& path, const QString& reason);
    void saveWindowFrame();
    // Hands the quit its answer, once.
    void answerQuit(bool proceed);
    void finishSavePanel(bool saved);

    UserDefaults& defaults_;
    std::unique_ptr<StereoDocument> model_;
    QTabWidget* tabView_ = nullptr;
    ZoomScrollView* leftScroll_ = nullptr;
    ZoomScrollView* rightScroll_ = nullptr;
    ZoomScrollView* resultScroll_ = nullptr;
    ImageView* leftImage_ = nullptr;
    ImageView* rightImage_ = nullptr;
    ImageView* resultImage_ = nullptr;
    ImageView* currentImage_ = nullptr;
    DocumentToolbar* toolbar_ = nullptr;  // owned by the window
    DocumentActions* actions_ = nullptr;  // owned by the window
    AutoAligner* autoAligner_ = nullptr;  // owned by the window
    StatusReadout* readout_ = nullptr;    // owned by the status bar
    DocumentZoom* zoom_ = nullptr;        // owned by the window
    DocumentPrinting* printing_ = nullptr;  // owned by the window
    BackgroundComposition* composition_ = nullptr;  // owned by the window
    PictureLoading* loading_ = nullptr;  // owned by the window
    std::optional<std::vector<std::uint8_t>> fileToLoad_;
    QString fileToLoadPath_;
    QPointer<QFileDialog> openPanel_;
    QPointer<QFileDialog> savePanel_;
    QPointer<QMessageBox> closeSheet_;
    QPointer<QPrintDialog> printPanel_;
    // Everyone who asked for a save while the one save panel is up.
    std::vector<std::function<void(bool saved)>> savePanelWaiters_;
    // From the close question until its answer (and the save it started) is settled.
    bool askingToClose_ = false;
    QuitAnswer quitAnswer_;
    QUndoStack* undoStack_ = nullptr;  // owned by the window
    bool pushing_ = false;
    // An undo or redo has come back to the saved state: a composition then
    // must not mark the window edited.
    bool matchesSavedState_ = false;
    // What a drop or a pin move is about to replace.
    std::unique_ptr<QUndoCommand> pendingPictureChange_;
    std::optional<DocumentState> pendingPinState_;
    UndoMerge pendingPinMerge_ = UndoMerge::None;
    bool closeApproved_ = false;
    bool closed_ = false;
    QString filePath_;
    QString fileType_;
    QString displayName_;
};

}  // namespace korvex
