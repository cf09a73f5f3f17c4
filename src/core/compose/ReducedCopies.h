#pragma once

#include "core/bitmap/Bitmap.h"

#include <memory>
#include <stop_token>
#include <vector>

namespace korvex {

// Halved copies of a source picture, so that a zoomed-out view of the result
// reads about as many source pixels as it shows. Level k (from 1) is about
// 1 / 2^k of the picture's size; each of its pixels is the rounded mean of a
// 2 x 2 block of the level above ((a + b + c + d + 2) / 4), a trailing odd row
// or column dropped, as the view halves the result it shows. Every level is
// 8-bit RGB, whatever the picture's layout; alpha is left out, as the
// composition leaves it out. Immutable once made, so any thread may read it.
class ReducedCopies {
public:
    // Null when memory is short or the stop was requested meanwhile.
    static std::shared_ptr<const ReducedCopies> make(const Bitmap& picture, std::stop_token stop = {});

    // The number of reduced levels; halving stops at one pixel a side.
    int levels() const { return int(levels_.size()); }
    // Level k, 1 <= k <= levels().
    const Bitmap& level(int k) const { return *levels_[std::size_t(k - 1)]; }

private:
    std::vector<std::unique_ptr<Bitmap>> levels_;
};

}  // namespace korvex
