#include "core/bitmap/RowStream.h"

#include <vector>

namespace korvex {

std::string EncoderSink::writeRows(const Bitmap& band, int count)
{
    std::vector<const std::uint8_t*> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(band.bitmapData() + band.bytesPerRow() * std::size_t(i));
    return writer_.writeRows(rows.data(), count);
}

}  // namespace korvex
