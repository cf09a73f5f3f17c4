#include "core/compose/StreamingComposer.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace korvex {

namespace {

// The bands of one source between its decoding thread and the composer: a
// ring of bandsInFlight bitmaps, filled in order and given back in order.
class BandRing {
public:
    bool allocate(const Bitmap::Layout& source)
    {
        Bitmap::Layout layout = source;
        layout.pixelsHigh = StreamingComposer::bandRows;
        for (auto& band : bands_) {
            band = Bitmap::create(layout);
            if (!band)
                return false;
        }
        return true;
    }

    // The producer's next empty band; null once the composer has stopped.
    Bitmap* emptyBand()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || filled_ - taken_ < int(bands_.size()); });
        return stopped_ ? nullptr : bands_[std::size_t(filled_ % int(bands_.size()))].get();
    }
    void publish()
    {
        { const std::lock_guard lock(mutex_); ++filled_; }
        changed_.notify_all();
    }
    // The consumer's next full band; null when the producer gave up.
    const Bitmap* fullBand()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return refused_ || filled_ > taken_; });
        return filled_ > taken_ ? bands_[std::size_t(taken_ % int(bands_.size()))].get() : nullptr;
    }
    void release()
    {
        { const std::lock_guard lock(mutex_); ++taken_; }
        changed_.notify_all();
    }
    void refuse()
    {
        { const std::lock_guard lock(mutex_); refused_ = true; }
        changed_.notify_all();
    }
    void stop()
    {
        { const std::lock_guard lock(mutex_); stopped_ = true; }
        changed_.notify_all();
    }
    bool refused() const
    {
        const std::lock_guard lock(mutex_);
        return refused_;
    }

private:
    std::array<std::unique_ptr<Bitmap>, StreamingComposer::bandsInFlight> bands_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int filled_ = 0;
    int taken_ = 0;
    bool refused_ = false;  // the source is refused: no more bands come
    bool stopped_ = false;  // the composer wants no more bands
};

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

}  // namespace

StreamingComposer::Outcome StreamingComposer::compose(RowSource& left, RowSource& right,
                                                      const OverlapGeometry& geometry, RowSink& sink) const
{
    const int width = geometry.pixelsWide();
    const int height = geometry.pixelsHigh();
    BandRing rings[2];
    std::unique_ptr<Bitmap> spares[2];
    RowSource* sources[2] = {&left, &right};
    for (int side = 0; side < 2; ++side) {
        Bitmap::Layout layout = sources[side]->layout();
        layout.pixelsHigh = bandRows;
        spares[side] = Bitmap::create(layout);
        if (!spares[side] || !rings[side].allocate(sources[side]->layout()))
            return {Stop::NoMemory, {}};
    }
    std::unique_ptr<Bitmap> result = Bitmap::createRGBCanvas(width, bandRows);
    if (!result)
        return {Stop::NoMemory, {}};

    const int firstRows[2] = {geometry.vl, geometry.vr};
    std::thread producers[2];
    auto stopAll = [&] {
        for (BandRing& ring : rings)
            ring.stop();
        for (std::thread& producer : producers) {
            if (producer.joinable())
                producer.join();
        }
    };
    try {
        for (int side = 0; side < 2; ++side)
            producers[side] = std::thread(produce, std::ref(*sources[side]), firstRows[side], height,
                                          std::ref(rings[side]), std::ref(*spares[side]));
    } catch (const std::system_error&) {
        stopAll();
        return {Stop::NoThread, {}};
    }

    // Each band holds its source's rows from the band's first result row on.
    OverlapGeometry band = geometry;
    band.vl = 0;
    band.vr = 0;
    Outcome outcome;
    for (int done = 0; done < height && outcome.stop == Stop::None; done += bandRows) {
        const Bitmap* leftBand = rings[0].fullBand();
        const Bitmap* rightBand = leftBand ? rings[1].fullBand() : nullptr;
        if (!leftBand || !rightBand) {
            outcome.stop = leftBand ? Stop::RightRefused : Stop::LeftRefused;
            break;
        }
        const int rows = std::min(bandRows, height - done);
        band.H = rows;
        composer_.compose(*leftBand, *rightBand, band, *result);
        rings[0].release();
        rings[1].release();
        outcome.error = sink.writeRows(*result, rows);
        if (!outcome.error.empty())
            outcome.stop = Stop::Sink;
    }
    if (outcome.stop != Stop::None) {
        stopAll();
        return outcome;
    }
    for (std::thread& producer : producers)
        producer.join();
    // Damage below the overlap can still refuse a file, as the whole decode would.
    if (rings[0].refused() || rings[1].refused())
        return {rings[0].refused() ? Stop::LeftRefused : Stop::RightRefused, {}};
    outcome.error = sink.finish();
    if (!outcome.error.empty())
        outcome.stop = Stop::Sink;
    return outcome;
}

}  // namespace korvex
