#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/compose/ResultEncoding.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/document/PictureLoading.h"
#include "gui/zoom/ZoomScrollView.h"

#include <QComboBox>
#include <QFile>
#include <QCoreApplication>
#include <QScrollBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace korvex::test {

// Pictures decode away from the window's thread: true once every load of
// the document has landed (or been superseded).
inline bool waitForLoads(MyDocument& document, int timeoutMs = 30000)
{
    if (!document.isLoading())
        return true;
    QSignalSpy idle(&document.loading(), &PictureLoading::idle);
    return idle.wait(timeoutMs);
}

// The same for every open window (launches, Open Recent, files from the file manager).
inline bool waitForLoads(const DocumentController& controller, int timeoutMs = 30000)
{
    for (MyDocument* document : controller.documents())
        if (!waitForLoads(*document, timeoutMs))
            return false;
    return true;
}

// Shows the scroll view and sizes it so that its viewport is exactly `target`.
inline void setViewport(ZoomScrollView& view, QSize target)
{
    view.show();
    for (int i = 0; i < 4 && view.viewport()->size() != target; ++i) {
        view.resize(view.size() + (target - view.viewport()->size()));
        QCoreApplication::processEvents();
    }
}

// Picks a level in the pop-up as a user would.
inline void chooseZoom(ZoomScrollView& view, int level)
{
    QComboBox* button = view.zoomButton();
    const int index = button->findData(level);
    button->setCurrentIndex(index);
    emit button->activated(index);
}

inline void scrollTo(ZoomScrollView& view, int x, int y)
{
    view.horizontalScrollBar()->setValue(x);
    view.verticalScrollBar()->setValue(y);
}

// An RGB picture whose pixel at column x, row y (from the top) holds
// (x & 255, y & 255, 77), so that every pixel can be recognised.
inline std::unique_ptr<Bitmap> patternPicture(int wide, int high)
{
    auto bitmap = Bitmap::createRGBCanvas(wide, high);
    for (int y = 0; y < high; ++y) {
        std::uint8_t* row = bitmap->bitmapData() + std::size_t(y) * bitmap->bytesPerRow();
        for (int x = 0; x < wide; ++x) {
            row[3 * x] = std::uint8_t(x & 255);
            row[3 * x + 1] = std::uint8_t(y & 255);
            row[3 * x + 2] = 77;
        }
    }
    return bitmap;
}

// patternPicture as a PNG file at `path`; the path, for the caller to open.
inline QString writePatternPng(const QString& path, int wide, int high)
{
    const EncodeResult png = representationUsingType(*patternPicture(wide, high), FileType::PNG, {});
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(png.data.data()), qint64(png.data.size()));
    return path;
}

}  // namespace korvex::test
