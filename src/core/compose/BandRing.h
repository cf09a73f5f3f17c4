#pragma once

#include "core/bitmap/Bitmap.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace korvex {

// Bands of rows handed from one thread to another: a ring of bitmaps,
// filled in order and given back in order, so that the producer runs at most
// the ring's depth ahead of the consumer and nothing is copied between them.
// The bands lie in memory that the ring's owner provides, so that several
// rings can share one block.
class BandRing {
public:
    // The bytes that `depth` bands, each the layout cut to bandRows rows,
    // take; 0 when the layout cannot be a bitmap.
    static std::size_t bytesFor(const Bitmap::Layout& layout, int bandRows, int depth);
    // Makes the bands in `memory`: bytesFor(...) bytes that outlive the ring.
    void placeBands(const Bitmap::Layout& layout, int bandRows, int depth, std::uint8_t* memory);

    // The producer's next empty band; null once the consumer has stopped.
    Bitmap* emptyBand();
    void publish();
    // The consumer's next full band; null when the producer gave up.
    Bitmap* fullBand();
    void release();

    // The producer gives up: no more bands come.
    void refuse();
    // The consumer wants no more bands.
    void stop();
    bool refused() const;

private:
    std::vector<std::unique_ptr<Bitmap>> bands_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int filled_ = 0;
    int taken_ = 0;
    bool refused_ = false;
    bool stopped_ = false;
};

}  // namespace korvex
