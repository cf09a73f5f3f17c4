// A step with the result showing, to the repainted result, in a 1920 x 1080
// viewport: the window as it composes now (the part in sight first, the
// whole off its thread) against the full recomposition on the spot, in the
// same run. Also the longest stall of the event loop while a 100 MP pair
// opens, aligns and takes steps, and the memory the open pair holds.
#include "BenchWindow.h"
#include "core/align/RightCorrection.h"
#include "core/imageview/PicturePairLoader.h"
#include "gui/document/AutoAligner.h"
#include "gui/document/BackgroundComposition.h"
#include "gui/document/CommandTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace korvex {
namespace {

constexpr QSize viewportSize(1920, 1080);

// Kilobytes of a /proc/self/status line ("VmRSS", "VmHWM").
double statusKilobytes(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stod(line.substr(key.size() + 1));
    return 0;
}

// Turns the event loop until the condition holds or the time is up.
template <typename Condition>
void waitFor(Condition done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// What a step composes: red-cyan in colour, the glasses Dubois's matrices
// are made for, classic or Dubois; the window's default, red-green in black
// and white, whose classic composer is a different kernel; and the frames
// whose eyes are squeezed (by a Lanczos filter) or interleaved.
struct Look {
    int glasses;
    bool colour;
    AnaglyphMethod method;
    StereoFormat format;
    const char* name;
};
constexpr Look looks[] = {
    {2, true, AnaglyphMethod::Classic, StereoFormat::Anaglyph, "red-cyan classic"},
    {2, true, AnaglyphMethod::Dubois, StereoFormat::Anaglyph, "red-cyan Dubois"},
    {1, false, AnaglyphMethod::Classic, StereoFormat::Anaglyph, "red-green black and white"},
    {2, true, AnaglyphMethod::Classic, StereoFormat::HalfSideBySide, "half side by side"},
    {2, true, AnaglyphMethod::Classic, StereoFormat::InterleavedRows, "interleaved rows"},
};

// What a step changes: the depth, or the right picture's rotation (which the
// whole result must resample the picture for), by turns one way and back.
enum class Step { Depth, Rotation };

void takeStep(StereoDocument& model, Step step, bool forward)
{
    if (step == Step::Depth) {
        forward ? model.incDepth() : model.decDepth();
        return;
    }
    RightCorrection turned;
    turned.rotationDegrees = forward ? 0.25 : -0.25;
    model.setRightCorrection(turned);
}

// Arguments: megapixels, 0 for Fit or 100 for 100 %, the look's index, 1 for
// the window's composition (else the full one on the spot), the Step.
void stepToRepaint(benchmark::State& state)
{
    bench::BenchWindow& w = bench::benchWindow(int(state.range(0)), viewportSize);
    StereoDocument& model = w.document->model();
    const bool inBackground = state.range(3) == 1;
    model.setCompositionScheduler(inBackground ? &w.document->composition() : nullptr);
    const Look& look = looks[state.range(2)];
    const Step step = Step(state.range(4));
    if (model.glasses() != look.glasses)
        model.set3DGlasses(look.glasses);
    if (model.colorize() != look.colour)
        model.set3DColor();  // toggles
    model.setAnaglyphMethod(look.method);
    model.setResultFormat(look.format);
    w.zoomTo(state.range(1) == 0 ? ZoomScrollView::fitItem : 100);
    const int level = w.document->resultImage()->zoomView()->zoom();
    model.completeResult();
    QCoreApplication::processEvents();
    w.repaint();
    bool forward = true;
    std::vector<double> steps;
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        takeStep(model, step, forward);
        w.repaint();
        steps.push_back(double(clock.nsecsElapsed()) / 1e6);
        forward = !forward;
    }
    // The goal is for the median step; a mean would carry every stall the shared machine adds.
    std::nth_element(steps.begin(), steps.begin() + std::ptrdiff_t(steps.size() / 2), steps.end());
    state.counters["median_ms"] = steps[steps.size() / 2];
    // The last whole result in, so that the next case starts at rest.
    model.setRightCorrection({});
    model.completeResult();
    QCoreApplication::processEvents();
    state.SetLabel((state.range(1) == 0 ? "Fit " : "") + std::to_string(level) + "% " + look.name
                   + (step == Step::Rotation ? " rotation " : " depth ")
                   + (inBackground ? "in sight first" : "full on the spot (baseline)"));
}

// Depth steps in every look; rotation steps in the first, as the others only
// change how the same reads are mixed.
void stepCases(benchmark::internal::Benchmark* b)
{
    for (const int step : {int(Step::Depth), int(Step::Rotation)})
        for (const int look : step == int(Step::Depth) ? std::vector<int>{0, 1, 2, 3, 4} : std::vector<int>{0})
            for (const int inBackground : {0, 1})
                for (const int zoom : {0, 100})
                    for (const int megapixels : {12, 24, 48, 100})
                        b->Args({megapixels, zoom, look, inBackground, step});
}

BENCHMARK(stepToRepaint)
    ->Apply(stepCases)
    ->Iterations(15)
    ->Repetitions(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The longest gap between two turns of the event loop while a 100 MP pair
// opens, is aligned and takes a few steps, with the memory it holds. The
// baseline, in the same run: the pair decoded on the spot, as the window's
// thread once did it.
void openAndAlign100(benchmark::State& state)
{
    bench::closeBenchWindow();
    for (auto _ : state) {
        const bench::SamplePair& pair = bench::SamplePair::of(100);
        QElapsedTimer onTheSpot;
        onTheSpot.start();
        PicturePairLoader::decode(pair.left, pair.right);
        const double decodeOnTheSpot = double(onTheSpot.nsecsElapsed());

        QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.filePath(QStringLiteral("s")));
        MemoryDefaults defaults;
        DocumentController controller{defaults};
        MyDocument* document = controller.openUntitledDocument(true);
        document->tabView()->setCurrentIndex(2);

        QElapsedTimer clock;
        clock.start();
        qint64 last = 0, longest = 0;
        QTimer tick;
        tick.setInterval(0);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        tick.start();
        QCoreApplication::processEvents();
        last = clock.nsecsElapsed();
        longest = 0;
        const qint64 beforeOpen = last;
        document->loadPair(QString::fromStdString(pair.left), QString::fromStdString(pair.right));
        waitFor([&] { return !document->isLoading(); }, 60000);
        const qint64 opened = clock.nsecsElapsed() - beforeOpen;
        const qint64 longestWhileOpening = longest;
        StereoDocument& model = document->model();
        waitFor([&] { return !model.resultPending(); }, 60000);
        document->action(Command::AutoAlign)->trigger();
        waitFor([&] { return !document->autoAligner().isRunning(); }, 120000);
        waitFor([&] { return !model.resultPending(); }, 60000);
        for (int i = 0; i < 6; ++i) {
            model.incDepth();
            waitFor([&] { return !model.resultPending(); }, i == 5 ? 60000 : 30);
        }
        tick.stop();
        state.counters["open_ms"] = double(opened) / 1e6;
        state.counters["decode_on_the_spot_ms"] = decodeOnTheSpot / 1e6;
        state.counters["longest_stall_ms"] = double(longest) / 1e6;
        state.counters["longest_stall_opening_ms"] = double(longestWhileOpening) / 1e6;
        state.counters["stall_vs_decode_on_the_spot"] = double(longest) / decodeOnTheSpot;
        state.counters["rss_MB"] = statusKilobytes("VmRSS") / 1024.0;
        state.counters["peak_rss_MB"] = statusKilobytes("VmHWM") / 1024.0;
        document->closeWithoutAsking();
        QCoreApplication::processEvents();
    }
}

BENCHMARK(openAndAlign100)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvex
