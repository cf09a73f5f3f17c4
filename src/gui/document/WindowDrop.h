#pragma once

#include <QObject>
#include <QString>

class QMimeData;

namespace korvex {

class DragContents;
class MyDocument;

// Where a drop lands that is not on the left or right view (the toolbar, the
// tabs, the result): a stereo file or two files fill both views, one picture
// fills the left view, and web addresses are refused with a reason.
struct WindowDrop {
    enum class Kind { Refused, WebRefused, LeftPictureData, LeftFile, Pair };
    Kind kind = Kind::Refused;
    QString left;   // the file for the left view, or the pair's left file
    QString right;  // the pair's right file (the same stereo file for both)

    static WindowDrop plan(const DragContents& contents);
    // Carries the drop out on the document; false when it was refused.
    static bool drop(MyDocument& document, const QMimeData* data);
};

// Takes the drags and drops that reach the document window itself, which
// only those the picture views declined do, and says in the status bar
// where a drop would go.
class WindowDropTarget : public QObject {
public:
    explicit WindowDropTarget(MyDocument& document);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    MyDocument& document_;
};

}  // namespace korvex
