#include "core/bitmap/GifCodec.h"

#include "core/bitmap/CodecSupport.h"
#include "core/bitmap/RowConverter.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace korvex {

namespace {

// One GIF code (at most 12 bits) stands for at most 4096 pixels. A big canvas
// that the file could not fill even so would be nearly all filling: such a
// file is refused before its buffer is allocated.
constexpr std::uint64_t lzwMaxPixelsPerByte = 4096;

struct MemoryIn {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
};

int readGif(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* in = static_cast<MemoryIn*>(gif->UserData);
    const std::size_t n = std::min(std::size_t(std::max(length, 0)), in->size - in->pos);
    std::memcpy(buffer, in->data + in->pos, n);
    in->pos += n;
    return int(n);
}

int writeGif(GifFileType* gif, const GifByteType* buffer, int length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    try {
        out->insert(out->end(), buffer, buffer + length);
        return length;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

std::string gifError(int code)
{
    // giflib leaves the code at zero when a read comes up short.
    if (code == 0)
        return "file ends early";
    const char* text = GifErrorString(code);
    return text ? text : "unknown error";
}

struct DecoderHandle {
    GifFileType* gif = nullptr;
    ~DecoderHandle()
    {
        int error = 0;
        if (gif)
            DGifCloseFile(gif, &error);
    }
};

// Skips to the first image descriptor; returns the transparent index of
// the graphic control block before it, or -1. Sets `error` on failure.
int findFirstFrame(GifFileType* gif, std::string& error)
{
    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            error = gifError(gif->Error);
            return -1;
        }
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR)
                error = gifError(gif->Error);
            return transparent;
        }
        if (type == TERMINATE_RECORD_TYPE) {
            error = "the file holds no picture";
            return -1;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
                error = gifError(gif->Error);
                return -1;
            }
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
                    transparent = gcb.TransparentColor;
            }
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                    error = gifError(gif->Error);
                    return -1;
                }
            }
        }
    }
}

// giflib's quantiser sorts through a file-level static: one caller at a time.
std::mutex quantizerMutex;

struct EncoderHandle {
    GifFileType* gif = nullptr;
    ~EncoderHandle()
    {
        int error = 0;
        if (gif)
            EGifCloseFile(gif, &error);
    }
};

struct MapHandle {
    ColorMapObject* map = nullptr;
    ~MapHandle() { GifFreeMapObject(map); }
};

// Indexes the opaque pixels with their exact colours; false when there are
// more than `limit` of them.
bool indexExactly(const std::vector<std::uint8_t>& red, const std::vector<std::uint8_t>& green,
                  const std::vector<std::uint8_t>& blue, const std::vector<std::uint8_t>& opaque,
                  std::vector<std::uint8_t>& indices, std::vector<GifColorType>& palette, int limit)
{
    constexpr std::size_t slots = 1024;  // a power of two well above 256
    std::array<std::uint32_t, slots> keys{};
    std::array<std::uint8_t, slots> values{};
    palette.clear();
    for (std::size_t i = 0; i < red.size(); ++i) {
        if (!opaque[i])
            continue;
        const std::uint32_t key = 0x1000000u | (std::uint32_t(red[i]) << 16) | (std::uint32_t(green[i]) << 8) | blue[i];
        std::size_t slot = (key * 2654435761u) >> 22 & (slots - 1);
        while (keys[slot] != 0 && keys[slot] != key)
            slot = (slot + 1) & (slots - 1);
        if (keys[slot] == 0) {
            if (int(palette.size()) == limit)
                return false;
            keys[slot] = key;
            values[slot] = std::uint8_t(palette.size());
            palette.push_back(GifColorType{red[i], green[i], blue[i]});
        }
        indices[i] = values[slot];
    }
    return true;
}

bool quantize(unsigned width, unsigned height, std::vector<std::uint8_t>& red, std::vector<std::uint8_t>& green,
              std::vector<std::uint8_t>& blue, const std::vector<std::uint8_t>& opaque,
              std::vector<std::uint8_t>& indices, std::vector<GifColorType>& palette, int limit)
{
    int size = limit;
    palette.assign(256, GifColorType{0, 0, 0});
    {
        std::lock_guard lock(quantizerMutex);
        if (GifQuantizeBuffer(width, height, &size, red.data(), green.data(), blue.data(), indices.data(),
                              palette.data())
            == GIF_ERROR)
            return false;
    }
    palette.resize(std::size_t(std::clamp(size, 1, limit)));
    // The quantiser's entries come from 5-bit cells (white turns 248): move
    // each to the true mean of its pixels.
    std::vector<std::array<std::uint64_t, 4>> sums(palette.size(), {0, 0, 0, 0});
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (!opaque[i] || indices[i] >= palette.size())
            continue;
        auto& s = sums[indices[i]];
        s[0] += red[i];
        s[1] += green[i];
        s[2] += blue[i];
        ++s[3];
    }
    for (std::size_t p = 0; p < palette.size(); ++p) {
        const auto& s = sums[p];
        if (s[3] == 0)
            continue;
        palette[p] = GifColorType{GifByteType((s[0] + s[3] / 2) / s[3]), GifByteType((s[1] + s[3] / 2) / s[3]),
                                  GifByteType((s[2] + s[3] / 2) / s[3])};
    }
    return true;
}

}  // namespace

bool GifCodec::matches(std::span<const std::uint8_t> data)
{
    return data.size() >= 6
           && (std::memcmp(data.data(), "GIF87a", 6) == 0 || std::memcmp(data.data(), "GIF89a", 6) == 0);
}

DecodeResult GifCodec::decode(std::span<const std::uint8_t> data)
{
    DecodeResult result;
    MemoryIn in{data.data(), data.size(), 0};
    int openError = 0;
    DecoderHandle handle;
    handle.gif = DGifOpen(&in, readGif, &openError);
    if (!handle.gif) {
        result.error = "damaged GIF file: " + gifError(openError);
        return result;
    }
    GifFileType* gif = handle.gif;
    // The screen is the canvas: refuse an absurd one before reading further.
    result.error = ImageLimits::check(std::uint64_t(std::max(gif->SWidth, 1)), std::uint64_t(std::max(gif->SHeight, 1)));
    if (!result.error.empty())
        return result;
    std::string reason;
    const int transparent = findFirstFrame(gif, reason);
    if (!reason.empty()) {
        result.error = "damaged GIF file: " + reason;
        return result;
    }
    const GifImageDesc& frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0) {
        result.error = "damaged GIF file: empty picture";
        return result;
    }
    // The screen is the picture; a frame that sticks out of it widens it.
    const long width = std::max<long>(gif->SWidth, long(frame.Left) + frame.Width);
    const long height = std::max<long>(gif->SHeight, long(frame.Top) + frame.Height);
    result.error = ImageLimits::check(std::uint64_t(width), std::uint64_t(height));
    if (!result.error.empty())
        return result;
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    result.error = ImageLimits::checkFileCanFill(std::uint64_t(width), std::uint64_t(height), pixels * 4, pixels,
                                                 data.size(), lzwMaxPixelsPerByte);
    if (!result.error.empty())
        return result;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!colours || !colours->Colors) {
        result.error = "damaged GIF file: no colour table";
        return result;
    }

    // Indices beyond the table read as opaque black.
    std::array<std::array<std::uint8_t, 4>, 256> palette;
    palette.fill({0, 0, 0, 255});
    for (int i = 0; i < std::min(colours->ColorCount, 256); ++i)
        palette[std::size_t(i)] = {colours->Colors[i].Red, colours->Colors[i].Green, colours->Colors[i].Blue, 255};
    if (transparent >= 0 && transparent < 256)
        palette[std::size_t(transparent)][3] = 0;

    Bitmap::Layout layout;
    layout.pixelsWide = int(width);
    layout.pixelsHigh = int(height);
    layout.samplesPerPixel = 4;
    layout.hasAlpha = true;
    auto bitmap = codec::createDecodedBitmap(layout, result.error);
    if (!bitmap)
        return result;
    codec::clearRows(*bitmap, 0);

    std::vector<GifPixelType> line(std::size_t(frame.Width));
    static constexpr int passStart[4] = {0, 4, 2, 1};
    static constexpr int passStep[4] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    int rowsDone = 0;
    bool failed = false;
    for (int pass = 0; pass < passes && !failed; ++pass) {
        const int start = frame.Interlace ? passStart[pass] : 0;
        const int step = frame.Interlace ? passStep[pass] : 1;
        for (int y = start; y < frame.Height; y += step) {
            if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) {
                failed = true;
                break;
            }
            std::uint8_t* out = bitmap->bitmapData() + std::size_t(frame.Top + y) * bitmap->bytesPerRow()
                                + std::size_t(frame.Left) * 4;
            for (int x = 0; x < frame.Width; ++x, out += 4)
                std::memcpy(out, palette[line[std::size_t(x)]].data(), 4);
            ++rowsDone;
        }
    }
    if (failed) {
        if (rowsDone == 0) {
            result.error = "damaged GIF file: " + gifError(gif->Error);
            return result;
        }
        result.warning = codec::damagedWarning(gifError(gif->Error), "transparent");
    }
    result.bitmap = std::move(bitmap);
    return result;
}

EncodeResult GifCodec::encode(const Bitmap& bitmap)
{
    EncodeResult result;
    if (bitmap.pixelsWide() > 65535 || bitmap.pixelsHigh() > 65535) {
        result.error = "GIF pictures are at most 65535 pixels wide and high";
        return result;
    }
    const unsigned width = unsigned(bitmap.pixelsWide());
    const unsigned height = unsigned(bitmap.pixelsHigh());
    const std::size_t count = std::size_t(width) * height;

    std::vector<std::uint8_t> red(count), green(count), blue(count), opaque(count), indices(count, 0);
    const RowConverter rows(bitmap, 4, 8);
    std::vector<std::uint8_t> scratch(rows.rowBytes());
    bool anyTransparent = false;
    for (unsigned y = 0; y < height; ++y) {
        const std::uint8_t* p = rows.row(int(y), scratch.data());
        const std::size_t base = std::size_t(y) * width;
        for (unsigned x = 0; x < width; ++x, p += 4) {
            red[base + x] = p[0];
            green[base + x] = p[1];
            blue[base + x] = p[2];
            opaque[base + x] = p[3] >= 128;
            anyTransparent |= p[3] < 128;
        }
    }

    const int limit = anyTransparent ? 255 : 256;
    std::vector<GifColorType> palette;
    if (!indexExactly(red, green, blue, opaque, indices, palette, limit)
        && !quantize(width, height, red, green, blue, opaque, indices, palette, limit)) {
        result.error = "cannot write GIF: the colours could not be reduced";
        return result;
    }
    const int transparentIndex = int(palette.size());
    if (anyTransparent) {
        for (std::size_t i = 0; i < count; ++i)
            if (!opaque[i])
                indices[i] = GifPixelType(transparentIndex);
    }
    const int entries = transparentIndex + (anyTransparent ? 1 : 0);
    const int bits = std::max(1, GifBitSize(entries));
    palette.resize(std::size_t(1) << bits, GifColorType{0, 0, 0});

    MapHandle map;
    map.map = GifMakeMapObject(1 << bits, palette.data());
    int openError = 0;
    EncoderHandle handle;
    if (map.map)
        handle.gif = EGifOpen(&result.data, writeGif, &openError);
    if (!handle.gif) {
        result.error = "cannot write GIF: " + (map.map ? gifError(openError) : std::string("not enough memory"));
        return result;
    }
    GifFileType* gif = handle.gif;
    bool ok = true;
    if (anyTransparent) {
        EGifSetGifVersion(gif, true);
        ok = EGifPutScreenDesc(gif, int(width), int(height), bits, 0, map.map) == GIF_OK;
        GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, transparentIndex};
        GifByteType extension[4];
        EGifGCBToExtension(&gcb, extension);
        ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK;
    } else {
        ok = EGifPutScreenDesc(gif, int(width), int(height), bits, 0, map.map) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, int(width), int(height), false, nullptr) == GIF_OK;
    for (unsigned y = 0; y < height && ok; ++y)
        ok = EGifPutLine(gif, indices.data() + std::size_t(y) * width, int(width)) == GIF_OK;
    int closeError = 0;
    const int errorCode = ok ? 0 : gif->Error;
    handle.gif = nullptr;
    const bool closed = EGifCloseFile(gif, &closeError) == GIF_OK;
    if (!ok || !closed) {
        result.data.clear();
        result.error = "cannot write GIF: " + gifError(ok ? closeError : errorCode);
    }
    return result;
}

}  // namespace korvex
