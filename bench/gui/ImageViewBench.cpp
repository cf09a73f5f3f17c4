#include "gui/imageview/ImageView.h"
#include "gui/zoom/ZoomScrollView.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

namespace korvex {
namespace {

// A 6000 x 4000 photograph-sized picture in a 1920 x 1080 visible area.
struct Scene {
    Scene()
    {
        auto bitmap = Bitmap::createRGBCanvas(6000, 4000);
        for (int y = 0; y < 4000; ++y) {
            std::uint8_t* row = bitmap->bitmapData() + std::size_t(y) * bitmap->bytesPerRow();
            for (int x = 0; x < 6000; ++x) {
                row[3 * x] = std::uint8_t(x * 7);
                row[3 * x + 1] = std::uint8_t(y * 3);
                row[3 * x + 2] = std::uint8_t((x ^ y) & 255);
            }
        }
        view = new ImageView;
        view->setType(LeftRole);
        scroll.setWidget(view);
        scroll.show();
        for (int i = 0; i < 4 && scroll.viewport()->size() != QSize(1920, 1080); ++i) {
            scroll.resize(scroll.size() + (QSize(1920, 1080) - scroll.viewport()->size()));
            QCoreApplication::processEvents();
        }
        view->setImage(std::move(bitmap));
    }

    void zoomTo(int level)
    {
        QComboBox* button = scroll.zoomButton();
        const int index = button->findData(level);
        button->setCurrentIndex(index);
        emit button->activated(index);
        // Somewhere in the middle, with the pin mark in sight.
        scroll.horizontalScrollBar()->setValue(scroll.horizontalScrollBar()->maximum() / 2);
        scroll.verticalScrollBar()->setValue(scroll.verticalScrollBar()->maximum() / 2);
    }

    ZoomScrollView scroll;
    ImageView* view = nullptr;
};

Scene& scene()
{
    static Scene s;
    return s;
}

void repaint(benchmark::State& state)
{
    Scene& s = scene();
    s.zoomTo(int(state.range(0)));
    QWidget* viewport = s.scroll.viewport();
    QImage target(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    viewport->render(&target);  // first paint makes the reduced copy
    for (auto _ : state) {
        viewport->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(std::to_string(viewport->width()) + "x" + std::to_string(viewport->height()));
}
// Qt blends on worker threads: wall-clock time is what the user sees.
BENCHMARK(repaint)->Arg(25)->Arg(100)->Arg(50)->Arg(75)->Arg(200)->Arg(10)->UseRealTime()->Unit(benchmark::kMillisecond);

// A new picture's first zoomed-out paint: the cost of making the reduced copy.
void firstPaintAfterChange(benchmark::State& state)
{
    Scene& s = scene();
    s.zoomTo(int(state.range(0)));
    QWidget* viewport = s.scroll.viewport();
    QImage target(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        s.view->adjustFrame();
        viewport->render(&target);
    }
}
BENCHMARK(firstPaintAfterChange)->Arg(25)->Arg(75)->Arg(100)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvex

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
