#include "core/stereo/StereoFrame.h"

#include "core/tasks/BothCores.h"
#include "core/stereo/Squeeze.h"

#include <cstring>
#include <new>
#include <vector>

namespace korvex {

namespace {

constexpr long long maxSide = 65535;

std::string sizeText(long long w, long long h)
{
    return std::to_string(w) + " x " + std::to_string(h);
}

std::uint8_t* rowOf(Bitmap& canvas, int y)
{
    return canvas.bitmapData() + std::size_t(y) * canvas.bytesPerRow();
}

void fillWhite(Bitmap& canvas, int x, int y, int width, int height)
{
    for (int row = y; row < y + height; ++row)
        std::memset(rowOf(canvas, row) + std::size_t(x) * 3, 0xFF, std::size_t(width) * 3);
}

// Both eyes next to each other, `first` on the left.
void fillBeside(const AlignedPair& pair, Eye first, int gap, Bitmap& canvas, std::stop_token stop)
{
    const Eye second = first == Eye::Left ? Eye::Right : Eye::Left;
    const std::size_t secondAt = (std::size_t(pair.width()) + std::size_t(gap)) * 3;
    splitRowsOnBothCores(pair.height(), (long long)canvas.pixelsWide() * canvas.pixelsHigh(), [&](int begin, int end) {
        for (int y = begin; y < end && !stop.stop_requested(); ++y) {
            std::uint8_t* row = rowOf(canvas, y);
            pair.eyeRow(first, y, row);
            std::memset(row + std::size_t(pair.width()) * 3, 0xFF, std::size_t(gap) * 3);
            pair.eyeRow(second, y, row + secondAt);
        }
    });
}

void fillOverUnder(const AlignedPair& pair, int gap, Bitmap& canvas, std::stop_token stop)
{
    const int h = pair.height();
    splitRowsOnBothCores(h, (long long)canvas.pixelsWide() * canvas.pixelsHigh(), [&](int begin, int end) {
        for (int y = begin; y < end && !stop.stop_requested(); ++y) {
            pair.eyeRow(Eye::Left, y, rowOf(canvas, y));
            pair.eyeRow(Eye::Right, y, rowOf(canvas, h + gap + y));
        }
    });
    fillWhite(canvas, 0, h, canvas.pixelsWide(), gap);
}

void fillInterleaved(const AlignedPair& pair, Bitmap& canvas, std::stop_token stop)
{
    splitRowsOnBothCores(pair.height(), (long long)pair.width() * pair.height(), [&](int begin, int end) {
        for (int y = begin; y < end && !stop.stop_requested(); ++y)
            pair.eyeRow(y % 2 == 0 ? Eye::Left : Eye::Right, y, rowOf(canvas, y));
    });
}

void fillHalfSideBySide(const AlignedPair& pair, Bitmap& canvas, std::stop_token stop)
{
    const int w = pair.width();
    const int half = w / 2;
    const Squeeze squeeze(w, half);
    splitRowsOnBothCores(pair.height(), (long long)w * pair.height() * 2, [&](int begin, int end) {
        std::vector<std::uint8_t> eyeRow(std::size_t(w) * 3);
        for (int y = begin; y < end && !stop.stop_requested(); ++y) {
            std::uint8_t* row = rowOf(canvas, y);
            pair.eyeRow(Eye::Left, y, eyeRow.data());
            squeeze.squeezeRow(eyeRow.data(), row);
            pair.eyeRow(Eye::Right, y, eyeRow.data());
            squeeze.squeezeRow(eyeRow.data(), row + std::size_t(w - half) * 3);
        }
    });
    if (w % 2 != 0)
        fillWhite(canvas, half, 0, 1, pair.height());
}

bool fillHalfOverUnder(const AlignedPair& pair, Bitmap& canvas, std::stop_token stop)
{
    const int h = pair.height();
    const int half = h / 2;
    const Squeeze squeeze(h, half);
    const std::size_t bytes = std::size_t(pair.width()) * 3;
    for (const Eye eye : {Eye::Left, Eye::Right}) {
        if (stop.stop_requested())
            return true;
        const std::unique_ptr<Bitmap> picture = pair.eyePicture(eye);
        if (!picture)
            return false;
        const int top = eye == Eye::Left ? 0 : h - half;
        splitRowsOnBothCores(half, (long long)pair.width() * h, [&](int begin, int end) {
            std::vector<std::int32_t> sums(bytes);
            std::vector<const std::uint8_t*> rows;
            for (int i = begin; i < end && !stop.stop_requested(); ++i) {
                rows.clear();
                for (std::size_t k = 0; k < squeeze.weights(i).size(); ++k)
                    rows.push_back(picture->bitmapData() + std::size_t(squeeze.first(i) + int(k)) * picture->bytesPerRow());
                squeeze.squeezeColumnsInto(i, rows.data(), bytes, sums.data(), rowOf(canvas, top + i));
            }
        });
    }
    if (h % 2 != 0)
        fillWhite(canvas, 0, half, pair.width(), 1);
    return true;
}

}  // namespace

StereoFrameSize stereoFrameSize(StereoFormat format, int width, int height, int gap)
{
    long long w = width;
    long long h = height;
    const std::string_view code = stereoFormatInfo(format).code;
    switch (format) {
    case StereoFormat::SideBySide:
    case StereoFormat::CrossEyed: w = 2LL * width + gap; break;
    case StereoFormat::OverUnder: h = 2LL * height + gap; break;
    case StereoFormat::HalfSideBySide:
        if (width < 2)
            return {0, 0, std::string(code) + " needs a result at least 2 pixels wide; this one is " + std::to_string(width)};
        break;
    case StereoFormat::HalfOverUnder:
        if (height < 2)
            return {0, 0, std::string(code) + " needs a result at least 2 pixels high; this one is " + std::to_string(height)};
        break;
    default: break;
    }
    if (w > maxSide || h > maxSide)
        return {0, 0, std::string(code) + " picture would be " + sizeText(w, h) + " pixels; sides are at most "
                          + std::to_string(maxSide)};
    return {int(w), int(h), {}};
}

bool fillStereoFrame(const AlignedPair& pair, StereoFormat format, int gap, Bitmap& canvas, std::stop_token stop)
{
    try {
        switch (format) {
        case StereoFormat::SideBySide: fillBeside(pair, Eye::Left, gap, canvas, stop); return true;
        case StereoFormat::CrossEyed: fillBeside(pair, Eye::Right, gap, canvas, stop); return true;
        case StereoFormat::OverUnder: fillOverUnder(pair, gap, canvas, stop); return true;
        case StereoFormat::HalfSideBySide: fillHalfSideBySide(pair, canvas, stop); return true;
        case StereoFormat::HalfOverUnder: return fillHalfOverUnder(pair, canvas, stop);
        case StereoFormat::InterleavedRows: fillInterleaved(pair, canvas, stop); return true;
        default: return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace korvex
