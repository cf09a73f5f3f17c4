#include "core/compose/AnaglyphComposer.h"

#include "core/compose/GlassesTypes.h"
#include "core/compose/GreyRowBlocks.h"
#include "core/compose/MatrixComposer.h"
#include "core/tasks/BothCores.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

enum class Mode { Colour, ColourDimmed, Grey };

// Sixteen bytes at a time for the commonest case, two 24-bit pictures in
// colour: each byte comes from A or B by its channel, so a block of
// sixteen pixels is three masked blends with no shuffling. GCC and Clang turn
// these vector types into SIMD on any target.
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
using Words16 = std::uint16_t __attribute__((vector_size(32)));

struct Rows {
    const std::uint8_t* a;  // left picture at its first used pixel
    const std::uint8_t* b;  // right picture at its first used pixel
    std::size_t aBytesPerRow;
    std::size_t bBytesPerRow;
    std::uint8_t* out;
    std::size_t outBytesPerRow;
    int width;
    ChannelSet fromA;   // output channels taken from A; the others from B
    ChannelSet dimmed;  // output channels divided by 1.2
};

// 0xFF in the bytes of a 48-byte block (three 16-byte vectors of 24-bit
// pixels) that belong to the channels of the set.
std::array<Bytes16, 3> channelBytes(ChannelSet channels)
{
    std::array<Bytes16, 3> masks{};
    for (int i = 0; i < 48; ++i)
        masks[std::size_t(i / 16)][i % 16] = hasChannel(channels, i % 3) ? 0xFF : 0;
    return masks;
}


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
int fillColourRow24(const Rows& r, const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* o)
{
    const std::array<Bytes16, 3> fromA = channelBytes(r.fromA);
    const std::array<Bytes16, 3> dimmed = channelBytes(r.dimmed);
    int x = 0;
    for (; x + 16 <= r.width; x += 16, a += 48, b += 48, o += 48) {
        for (std::size_t i = 0; i < 3; ++i) {
            const Bytes16 av = load16(a + 16 * i);
            const Bytes16 bv = load16(b + 16 * i);
            Bytes16 ov = (av & fromA[i]) | (bv & ~fromA[i]);
            if constexpr (Dimmed)
                ov = (dim16(ov) & dimmed[i]) | (ov & ~dimmed[i]);
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
    // Per output channel: 1 when it comes from A, and the grey table it uses.
    int fromA[3];
    const std::uint8_t* greyTable[3];
    for (int c = 0; c < 3; ++c) {
        fromA[c] = hasChannel(r.fromA, c);
        greyTable[c] = hasChannel(r.dimmed, c) ? t.dimMean.data() : t.mean.data();
    }
    const std::uint8_t* aRow = r.a + r.aBytesPerRow * std::size_t(firstRow);
    const std::uint8_t* bRow = r.b + r.bBytesPerRow * std::size_t(firstRow);
    std::uint8_t* outRow = r.out + r.outBytesPerRow * std::size_t(firstRow);
    for (int y = firstRow; y < endRow; ++y) {
        int x = 0;
        if constexpr (M == Mode::Grey)
            x = fillGreyRowBlocks(aRow, SA, bRow, SB, outRow, r.width, r.fromA, r.dimmed);
        else if constexpr (SA == 3 && SB == 3)
            x = fillColourRow24<M == Mode::ColourDimmed>(r, aRow, bRow, outRow);
        const std::uint8_t* a = aRow + x * SA;
        const std::uint8_t* b = bRow + x * SB;
        std::uint8_t* o = outRow + x * 3;
        for (; x < r.width; ++x, a += SA, b += SB, o += 3) {
            if constexpr (M == Mode::Grey) {
                const int sums[2] = {b[0] + b[1] + b[2], a[0] + a[1] + a[2]};
                for (int c = 0; c < 3; ++c)
                    o[c] = greyTable[c][sums[fromA[c]]];
            } else {
                const std::uint8_t* sources[2] = {b, a};
                for (int c = 0; c < 3; ++c) {
                    const std::uint8_t v = sources[fromA[c]][c];
                    o[c] = M == Mode::ColourDimmed && hasChannel(r.dimmed, c) ? t.dim[v] : v;
                }
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
    }
    return nullptr;
}

}  // namespace

int AnaglyphComposer::bytePathStride(const Bitmap& bitmap)
{
    const int s = bitmap.samplesPerPixel();
    const int p = bitmap.bitsPerPixel();
    return s == 3 && p == 32 ? 4 : s;
}

bool AnaglyphComposer::qualifiesForBytePath(const Bitmap& bitmap)
{
    const int s = bytePathStride(bitmap);
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
    composeOnPath(pathFor(left, right), left, right, geometry, result);
}

void AnaglyphComposer::composeOnPath(Path path, const Bitmap& left, const Bitmap& right,
                                     const OverlapGeometry& geometry, Bitmap& result) const
{
    if (const std::optional<ChannelMixing> mixing = channelMixing(method_, glasses_, customMatrices_)) {
        MatrixComposer(*mixing).compose(left, right, geometry, result);
        return;
    }
    if (path == Path::Bytes && pathFor(left, right) == Path::Bytes)
        composeBytes(left, right, geometry, result);
    else
        composePerPixel(left, right, geometry, result);
}

void AnaglyphComposer::composeBytes(const Bitmap& left, const Bitmap& right, const OverlapGeometry& g,
                                    Bitmap& result) const
{
    const int sl = bytePathStride(left);
    const int sr = bytePathStride(right);
    const GlassesType& type = glassesType(glasses_);
    Rows rows;
    rows.a = left.bitmapData() + left.bytesPerRow() * std::size_t(g.vl) + std::size_t(g.ul) * sl;
    rows.b = right.bitmapData() + right.bytesPerRow() * std::size_t(g.vr) + std::size_t(g.ur) * sr;
    rows.aBytesPerRow = left.bytesPerRow();
    rows.bBytesPerRow = right.bytesPerRow();
    rows.out = result.bitmapData();
    rows.outBytesPerRow = result.bytesPerRow();
    rows.width = g.pixelsWide();
    rows.fromA = type.classicFromLeft;
    rows.dimmed = type.classicDimmed;

    const Mode mode = !colorize_ ? Mode::Grey : type.classicDimmed ? Mode::ColourDimmed : Mode::Colour;
    const RowFiller fill = fillerFor(mode, sl, sr);
    splitRowsOnBothCores(g.pixelsHigh(), (long long)rows.width * g.pixelsHigh(), [&](int firstRow, int endRow) { fill(rows, firstRow, endRow); });
}

void AnaglyphComposer::composePerPixel(const Bitmap& left, const Bitmap& right, const OverlapGeometry& g,
                                       Bitmap& result) const
{
    const ChannelSet fromLeft = glassesType(glasses_).classicFromLeft;
    // Decided once, from the top-left pixel of each whole picture.
    const bool greyPair = left.colorAt(0, 0).isGrey() && right.colorAt(0, 0).isGrey();

    const int width = g.pixelsWide();
    const int height = g.pixelsHigh();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Color sources[2] = {right.colorAt(g.ur + x, g.vr + y), left.colorAt(g.ul + x, g.vl + y)};
            double out[3];
            for (int c = 0; c < 3; ++c) {
                const Color& source = sources[hasChannel(fromLeft, c)];
                if (greyPair)
                    out[c] = source.white();
                else if (colorize_)  // a grey picture beside a colour one reads as r = g = b
                    out[c] = c == 0 ? source.red : c == 1 ? source.green : source.blue;
                else
                    out[c] = (source.red + source.green + source.blue) / 3.0;
            }
            result.setColor(Color::rgb(out[0], out[1], out[2], 0.0), x, y);
        }
    }
}

}  // namespace korvex
