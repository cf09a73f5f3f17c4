#include "core/imageview/StereoFile.h"

#include "core/imageview/JpsDescriptor.h"
#include "core/imageview/MultiPictureFile.h"
#include "core/imageview/PictureStore.h"

#include <cstring>
#include <optional>
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

std::string sizeText(int w, int h)
{
    return std::to_string(w) + " x " + std::to_string(h);
}

DecodeResult shareCanvas(int width, int height)
{
    DecodeResult result;
    if (width < 1 || height < 1) {
        result.error = "stereo picture too small to split (a share would be " + sizeText(width, height) + " pixels)";
        return result;
    }
    Bitmap::Layout layout;
    layout.pixelsWide = width;
    layout.pixelsHigh = height;
    layout.samplesPerPixel = 4;
    layout.hasAlpha = true;
    result.bitmap = Bitmap::create(layout);
    if (!result.bitmap)
        result.error = "not enough memory for a " + sizeText(width, height) + " picture";
    return result;
}

std::uint8_t* rowOf(Bitmap& b, int y)
{
    return b.bitmapData() + std::size_t(y) * b.bytesPerRow();
}

FrameSplit splitFromDescriptor(const JpsDescriptor& d)
{
    switch (d.layout) {
    case JpsDescriptor::Layout::OverUnder: return {FrameSplit::Kind::OverUnder, d.leftFirst};
    case JpsDescriptor::Layout::Interleaved: return {FrameSplit::Kind::AlternateRowsFromTop, d.leftFirst};
    default: return {FrameSplit::Kind::SideBySide, d.leftFirst};
    }
}

// How a decoded frame is split for the layout its name gives, or nothing
// when the frame stays whole (an ordinary picture, or a JPS file whose
// descriptor marks it as one picture or as a finished anaglyph).
std::optional<FrameSplit> frameSplitFor(std::span<const std::uint8_t> file, StereoLayout layout)
{
    if (layout == StereoLayout::RowInterleaved)
        return FrameSplit{FrameSplit::Kind::RowsFromBottom, true};
    if (layout != StereoLayout::SideBySide)
        return std::nullopt;
    if (const auto descriptor = readJpsDescriptor(file)) {
        if (descriptor->layout == JpsDescriptor::Layout::Mono || descriptor->layout == JpsDescriptor::Layout::Anaglyph)
            return std::nullopt;
        return splitFromDescriptor(*descriptor);
    }
    return FrameSplit{FrameSplit::Kind::SideBySide, true};
}

DecodeResult copyOf(const DecodeResult& source)
{
    DecodeResult copy{nullptr, source.error, source.warning};
    if (!source)
        return copy;
    copy.bitmap = Bitmap::create(source.bitmap->layout());
    if (!copy.bitmap) {
        copy.error = "not enough memory for a second copy of the picture";
        return copy;
    }
    std::memcpy(copy.bitmap->bitmapData(), source.bitmap->bitmapData(), source.bitmap->totalBytes());
    return copy;
}

}  // namespace

StereoLayout stereoLayoutForPath(std::string_view path)
{
    if (endsWith(path, ".jps") || endsWith(path, ".JPS"))
        return StereoLayout::SideBySide;
    if (endsWith(path, ".pns") || endsWith(path, ".PNS"))
        return StereoLayout::RowInterleaved;
    if (endsWith(path, ".mpo") || endsWith(path, ".MPO"))
        return StereoLayout::MultiPicture;
    return StereoLayout::None;
}

DecodeResult cutStereoShare(const Bitmap& frame, FrameSplit split, int role)
{
    const int W = frame.pixelsWide();
    const int H = frame.pixelsHigh();
    const bool first = (role == LeftRole) == split.leftFirst;

    switch (split.kind) {
    case FrameSplit::Kind::SideBySide: {
        const int half = W / 2;
        DecodeResult share = shareCanvas(half, H);
        if (share)
            for (int y = 0; y < H; ++y)
                copyRowAsRGBA(frame, y, first ? 0 : W - half, half, rowOf(*share.bitmap, y));
        return share;
    }
    case FrameSplit::Kind::OverUnder: {
        const int half = H / 2;
        DecodeResult share = shareCanvas(W, half);
        const int top = first ? 0 : H - half;
        if (share)
            for (int y = 0; y < half; ++y)
                copyRowAsRGBA(frame, top + y, 0, W, rowOf(*share.bitmap, y));
        return share;
    }
    case FrameSplit::Kind::AlternateRowsFromTop: {
        const int parity = first ? 0 : 1;
        DecodeResult share = shareCanvas(W, (H - parity + 1) / 2);
        if (share)
            for (int y = parity, row = 0; y < H; y += 2, ++row)
                copyRowAsRGBA(frame, y, 0, W, rowOf(*share.bitmap, row));
        return share;
    }
    case FrameSplit::Kind::RowsFromBottom: {
        const int canvasHigh = H / 2 + 1;
        DecodeResult share = shareCanvas(W, canvasHigh);
        if (!share)
            return share;
        std::memset(share.bitmap->bitmapData(), 0, share.bitmap->totalBytes());
        // Rows count from the bottom edge: role 1 takes rows 1, 3, 5, ...,
        // the others rows 0, 2, 4, ...; each lands on the next canvas row up.
        const int s = role == LeftRole ? 1 : 0;
        for (int k = s; k < H; k += 2)
            copyRowAsRGBA(frame, H - 1 - k, 0, W, rowOf(*share.bitmap, canvasHigh - 1 - (k - s) / 2));
        return share;
    }
    }
    return {};
}

DecodeResult loadStereoShare(std::span<const std::uint8_t> file, StereoLayout layout, int role)
{
    if (layout == StereoLayout::MultiPicture) {
        const MultiPictureIndex index = readMultiPictureIndex(file);
        if (!index.error.empty())
            return DecodeResult{nullptr, index.error, {}};
        if (!index.isStereoPair)
            return decodeImage(index.first);
        return decodeImage(role == LeftRole ? index.first : index.second);
    }

    DecodeResult frame = decodeImage(file);
    if (!frame)
        return frame;
    const std::optional<FrameSplit> split = frameSplitFor(file, layout);
    if (!split)
        return frame;
    DecodeResult share = cutStereoShare(*frame.bitmap, *split, role);
    share.warning = std::move(frame.warning);
    return share;
}

StereoShares loadStereoShares(std::span<const std::uint8_t> file, StereoLayout layout)
{
    StereoShares shares;
    if (layout == StereoLayout::MultiPicture) {
        // Two pictures of their own: nothing is decoded twice either way.
        shares.left = loadStereoShare(file, layout, LeftRole);
        shares.right = loadStereoShare(file, layout, RightRole);
        return shares;
    }
    DecodeResult frame = decodeImage(file);
    const std::optional<FrameSplit> split = frame ? frameSplitFor(file, layout) : std::nullopt;
    if (!split) {
        shares.right = copyOf(frame);
        shares.left = std::move(frame);
        return shares;
    }
    shares.left = cutStereoShare(*frame.bitmap, *split, LeftRole);
    shares.right = cutStereoShare(*frame.bitmap, *split, RightRole);
    shares.left.warning = frame.warning;
    shares.right.warning = std::move(frame.warning);
    return shares;
}

}  // namespace korvex
