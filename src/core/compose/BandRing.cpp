#include "core/compose/BandRing.h"

namespace korvex {

bool BandRing::allocate(const Bitmap::Layout& layout, int bandRows, int depth)
{
    Bitmap::Layout band = layout;
    band.pixelsHigh = bandRows;
    bands_.clear();
    for (int i = 0; i < depth; ++i) {
        bands_.push_back(Bitmap::create(band));
        if (!bands_.back())
            return false;
    }
    return true;
}

Bitmap* BandRing::emptyBand()
{
    std::unique_lock lock(mutex_);
    const int depth = int(bands_.size());
    changed_.wait(lock, [&] { return stopped_ || filled_ - taken_ < depth; });
    return stopped_ ? nullptr : bands_[std::size_t(filled_ % depth)].get();
}

void BandRing::publish()
{
    {
        const std::lock_guard lock(mutex_);
        ++filled_;
    }
    changed_.notify_all();
}

Bitmap* BandRing::fullBand()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return refused_ || filled_ > taken_; });
    return filled_ > taken_ ? bands_[std::size_t(taken_ % int(bands_.size()))].get() : nullptr;
}

void BandRing::release()
{
    {
        const std::lock_guard lock(mutex_);
        ++taken_;
    }
    changed_.notify_all();
}

void BandRing::refuse()
{
    {
        const std::lock_guard lock(mutex_);
        refused_ = true;
    }
    changed_.notify_all();
}

void BandRing::stop()
{
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}

bool BandRing::refused() const
{
    const std::lock_guard lock(mutex_);
    return refused_;
}

}  // namespace korvex
