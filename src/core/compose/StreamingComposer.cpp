#include "core/compose/StreamingComposer.h"

#include "core/bitmap/PixelMemory.h"
#include "core/compose/BandPipeline.h"

#include <algorithm>
#include <vector>

namespace korvex {

namespace {

int stepsFor(int rows)
{
    return (rows + StreamingComposer::bandRows - 1) / StreamingComposer::bandRows;
}

// The bands of the composition: a ring of them for each source, a spare one
// for each source's rows outside the overlap, and a ring for the result.
struct Bands {
    std::vector<std::unique_ptr<Bitmap>> rings[2];
    std::unique_ptr<Bitmap> spares[2];
    std::vector<std::unique_ptr<Bitmap>> results;
    PixelMemory block;

    // All in one block, which comes in large pages: fresh small pages would
    // each cost a page fault when their rows are first written. False when
    // memory is short.
    bool allocate(const Bitmap::Layout& left, const Bitmap::Layout& right, const Bitmap::Layout& result)
    {
        const Bitmap::Layout* layouts[3] = {&left, &right, &result};
        const int depths[3] = {StreamingComposer::sourceBandsInFlight + 1, StreamingComposer::sourceBandsInFlight + 1,
                               StreamingComposer::resultBandsInFlight};
        Bitmap::Layout bands[3];
        std::size_t bytes = 0;
        for (int i = 0; i < 3; ++i) {
            bands[i] = *layouts[i];
            bands[i].pixelsHigh = StreamingComposer::bandRows;
            bytes += Bitmap::bytesFor(bands[i]) * std::size_t(depths[i]);
        }
        block = allocatePixelMemory(bytes);
        if (!block)
            return false;
        std::uint8_t* next = block.get();
        auto take = [&](const Bitmap::Layout& band) {
            const std::size_t size = Bitmap::bytesFor(band);
            std::unique_ptr<Bitmap> made = Bitmap::createOver(band, next, size);
            next += size;
            return made;
        };
        for (int side = 0; side < 2; ++side) {
            for (int i = 0; i < StreamingComposer::sourceBandsInFlight; ++i)
                rings[side].push_back(take(bands[side]));
            spares[side] = take(bands[side]);
        }
        for (int i = 0; i < StreamingComposer::resultBandsInFlight; ++i)
            results.push_back(take(bands[2]));
        return true;
    }
};

// Each source is read whole in steps of a band: the rows above the overlap,
// the overlap's rows into the ring, the rows below it.
class ComposingSteps : public BandPipeline::Steps {
public:
    ComposingSteps(RowSource* sources[2], const OverlapGeometry& geometry, const AnaglyphComposer& composer,
                   RowSink& sink, Bands& bands)
        : geometry_(geometry), composer_(composer), sink_(sink), bands_(bands)
    {
        const int firstRows[2] = {geometry.vl, geometry.vr};
        for (int side = 0; side < 2; ++side) {
            sources_[side] = sources[side];
            rowsAbove_[side] = firstRows[side];
            rowsBelow_[side] = sources[side]->layout().pixelsHigh - firstRows[side] - geometry.pixelsHigh();
        }
    }

    BandPipeline::Plan plan() const
    {
        BandPipeline::Plan plan;
        plan.bands = stepsFor(geometry_.pixelsHigh());
        for (int side = 0; side < 2; ++side) {
            plan.firstBandStep[side] = stepsFor(rowsAbove_[side]);
            plan.sourceSteps[side] = plan.firstBandStep[side] + plan.bands + stepsFor(rowsBelow_[side]);
        }
        plan.sourceBandsInFlight = StreamingComposer::sourceBandsInFlight;
        plan.resultBandsInFlight = StreamingComposer::resultBandsInFlight;
        plan.threads = BandPipeline::threadsForThisMachine();
        return plan;
    }

    bool readSource(int side, int step) override
    {
        readSteps_[side] = step + 1;
        const int band = step - stepsFor(rowsAbove_[side]);
        Bitmap& into = band >= 0 && band < stepsFor(geometry_.pixelsHigh()) ? sourceBand(side, band) : *bands_.spares[side];
        return sources_[side]->readRows(into, 0, rowsOfSourceStep(side, step));
    }

    // Once the other source has refused and nothing is composed any more:
    // the rest of this one's rows, so that its verdict is on the whole file,
    // as the whole-picture path's would be.
    void readRest(int side)
    {
        const int steps = plan().sourceSteps[side];
        for (int step = readSteps_[side]; step < steps; ++step)
            if (!sources_[side]->readRows(*bands_.spares[side], 0, rowsOfSourceStep(side, step)))
                return;
    }

    void compose(int band) override
    {
        // Each band holds its source's rows from the band's first result row on.
        OverlapGeometry g = geometry_;
        g.vl = 0;
        g.vr = 0;
        g.H = rowsOfStep(geometry_.pixelsHigh(), band);
        composer_.compose(sourceBand(0, band), sourceBand(1, band), g, resultBand(band));
    }

    bool encode(int band) override
    {
        sinkError_ = sink_.writeRows(resultBand(band), rowsOfStep(geometry_.pixelsHigh(), band));
        return sinkError_.empty();
    }

    const std::string& sinkError() const { return sinkError_; }

private:
    static int rowsOfStep(int rows, int step) { return std::min(StreamingComposer::bandRows, rows - step * StreamingComposer::bandRows); }

    // A source's step reads rows above the overlap, then the overlap's, then those below it.
    int rowsOfSourceStep(int side, int step) const
    {
        const int above = stepsFor(rowsAbove_[side]);
        const int bands = stepsFor(geometry_.pixelsHigh());
        if (step < above)
            return rowsOfStep(rowsAbove_[side], step);
        if (step < above + bands)
            return rowsOfStep(geometry_.pixelsHigh(), step - above);
        return rowsOfStep(rowsBelow_[side], step - above - bands);
    }

    Bitmap& sourceBand(int side, int band)
    {
        return *bands_.rings[side][std::size_t(band % StreamingComposer::sourceBandsInFlight)];
    }
    Bitmap& resultBand(int band) { return *bands_.results[std::size_t(band % StreamingComposer::resultBandsInFlight)]; }

    RowSource* sources_[2];
    int readSteps_[2] = {0, 0};  // steps read of each source, in order
    int rowsAbove_[2];
    int rowsBelow_[2];
    const OverlapGeometry& geometry_;
    const AnaglyphComposer& composer_;
    RowSink& sink_;
    Bands& bands_;
    std::string sinkError_;
};

}  // namespace

StreamingComposer::Outcome StreamingComposer::compose(RowSource& left, RowSource& right,
                                                      const OverlapGeometry& geometry, RowSink& sink) const
{
    // The result canvas's layout, taken from a one-row canvas.
    const std::unique_ptr<Bitmap> canvasRow = Bitmap::createRGBCanvas(geometry.pixelsWide(), 1);
    Bands bands;
    if (!canvasRow || !bands.allocate(left.layout(), right.layout(), canvasRow->layout()))
        return {Stop::NoMemory, {}};
    RowSource* sources[2] = {&left, &right};
    ComposingSteps steps(sources, geometry, composer_, sink, bands);
    switch (BandPipeline::run(steps.plan(), steps)) {
    case BandPipeline::Stop::LeftRefused: steps.readRest(1); return {Stop::LeftRefused, {}};
    case BandPipeline::Stop::RightRefused: steps.readRest(0); return {Stop::RightRefused, {}};
    case BandPipeline::Stop::Sink: return {Stop::Sink, steps.sinkError()};
    case BandPipeline::Stop::None: break;
    }
    Outcome outcome;
    outcome.error = sink.finish();
    if (!outcome.error.empty())
        outcome.stop = Stop::Sink;
    return outcome;
}

}  // namespace korvex
