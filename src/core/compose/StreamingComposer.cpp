#include "core/compose/StreamingComposer.h"

#include "core/bitmap/PixelMemory.h"
#include "core/compose/BandRing.h"

#include <algorithm>
#include <functional>
#include <system_error>
#include <thread>

namespace korvex {

namespace {

// Reads a whole source: the rows above the overlap, then the overlap's rows
// band by band into the ring, then the rows below it, into a band of its own
// that nobody reads.
void produce(RowSource& source, int firstRow, int rows, BandRing& ring, Bitmap& spare)
{
    const int height = source.layout().pixelsHigh;
    auto skip = [&](int count) {
        for (int done = 0; done < count;) {
            const int step = std::min(StreamingComposer::bandRows, count - done);
            if (!source.readRows(spare, 0, step))
                return false;
            done += step;
        }
        return true;
    };
    if (!skip(firstRow)) {
        ring.refuse();
        return;
    }
    for (int done = 0; done < rows; done += StreamingComposer::bandRows) {
        Bitmap* band = ring.emptyBand();
        if (!band)
            return;
        if (!source.readRows(*band, 0, std::min(StreamingComposer::bandRows, rows - done))) {
            ring.refuse();
            return;
        }
        ring.publish();
    }
    if (!skip(height - firstRow - rows))
        ring.refuse();
}

// Hands the composed bands to the sink in order; on its first error it stops
// the ring, so the composer learns of it at its next band.
void encode(BandRing& results, int height, RowSink& sink, std::string& error)
{
    for (int done = 0; done < height; done += StreamingComposer::bandRows) {
        const Bitmap* band = results.fullBand();
        if (!band)
            return;
        error = sink.writeRows(*band, std::min(StreamingComposer::bandRows, height - done));
        results.release();
        if (!error.empty()) {
            results.stop();
            return;
        }
    }
}

}  // namespace

StreamingComposer::Outcome StreamingComposer::compose(RowSource& left, RowSource& right,
                                                      const OverlapGeometry& geometry, RowSink& sink) const
{
    const int width = geometry.pixelsWide();
    const int height = geometry.pixelsHigh();
    // The result canvas's layout, taken from a one-row canvas.
    const std::unique_ptr<Bitmap> canvasRow = Bitmap::createRGBCanvas(width, 1);
    RowSource* sources[2] = {&left, &right};
    if (!canvasRow)
        return {Stop::NoMemory, {}};
    // Every band in one block, which comes in large pages: fresh small pages
    // would each cost a page fault when their rows are first written.
    std::size_t spareBytes[2], ringAt[2], spareAt[2];
    std::size_t bytes = 0;
    for (int side = 0; side < 2; ++side) {
        spareBytes[side] = BandRing::bytesFor(sources[side]->layout(), bandRows, 1);
        ringAt[side] = bytes;
        bytes += spareBytes[side] * sourceBandsInFlight;
        spareAt[side] = bytes;
        bytes += spareBytes[side];
    }
    const std::size_t resultsAt = bytes;
    bytes += BandRing::bytesFor(canvasRow->layout(), bandRows, resultBandsInFlight);
    const PixelMemory block = allocatePixelMemory(bytes);
    if (!block)
        return {Stop::NoMemory, {}};
    BandRing rings[2];
    std::unique_ptr<Bitmap> spares[2];
    for (int side = 0; side < 2; ++side) {
        rings[side].placeBands(sources[side]->layout(), bandRows, sourceBandsInFlight, block.get() + ringAt[side]);
        Bitmap::Layout spare = sources[side]->layout();
        spare.pixelsHigh = bandRows;
        spares[side] = Bitmap::createOver(spare, block.get() + spareAt[side], spareBytes[side]);
    }
    BandRing results;
    results.placeBands(canvasRow->layout(), bandRows, resultBandsInFlight, block.get() + resultsAt);

    const int firstRows[2] = {geometry.vl, geometry.vr};
    std::thread producers[2];
    std::thread encoder;
    std::string sinkError;
    auto stopAll = [&] {
        for (BandRing& ring : rings)
            ring.stop();
        results.refuse();
        for (std::thread* thread : {&producers[0], &producers[1], &encoder}) {
            if (thread->joinable())
                thread->join();
        }
    };
    try {
        for (int side = 0; side < 2; ++side)
            producers[side] = std::thread(produce, std::ref(*sources[side]), firstRows[side], height,
                                          std::ref(rings[side]), std::ref(*spares[side]));
        encoder = std::thread(encode, std::ref(results), height, std::ref(sink), std::ref(sinkError));
    } catch (const std::system_error&) {
        stopAll();
        return {Stop::NoThread, {}};
    }

    // Each band holds its source's rows from the band's first result row on.
    OverlapGeometry band = geometry;
    band.vl = 0;
    band.vr = 0;
    Stop stop = Stop::None;
    for (int done = 0; done < height; done += bandRows) {
        const Bitmap* leftBand = rings[0].fullBand();
        const Bitmap* rightBand = leftBand ? rings[1].fullBand() : nullptr;
        if (!leftBand || !rightBand) {
            stop = leftBand ? Stop::RightRefused : Stop::LeftRefused;
            break;
        }
        Bitmap* result = results.emptyBand();
        if (!result) {
            stop = Stop::Sink;
            break;
        }
        band.H = std::min(bandRows, height - done);
        composer_.compose(*leftBand, *rightBand, band, *result);
        rings[0].release();
        rings[1].release();
        results.publish();
    }
    if (stop != Stop::None) {
        stopAll();
        return {stop, stop == Stop::Sink ? sinkError : std::string()};
    }
    encoder.join();
    for (std::thread& producer : producers)
        producer.join();
    if (!sinkError.empty())
        return {Stop::Sink, sinkError};
    // Damage below the overlap can still refuse a file, as the whole decode would.
    if (rings[0].refused() || rings[1].refused())
        return {rings[0].refused() ? Stop::LeftRefused : Stop::RightRefused, {}};
    Outcome outcome;
    outcome.error = sink.finish();
    if (!outcome.error.empty())
        outcome.stop = Stop::Sink;
    return outcome;
}

}  // namespace korvex
