#include "gui/document/WindowDrop.h"

#include "core/imageview/StereoFile.h"
#include "gui/common/Strings.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/DragContents.h"
#include "gui/imageview/ImageView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QStatusBar>

namespace korvex {

WindowDrop WindowDrop::plan(const DragContents& contents)
{
    const QStringList& files = contents.files();
    if (!files.isEmpty() && stereoLayoutForPath(QFile::encodeName(files.first()).toStdString()) != StereoLayout::None)
        return {Kind::Pair, files.first(), files.first()};
    if (files.size() >= 2)
        return {Kind::Pair, files.at(0), files.at(1)};
    if (contents.hasPictureData())
        return {Kind::LeftPictureData, {}, {}};
    if (!files.isEmpty())
        return {Kind::LeftFile, files.first(), {}};
    return {contents.isOnlyWebAddresses() ? Kind::WebRefused : Kind::Refused, {}, {}};
}

bool WindowDrop::drop(MyDocument& document, const QMimeData* data)
{
    const WindowDrop drop = plan(DragContents(data));
    switch (drop.kind) {
    case Kind::Pair:
        document.loadPair(drop.left, drop.right);
        return true;
    case Kind::LeftFile:
        document.loadLeft(drop.left);
        return true;
    case Kind::LeftPictureData:
        document.leftImage()->performDragOperation(data);
        return true;
    case Kind::WebRefused:
        document.showNote(localizedString("DropWebRefused"));
        return false;
    case Kind::Refused:
        return false;
    }
    return false;
}

WindowDropTarget::WindowDropTarget(MyDocument& document) : QObject(&document), document_(document)
{
    document.installEventFilter(this);
}

bool WindowDropTarget::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != &document_)
        return false;
    switch (e->type()) {
    case QEvent::DragEnter: {
        auto* enter = static_cast<QDragEnterEvent*>(e);
        const WindowDrop drop = WindowDrop::plan(DragContents(enter->mimeData()));
        const Qt::DropAction action = ImageView::draggingEntered(enter->mimeData(), enter->possibleActions());
        if (drop.kind == WindowDrop::Kind::WebRefused)
            document_.showNote(localizedString("DropWebRefused"));
        if (action == Qt::IgnoreAction || drop.kind == WindowDrop::Kind::Refused
            || drop.kind == WindowDrop::Kind::WebRefused) {
            enter->ignore();
            return true;
        }
        document_.statusBar()->showMessage(
            localizedString(drop.kind == WindowDrop::Kind::Pair ? "DropHintPair" : "DropHintLeft"));
        enter->setDropAction(action);
        enter->accept();
        return true;
    }
    case QEvent::DragLeave:
        document_.statusBar()->clearMessage();
        return false;
    case QEvent::Drop: {
        auto* dropped = static_cast<QDropEvent*>(e);
        document_.statusBar()->clearMessage();
        const Qt::DropAction action = ImageView::draggingEntered(dropped->mimeData(), dropped->possibleActions());
        if (action == Qt::IgnoreAction || !WindowDrop::drop(document_, dropped->mimeData())) {
            dropped->ignore();
            return true;
        }
        dropped->setDropAction(action);
        dropped->accept();
        return true;
    }
    default:
        return false;
    }
}

}  // namespace korvex
