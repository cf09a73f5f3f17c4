// Any bytes through the row-by-row JPEG reader of the streamed composition,
// read from a stream as korvex-compose reads its files, and checked against
// the whole-picture decode and composition of the same bytes: the same
// verdict, and for small pictures the same result rows, the right picture
// turned or not. The same bytes are decoded reduced too, as auto-align reads
// them.
#include "core/align/RightPictureResampler.h"
#include "core/align/WarpedRowSource.h"
#include "core/bitmap/JpegCodec.h"
#include "core/bitmap/JpegRowSource.h"
#include "core/compose/AnaglyphComposer.h"
#include "core/compose/StreamingComposer.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

namespace {

constexpr std::uint64_t maxPixelsToCompare = 256 * 1024;

// Keeps every row it is given.
class CollectingSink : public korvex::RowSink {
public:
    std::string writeRows(const korvex::Bitmap& band, int count) override
    {
        for (int y = 0; y < count; ++y) {
            const std::uint8_t* row = band.bitmapData() + band.bytesPerRow() * std::size_t(y);
            rows.insert(rows.end(), row, row + std::size_t(band.pixelsWide()) * 3);
        }
        return {};
    }
    std::string finish() override { return {}; }
    std::vector<std::uint8_t> rows;
};

// Every row of the picture decoded reduced; the reader must stay within its rows.
void decodeReduced(std::span<const std::uint8_t> jpeg, int longerSide)
{
    korvex::JpegRowReader reader(jpeg);
    reader.reduceTo(longerSide);
    if (!reader.start().empty())
        return;
    const korvex::Bitmap::Layout& layout = reader.layout();
    const std::size_t rowBytes = std::size_t(layout.pixelsWide) * std::size_t(layout.samplesPerPixel);
    std::vector<std::uint8_t> rows(rowBytes * korvex::JpegRowReader::maxRowsPerRead);
    std::uint8_t* pointers[korvex::JpegRowReader::maxRowsPerRead];
    for (int i = 0; i < korvex::JpegRowReader::maxRowsPerRead; ++i)
        pointers[i] = rows.data() + rowBytes * std::size_t(i);
    while (reader.readRows(pointers) > 0 && !reader.refused()) {
    }
    reader.finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korvex;
    if (size < 2)
        return 0;
    // The first byte places the right picture up to 63 rows above or below,
    // and its top bit turns it.
    const std::int32_t vertical = std::int32_t(data[0] & 0x7F) - 64;
    const RightCorrection correction{(data[0] & 0x80) ? 2.5 : 0.0, 1.0, 0.0, 0.0};
    const std::span<const std::uint8_t> jpeg(data + 1, size - 1);
    decodeReduced(jpeg, 8 + (data[0] & 0x1F));
    // fmemopen wants a writable buffer.
    std::vector<std::uint8_t> copies[2] = {{jpeg.begin(), jpeg.end()}, {jpeg.begin(), jpeg.end()}};
    JpegRowSource::Opened sides[2];
    for (int side = 0; side < 2; ++side) {
        std::FILE* file = fmemopen(copies[side].data(), copies[side].size(), "rb");
        if (!file)
            return 0;
        sides[side] = JpegRowSource::open(file);
    }
    const DecodeResult whole = JpegCodec::matches(jpeg) ? JpegCodec::decode(jpeg) : DecodeResult{};
    if (!sides[0].source) {
        // Refused from its header: the whole decode refuses it too.
        if (whole)
            __builtin_trap();
        return 0;
    }
    const Bitmap::Layout& layout = sides[0].source->layout();
    const Size size2{double(layout.pixelsWide), double(layout.pixelsHigh)};
    const Point centre{size2.width / 2.0, size2.height / 2.0};
    const OverlapGeometry geometry = OverlapGeometry::compute(size2, centre, size2, centre, 0, vertical);
    if (!geometry.overlaps())
        return 0;
    // The turn streams only for the layouts BicubicWarp takes (not grey).
    std::unique_ptr<WarpedRowSource> turned;
    if (!correction.isIdentity())
        turned = WarpedRowSource::create(*sides[1].source, correction, StreamingComposer::bandRows);
    RowSource& right = turned ? static_cast<RowSource&>(*turned) : *sides[1].source;
    const AnaglyphComposer composer(2, true);
    CollectingSink sink;
    const StreamingComposer::Outcome outcome = StreamingComposer(composer).compose(*sides[0].source, right, geometry, sink);
    if (outcome.stop == StreamingComposer::Stop::NoMemory)
        return 0;
    const JpegRowReader::Outcome verdict = sides[0].source->finish();
    if (verdict.error.empty() != bool(whole) || verdict.warning != whole.warning)
        __builtin_trap();
    if (!whole || std::uint64_t(layout.pixelsWide) * std::uint64_t(layout.pixelsHigh) > maxPixelsToCompare)
        return 0;
    const std::unique_ptr<Bitmap> wholeTurned = turned ? resampleRightPicture(*whole.bitmap, correction) : nullptr;
    if (turned && !wholeTurned)
        return 0;
    auto canvas = Bitmap::createRGBCanvas(geometry.pixelsWide(), geometry.pixelsHigh());
    composer.compose(*whole.bitmap, wholeTurned ? *wholeTurned : *whole.bitmap, geometry, *canvas);
    for (int y = 0; y < canvas->pixelsHigh(); ++y) {
        const std::size_t rowBytes = std::size_t(canvas->pixelsWide()) * 3;
        if (std::memcmp(canvas->bitmapData() + canvas->bytesPerRow() * std::size_t(y),
                        sink.rows.data() + rowBytes * std::size_t(y), rowBytes) != 0)
            __builtin_trap();
    }
    return 0;
}
