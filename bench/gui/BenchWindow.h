#pragma once

// A document window holding a camera-sized pair with its result tab showing,
// for the benchmarks that drive the window. One lives at a time: two 24 MP
// documents would only measure the memory.
#include "../SamplePair.h"
#include "WaitForLoads.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"
#include "gui/zoom/ZoomScrollView.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

namespace korvex::bench {

class BenchWindow {
public:
    // An empty viewport size keeps the window's own.
    BenchWindow(int megapixels, QSize viewport)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.filePath(QStringLiteral("settings")));
        document = controller_.openUntitledDocument(true);
        const SamplePair& pair = SamplePair::of(megapixels);
        document->loadPair(QString::fromStdString(pair.left), QString::fromStdString(pair.right));
        waitForLoads(*document);
        document->tabView()->setCurrentIndex(2);
        ZoomScrollView& scroll = *document->resultImage()->zoomView();
        for (int i = 0; i < 6 && !viewport.isEmpty() && scroll.viewport()->size() != viewport; ++i) {
            document->resize(document->size() + (viewport - scroll.viewport()->size()));
            QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
        document->model().completeResult();
    }

    // A zoom menu item: a percentage or ZoomScrollView::fitItem.
    void zoomTo(int item)
    {
        document->resultImage()->zoomView()->chooseLevel(item);
        QCoreApplication::processEvents();
    }

    void repaint() { document->resultImage()->zoomView()->viewport()->repaint(); }

    MyDocument* document = nullptr;

private:
    QTemporaryDir settings_;
    MemoryDefaults defaults_;
    DocumentController controller_{defaults_};
};

namespace detail {
struct OpenWindow {
    std::unique_ptr<BenchWindow> window;
    int megapixels = 0;
    QSize viewport;
};

inline OpenWindow& openWindow()
{
    static OpenWindow open;
    return open;
}
}  // namespace detail

// The window for this pair and viewport, made when the one open is another.
inline BenchWindow& benchWindow(int megapixels, QSize viewport = {})
{
    detail::OpenWindow& open = detail::openWindow();
    if (!open.window || open.megapixels != megapixels || open.viewport != viewport) {
        if (!open.window)  // the widgets must go while the application is still there
            qAddPostRoutine([] { detail::openWindow().window.reset(); });
        open.window.reset();
        open.window = std::make_unique<BenchWindow>(megapixels, viewport);
        open.megapixels = megapixels;
        open.viewport = viewport;
    }
    return *open.window;
}

// Frees the open window's memory, for a benchmark that measures its own.
inline void closeBenchWindow()
{
    detail::openWindow().window.reset();
}

}  // namespace korvex::bench
