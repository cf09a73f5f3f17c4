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
class BandRing {
public:
    // False when memory is short. Each band is the layout cut to bandRows rows.
    bool allocate(const Bitmap::Layout& layout, int bandRows, int depth);

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
