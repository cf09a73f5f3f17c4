#include "core/bitmap/Bitmap.h"

#include "core/bitmap/PixelMemory.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace korvex {

std::string_view colorSpaceName(ColorSpace space)
{
    switch (space) {
    case ColorSpace::CalibratedRGB: return "NSCalibratedRGBColorSpace";
    case ColorSpace::DeviceRGB: return "NSDeviceRGBColorSpace";
    case ColorSpace::CalibratedWhite: return "NSCalibratedWhiteColorSpace";
    case ColorSpace::DeviceWhite: return "NSDeviceWhiteColorSpace";
    }
    return "NSCalibratedRGBColorSpace";
}

bool isGreyColorSpace(ColorSpace space)
{
    return space == ColorSpace::CalibratedWhite || space == ColorSpace::DeviceWhite;
}

Color Color::rgb(double r, double g, double b, double a)
{
    return Color{ColorSpace::DeviceRGB, r, g, b, a};
}

Color Color::grey(double white, double a)
{
    return Color{ColorSpace::DeviceWhite, white, white, white, a};
}

namespace {

constexpr std::size_t rowAlignment = 16;

bool layoutIsValid(const Bitmap::Layout& l)
{
    if (l.pixelsWide < 1 || l.pixelsHigh < 1)
        return false;
    if (l.bitsPerSample != 8 && l.bitsPerSample != 16)
        return false;
    if (l.samplesPerPixel < 1 || l.samplesPerPixel > 4)
        return false;
    const int colourSamples = l.samplesPerPixel - (l.hasAlpha ? 1 : 0);
    if (isGreyColorSpace(l.colorSpace) ? colourSamples != 1 : colourSamples != 3)
        return false;
    return true;
}

// Fills in the chosen row and pixel strides; the pixel bytes the layout
// needs, or 0 when it is inconsistent or too large.
std::size_t completeLayout(Bitmap::Layout& layout)
{
    if (!layoutIsValid(layout))
        return 0;
    const std::size_t bytesPerSample = std::size_t(layout.bitsPerSample) / 8;
    const int packedBitsPerPixel = layout.isPlanar ? layout.bitsPerSample
                                                   : layout.bitsPerSample * layout.samplesPerPixel;
    if (layout.bitsPerPixel == 0)
        layout.bitsPerPixel = packedBitsPerPixel;
    if (layout.bitsPerPixel < packedBitsPerPixel || layout.bitsPerPixel % 8 != 0)
        return 0;
    const std::size_t minRow = std::size_t(layout.pixelsWide) * std::size_t(layout.bitsPerPixel / 8);
    if (layout.bytesPerRow == 0)
        layout.bytesPerRow = (minRow + rowAlignment - 1) / rowAlignment * rowAlignment;
    if (layout.bytesPerRow < minRow || layout.bytesPerRow % bytesPerSample != 0)
        return 0;

    const std::size_t planes = layout.isPlanar ? std::size_t(layout.samplesPerPixel) : 1;
    const std::size_t rows = std::size_t(layout.pixelsHigh);
    if (layout.bytesPerRow > Bitmap::maxBytes / rows / planes)
        return 0;
    return layout.bytesPerRow * rows * planes;
}

}  // namespace

std::unique_ptr<Bitmap> Bitmap::create(const Layout& requested)
{
    Layout layout = requested;
    const std::size_t bytes = completeLayout(layout);
    if (bytes == 0)
        return nullptr;
    Pixels data = allocatePixels(bytes);
    if (!data)
        return nullptr;
    return std::unique_ptr<Bitmap>(new Bitmap(layout, std::move(data), bytes));
}

std::unique_ptr<Bitmap> Bitmap::createOver(const Layout& requested, std::uint8_t* memory, std::size_t bytes)
{
    Layout layout = requested;
    const std::size_t needed = completeLayout(layout);
    if (needed == 0 || needed > bytes || !memory)
        return nullptr;
    return std::unique_ptr<Bitmap>(new Bitmap(layout, Pixels(memory, FreePixels{false}), bytes));
}

std::size_t Bitmap::bytesFor(Layout layout)
{
    return completeLayout(layout);
}

std::unique_ptr<Bitmap> Bitmap::createRGBCanvas(int pixelsWide, int pixelsHigh)
{
    Layout layout;
    layout.pixelsWide = pixelsWide;
    layout.pixelsHigh = pixelsHigh;
    return create(layout);
}

std::unique_ptr<Bitmap> Bitmap::createRGBCanvas(int pixelsWide, int pixelsHigh, std::unique_ptr<Bitmap> recycled)
{
    Layout layout;
    layout.pixelsWide = pixelsWide;
    layout.pixelsHigh = pixelsHigh;
    const std::size_t bytes = completeLayout(layout);
    if (bytes == 0)
        return nullptr;
    if (recycled && recycled->capacity_ >= bytes && recycled->capacity_ / 2 <= bytes)
        return std::unique_ptr<Bitmap>(new Bitmap(layout, std::move(recycled->data_), recycled->capacity_));
    recycled.reset();  // its memory goes back before the new canvas takes more
    return create(layout);
}

Bitmap::Pixels Bitmap::allocatePixels(std::size_t bytes)
{
    return Pixels(allocatePixelMemory(bytes).release(), FreePixels{});
}

void Bitmap::FreePixels::operator()(std::uint8_t* pixels) const
{
    if (owned)
        FreePixelMemory()(pixels);
}

Bitmap::Bitmap(const Layout& layout, Pixels data, std::size_t capacity)
    : layout_(layout), size_{double(layout.pixelsWide), double(layout.pixelsHigh)}, data_(std::move(data)),
      capacity_(capacity)
{
}

double Bitmap::sample(int x, int y, int s) const
{
    const std::size_t bytesPerSample = std::size_t(layout_.bitsPerSample) / 8;
    const std::uint8_t* p;
    if (layout_.isPlanar)
        p = planeData(s) + std::size_t(y) * layout_.bytesPerRow + std::size_t(x) * bytesPerSample;
    else
        p = bitmapData() + std::size_t(y) * layout_.bytesPerRow + std::size_t(x) * std::size_t(layout_.bitsPerPixel / 8)
            + std::size_t(s) * bytesPerSample;
    if (bytesPerSample == 1)
        return *p / 255.0;
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v / 65535.0;
}

void Bitmap::setSample(int x, int y, int s, double value)
{
    const std::size_t bytesPerSample = std::size_t(layout_.bitsPerSample) / 8;
    std::uint8_t* p;
    if (layout_.isPlanar)
        p = planeData(s) + std::size_t(y) * layout_.bytesPerRow + std::size_t(x) * bytesPerSample;
    else
        p = bitmapData() + std::size_t(y) * layout_.bytesPerRow + std::size_t(x) * std::size_t(layout_.bitsPerPixel / 8)
            + std::size_t(s) * bytesPerSample;
    const double clamped = std::clamp(std::isnan(value) ? 0.0 : value, 0.0, 1.0);
    if (bytesPerSample == 1) {
        *p = std::uint8_t(std::lround(clamped * 255.0));
    } else {
        const std::uint16_t v = std::uint16_t(std::lround(clamped * 65535.0));
        std::memcpy(p, &v, sizeof v);
    }
}

Color Bitmap::colorAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= layout_.pixelsWide || y >= layout_.pixelsHigh)
        return Color::rgb(0, 0, 0, 0);
    const double alpha = layout_.hasAlpha ? sample(x, y, layout_.samplesPerPixel - 1) : 1.0;
    const ColorSpace space = layout_.colorSpace;
    if (isGreyColorSpace(space)) {
        const double w = sample(x, y, 0);
        return Color{space, w, w, w, alpha};
    }
    return Color{space, sample(x, y, 0), sample(x, y, 1), sample(x, y, 2), alpha};
}

void Bitmap::setColor(const Color& color, int x, int y)
{
    if (x < 0 || y < 0 || x >= layout_.pixelsWide || y >= layout_.pixelsHigh)
        return;
    if (isGreyColorSpace(layout_.colorSpace)) {
        setSample(x, y, 0, color.white());
    } else {
        setSample(x, y, 0, color.red);
        setSample(x, y, 1, color.green);
        setSample(x, y, 2, color.blue);
    }
    if (layout_.hasAlpha)
        setSample(x, y, layout_.samplesPerPixel - 1, color.alpha);
}

}  // namespace korvex
