#include "core/bitmap/RowConverter.h"

#include <cstring>
#include <limits>

namespace korvex {

namespace {

template <typename S, typename D>
inline D rescale(std::uint32_t v)
{
    if constexpr (sizeof(S) == sizeof(D))
        return D(v);
    else if constexpr (sizeof(S) == 1)
        return D(v * 257u);
    else
        return D((v * 255u + 32767u) / 65535u);
}

template <typename S, typename D>
void convertRow(const Bitmap& bitmap, int y, int targetSamples, std::uint8_t* target)
{
    constexpr std::uint32_t sourceMax = std::numeric_limits<S>::max();
    constexpr std::uint32_t targetMax = std::numeric_limits<D>::max();
    const int sourceSamples = bitmap.samplesPerPixel();
    const bool sourceAlpha = bitmap.hasAlpha();
    const int sourceColours = sourceSamples - (sourceAlpha ? 1 : 0);
    const bool targetAlpha = targetSamples == 2 || targetSamples == 4;
    const int targetColours = targetSamples - (targetAlpha ? 1 : 0);
    const bool flatten = sourceAlpha && !targetAlpha;
    const std::size_t rowOffset = std::size_t(y) * bitmap.bytesPerRow();

    const S* planes[4];
    std::size_t step;
    if (bitmap.isPlanar()) {
        for (int s = 0; s < sourceSamples; ++s)
            planes[s] = reinterpret_cast<const S*>(bitmap.planeData(s) + rowOffset);
        step = 1;
    } else {
        const S* first = reinterpret_cast<const S*>(bitmap.bitmapData() + rowOffset);
        for (int s = 0; s < sourceSamples; ++s)
            planes[s] = first + s;
        step = std::size_t(bitmap.bitsPerPixel()) / 8 / sizeof(S);
    }
    const S* colour[3];
    for (int c = 0; c < targetColours; ++c)
        colour[c] = planes[sourceColours == 1 ? 0 : c];
    const S* alpha = sourceAlpha ? planes[sourceSamples - 1] : nullptr;

    D* out = reinterpret_cast<D*>(target);
    const int width = bitmap.pixelsWide();
    for (int x = 0; x < width; ++x) {
        const std::size_t i = std::size_t(x) * step;
        const std::uint32_t a = alpha ? alpha[i] : sourceMax;
        for (int c = 0; c < targetColours; ++c) {
            std::uint32_t v = colour[c][i];
            if (flatten)
                v = (v * a + sourceMax * (sourceMax - a) + sourceMax / 2) / sourceMax;
            *out++ = rescale<S, D>(v);
        }
        if (targetAlpha)
            *out++ = alpha ? rescale<S, D>(a) : D(targetMax);
    }
}

}  // namespace

RowConverter::RowConverter(const Bitmap& bitmap, int targetSamples, int targetBits)
    : bitmap_(bitmap), targetSamples_(targetSamples), targetBits_(targetBits)
{
    direct_ = !bitmap.isPlanar() && bitmap.bitsPerSample() == targetBits
              && bitmap.samplesPerPixel() == targetSamples
              && bitmap.bitsPerPixel() == targetBits * targetSamples;
}

std::size_t RowConverter::rowBytes() const
{
    return std::size_t(bitmap_.pixelsWide()) * std::size_t(targetSamples_) * std::size_t(targetBits_ / 8);
}

const std::uint8_t* RowConverter::row(int y, std::uint8_t* scratch) const
{
    if (direct_)
        return bitmap_.bitmapData() + std::size_t(y) * bitmap_.bytesPerRow();
    const bool wide = bitmap_.bitsPerSample() == 16;
    if (targetBits_ == 16) {
        if (wide)
            convertRow<std::uint16_t, std::uint16_t>(bitmap_, y, targetSamples_, scratch);
        else
            convertRow<std::uint8_t, std::uint16_t>(bitmap_, y, targetSamples_, scratch);
    } else {
        if (wide)
            convertRow<std::uint16_t, std::uint8_t>(bitmap_, y, targetSamples_, scratch);
        else
            convertRow<std::uint8_t, std::uint8_t>(bitmap_, y, targetSamples_, scratch);
    }
    return scratch;
}

}  // namespace korvex
