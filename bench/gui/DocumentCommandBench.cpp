// The window's interactive path: a Bigger or Up command with the result tab
// showing, through recalc, to the repainted result, for camera-sized pairs.
#include "../SamplePair.h"
#include "WaitForLoads.h"
#include "core/compose/MemoryDefaults.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"
#include "gui/imageview/ImageView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace korvex {
namespace {

// One document window holding a pair, the result tab selected.
struct Window {
    explicit Window(int megapixels)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.filePath(QStringLiteral("settings")));
        document = controller.openUntitledDocument(true);
        const bench::SamplePair& pair = bench::SamplePair::of(megapixels);
        document->loadLeft(QString::fromStdString(pair.left));
        document->loadRight(QString::fromStdString(pair.right));
        bench::waitForLoads(*document);
        document->tabView()->setCurrentIndex(2);
        QCoreApplication::processEvents();
    }

    void zoomTo(int level)
    {
        QComboBox* button = document->resultImage()->zoomView()->zoomButton();
        const int index = button->findData(level);
        button->setCurrentIndex(index);
        emit button->activated(index);
        QCoreApplication::processEvents();
    }

    // What the user sees after a command: the result recomposed and drawn.
    void repaint()
    {
        QCoreApplication::sendPostedEvents();
        document->resultImage()->zoomView()->viewport()->repaint();
    }

    QTemporaryDir settings;
    MemoryDefaults defaults;
    DocumentController controller{defaults};
    MyDocument* document = nullptr;
};

std::map<int, std::unique_ptr<Window>> windows;

Window& window(int megapixels)
{
    // One window at a time: two 24 MP documents would only measure the memory.
    if (!windows.count(megapixels)) {
        // The widgets must go while the application is still there.
        if (windows.empty())
            qAddPostRoutine([] { windows.clear(); });
        windows.clear();
        windows[megapixels] = std::make_unique<Window>(megapixels);
    }
    return *windows[megapixels];
}

// Arguments: megapixels, zoom percent. The commands alternate with their
// opposites so that the result keeps its size over the run.
void commandToRepaint(benchmark::State& state, void (StereoDocument::*command)(), void (StereoDocument::*opposite)())
{
    Window& w = window(int(state.range(0)));
    w.zoomTo(int(state.range(1)));
    w.repaint();
    bool forward = true;
    for (auto _ : state) {
        (w.document->model().*(forward ? command : opposite))();
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
