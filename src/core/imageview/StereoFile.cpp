#include "core/imageview/StereoFile.h"

#include "core/imageview/PictureStore.h"

#include <cstring>
#include <string>

namespace korvex {

namespace {

bool endsWith(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// Copies `width` pixels of source row `srcRow` from column `srcX` into an RGBA row.
void copyRowAsRGBA(const Bitmap& src, int srcRow, int srcX, int width, std::uint8_t* out)
{
    const Bitmap::Layout& l = src.layout();
    const bool meshed8 = !l.isPlanar && l.bitsPerSample == 8;
    if (meshed8 && !isGreyColorSpace(l.colorSpace)) {
        const int stride = l.bitsPerPixel / 8;
        const std::uint8_t* in = src.bitmapData() + std::size_t(srcRow) * l.bytesPerRow + std::size_t(srcX) * stride;
        if (l.hasAlpha && l.samplesPerPixel == 4 && stride == 4) {
            std::memcpy(out, in, std::size_t(width) * 4);
            return;
        }
        for (int x = 0; x < width; ++x, in += stride, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = l.hasAlpha ? in[3] : 255;
        }
        return;
    }
    if (meshed8) {  // grey, with or without alpha
        const int stride = l.bitsPerPixel / 8;
        const std::uint8_t* in = src.bitmapData() + std::size_t(srcRow) * l.bytesPerRow + std::size_t(srcX) * stride;
        for (int x = 0; x < width; ++x, in += stride, out += 4) {
            out[0] = out[1] = out[2] = in[0];
            out[3] = l.hasAlpha ? in[1] : 255;
        }
        return;
    }
    for (int x = 0; x < width; ++x, out += 4) {  // 16-bit or planar: rare, take the slow road
        const Color c = src.colorAt(srcX + x, srcRow);
        out[0] = std::uint8_t(c.red * 255.0 + 0.5);
        out[1] = std::uint8_t(c.green * 255.0 + 0.5);
        out[2] = std::uint8_t(c.blue * 255.0 + 0.5);
        out[3] = std::uint8_t(c.alpha * 255.0 + 0.5);
    }
}

std::unique_ptr<Bitmap> makeShareCanvas(int width, int height)
{
    Bitmap::Layout layout;
    layout.pixelsWide = width;
    layout.pixelsHigh = height;
    layout.samplesPerPixel = 4;
    layout.hasAlpha = true;
    return Bitmap::create(layout);
}

}  // namespace

StereoLayout stereoLayoutForPath(std::string_view path)
{
    if (endsWith(path, ".jps") || endsWith(path, ".JPS"))
        return StereoLayout::SideBySide;
    if (endsWith(path, ".pns") || endsWith(path, ".PNS"))
        return StereoLayout::RowInterleaved;
    return StereoLayout::None;
}

DecodeResult cutStereoShare(const Bitmap& frame, StereoLayout layout, int role)
{
    DecodeResult result;
    const int W = frame.pixelsWide();
    const int H = frame.pixelsHigh();
    const bool left = role == LeftRole;

    if (layout == StereoLayout::SideBySide) {
        const int half = W / 2;
        if (half < 1) {
            result.error = "stereo picture too narrow to split: " + std::to_string(W) + " pixel wide";
            return result;
        }
        auto share = makeShareCanvas(half, H);
        if (!share) {
            result.error = "not enough memory for a " + std::to_string(half) + " x " + std::to_string(H) + " picture";
            return result;
        }
        const int firstColumn = left ? 0 : W - half;
        for (int y = 0; y < H; ++y)
            copyRowAsRGBA(frame, y, firstColumn, half, share->bitmapData() + std::size_t(y) * share->bytesPerRow());
        result.bitmap = std::move(share);
        return result;
    }

    if (layout == StereoLayout::RowInterleaved) {
        const int canvasHigh = H / 2 + 1;
        auto share = makeShareCanvas(W, canvasHigh);
        if (!share) {
            result.error = "not enough memory for a " + std::to_string(W) + " x " + std::to_string(canvasHigh) + " picture";
            return result;
        }
        std::memset(share->bitmapData(), 0, share->totalBytes());
        // Rows count from the bottom edge: role 1 takes rows 1, 3, 5, ...,
        // the others rows 0, 2, 4, ...; each lands on the next canvas row up.
        const int s = left ? 1 : 0;
        for (int k = s; k < H; k += 2) {
            const int sourceRow = H - 1 - k;
            const int canvasRow = canvasHigh - 1 - (k - s) / 2;
            copyRowAsRGBA(frame, sourceRow, 0, W, share->bitmapData() + std::size_t(canvasRow) * share->bytesPerRow());
        }
        result.bitmap = std::move(share);
        return result;
    }

    result.error = "not a stereo file";
    return result;
}

}  // namespace korvex
