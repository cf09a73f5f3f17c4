#include "core/bitmap/JpegCodec.h"

#include "core/bitmap/CodecSupport.h"
#include "core/bitmap/JpegRowReader.h"
#include "core/bitmap/JpegRowWriter.h"
#include "core/bitmap/RowEncoding.h"

#include <algorithm>
#include <cmath>

namespace korvex {

bool JpegCodec::matches(std::span<const std::uint8_t> data)
{
    return data.size() >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff;
}

DecodeResult JpegCodec::decode(std::span<const std::uint8_t> data)
{
    DecodeResult result;
    JpegRowReader reader(data);
    result.error = reader.start();
    if (!result.error.empty())
        return result;
    auto bitmap = codec::createDecodedBitmap(reader.layout(), result.error);
    if (!bitmap)
        return result;

    std::uint8_t* rows[JpegRowReader::maxRowsPerRead];
    const int height = bitmap->pixelsHigh();
    while (reader.rowsDelivered() < height && !reader.refused()) {
        const int y = reader.rowsDelivered();
        for (int i = 0; i < std::min(JpegRowReader::maxRowsPerRead, height - y); ++i)
            rows[i] = bitmap->bitmapData() + std::size_t(y + i) * bitmap->bytesPerRow();
        if (reader.readRows(rows) == 0) {
            codec::clearRows(*bitmap, y);  // a decoder that gives nothing more must not leave rows unwritten
            break;
        }
    }
    JpegRowReader::Outcome outcome = reader.finish();
    if (!outcome.error.empty()) {
        result.error = std::move(outcome.error);
        return result;
    }
    result.warning = std::move(outcome.warning);
    result.bitmap = std::move(bitmap);
    return result;
}

int JpegCodec::qualityFor(const EncodeProperties& properties)
{
    const double factor = properties.compressionFactor.value_or(0.9f);
    if (std::isnan(factor))
        return 90;
    return int(std::clamp(std::lround(factor * 100.0), 1L, 100L));
}

EncodeResult JpegCodec::encode(const Bitmap& bitmap, const EncodeProperties& properties)
{
    const bool grey = isGreyColorSpace(bitmap.colorSpace());
    return encodeInMemory<JpegRowWriter>(RowConverter(bitmap, grey ? 1 : 3, 8), [&](JpegRowWriter& writer) {
        return writer.start(bitmap.pixelsWide(), bitmap.pixelsHigh(), grey, qualityFor(properties));
    });
}

}  // namespace korvex
