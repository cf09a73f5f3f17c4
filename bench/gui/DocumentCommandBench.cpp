// The window's interactive path: a Bigger or Up command with the result tab
// showing, through recalc, to the repainted result, for camera-sized pairs.
#include "BenchWindow.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <string>

namespace korvex {
namespace {

// Arguments: megapixels, zoom percent. The commands alternate with their
// opposites so that the result keeps its size over the run.
void commandToRepaint(benchmark::State& state, void (StereoDocument::*command)(), void (StereoDocument::*opposite)())
{
    bench::BenchWindow& w = bench::benchWindow(int(state.range(0)));
    w.zoomTo(int(state.range(1)));
    w.repaint();
    bool forward = true;
    for (auto _ : state) {
        (w.document->model().*(forward ? command : opposite))();
        // What the user sees after a command: the result recomposed and drawn.
        QCoreApplication::sendPostedEvents();
        w.repaint();
        forward = !forward;
    }
    const QSize viewport = w.document->resultImage()->zoomView()->viewport()->size();
    state.SetLabel(std::to_string(viewport.width()) + "x" + std::to_string(viewport.height()) + " viewport");
}

void biggerToRepaint(benchmark::State& state)
{
    commandToRepaint(state, &StereoDocument::incDepth, &StereoDocument::decDepth);
}
void upToRepaint(benchmark::State& state)
{
    commandToRepaint(state, &StereoDocument::incVerticalOffset, &StereoDocument::decVerticalOffset);
}

// Wall-clock time is what the user waits for (composition and Qt's blending use worker threads).
BENCHMARK(biggerToRepaint)->ArgsProduct({{12, 24}, {100, 25, 10}})->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(upToRepaint)->ArgsProduct({{12, 24}, {100, 25, 10}})->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvex
