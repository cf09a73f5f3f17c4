#include "gui/imageview/DisplayImage.h"

#include "core/bitmap/Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>

namespace korvex {

DisplayImage::Key DisplayImage::keyOf(const Bitmap* bitmap)
{
    if (!bitmap)
        return {};
    return {bitmap,
            bitmap->bitmapData(),
            bitmap->pixelsWide(),
            bitmap->pixelsHigh(),
            bitmap->bitsPerSample(),
            bitmap->samplesPerPixel(),
            bitmap->bytesPerRow(),
            bitmap->isPlanar(),
            bitmap->hasAlpha()};
}

void DisplayImage::update(const Bitmap* bitmap)
{
    const Key key = keyOf(bitmap);
    if (key == key_ && !stale_)
        return;
    key_ = key;
    stale_ = false;
    levels_.clear();
    zoomed_ = QImage();
    zoomedFor_ = 0.0;
    shared_ = false;
    if (!bitmap)
        return;
    QImage base = wrap(*bitmap);
    shared_ = !base.isNull();
    if (base.isNull())
        base = convert(*bitmap);
    if (!base.isNull())
        levels_.push_back(std::move(base));
}

void DisplayImage::invalidate()
{
    stale_ = true;
}

int DisplayImage::levelForZoom(double zoom) const
{
    return levels_.empty() ? 0 : levelForZoom(levels_.front().size(), zoom);
}

int DisplayImage::levelForZoom(QSize full, double zoom)
{
    if (zoom >= 1.0 || zoom <= 0.0)
        return 0;
    const int wanted = int(std::floor(std::log2(1.0 / zoom) + 1e-9));
    int deepest = 0;
    while ((full.width() >> (deepest + 1)) >= 1 && (full.height() >> (deepest + 1)) >= 1)
        ++deepest;
    return std::min(wanted, deepest);
}

const QImage& DisplayImage::level(int k)
{
    while (int(levels_.size()) <= k)
        levels_.push_back(halve(levels_.back()));
    return levels_[std::size_t(k)];
}

const QImage& DisplayImage::forZoom(double zoom)
{
    const int k = levelForZoom(zoom);
    if (zoom >= 1.0 || std::ldexp(zoom, k) == 1.0 || levels_.empty())
        return level(k);
    if (zoomedFor_ != zoom) {
        const QSize full = levels_.front().size();
        const QSize size(std::max(1, int(std::lround(full.width() * zoom))),
                         std::max(1, int(std::lround(full.height() * zoom))));
        zoomed_ = level(k).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        zoomedFor_ = zoom;
    }
    return zoomed_;
}

QSize DisplayImage::sizeForZoom(QSize full, double zoom)
{
    if (zoom >= 1.0 || zoom <= 0.0 || full.isEmpty())
        return full;
    const int k = levelForZoom(full, zoom);
    if (std::ldexp(zoom, k) == 1.0)
        return QSize(full.width() >> k, full.height() >> k);
    return QSize(std::max(1, int(std::lround(full.width() * zoom))), std::max(1, int(std::lround(full.height() * zoom))));
}

QSize DisplayImage::coveredForZoom(QSize full, double zoom)
{
    // Halving drops a trailing odd row or column each time.
    const int k = full.isEmpty() ? 0 : levelForZoom(full, zoom);
    return QSize((full.width() >> k) << k, (full.height() >> k) << k);
}

bool DisplayImage::isReadyFor(double zoom) const
{
    const int k = levelForZoom(zoom);
    if (zoom >= 1.0 || levels_.empty())
        return true;
    if (std::ldexp(zoom, k) == 1.0)
        return int(levels_.size()) > k;
    return zoomedFor_ == zoom;
}

QImage DisplayImage::wrap(const Bitmap& bitmap)
{
    if (bitmap.bitsPerSample() != 8 || bitmap.isPlanar())
        return {};
    QImage::Format format = QImage::Format_Invalid;
    const int spp = bitmap.samplesPerPixel();
    const int bpp = bitmap.bitsPerPixel();
    if (spp == 3 && !bitmap.hasAlpha() && bpp == 24)
        format = QImage::Format_RGB888;
    else if (spp == 4 && bpp == 32)
        format = bitmap.hasAlpha() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888;
    else if (spp == 1 && bpp == 8)
        format = QImage::Format_Grayscale8;
    if (format == QImage::Format_Invalid)
        return {};
    // The const constructor never copies and never writes the bitmap's bytes.
    const std::uint8_t* data = bitmap.bitmapData();
    return QImage(data, bitmap.pixelsWide(), bitmap.pixelsHigh(), qsizetype(bitmap.bytesPerRow()), format);
}

QImage DisplayImage::convert(const Bitmap& bitmap)
{
    const int w = bitmap.pixelsWide();
    const int h = bitmap.pixelsHigh();
    const int spp = bitmap.samplesPerPixel();
    const bool wide = bitmap.bitsPerSample() == 16;
    const int bytesPerSample = wide ? 2 : 1;
    const bool alpha = bitmap.hasAlpha();
    const int colours = alpha ? spp - 1 : spp;
    const bool grey = colours < 3;

    const QImage::Format format = alpha ? QImage::Format_RGBA8888
                                  : grey ? QImage::Format_Grayscale8
                                         : QImage::Format_RGB888;
    QImage out(w, h, format);
    if (out.isNull())
        return out;
    const int outChannels = alpha ? 4 : grey ? 1 : 3;

    auto sampleAt = [&](const std::uint8_t* p) -> std::uint8_t {
        if (!wide)
            return *p;
        std::uint16_t v;
        std::memcpy(&v, p, 2);
        return std::uint8_t((unsigned(v) * 255u + 32767u) / 65535u);
    };

    for (int y = 0; y < h; ++y) {
        std::uint8_t* dst = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            std::uint8_t s[4] = {0, 0, 0, 255};
            for (int i = 0; i < spp && i < 4; ++i) {
                const std::uint8_t* p = bitmap.isPlanar()
                    ? bitmap.planeData(i) + std::size_t(y) * bitmap.bytesPerRow() + std::size_t(x) * bytesPerSample
                    : bitmap.bitmapData() + std::size_t(y) * bitmap.bytesPerRow()
                          + (std::size_t(x) * spp + i) * bytesPerSample;
                s[i] = sampleAt(p);
            }
            std::uint8_t* d = dst + std::size_t(x) * outChannels;
            if (grey && !alpha) {
                d[0] = s[0];
            } else if (grey) {
                d[0] = d[1] = d[2] = s[0];
                d[3] = s[1];
            } else {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                if (alpha)
                    d[3] = s[3];
            }
        }
    }
    return out;
}

QImage DisplayImage::halve(const QImage& source)
{
    // Averaging straight alpha would bleed the colour of transparent pixels.
    const QImage src = source.format() == QImage::Format_RGBA8888
        ? source.convertToFormat(QImage::Format_RGBA8888_Premultiplied)
        : source;
    QImage out(std::max(1, src.width() / 2), std::max(1, src.height() / 2), src.format());
    if (out.isNull())
        return out;
    const int bpp = src.depth() / 8;
    auto rows = [&](int begin, int end) {
        switch (bpp) {
        case 1: halveRows<1>(src, out, begin, end); break;
        case 3: halveRows<3>(src, out, begin, end); break;
        default: halveRows<4>(src, out, begin, end); break;
        }
    };
    // A photograph's first halving reads tens of megabytes: both cores share it.
    const int h = out.height();
    if (std::int64_t(out.width()) * h >= 1 << 20) {
        try {
            std::thread helper(rows, h / 2, h);
            rows(0, h / 2);
            helper.join();
            return out;
        } catch (const std::system_error&) {
            // No thread to be had: do all rows here.
        }
    }
    rows(0, h);
    return out;
}

template <int B>
void DisplayImage::halveRows(const QImage& src, QImage& out, int begin, int end)
{
    const int w = src.width();
    const int h = src.height();
    const int outWide = out.width();
    // Column sums of a row pair first (one straight pass the compiler
    // vectorises), then the pairs of columns. A one-pixel-wide picture
    // pairs its column with itself through the padding pixel.
    const std::size_t n = std::size_t(w) * B;
    std::vector<std::uint16_t> sums(n + B);
    for (int y = begin; y < end; ++y) {
        const std::uint8_t* r0 = src.constScanLine(std::min(2 * y, h - 1));
        const std::uint8_t* r1 = src.constScanLine(std::min(2 * y + 1, h - 1));
        std::uint16_t* sum = sums.data();
        for (std::size_t i = 0; i < n; ++i)
            sum[i] = std::uint16_t(r0[i] + r1[i]);
        if (w == 1)
            for (int c = 0; c < B; ++c)
                sum[B + c] = sum[c];
        std::uint8_t* d = out.scanLine(y);
        for (int x = 0; x < outWide; ++x) {
            const std::uint16_t* pair = sum + std::size_t(x) * 2 * B;
            for (int c = 0; c < B; ++c)
                d[x * B + c] = std::uint8_t((pair[c] + pair[B + c] + 2) >> 2);
        }
    }
}

}  // namespace korvex
