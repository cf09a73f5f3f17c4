#include "core/compose/AnaglyphComposer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>

namespace korvex {

namespace {

// Exact tables of the byte path's arithmetic: the integer mean of three bytes
// and the truncated division by 1.2 done in double precision.
struct ByteTables {
    std::array<std::uint8_t, 256> dim{};       // trunc(v / 1.2)
    std::array<std::uint8_t, 766> mean{};      // (b0 + b1 + b2) / 3
    std::array<std::uint8_t, 766> dimMean{};   // trunc(((b0 + b1 + b2) / 3) / 1.2)

    ByteTables()
    {
        for (int v = 0; v < 256; ++v)
            dim[v] = std::uint8_t(int(double(v) / 1.2));
        for (int sum = 0; sum < 766; ++sum) {
            mean[sum] = std::uint8_t(sum / 3);
            dimMean[sum] = dim[sum / 3];
        }
    }
};

const ByteTables& byteTables()
{
    static const ByteTables tables;
    return tables;
}

enum class Mode { Colour, ColourDimmed, Grey, GreyDimmed };

struct Rows {
    const std::uint8_t* a;  // red-channel picture at its first used pixel
    const std::uint8_t* b;  // green-blue picture at its first used pixel
    std::size_t aBytesPerRow;
    std::size_t bBytesPerRow;
    std::uint8_t* out;
    std::size_t outBytesPerRow;
    int width;
};

// Sixteen bytes at a time for the commonest case, two 24-bit pictures in
// colour: every third byte comes from A, the others from B, so a block of
// sixteen pixels is three masked blends with no shuffling. GCC and Clang turn
// these vector types into SIMD on any target.
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
using Words16 = std::uint16_t __attribute__((vector_size(32)));

inline Bytes16 load16(const std::uint8_t* p)
{
    Bytes16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// trunc(v / 1.2) for every byte. That is floor(5v / 6) = v - ceil(v / 6), and
// for x up to 260, floor(x / 6) = (x * 171) >> 10: all in 16 bits, no division.
inline Bytes16 dim16(Bytes16 v)
{
    const Words16 w = __builtin_convertvector(v, Words16);
    const Words16 dimmed = w - (((w + 5) * 171) >> 10);
    return __builtin_convertvector(dimmed, Bytes16);
}

template <bool Dimmed>
int fillColourRow24(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* o, int width)
{
    constexpr std::uint8_t X = 0xFF;
    // Red bytes of a 48-byte block: positions 0, 3, 6, ... 45.
    constexpr Bytes16 red[3] = {
        {X, 0, 0, X, 0, 0, X, 0, 0, X, 0, 0, X, 0, 0, X},
        {0, 0, X, 0, 0, X, 0, 0, X, 0, 0, X, 0, 0, X, 0},
        {0, X, 0, 0, X, 0, 0, X, 0, 0, X, 0, 0, X, 0, 0},
    };
    int x = 0;
    for (; x + 16 <= width; x += 16, a += 48, b += 48, o += 48) {
        for (int i = 0; i < 3; ++i) {
            const Bytes16 av = load16(a + 16 * i);
            Bytes16 bv = load16(b + 16 * i);
            if constexpr (Dimmed)
                bv = dim16(bv);
            const Bytes16 ov = (av & red[i]) | (bv & ~red[i]);
            std::memcpy(o + 16 * i, &ov, sizeof ov);
        }
    }
    return x;
}

// Strides are template arguments so the inner loop has constant offsets.
template <int SA, int SB, Mode M>
void fillRows(const Rows& r, int firstRow, int endRow)
{
    const ByteTables& t = byteTables();
    const std::uint8_t* aRow = r.a + r.aBytesPerRow * std::size_t(firstRow);
    const std::uint8_t* bRow = r.b + r.bBytesPerRow * std::size_t(firstRow);
    std::uint8_t* outRow = r.out + r.outBytesPerRow * std::size_t(firstRow);
    for (int y = firstRow; y < endRow; ++y) {
        int x = 0;
        if constexpr (SA == 3 && SB == 3 && (M == Mode::Colour || M == Mode::ColourDimmed))
            x = fillColourRow24<M == Mode::ColourDimmed>(aRow, bRow, outRow, r.width);
        const std::uint8_t* a = aRow + x * SA;
        const std::uint8_t* b = bRow + x * SB;
        std::uint8_t* o = outRow + x * 3;
        for (; x < r.width; ++x, a += SA, b += SB, o += 3) {
            if constexpr (M == Mode::Colour) {
                o[0] = a[0];
                o[1] = b[1];
                o[2] = b[2];
            } else if constexpr (M == Mode::ColourDimmed) {
                o[0] = a[0];
                o[1] = t.dim[b[1]];
                o[2] = t.dim[b[2]];
            } else {
                const auto& greenBlue = M == Mode::Grey ? t.mean : t.dimMean;
                o[0] = t.mean[a[0] + a[1] + a[2]];
                const std::uint8_t g = greenBlue[b[0] + b[1] + b[2]];
                o[1] = g;
                o[2] = g;
            }
        }
        aRow += r.aBytesPerRow;
        bRow += r.bBytesPerRow;
        outRow += r.outBytesPerRow;
    }
}

using RowFiller = void (*)(const Rows&, int, int);

template <Mode M>
RowFiller fillerForStrides(int sa, int sb)
{
    if (sa == 3)
        return sb == 3 ? &fillRows<3, 3, M> : &fillRows<3, 4, M>;
    return sb == 3 ? &fillRows<4, 3, M> : &fillRows<4, 4, M>;
}

RowFiller fillerFor(Mode mode, int sa, int sb)
{
    switch (mode) {
    case Mode::Colour: return fillerForStrides<Mode::Colour>(sa, sb);
    case Mode::ColourDimmed: return fillerForStrides<Mode::ColourDimmed>(sa, sb);
    case Mode::Grey: return fillerForStrides<Mode::Grey>(sa, sb);
    case Mode::GreyDimmed: return fillerForStrides<Mode::GreyDimmed>(sa, sb);
    }
    return nullptr;
}

// Samples per pixel as the byte path walks them: a 32-bit pixel of three
// samples carries a pad byte.
int byteStride(const Bitmap& bitmap)
{
    const int s = bitmap.samplesPerPixel();
    const int p = bitmap.bitsPerPixel();
    return s == 3 && p == 32 ? 4 : s;
}

}  // namespace

bool AnaglyphComposer::qualifiesForBytePath(const Bitmap& bitmap)
{
    const int s = byteStride(bitmap);
    const int p = bitmap.bitsPerPixel();
    return ((s == 3 && p == 24) || (s == 4 && p == 32)) && !bitmap.isPlanar() && bitmap.numberOfPlanes() == 1;
}

AnaglyphComposer::Path AnaglyphComposer::pathFor(const Bitmap& left, const Bitmap& right)
{
    return qualifiesForBytePath(left) && qualifiesForBytePath(right) ? Path::Bytes : Path::PerPixel;
}

void AnaglyphComposer::compose(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry,
                               Bitmap& result) const
{
    if (pathFor(left, right) == Path::Bytes)
        composeBytes(left, right, geometry, result);
    else
        composePerPixel(left, right, geometry, result);
}

void AnaglyphComposer::composeBytes(const Bitmap& left, const Bitmap& right, const OverlapGeometry& g,
                                    Bitmap& result) const
{
    const int sl = byteStride(left);
    const int sr = byteStride(right);
    const std::uint8_t* leftStart = left.bitmapData() + left.bytesPerRow() * std::size_t(g.vl) + std::size_t(g.ul) * sl;
    const std::uint8_t* rightStart =
        right.bitmapData() + right.bytesPerRow() * std::size_t(g.vr) + std::size_t(g.ur) * sr;

    const bool rightFeedsRed = glasses_ >= 4;
    Rows rows;
    rows.a = rightFeedsRed ? rightStart : leftStart;
    rows.b = rightFeedsRed ? leftStart : rightStart;
    rows.aBytesPerRow = rightFeedsRed ? right.bytesPerRow() : left.bytesPerRow();
    rows.bBytesPerRow = rightFeedsRed ? left.bytesPerRow() : right.bytesPerRow();
    rows.out = result.bitmapData();
    rows.outBytesPerRow = result.bytesPerRow();
    rows.width = g.pixelsWide();
    const int sa = rightFeedsRed ? sr : sl;
    const int sb = rightFeedsRed ? sl : sr;

    const bool dimmed = glasses_ == 2 || glasses_ == 5;
    const Mode mode = colorize_ ? (dimmed ? Mode::ColourDimmed : Mode::Colour)
                                : (dimmed ? Mode::GreyDimmed : Mode::Grey);
    const RowFiller fill = fillerFor(mode, sa, sb);

    const int height = g.pixelsHigh();
    if ((long long)rows.width * height < parallelThreshold || height < 2) {
        fill(rows, 0, height);
        return;
    }
    // The rows are independent: the second half goes to a helper thread.
    const int split = height / 2;
    try {
        std::thread helper(fill, std::cref(rows), split, height);
        fill(rows, 0, split);
        helper.join();
    } catch (const std::system_error&) {
        // No thread to be had: do the whole picture here.
        fill(rows, 0, height);
    }
}

void AnaglyphComposer::composePerPixel(const Bitmap& left, const Bitmap& right, const OverlapGeometry& g,
                                       Bitmap& result) const
{
    const bool rightFeedsRed = glasses_ >= 4;
    const Bitmap& a = rightFeedsRed ? right : left;
    const Bitmap& b = rightFeedsRed ? left : right;
    const int ua = rightFeedsRed ? g.ur : g.ul;
    const int va = rightFeedsRed ? g.vr : g.vl;
    const int ub = rightFeedsRed ? g.ul : g.ur;
    const int vb = rightFeedsRed ? g.vl : g.vr;

    // Decided once, from the top-left pixel of each whole picture.
    const bool greyPair = a.colorAt(0, 0).isGrey() && b.colorAt(0, 0).isGrey();

    const int width = g.pixelsWide();
    const int height = g.pixelsHigh();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Color ca = a.colorAt(ua + x, va + y);
            const Color cb = b.colorAt(ub + x, vb + y);
            double red, green, blue;
            if (greyPair) {
                red = ca.white();
                green = blue = cb.white();
            } else if (colorize_) {
                // A grey picture beside a colour one reads as r = g = b.
                red = ca.red;
                green = cb.green;
                blue = cb.blue;
            } else {
                red = (ca.red + ca.green + ca.blue) / 3.0;
                green = blue = (cb.red + cb.green + cb.blue) / 3.0;
            }
            result.setColor(Color::rgb(red, green, blue, 0.0), x, y);
        }
    }
}

}  // namespace korvex
