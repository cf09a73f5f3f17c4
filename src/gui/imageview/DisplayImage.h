#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvex {

class Bitmap;

// What a picture view paints from: a QImage over the bitmap's own bytes where
// Qt can read that layout (8-bit RGB, RGBA, grey), or one conversion per
// picture otherwise, plus reduced copies for zoomed-out drawing, each made the
// first time a zoom needs it. Nothing is converted or scaled per paint.
class DisplayImage {
public:
    // Follows the bitmap: rebuilds when the bitmap or its buffer or layout is
    // no longer the one the image was made from (so a shared image never
    // outlives its bytes), and drops the copies after invalidate().
    void update(const Bitmap* bitmap);
    // The picture's pixels may have changed in place.
    void invalidate();

    bool isNull() const { return levels_.empty(); }
    // Level 0 is the full picture; level k is about 1 / 2^k of its size.
    // The deepest level whose pixels are still at least as fine as the zoom
    // asks for; never deeper than the picture allows.
    int levelForZoom(double zoom) const;
    static int levelForZoom(QSize full, double zoom);
    const QImage& level(int k);
    // What to draw at a zoom: the full picture when enlarging, else a copy
    // reduced to the zoomed size, from a halved level or scaled once per zoom.
    const QImage& forZoom(double zoom);
    // The size of what forZoom draws for a picture of `full` pixels.
    static QSize sizeForZoom(QSize full, double zoom);
    // The part of the picture, from its top-left, that it is made from.
    static QSize coveredForZoom(QSize full, double zoom);
    // Whether forZoom would answer at once, with nothing to reduce first.
    bool isReadyFor(double zoom) const;
    bool sharesBitmapBytes() const { return shared_; }

private:
    struct Key {
        const Bitmap* bitmap = nullptr;
        const std::uint8_t* data = nullptr;
        int wide = 0, high = 0, bitsPerSample = 0, samplesPerPixel = 0;
        std::size_t bytesPerRow = 0;
        bool planar = false, alpha = false;
        bool operator==(const Key&) const = default;
    };
    static Key keyOf(const Bitmap* bitmap);
    static QImage wrap(const Bitmap& bitmap);
    static QImage convert(const Bitmap& bitmap);
    static QImage halve(const QImage& source);
    template <int BytesPerPixel>
    static void halveRows(const QImage& source, QImage& out, int beginRow, int endRow);

    Key key_;
    bool stale_ = false;
    bool shared_ = false;
    std::vector<QImage> levels_;
    QImage zoomed_;
    double zoomedFor_ = 0.0;
};

}  // namespace korvex
