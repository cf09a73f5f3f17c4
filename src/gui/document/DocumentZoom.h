#pragma once

#include <QObject>

#include <initializer_list>
#include <string_view>

namespace korvex {

class ImageView;
class MyDocument;
class UserDefaults;
class ZoomScrollView;

// The zoom commands of a document window, which choose items of the shown
// view's zoom pop-up, and the preference to show new pictures fitted.
class DocumentZoom : public QObject {
    Q_OBJECT

public:
    static constexpr std::string_view fitNewPicturesKey = "FitNewPictures";

    DocumentZoom(MyDocument& document, UserDefaults& defaults);

    // Off unless the user turned it on: new windows and pictures start at 100 %.
    bool fitNewPictures() const;
    void setFitNewPictures(bool on);

    // The zoom view of the selected tab.
    ZoomScrollView* currentZoomView() const;
    void zoomIn();
    void zoomOut();
    void zoomToFit();
    void actualSize();

    // These views have new pictures: with the preference on, they are fitted.
    void picturesArrived(std::initializer_list<ImageView*> views);

private:
    MyDocument& document_;
    UserDefaults& defaults_;
};

}  // namespace korvex
