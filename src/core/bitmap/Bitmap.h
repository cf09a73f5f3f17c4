#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace korvex {

// A size or point in picture units (doubles; after a load one unit is one pixel).
struct Size {
    double width = 0.0;
    double height = 0.0;
    bool operator==(const Size&) const = default;
};

struct Point {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const Point&) const = default;
};

enum class ColorSpace {
    CalibratedRGB,
    DeviceRGB,
    CalibratedWhite,
    DeviceWhite,
};

std::string_view colorSpaceName(ColorSpace space);
bool isGreyColorSpace(ColorSpace space);

// One pixel's colour, components 0.0 to 1.0. A grey colour answers white;
// its red, green and blue are all equal to white.
struct Color {
    ColorSpace space = ColorSpace::DeviceRGB;
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double alpha = 1.0;

    static Color rgb(double r, double g, double b, double a = 1.0);
    static Color grey(double white, double a = 1.0);

    bool isGrey() const { return isGreyColorSpace(space); }
    double white() const { return isGrey() ? red : (red + green + blue) / 3.0; }
};

// A picture in memory: the stand-in for the platform bitmap. It keeps the
// layout its maker chose (bits per sample, samples per pixel, alpha, planar
// or meshed, row padding); readers take the geometry from it. Sample rows run
// from the top edge down; 16-bit samples are stored in native byte order.
class Bitmap {
public:
    struct Layout {
        int pixelsWide = 0;
        int pixelsHigh = 0;
        int bitsPerSample = 8;    // 8 or 16
        int samplesPerPixel = 3;  // 1 to 4, alpha included
        bool hasAlpha = false;
        bool isPlanar = false;
        ColorSpace colorSpace = ColorSpace::CalibratedRGB;
        std::size_t bytesPerRow = 0;  // 0: chosen by the bitmap (rows padded to 16 bytes)
        int bitsPerPixel = 0;         // 0: chosen by the bitmap; meshed only
    };

    // Allocates its own pixel buffer (not cleared). Null when a dimension is
    // below 1, the layout is inconsistent, or memory is short.
    static std::unique_ptr<Bitmap> create(const Layout& layout);
    // A bitmap over pixel memory that it does not own and that outlives it,
    // such as one band of a larger block. Null when the layout is
    // inconsistent or needs more than `bytes`.
    static std::unique_ptr<Bitmap> createOver(const Layout& layout, std::uint8_t* memory, std::size_t bytes);
    // The pixel bytes a bitmap of the layout takes; 0 when it is inconsistent.
    static std::size_t bytesFor(Layout layout);

    // The result canvas: 8-bit RGB, three samples, meshed, calibrated RGB.
    static std::unique_ptr<Bitmap> createRGBCanvas(int pixelsWide, int pixelsHigh);
    // The same canvas, made in the pixel memory of a bitmap that is no longer
    // needed when that memory is large enough and not more than twice what
    // is needed. A composition per command would otherwise have the system
    // clear tens of megabytes of fresh pages each time.
    static std::unique_ptr<Bitmap> createRGBCanvas(int pixelsWide, int pixelsHigh, std::unique_ptr<Bitmap> recycled);

    // Largest byte count that create() will allocate for one bitmap.
    static constexpr std::size_t maxBytes = std::size_t(4) << 30;

    int pixelsWide() const { return layout_.pixelsWide; }
    int pixelsHigh() const { return layout_.pixelsHigh; }
    Size size() const { return size_; }
    void setSize(Size size) { size_ = size; }
    int bitsPerSample() const { return layout_.bitsPerSample; }
    int samplesPerPixel() const { return layout_.samplesPerPixel; }
    bool hasAlpha() const { return layout_.hasAlpha; }
    int bitsPerPixel() const { return layout_.bitsPerPixel; }
    std::size_t bytesPerRow() const { return layout_.bytesPerRow; }
    bool isPlanar() const { return layout_.isPlanar; }
    int numberOfPlanes() const { return layout_.isPlanar ? layout_.samplesPerPixel : 1; }
    ColorSpace colorSpace() const { return layout_.colorSpace; }
    std::string_view colorSpaceName() const { return korvex::colorSpaceName(layout_.colorSpace); }
    const Layout& layout() const { return layout_; }

    // First sample byte of the top row (of plane 0 when planar).
    std::uint8_t* bitmapData() { return data_.get(); }
    const std::uint8_t* bitmapData() const { return data_.get(); }
    std::uint8_t* planeData(int plane) { return data_.get() + planeBytes() * std::size_t(plane); }
    const std::uint8_t* planeData(int plane) const { return data_.get() + planeBytes() * std::size_t(plane); }
    std::size_t planeBytes() const { return layout_.bytesPerRow * std::size_t(layout_.pixelsHigh); }
    std::size_t totalBytes() const { return planeBytes() * std::size_t(numberOfPlanes()); }

    // Colour at column x, row y counted from the top: sample / maximum sample.
    Color colorAt(int x, int y) const;
    // Stores a colour; each component is clamped to 0..1 and rounded to the
    // nearest sample value (component * 255 or * 65535, halves away from zero).
    // A grey bitmap stores the colour's white; an RGB one converts a grey
    // colour to r = g = b. Alpha is stored only if the bitmap has it.
    void setColor(const Color& color, int x, int y);

private:
    struct FreePixels {
        bool owned = true;
        void operator()(std::uint8_t* pixels) const;
    };
    using Pixels = std::unique_ptr<std::uint8_t[], FreePixels>;
    static Pixels allocatePixels(std::size_t bytes);

    Bitmap(const Layout& layout, Pixels data, std::size_t capacity);

    double sample(int x, int y, int s) const;
    void setSample(int x, int y, int s, double value);

    Layout layout_;
    Size size_;
    Pixels data_;
    std::size_t capacity_;  // bytes allocated for the pixels
};

}  // namespace korvex
