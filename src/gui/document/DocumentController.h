#pragma once

#include <QList>
#include "core/recent/RecentDocuments.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace korvex {

class ApplicationCommands;
class MyDocument;
class UserDefaults;

// Keeps the open documents: makes untitled ones, opens files as documents
// (a picture whole as the left picture, a stereo file into both views), and
// finds a window's document.
class DocumentController : public QObject {
    Q_OBJECT

public:
    explicit DocumentController(UserDefaults& defaults, QObject* parent = nullptr);
    ~DocumentController() override;

    // A new empty document titled "Untitled", "Untitled 2", ...; shown when asked.
    MyDocument* openUntitledDocument(bool display = true);
    // A document whose left picture is the file, whole, or whose two views
    // hold the shares of a stereo file (".jps", ".pns", ".mpo"). Null (with
    // `error` set) when the file cannot be read; an undecodable picture still
    // opens a document that says why.
    MyDocument* openDocumentWithContentsOfFile(const QString& path, bool display = true, QString* error = nullptr);

    // Reopens an Open Recent entry: into `keyDocument` while it holds no
    // picture and no change, otherwise into a new document. When a file has
    // gone the entry leaves the list, nothing opens, and `error` says so.
    MyDocument* openRecentDocument(const RecentDocument& entry, MyDocument* keyDocument, QString* error = nullptr);

    // The document whose window is `window` (or holds the widget), if any;
    // a dialog is a window of its own and has none.
    MyDocument* documentForWindow(const QWidget* window) const;
    // The open documents, oldest first; closed ones are left out.
    QList<MyDocument*> documents() const;

    // Where the documents' menus send the application's commands.
    void setApplicationCommands(ApplicationCommands* application) { application_ = application; }

signals:
    void documentAdded(korvex::MyDocument* document);

private:
    MyDocument* makeDocument();
    QString nextUntitledName();
    void show(MyDocument* document);

    UserDefaults& defaults_;
    ApplicationCommands* application_ = nullptr;
    QList<QPointer<MyDocument>> documents_;
    int untitledCount_ = 0;
};

}  // namespace korvex
