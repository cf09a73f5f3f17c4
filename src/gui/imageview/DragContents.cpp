#include "gui/imageview/DragContents.h"

#include <QMimeData>
#include <QUrl>

namespace korvex {

DragContents::DragContents(const QMimeData* data) : data_(data)
{
    if (!data)
        return;
    // TIFF first, as the views always took it; the others as browsers give them.
    for (const char* type : {"image/tiff", "image/png", "image/jpeg", "image/jpg"}) {
        if (data->hasFormat(QLatin1String(type))) {
            pictureType_ = QLatin1String(type);
            break;
        }
    }
    bool web = false;
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile())
                files_ << url.toLocalFile();
            else if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
                web = true;
        }
    }
    onlyWeb_ = web && isEmpty();
}

QByteArray DragContents::pictureData() const
{
    return hasPictureData() ? data_->data(pictureType_) : QByteArray();
}

}  // namespace korvex
