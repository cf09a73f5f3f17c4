#include "core/stereo/WiggleAnimation.h"

#include <gif_lib.h>
#include <libimagequant.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

namespace korvex {

namespace {

constexpr int maxGifSide = 65535;

struct AttrDeleter { void operator()(liq_attr* a) const { liq_attr_destroy(a); } };
struct ImageDeleter { void operator()(liq_image* i) const { liq_image_destroy(i); } };
struct HistogramDeleter { void operator()(liq_histogram* h) const { liq_histogram_destroy(h); } };
struct ResultDeleter { void operator()(liq_result* r) const { liq_result_destroy(r); } };
struct MapDeleter { void operator()(ColorMapObject* m) const { GifFreeMapObject(m); } };

struct EyeSource {
    const AlignedPair* pair;
    Eye eye;
};

// libimagequant asks for rows as it needs them, maybe from several threads.
void eyeRowAsRGBA(liq_color out[], int row, int width, void* user)
{
    const auto* source = static_cast<const EyeSource*>(user);
    thread_local std::vector<std::uint8_t> rgb;
    rgb.resize(std::size_t(width) * 3);
    source->pair->eyeRow(source->eye, row, rgb.data());
    for (int x = 0; x < width; ++x)
        out[x] = liq_color{rgb[std::size_t(x) * 3], rgb[std::size_t(x) * 3 + 1], rgb[std::size_t(x) * 3 + 2], 255};
}

int appendGif(GifFileType* gif, const GifByteType* bytes, int length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    try {
        out->insert(out->end(), bytes, bytes + length);
        return length;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

struct Frame {
    std::vector<std::uint8_t> indices;
    std::unique_ptr<ColorMapObject, MapDeleter> palette;
};

std::string quantiserError(liq_error code)
{
    return code == LIQ_OUT_OF_MEMORY ? "not enough memory to choose the GIF palette"
                                     : "cannot choose the GIF palette (error " + std::to_string(int(code)) + ")";
}

// Both frames' colours in one histogram, so the eyes start from one palette.
std::string quantise(const AlignedPair& pair, Frame (&frames)[2])
{
    std::unique_ptr<liq_attr, AttrDeleter> attr(liq_attr_create());
    if (!attr)
        return quantiserError(LIQ_OUT_OF_MEMORY);
    const EyeSource sources[2] = {{&pair, Eye::Left}, {&pair, Eye::Right}};
    std::unique_ptr<liq_image, ImageDeleter> images[2];
    std::unique_ptr<liq_histogram, HistogramDeleter> histogram(liq_histogram_create(attr.get()));
    if (!histogram)
        return quantiserError(LIQ_OUT_OF_MEMORY);
    for (int i = 0; i < 2; ++i) {
        images[i].reset(liq_image_create_custom(attr.get(), eyeRowAsRGBA, const_cast<EyeSource*>(&sources[i]),
                                                pair.width(), pair.height(), 0.0));
        if (!images[i])
            return quantiserError(LIQ_OUT_OF_MEMORY);
        if (const liq_error e = liq_histogram_add_image(histogram.get(), attr.get(), images[i].get()); e != LIQ_OK)
            return quantiserError(e);
    }
    liq_result* raw = nullptr;
    if (const liq_error e = liq_histogram_quantize(histogram.get(), attr.get(), &raw); e != LIQ_OK)
        return quantiserError(e);
    std::unique_ptr<liq_result, ResultDeleter> result(raw);
    liq_set_dithering_level(result.get(), 1.0f);

    for (int i = 0; i < 2; ++i) {
        frames[i].indices.resize(std::size_t(pair.width()) * std::size_t(pair.height()));
        if (const liq_error e = liq_write_remapped_image(result.get(), images[i].get(), frames[i].indices.data(),
                                                         frames[i].indices.size());
            e != LIQ_OK)
            return quantiserError(e);
        // Remapping refines the palette for the frame it maps: take it now.
        const liq_palette* palette = liq_get_palette(result.get());
        int entries = 2;
        while (entries < int(palette->count))
            entries *= 2;
        frames[i].palette.reset(GifMakeMapObject(entries, nullptr));
        if (!frames[i].palette)
            return quantiserError(LIQ_OUT_OF_MEMORY);
        for (int c = 0; c < entries; ++c) {
            const liq_color colour = c < int(palette->count) ? palette->entries[c] : liq_color{0, 0, 0, 255};
            frames[i].palette->Colors[c] = GifColorType{colour.r, colour.g, colour.b};
        }
    }
    return {};
}

bool putLoopForever(GifFileType* gif)
{
    const GifByteType loop[3] = {1, 0, 0};  // sub-block 1, repeat count 0: forever
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK
        && EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(gif, 3, loop) == GIF_OK
        && EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool putFrame(GifFileType* gif, Frame& frame, int width, int height, int centiseconds)
{
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = centiseconds;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK
        || EGifPutImageDesc(gif, 0, 0, width, height, false, frame.palette.get()) != GIF_OK)
        return false;
    for (int y = 0; y < height; ++y)
        if (EGifPutLine(gif, frame.indices.data() + std::size_t(y) * std::size_t(width), width) != GIF_OK)
            return false;
    return true;
}

}  // namespace

EncodeResult encodeWiggleGif(const AlignedPair& pair, int frameMilliseconds)
{
    EncodeResult result;
    const int w = pair.width();
    const int h = pair.height();
    if (w > maxGifSide || h > maxGifSide) {
        result.error = "GIF pictures are at most 65535 pixels wide and high";
        return result;
    }
    try {
        Frame frames[2];
        result.error = quantise(pair, frames);
        if (!result.error.empty())
            return result;

        int openError = 0;
        GifFileType* gif = EGifOpen(&result.data, appendGif, &openError);
        if (!gif) {
            result.error = "cannot write GIF: " + std::string(GifErrorString(openError) ? GifErrorString(openError) : "");
            return result;
        }
        EGifSetGifVersion(gif, true);
        const int centiseconds = (frameMilliseconds + 5) / 10;
        bool ok = EGifPutScreenDesc(gif, w, h, 8, 0, nullptr) == GIF_OK && putLoopForever(gif);
        for (Frame& frame : frames)
            ok = ok && putFrame(gif, frame, w, h, centiseconds);
        const int writeError = gif->Error;
        int closeError = 0;
        if (EGifCloseFile(gif, &closeError) != GIF_OK || !ok) {
            const char* text = GifErrorString(ok ? closeError : writeError);
            result.data.clear();
            result.error = std::string("cannot write GIF: ") + (text ? text : "unknown error");
        }
    } catch (const std::bad_alloc&) {
        result.data.clear();
        result.error = "not enough memory to write the GIF animation";
    }
    return result;
}

}  // namespace korvex
