#include "gui/app/LaunchRequest.h"

#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

namespace korvex {

namespace {

std::string absolutePath(const QString& path)
{
    return path.isEmpty() ? std::string() : QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString();
}

QString qtPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

OpenRequest launchRequest(const QStringList& documents, const QString& left, const QString& right)
{
    OpenRequest request;
    for (const QString& path : documents)
        request.documents.push_back(absolutePath(path));
    request.left = absolutePath(left);
    request.right = absolutePath(right);
    return request;
}

void openLaunchRequest(DocumentController& documents, const OpenRequest& request)
{
    if (!request.left.empty() || !request.right.empty()) {
        MyDocument* document = documents.openUntitledDocument();
        if (!request.left.empty() && !request.right.empty())
            document->loadPair(qtPath(request.left), qtPath(request.right));
        else if (!request.left.empty())
            document->loadLeft(qtPath(request.left));
        else
            document->loadRight(qtPath(request.right));
    }
    QStringList errors;
    for (const std::string& path : request.documents) {
        QString error;
        if (!documents.openDocumentWithContentsOfFile(qtPath(path), true, &error))
            errors << error;
    }
    if (request.documents.empty() && request.left.empty() && request.right.empty())
        documents.openUntitledDocument();
    if (!errors.isEmpty()) {
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Korvex"), errors.join(QLatin1Char('\n')));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
}

}  // namespace korvex
