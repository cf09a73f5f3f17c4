#include "core/bitmap/PngRowWriter.h"

#include "core/bitmap/CodecSupport.h"

#include <png.h>

#include <bit>
#include <csetjmp>

namespace korvex {

namespace {

// Everything the libpng callbacks touch. libpng's errors longjmp through the
// callbacks back to the setjmp in the step functions.
struct PngOutput {
    const PngRowWriter::Output* output = nullptr;
    char message[codec::messageSize] = {};
};

void onError(png_structp png, png_const_charp text)
{
    codec::copyMessage(static_cast<PngOutput*>(png_get_error_ptr(png))->message, text);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void writeData(png_structp png, png_bytep source, std::size_t length)
{
    auto* out = static_cast<PngOutput*>(png_get_io_ptr(png));
    bool ok = false;
    try {
        ok = (*out->output)(std::span<const std::uint8_t>(source, length));
    } catch (...) {
        // no exception may cross libpng's frames
    }
    if (!ok)
        png_error(png, "the encoded picture cannot be stored");
}

void flushData(png_structp) {}

struct PngTarget {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
};

// The step functions hold only plain data between setjmp and the libpng calls.
bool writeHeader(png_structp png, png_infop info, const PngTarget* target)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, target->width, target->height, target->bitDepth, target->colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Speed over the last few percent of size: zlib level 1 with the Up filter
    // saves a 24-megapixel photo in under a second, about as small as level 2
    // with Sub at half its time; level 3 is 7 % smaller and twice as slow.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_write_info(png, info);
    if (target->bitDepth == 16 && std::endian::native == std::endian::little)
        png_set_swap(png);
    return true;
}

bool writeRowsStep(png_structp png, const std::uint8_t* const* rows, int count)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    for (int i = 0; i < count; ++i)
        png_write_row(png, rows[i]);
    return true;
}

bool writeEnd(png_structp png)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

struct PngRowWriter::State {
    PngOutput out;
    Output output;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool failed = false;

    ~State() { png_destroy_write_struct(&png, info ? &info : nullptr); }

    std::string failure()
    {
        failed = true;
        return std::string("cannot write PNG: ") + out.message;
    }
};

PngRowWriter::PngRowWriter(Output output) : s_(std::make_unique<State>())
{
    s_->output = std::move(output);
    s_->out.output = &s_->output;
}

PngRowWriter::~PngRowWriter() = default;

std::string PngRowWriter::start(int pixelsWide, int pixelsHigh, int samples, int bits)
{
    State& s = *s_;
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &s.out, onError, onWarning);
    if (s.png)
        s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info) {
        s.failed = true;
        return "not enough memory to write a PNG file";
    }
    png_set_write_fn(s.png, &s.out, writeData, flushData);
    const bool alpha = samples == 2 || samples == 4;
    const bool grey = samples <= 2;
    const PngTarget target{png_uint_32(pixelsWide), png_uint_32(pixelsHigh), bits,
                           grey ? (alpha ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY)
                                : (alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB)};
    if (!writeHeader(s.png, s.info, &target))
        return s.failure();
    return {};
}

std::string PngRowWriter::writeRows(const std::uint8_t* const* rows, int count)
{
    State& s = *s_;
    if (s.failed)
        return "cannot write PNG: the encoding has stopped";
    if (!writeRowsStep(s.png, rows, count))
        return s.failure();
    return {};
}

std::string PngRowWriter::finish()
{
    State& s = *s_;
    if (s.failed)
        return "cannot write PNG: the encoding has stopped";
    if (!writeEnd(s.png))
        return s.failure();
    return {};
}

}  // namespace korvex
