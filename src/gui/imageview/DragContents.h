#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QMimeData;

namespace korvex {

// What a drag brings, read the same way by the picture views and the window:
// picture data (TIFF, PNG or JPEG, as other programs and browsers drag it),
// local files, and web addresses, which are refused.
class DragContents {
public:
    // Judged from the offered types only; nothing is read yet.
    explicit DragContents(const QMimeData* data);

    bool hasPictureData() const { return !pictureType_.isEmpty(); }
    // The picture's bytes; read when asked, since a drag from another program
    // may only hand them over then.
    QByteArray pictureData() const;
    // The local files, in the order dragged.
    const QStringList& files() const { return files_; }
    // Only web addresses and nothing that could be opened: worth telling why.
    bool isOnlyWebAddresses() const { return onlyWeb_; }
    bool isEmpty() const { return !hasPictureData() && files_.isEmpty(); }

private:
    const QMimeData* data_ = nullptr;
    QString pictureType_;
    QStringList files_;
    bool onlyWeb_ = false;
};

}  // namespace korvex
