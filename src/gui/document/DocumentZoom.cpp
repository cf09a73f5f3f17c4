#include "gui/document/DocumentZoom.h"

#include "core/compose/UserDefaults.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"
#include "gui/zoom/ZoomScrollView.h"

namespace korvex {

DocumentZoom::DocumentZoom(MyDocument& document, UserDefaults& defaults)
    : QObject(&document), document_(document), defaults_(defaults)
{
}

bool DocumentZoom::fitNewPictures() const
{
    return defaults_.boolForKey(fitNewPicturesKey).value_or(false);
}

void DocumentZoom::setFitNewPictures(bool on)
{
    defaults_.setBool(fitNewPicturesKey, on);
}

ZoomScrollView* DocumentZoom::currentZoomView() const
{
    ImageView* view = document_.currentImage();
    return view ? view->zoomView() : nullptr;
}

void DocumentZoom::zoomIn()
{
    if (ZoomScrollView* zoom = currentZoomView())
        zoom->stepZoom(+1);
}

void DocumentZoom::zoomOut()
{
    if (ZoomScrollView* zoom = currentZoomView())
        zoom->stepZoom(-1);
}

void DocumentZoom::zoomToFit()
{
    if (ZoomScrollView* zoom = currentZoomView())
        zoom->chooseLevel(ZoomScrollView::fitItem);
}

void DocumentZoom::actualSize()
{
    if (ZoomScrollView* zoom = currentZoomView())
        zoom->chooseLevel(100);
}

void DocumentZoom::picturesArrived(std::initializer_list<ImageView*> views)
{
    if (!fitNewPictures())
        return;
    for (ImageView* view : views)
        if (view && view->zoomView() && !view->zoomView()->isFitting())
            view->zoomView()->chooseLevel(ZoomScrollView::fitItem);
}

}  // namespace korvex
