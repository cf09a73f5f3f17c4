#include "core/compose/BandRing.h"

namespace korvex {

namespace {

Bitmap::Layout bandLayout(const Bitmap::Layout& layout, int bandRows)
{
    Bitmap::Layout band = layout;
    band.pixelsHigh = bandRows;
    return band;
}

}  // namespace

std::size_t BandRing::bytesFor(const Bitmap::Layout& layout, int bandRows, int depth)
{
    return Bitmap::bytesFor(bandLayout(layout, bandRows)) * std::size_t(depth);
}

void BandRing::placeBands(const Bitmap::Layout& layout, int bandRows, int depth, std::uint8_t* memory)
{
    const Bitmap::Layout band = bandLayout(layout, bandRows);
    const std::size_t bandBytes = Bitmap::bytesFor(band);
    bands_.clear();
    for (int i = 0; i < depth; ++i)
        bands_.push_back(Bitmap::createOver(band, memory + bandBytes * std::size_t(i), bandBytes));
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
