#include "core/bitmap/TiffCodec.h"

#include "core/bitmap/CodecSupport.h"
#include "core/bitmap/RowConverter.h"

#include <tiffio.h>

#include <algorithm>
#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <vector>

namespace korvex {

namespace {

// Largest single buffer libtiff or we allocate for one strip or tile.
constexpr tmsize_t maxChunkBytes = tmsize_t(1) << 30;

// Per-handle messages, so that two pictures can be read on two threads.
struct TiffMessages {
    char error[codec::messageSize] = {};
    int errors = 0;
};

int onError(TIFF*, void* user, const char* module, const char* format, va_list args)
{
    auto* messages = static_cast<TiffMessages*>(user);
    if (messages->errors++ == 0) {
        // Module and text, cut to the message buffer.
        char text[2 * codec::messageSize];
        int used = (module && *module) ? std::snprintf(text, sizeof text, "%s: ", module) : 0;
        used = std::clamp(used, 0, int(codec::messageSize));
        std::vsnprintf(text + used, sizeof text - std::size_t(used), format, args);
        codec::copyMessage(messages->error, text);
    }
    return 1;  // handled: the global handlers must not print
}

int onWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

void silenceGlobalHandlers()
{
    // Messages without a handle would otherwise go to stderr.
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

struct TiffOptions {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    explicit TiffOptions(TiffMessages* messages)
    {
        if (!options)
            return;
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, maxChunkBytes);
        TIFFOpenOptionsSetErrorHandlerExtR(options, onError, messages);
        TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, messages);
    }
    ~TiffOptions() { TIFFOpenOptionsFree(options); }
};

struct TiffHandle {
    TIFF* tif = nullptr;
    ~TiffHandle()
    {
        if (tif)
            TIFFClose(tif);
    }
};

// Reading: libtiff maps the bytes and reads strips straight from them.
struct MemoryIn {
    const std::uint8_t* data;
    toff_t size;
    toff_t pos;
};

tmsize_t readIn(thandle_t handle, void* buffer, tmsize_t length)
{
    auto* in = static_cast<MemoryIn*>(handle);
    if (length <= 0 || in->pos >= in->size)
        return 0;
    const toff_t n = std::min<toff_t>(toff_t(length), in->size - in->pos);
    std::memcpy(buffer, in->data + in->pos, n);
    in->pos += n;
    return tmsize_t(n);
}

tmsize_t writeNone(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t seekIn(thandle_t handle, toff_t offset, int whence)
{
    auto* in = static_cast<MemoryIn*>(handle);
    const toff_t base = whence == SEEK_CUR ? in->pos : whence == SEEK_END ? in->size : 0;
    in->pos = base + offset;
    return in->pos;
}

int closeNothing(thandle_t)
{
    return 0;
}

toff_t sizeIn(thandle_t handle)
{
    return static_cast<MemoryIn*>(handle)->size;
}

int mapIn(thandle_t handle, void** base, toff_t* size)
{
    auto* in = static_cast<MemoryIn*>(handle);
    *base = const_cast<std::uint8_t*>(in->data);
    *size = in->size;
    return 1;
}

void unmapNothing(thandle_t, void*, toff_t) {}

struct TiffShape {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bitsPerSample = 1;
    std::uint16_t samplesPerPixel = 1;
    std::uint16_t photometric = 0;
    bool hasPhotometric = false;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t extraCount = 0;
    std::uint16_t extraType = EXTRASAMPLE_UNSPECIFIED;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    bool tiled = false;
    std::uint32_t tileWidth = 0;
    std::uint32_t tileHeight = 0;

    bool grey() const { return photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE; }
    int colours() const { return grey() ? 1 : 3; }
};

TiffShape readShape(TIFF* tif)
{
    TiffShape s;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &s.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &s.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &s.bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &s.samplesPerPixel);
    s.hasPhotometric = TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &s.photometric) == 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &s.planar);
    std::uint16_t* extraTypes = nullptr;
    if (TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &s.extraCount, &extraTypes) == 1 && s.extraCount > 0
        && extraTypes)
        s.extraType = extraTypes[0];
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &s.orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &s.sampleFormat);
    s.tiled = TIFFIsTiled(tif) != 0;
    if (s.tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &s.tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &s.tileHeight);
    }
    return s;
}

// The layouts we read sample for sample; the rest goes through libtiff's RGBA reader.
bool readsDirectly(const TiffShape& s)
{
    if (!s.hasPhotometric || s.sampleFormat != SAMPLEFORMAT_UINT || s.orientation != ORIENTATION_TOPLEFT)
        return false;
    if (!s.grey() && s.photometric != PHOTOMETRIC_RGB)
        return false;
    const int colours = s.colours();
    if (s.samplesPerPixel == colours + 1) {
        if (s.extraCount != 1)
            return false;
    } else if (s.samplesPerPixel != colours) {
        return false;
    }
    if (s.tiled && (s.tileWidth == 0 || s.tileHeight == 0))
        return false;
    if (s.bitsPerSample == 8 || s.bitsPerSample == 16)
        return true;
    return s.grey() && s.samplesPerPixel == 1 && !s.tiled
           && (s.bitsPerSample == 1 || s.bitsPerSample == 2 || s.bitsPerSample == 4);
}

void expandGrey(const std::uint8_t* packed, std::uint8_t* out, std::uint32_t width, int bits)
{
    const unsigned maxValue = (1u << bits) - 1;
    const unsigned perByte = 8u / unsigned(bits);
    for (std::uint32_t x = 0; x < width; ++x) {
        const unsigned shift = 8u - unsigned(bits) * (x % perByte + 1);
        const unsigned v = (packed[x / perByte] >> shift) & maxValue;
        out[x] = std::uint8_t(v * 255u / maxValue);
    }
}

// Sample pointers of one row, planar or meshed alike.
template <typename T>
struct RowSamples {
    T* sample[4];
    std::size_t step;

    RowSamples(Bitmap& bitmap, int y)
    {
        const std::size_t offset = std::size_t(y) * bitmap.bytesPerRow();
        if (bitmap.isPlanar()) {
            for (int s = 0; s < bitmap.samplesPerPixel(); ++s)
                sample[s] = reinterpret_cast<T*>(bitmap.planeData(s) + offset);
            step = 1;
        } else {
            T* first = reinterpret_cast<T*>(bitmap.bitmapData() + offset);
            for (int s = 0; s < bitmap.samplesPerPixel(); ++s)
                sample[s] = first + s;
            step = std::size_t(bitmap.bitsPerPixel()) / 8 / sizeof(T);
        }
    }
};

// Grey stored with white as zero, or colours stored multiplied by alpha:
// turn them into the plain form every reader of a bitmap expects.
template <typename T>
void normaliseSamples(Bitmap& bitmap, int rows, bool invertGrey, bool unpremultiply)
{
    constexpr std::uint32_t maxValue = std::numeric_limits<T>::max();
    const int colours = bitmap.samplesPerPixel() - (bitmap.hasAlpha() ? 1 : 0);
    for (int y = 0; y < rows; ++y) {
        RowSamples<T> row(bitmap, y);
        for (int x = 0; x < bitmap.pixelsWide(); ++x) {
            const std::size_t i = std::size_t(x) * row.step;
            if (invertGrey)
                row.sample[0][i] = T(maxValue - row.sample[0][i]);
            if (unpremultiply) {
                const std::uint32_t a = row.sample[colours][i];
                if (a == 0 || a == maxValue)
                    continue;
                for (int c = 0; c < colours; ++c)
                    row.sample[c][i] = T(std::min(maxValue, (row.sample[c][i] * maxValue + a / 2) / a));
            }
        }
    }
}

// Reads the rows of a direct layout; returns how many rows arrived whole.
std::uint32_t readStrips(TIFF* tif, const TiffShape& s, Bitmap& bitmap)
{
    const int planes = bitmap.numberOfPlanes();
    std::vector<std::uint8_t> packed;
    if (s.bitsPerSample < 8)
        packed.resize(std::size_t(TIFFScanlineSize64(tif)));
    for (int plane = 0; plane < planes; ++plane) {
        for (std::uint32_t y = 0; y < s.height; ++y) {
            std::uint8_t* row = bitmap.planeData(plane) + std::size_t(y) * bitmap.bytesPerRow();
            if (TIFFReadScanline(tif, packed.empty() ? row : packed.data(), y, std::uint16_t(plane)) < 0)
                return y;
            if (!packed.empty())
                expandGrey(packed.data(), row, s.width, s.bitsPerSample);
        }
    }
    return s.height;
}

std::uint32_t readTiles(TIFF* tif, const TiffShape& s, Bitmap& bitmap, std::string& error)
{
    const tmsize_t tileBytes = TIFFTileSize(tif);
    const tmsize_t tileRowBytes = TIFFTileRowSize(tif);
    if (tileBytes <= 0 || tileBytes > maxChunkBytes) {
        error = "unsupported TIFF tile size";
        return 0;
    }
    std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileBytes));
    const std::size_t pixelBytes = std::size_t(tileRowBytes) / s.tileWidth;
    for (int plane = 0; plane < bitmap.numberOfPlanes(); ++plane) {
        for (std::uint32_t ty = 0; ty < s.height; ty += s.tileHeight) {
            const std::uint32_t rows = std::min(s.tileHeight, s.height - ty);
            for (std::uint32_t tx = 0; tx < s.width; tx += s.tileWidth) {
                if (TIFFReadTile(tif, tile.data(), tx, ty, 0, std::uint16_t(plane)) < 0)
                    return ty;
                const std::size_t columns = std::min(s.tileWidth, s.width - tx);
                for (std::uint32_t r = 0; r < rows; ++r)
                    std::memcpy(bitmap.planeData(plane) + std::size_t(ty + r) * bitmap.bytesPerRow() + tx * pixelBytes,
                                tile.data() + r * std::size_t(tileRowBytes), columns * pixelBytes);
            }
        }
    }
    return s.height;
}

// A tile is decoded whole into one buffer, here or inside libtiff. Tiles far
// larger than the picture hold nothing but padding: one of 16384 x 16384
// would cost a 4 x 4 picture 256 MB of zeros.
std::string checkTileSize(TIFF* tif, const TiffShape& s)
{
    if (!s.tiled)
        return {};
    constexpr std::uint64_t alwaysAllowed = 16u << 20;
    const std::uint64_t pictureBytes = std::uint64_t(TIFFScanlineSize64(tif)) * s.height
                                       * (s.planar == PLANARCONFIG_SEPARATE ? s.samplesPerPixel : 1u);
    const std::uint64_t tileBytes = TIFFTileSize64(tif);
    if (tileBytes <= std::max(alwaysAllowed, pictureBytes))
        return {};
    return "unsupported TIFF file: its " + std::to_string(s.tileWidth) + " x " + std::to_string(s.tileHeight)
           + " tiles are far larger than the " + std::to_string(s.width) + " x " + std::to_string(s.height) + " picture";
}

DecodeResult decodeDirect(TIFF* tif, const TiffShape& s, TiffMessages& messages)
{
    DecodeResult result;
    Bitmap::Layout layout;
    layout.pixelsWide = int(s.width);
    layout.pixelsHigh = int(s.height);
    layout.bitsPerSample = s.bitsPerSample < 8 ? 8 : s.bitsPerSample;
    layout.samplesPerPixel = s.samplesPerPixel;
    layout.hasAlpha = s.samplesPerPixel > s.colours();
    layout.isPlanar = s.planar == PLANARCONFIG_SEPARATE && s.samplesPerPixel > 1;
    layout.colorSpace = s.grey() ? ColorSpace::CalibratedWhite : ColorSpace::CalibratedRGB;
    auto bitmap = codec::createDecodedBitmap(layout, result.error);
    if (!bitmap)
        return result;

    const std::uint32_t rows = s.tiled ? readTiles(tif, s, *bitmap, result.error) : readStrips(tif, s, *bitmap);
    if (!result.error.empty())
        return result;
    if (rows == 0) {
        result.error = std::string("damaged TIFF file: ") + (messages.errors ? messages.error : "no readable rows");
        return result;
    }
    const bool invert = s.photometric == PHOTOMETRIC_MINISWHITE;
    const bool unpremultiply = layout.hasAlpha && s.extraType == EXTRASAMPLE_ASSOCALPHA;
    if (invert || unpremultiply) {
        if (layout.bitsPerSample == 16)
            normaliseSamples<std::uint16_t>(*bitmap, int(rows), invert, unpremultiply);
        else
            normaliseSamples<std::uint8_t>(*bitmap, int(rows), invert, unpremultiply);
    }
    if (rows < s.height) {
        codec::clearRows(*bitmap, int(rows));
        result.warning = codec::damagedWarning(messages.error, codec::zeroFillingName(layout.hasAlpha));
    }
    result.bitmap = std::move(bitmap);
    return result;
}

DecodeResult decodeThroughRgba(TIFF* tif, const TiffShape& s, TiffMessages& messages)
{
    DecodeResult result;
    char reason[1024] = {};
    if (!TIFFRGBAImageOK(tif, reason)) {
        result.error = std::string("unsupported TIFF file: ") + reason;
        return result;
    }
    // libtiff fills whole 32-bit pixels; without alpha in the file the fourth
    // byte is padding of an RGB layout.
    const bool alpha = s.extraCount > 0;
    Bitmap::Layout layout;
    layout.pixelsWide = int(s.width);
    layout.pixelsHigh = int(s.height);
    layout.samplesPerPixel = alpha ? 4 : 3;
    layout.hasAlpha = alpha;
    layout.bitsPerPixel = 32;
    layout.bytesPerRow = std::size_t(s.width) * 4;
    auto bitmap = codec::createDecodedBitmap(layout, result.error);
    if (!bitmap)
        return result;
    codec::clearRows(*bitmap, 0);
    auto* raster = reinterpret_cast<std::uint32_t*>(bitmap->bitmapData());
    if (!TIFFReadRGBAImageOriented(tif, s.width, s.height, raster, ORIENTATION_TOPLEFT, 0)) {
        result.error = std::string("damaged TIFF file: ") + (messages.errors ? messages.error : "unreadable");
        return result;
    }
    if constexpr (std::endian::native == std::endian::big) {
        // Pixels are packed as A, B, G, R from the high byte down: reverse to R, G, B, A.
        const std::size_t count = std::size_t(s.width) * s.height;
        for (std::size_t i = 0; i < count; ++i)
            raster[i] = __builtin_bswap32(raster[i]);
    }
    if (alpha)
        normaliseSamples<std::uint8_t>(*bitmap, int(s.height), false, true);  // libtiff premultiplies
    if (messages.errors > 0)
        result.warning = codec::damagedWarning(messages.error, "transparent");
    result.bitmap = std::move(bitmap);
    return result;
}

// Writing: a growing byte vector with a position, as libtiff seeks back to patch offsets.
struct MemoryOut {
    std::vector<std::uint8_t>* out;
    toff_t pos;
};

tmsize_t readOut(thandle_t handle, void* buffer, tmsize_t length)
{
    auto* o = static_cast<MemoryOut*>(handle);
    if (length <= 0 || o->pos >= o->out->size())
        return 0;
    const toff_t n = std::min<toff_t>(toff_t(length), o->out->size() - o->pos);
    std::memcpy(buffer, o->out->data() + o->pos, n);
    o->pos += n;
    return tmsize_t(n);
}

tmsize_t writeOut(thandle_t handle, void* buffer, tmsize_t length)
{
    auto* o = static_cast<MemoryOut*>(handle);
    if (length < 0)
        return -1;
    try {
        const toff_t end = o->pos + toff_t(length);
        if (end > o->out->size())
            o->out->resize(end);
        std::memcpy(o->out->data() + o->pos, buffer, std::size_t(length));
        o->pos = end;
        return length;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

toff_t seekOut(thandle_t handle, toff_t offset, int whence)
{
    auto* o = static_cast<MemoryOut*>(handle);
    const toff_t base = whence == SEEK_CUR ? o->pos : whence == SEEK_END ? o->out->size() : 0;
    o->pos = base + offset;
    return o->pos;
}

toff_t sizeOut(thandle_t handle)
{
    return static_cast<MemoryOut*>(handle)->out->size();
}

int mapNothing(thandle_t, void**, toff_t*)
{
    return 0;
}

}  // namespace

bool TiffCodec::matches(std::span<const std::uint8_t> data)
{
    if (data.size() < 4)
        return false;
    const bool intel = data[0] == 'I' && data[1] == 'I' && (data[2] == 42 || data[2] == 43) && data[3] == 0;
    const bool motorola = data[0] == 'M' && data[1] == 'M' && data[2] == 0 && (data[3] == 42 || data[3] == 43);
    return intel || motorola;
}

DecodeResult TiffCodec::decode(std::span<const std::uint8_t> data)
{
    silenceGlobalHandlers();
    DecodeResult result;
    TiffMessages messages;
    TiffOptions options(&messages);
    if (!options.options) {
        result.error = "not enough memory to read the TIFF file";
        return result;
    }
    MemoryIn in{data.data(), toff_t(data.size()), 0};
    TiffHandle handle;
    handle.tif = TIFFClientOpenExt("picture", "r", &in, readIn, writeNone, seekIn, closeNothing, sizeIn, mapIn,
                                   unmapNothing, options.options);
    if (!handle.tif) {
        result.error = std::string("damaged TIFF file: ") + (messages.errors ? messages.error : "unreadable header");
        return result;
    }
    const TiffShape shape = readShape(handle.tif);
    result.error = ImageLimits::check(shape.width, shape.height);
    if (result.error.empty()) {
        // LZW's longest strings, or fax coding's blank lines, squeeze at most
        // some 3,600 stored bytes into one file byte.
        constexpr std::uint64_t maxStoredBytesPerByte = 4096;
        const std::uint64_t pixels = std::uint64_t(shape.width) * shape.height;
        const std::uint64_t samples = std::max<std::uint64_t>(shape.samplesPerPixel, 1);
        const std::uint64_t storedBytes = (pixels * samples * shape.bitsPerSample + 7) / 8;
        const std::uint64_t bitmapBytes = pixels * std::max<std::uint64_t>(4, samples * ((shape.bitsPerSample + 7u) / 8u));
        result.error = ImageLimits::checkFileCanFill(shape.width, shape.height, bitmapBytes, storedBytes, data.size(),
                                                     maxStoredBytesPerByte);
    }
    if (!result.error.empty())
        return result;
    result.error = checkTileSize(handle.tif, shape);
    if (!result.error.empty())
        return result;
    return readsDirectly(shape) ? decodeDirect(handle.tif, shape, messages)
                                : decodeThroughRgba(handle.tif, shape, messages);
}

EncodeResult TiffCodec::encode(const Bitmap& bitmap, const EncodeProperties& properties)
{
    silenceGlobalHandlers();
    EncodeResult result;
    const bool grey = isGreyColorSpace(bitmap.colorSpace());
    const int samples = (grey ? 1 : 3) + (bitmap.hasAlpha() ? 1 : 0);
    const int bits = bitmap.bitsPerSample();
    const bool lzw = properties.compressionMethod == compressionMethodLZW;
    const RowConverter rows(bitmap, samples, bits);
    // Always a copy: libtiff's predictor may work in the caller's row buffer.
    std::vector<std::uint8_t> scratch(rows.rowBytes());

    TiffMessages messages;
    TiffOptions options(&messages);
    if (!options.options) {
        result.error = "not enough memory to write a TIFF file";
        return result;
    }
    MemoryOut out{&result.data, 0};
    TiffHandle handle;
    handle.tif = TIFFClientOpenExt("picture", "w", &out, readOut, writeOut, seekOut, closeNothing, sizeOut,
                                   mapNothing, unmapNothing, options.options);
    if (!handle.tif) {
        result.error = std::string("cannot write TIFF: ") + messages.error;
        return result;
    }
    TIFF* tif = handle.tif;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(bitmap.pixelsWide()));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(bitmap.pixelsHigh()));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(bits));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(samples));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, grey ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    if (bitmap.hasAlpha()) {
        const std::uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    TIFFSetField(tif, TIFFTAG_COMPRESSION, lzw ? COMPRESSION_LZW : COMPRESSION_NONE);
    if (lzw)
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));

    bool written = true;
    for (int y = 0; y < bitmap.pixelsHigh() && written; ++y) {
        const std::uint8_t* row = rows.row(y, scratch.data());
        if (row != scratch.data())
            std::memcpy(scratch.data(), row, scratch.size());
        written = TIFFWriteScanline(tif, scratch.data(), std::uint32_t(y), 0) >= 0;
    }
    // Closing writes the directory; its failures arrive through the handler.
    TIFFClose(handle.tif);
    handle.tif = nullptr;
    if (!written || messages.errors > 0) {
        result.data.clear();
        result.error = std::string("cannot write TIFF: ") + (messages.errors ? messages.error : "write failed");
    }
    return result;
}

}  // namespace korvex
