#include "gui/document/DocumentController.h"

#include "core/bitmap/FileBytes.h"
#include "core/imageview/StereoFile.h"
#include "gui/common/Strings.h"
#include "gui/document/MyDocument.h"
#include "gui/document/RecentMenu.h"
#include "gui/document/WindowCascade.h"
#include "gui/imageview/ImageView.h"

#include <QFile>
#include <QFileInfo>
#include <QScreen>

namespace korvex {

DocumentController::DocumentController(UserDefaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults)
{
}

DocumentController::~DocumentController()
{
    for (const QPointer<MyDocument>& document : documents_)
        delete document.data();
}

MyDocument* DocumentController::makeDocument()
{
    auto* document = new MyDocument(defaults_);
    document->setApplicationCommands(application_);
    documents_.append(document);
    // Forget the document before its window half is torn down, so nothing
    // reaches it through this list while its widgets are being destroyed.
    connect(document, &MyDocument::destroying, this, [this](MyDocument* gone) {
        documents_.removeAll(QPointer<MyDocument>(gone));
    });
    return document;
}

QString DocumentController::nextUntitledName()
{
    ++untitledCount_;
    return untitledCount_ == 1 ? localizedString("Untitled")
                               : localizedString("UntitledNumbered").arg(untitledCount_);
}

void DocumentController::show(MyDocument* document)
{
    // Not exactly on top of a window that is already open at the saved place.
    QList<QPoint> taken;
    for (MyDocument* other : documents())
        if (other != document && other->isVisible())
            taken << other->pos();
    const QRect available = document->screen() ? document->screen()->availableGeometry() : QRect();
    document->move(cascadedPosition(document->pos(), document->frameGeometry().size(), taken, available));
    document->show();
    document->raise();
    document->activateWindow();
}

MyDocument* DocumentController::openUntitledDocument(bool display)
{
    MyDocument* document = makeDocument();
    document->setDisplayName(nextUntitledName());
    document->awakeFromNib();
    emit documentAdded(document);
    if (display)
        show(document);
    return document;
}

MyDocument* DocumentController::openDocumentWithContentsOfFile(const QString& path, bool display, QString* error)
{
    const std::string nativePath = QFile::encodeName(path).toStdString();
    const bool stereo = stereoLayoutForPath(nativePath) != StereoLayout::None;
    // A stereo file is read by the pair loader; only ask whether it can be.
    FileBytes file = stereo ? FileBytes{} : readFileBytes(nativePath);
    if (stereo) {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly))
            file.error = probe.errorString().toStdString();
    }
    if (!file.error.empty()) {
        if (error)
            *error = localizedString("CannotOpen").arg(QFileInfo(path).fileName(), QString::fromStdString(file.error));
        return nullptr;
    }
    MyDocument* document = makeDocument();
    document->setDisplayName(QFileInfo(path).fileName());
    if (!stereo)
        document->loadDataRepresentation(std::move(file.data), path);
    document->awakeFromNib();
    if (stereo) {
        // Both views from the one file: a side-by-side frame whole in the
        // left view is never what someone opening a stereo file means.
        document->loadPair(path, path, LoadMark::Unedited);
    }
    emit documentAdded(document);
    if (display)
        show(document);
    return document;
}

MyDocument* DocumentController::openRecentDocument(const RecentDocument& entry, MyDocument* keyDocument, QString* error)
{
    QStringList missing;
    for (const std::string& path : {entry.left, entry.right}) {
        const QString name = QFile::decodeName(QByteArray::fromStdString(path));
        if (!path.empty() && !QFileInfo::exists(name) && !missing.contains(QFileInfo(name).fileName()))
            missing << QFileInfo(name).fileName();
    }
    if (!missing.isEmpty() || (entry.left.empty() && entry.right.empty())) {
        RecentDocuments(defaults_).remove(entry);
        if (error)
            *error = localizedString("RecentMissing").arg(missing.join(QStringLiteral(", ")));
        return nullptr;
    }
    const bool empty = keyDocument && !keyDocument->isDocumentEdited() && !keyDocument->leftImage()->image()
                       && !keyDocument->rightImage()->image() && !keyDocument->isLoading();
    MyDocument* document = empty ? keyDocument : openUntitledDocument();
    const QString left = QFile::decodeName(QByteArray::fromStdString(entry.left));
    const QString right = QFile::decodeName(QByteArray::fromStdString(entry.right));
    // Reopened: nothing made yet that could be lost.
    if (entry.isPair())
        document->loadPair(left, right, LoadMark::Unedited);
    else if (!left.isEmpty())
        document->loadLeft(left, LoadMark::Unedited);
    else
        document->loadRight(right, LoadMark::Unedited);
    if (document->filePath().isEmpty())
        document->setDisplayName(QFileInfo(left.isEmpty() ? right : left).fileName());
    return document;
}

MyDocument* DocumentController::documentForWindow(const QWidget* window) const
{
    if (!window)
        return nullptr;
    // Only the document window itself counts: while one of its dialogs is
    // active, no document is in front.
    for (const QPointer<MyDocument>& document : documents_)
        if (document && !document->isClosed() && document.data() == window->window())
            return document.data();
    return nullptr;
}

QList<MyDocument*> DocumentController::documents() const
{
    QList<MyDocument*> list;
    for (const QPointer<MyDocument>& document : documents_)
        if (document && !document->isClosed())
            list.append(document.data());
    return list;
}

}  // namespace korvex
