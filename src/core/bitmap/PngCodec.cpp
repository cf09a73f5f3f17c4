#include "core/bitmap/PngCodec.h"

#include "core/bitmap/CodecSupport.h"
#include "core/bitmap/PngRowWriter.h"
#include "core/bitmap/RowEncoding.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace korvex {

namespace {

// Everything the libpng callbacks touch. Plain data only: libpng's errors
// longjmp through the callbacks back to the setjmp in the step functions.
struct PngIo {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    int rowsDone = 0;
    char message[codec::messageSize] = {};
};

constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// No single allocation of libpng's may exceed this. Its largest honest ones
// are two row buffers of the widest picture (65535 pixels of 8 bytes);
// pixels are ours, bounded by ImageLimits.
constexpr png_alloc_size_t maxLibraryAllocation = 8u << 20;
constexpr std::size_t idatReadSize = 1024;
// Deflate expands its input at most 1032 times. A big picture whose file could
// not hold its pixel data even so is a bomb: its buffer would be nearly all
// filling, so it is refused before the buffer is allocated.
constexpr std::uint64_t deflateMaxRatio = 1032;

void onError(png_structp png, png_const_charp text)
{
    codec::copyMessage(static_cast<PngIo*>(png_get_error_ptr(png))->message, text);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp)
{
    // Warnings (bad ancillary chunks, gamma oddities) never stop a load and are not printed.
}

void readData(png_structp png, png_bytep target, std::size_t length)
{
    auto* io = static_cast<PngIo*>(png_get_io_ptr(png));
    if (io->size - io->pos < length)
        png_error(png, "file ends early");
    std::memcpy(target, io->data + io->pos, length);
    io->pos += length;
}

// libpng treats a chunk longer than its malloc limit as a mere warning and
// then allocates and zero-fills the length the chunk claims: refuse instead.
png_voidp allocateBounded(png_structp, png_alloc_size_t size)
{
    return size > maxLibraryAllocation ? nullptr : std::malloc(size);
}

void freeBounded(png_structp, png_voidp pointer)
{
    std::free(pointer);
}

struct PngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int channels = 0;
    int passes = 1;
    std::size_t rowBytes = 0;
    std::uint64_t fileBitsPerPixel = 0;  // as stored, before any transform
};

// The step functions hold only plain data between setjmp and the libpng calls.
bool readHeader(png_structp png, png_infop info, PngHeader* header)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    header->width = png_get_image_width(png, info);
    header->height = png_get_image_height(png, info);
    header->fileBitsPerPixel = std::uint64_t(png_get_bit_depth(png, info)) * png_get_channels(png, info);
    return true;
}

bool setUpTransforms(png_structp png, png_infop info, PngHeader* header)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (bitDepth == 16 && std::endian::native == std::endian::little)
        png_set_swap(png);
    header->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header->bitDepth = png_get_bit_depth(png, info);
    header->colorType = png_get_color_type(png, info);
    header->channels = png_get_channels(png, info);
    header->rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool readRows(png_structp png, std::uint8_t* firstRow, std::size_t bytesPerRow, int height, int passes, PngIo* io)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < height; ++y) {
            png_read_row(png, firstRow + std::size_t(y) * bytesPerRow, nullptr);
            ++io->rowsDone;
        }
    }
    return true;
}

bool readEnd(png_structp png)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_end(png, nullptr);
    return true;
}

struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadStructs() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

}  // namespace

bool PngCodec::matches(std::span<const std::uint8_t> data)
{
    return data.size() >= sizeof signature && std::memcmp(data.data(), signature, sizeof signature) == 0;
}

DecodeResult PngCodec::decode(std::span<const std::uint8_t> data)
{
    DecodeResult result;
    // The size stands in the first chunk: refuse before libpng reads on.
    if (data.size() >= 24 && std::memcmp(data.data() + 12, "IHDR", 4) == 0) {
        auto big32 = [&](std::size_t at) {
            return std::uint32_t(data[at]) << 24 | std::uint32_t(data[at + 1]) << 16 | std::uint32_t(data[at + 2]) << 8
                   | data[at + 3];
        };
        result.error = ImageLimits::check(big32(16), big32(20));
        if (!result.error.empty())
            return result;
    }
    PngIo io;
    io.data = data.data();
    io.size = data.size();

    ReadStructs s;
    s.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &io, onError, onWarning, nullptr, allocateBounded,
                                     freeBounded);
    if (s.png)
        s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info) {
        result.error = "not enough memory to read the PNG file";
        return result;
    }
    png_set_read_fn(s.png, &io, readData);
    // Our own limits give the reason; libpng's would refuse with less helpful words.
    png_set_user_limits(s.png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    // Only IHDR, PLTE, tRNS and IDAT shape the pixels. Every other chunk
    // (text, palettes, calibration, profiles) is skipped unread in small
    // steps, so its length costs neither memory nor a parse; a text handler
    // refused its buffer by the allocator would instead read on from inside
    // the chunk and fail a picture that is only a big comment.
    png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    // Compressed data is read in steps of this size; small steps keep more
    // rows of a cut file at no measurable cost.
    png_set_compression_buffer_size(s.png, idatReadSize);

    PngHeader header;
    if (!readHeader(s.png, s.info, &header)) {
        result.error = std::string("damaged PNG file: ") + io.message;
        return result;
    }
    result.error = ImageLimits::check(header.width, header.height);
    if (!result.error.empty())
        return result;
    if (!setUpTransforms(s.png, s.info, &header)) {
        result.error = std::string("damaged PNG file: ") + io.message;
        return result;
    }
    const std::uint64_t storedBytes = (std::uint64_t(header.width) * header.fileBitsPerPixel + 7) / 8 * header.height;
    result.error = ImageLimits::checkFileCanFill(header.width, header.height, std::uint64_t(header.rowBytes) * header.height,
                                                 storedBytes, io.size - io.pos, deflateMaxRatio);
    if (!result.error.empty())
        return result;

    Bitmap::Layout layout;
    layout.pixelsWide = int(header.width);
    layout.pixelsHigh = int(header.height);
    layout.bitsPerSample = header.bitDepth;
    layout.samplesPerPixel = header.channels;
    layout.hasAlpha = (header.colorType & PNG_COLOR_MASK_ALPHA) != 0;
    layout.colorSpace = (header.colorType & PNG_COLOR_MASK_COLOR) ? ColorSpace::CalibratedRGB
                                                                 : ColorSpace::CalibratedWhite;
    auto bitmap = codec::createDecodedBitmap(layout, result.error);
    if (!bitmap)
        return result;
    if (header.rowBytes > bitmap->bytesPerRow()) {
        result.error = "unsupported PNG layout";
        return result;
    }
    // Interlaced passes fill rows piecemeal: start from zero so that a cut
    // file leaves defined pixels.
    if (header.passes > 1)
        codec::clearRows(*bitmap, 0);

    if (!readRows(s.png, bitmap->bitmapData(), bitmap->bytesPerRow(), layout.pixelsHigh, header.passes, &io)) {
        if (io.rowsDone == 0) {
            result.error = std::string("damaged PNG file: ") + io.message;
            return result;
        }
        if (header.passes == 1)
            codec::clearRows(*bitmap, io.rowsDone);
        result.warning = codec::damagedWarning(io.message, codec::zeroFillingName(layout.hasAlpha));
    } else if (!readEnd(s.png)) {
        result.warning = std::string("file is damaged after the picture data (") + io.message + ")";
    }
    result.bitmap = std::move(bitmap);
    return result;
}

EncodeResult PngCodec::encode(const Bitmap& bitmap)
{
    const bool grey = bitmap.colorSpace() == ColorSpace::CalibratedWhite
                      || bitmap.colorSpace() == ColorSpace::DeviceWhite;
    const int samples = (grey ? 1 : 3) + (bitmap.hasAlpha() ? 1 : 0);
    return encodeInMemory<PngRowWriter>(RowConverter(bitmap, samples, bitmap.bitsPerSample()), [&](PngRowWriter& writer) {
        return writer.start(bitmap.pixelsWide(), bitmap.pixelsHigh(), samples, bitmap.bitsPerSample());
    });
}

}  // namespace korvex
