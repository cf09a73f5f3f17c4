#include "core/bitmap/JpegRowSink.h"

#include <algorithm>
#include <vector>

namespace korvex {

JpegRowSink::JpegRowSink(JpegRowWriter::Output output, int pixelsWide, int pixelsHigh, bool grey, int quality)
    : writer_(std::move(output)), startError_(writer_.start(pixelsWide, pixelsHigh, grey, quality))
{
}

std::string JpegRowSink::writeRows(const Bitmap& band, int count)
{
    if (!startError_.empty())
        return startError_;
    std::vector<const std::uint8_t*> rows(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        rows[std::size_t(i)] = band.bitmapData() + band.bytesPerRow() * std::size_t(i);
    return writer_.writeRows(rows.data(), count);
}

std::string JpegRowSink::finish()
{
    return startError_.empty() ? writer_.finish() : startError_;
}

}  // namespace korvex
