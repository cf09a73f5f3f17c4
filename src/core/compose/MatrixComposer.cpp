#include "core/compose/MatrixComposer.h"

#include "core/compose/AnaglyphComposer.h"
#include "core/compose/FixedPointMix.h"
#include "core/compose/LinearLightMixAvx512.h"
#include "core/tasks/BothCores.h"
#include "core/compose/SrgbCurve.h"
#include "core/compose/SrgbTables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

namespace korvex {

namespace {

// The byte path adds six table entries per pixel. Each entry holds one input
// byte's share of all three output channels, as three signed fields of 21
// bits packed in 64, so one addition sums all three channels at once. A bias
// in the left red entries keeps every field of the sum positive, which makes
// the fields separable by shifts. Components are fixed point with 1.0 as
// `unitValue`; the sum is clamped to 0..unitValue and rounded to a 14-bit
// index into the output table (plain rounding or the sRGB encoding curve).
constexpr int fieldBits = 21;
constexpr std::uint64_t fieldMask = (std::uint64_t(1) << fieldBits) - 1;
constexpr std::int64_t bias = std::int64_t(1) << (fieldBits - 1);
constexpr int indexBits = srgbEncodingIndexBits;
constexpr int outputSize = srgbEncodingEntries;

// Plain rounding of the index to a byte, beside the sRGB encoding table.
const std::array<std::uint8_t, outputSize>& plainOutputTable()
{
    static const std::array<std::uint8_t, outputSize> table = [] {
        std::array<std::uint8_t, outputSize> t{};
        for (int i = 0; i < outputSize; ++i)
            t[std::size_t(i)] = std::uint8_t(std::lround(255.0 * double(i) / (1 << indexBits)));
        return t;
    }();
    return table;
}

struct MixTables {
    std::uint64_t left[3][256];
    std::uint64_t right[3][256];
    const std::uint8_t* output;
    int indexShift;  // unitValue = 1 << (indexBits + indexShift)
};

// The finest fixed point whose sums cannot leave a field: the worst sum of a
// row is the sum of its coefficients' magnitudes.
int indexShiftFor(const MixingMatrices& m)
{
    int worstRow = 0;
    for (int row = 0; row < 3; ++row) {
        int magnitude = 0;
        for (int column = 0; column < 3; ++column)
            magnitude += std::abs(m.left[std::size_t(row * 3 + column)]) + std::abs(m.right[std::size_t(row * 3 + column)]);
        worstRow = std::max(worstRow, magnitude);
    }
    int shift = 2;
    while (shift > 0 && (std::int64_t(worstRow) << (indexBits + shift)) >= bias * MixingMatrices::unit)
        --shift;
    return shift;
}

std::unique_ptr<MixTables> buildTables(const ChannelMixing& mixing)
{
    auto t = std::make_unique<MixTables>();
    t->indexShift = indexShiftFor(mixing.matrices);
    t->output = mixing.linearLight ? srgbEncodingTable() : plainOutputTable().data();
    const double unitValue = double(1 << (indexBits + t->indexShift));
    for (int column = 0; column < 3; ++column) {
        for (int byte = 0; byte < 256; ++byte) {
            const double c = byte / 255.0;
            const double value = mixing.linearLight ? srgbToLinear(c) : c;
            std::uint64_t left = 0;
            std::uint64_t right = 0;
            for (int row = 0; row < 3; ++row) {
                const std::size_t i = std::size_t(row * 3 + column);
                const double scale = value * unitValue / MixingMatrices::unit;
                std::int64_t l = std::llround(mixing.matrices.left[i] * scale);
                const std::int64_t r = std::llround(mixing.matrices.right[i] * scale);
                if (column == 0)
                    l += bias;
                left += std::uint64_t(l) << (fieldBits * row);
                right += std::uint64_t(r) << (fieldBits * row);
            }
            t->left[column][byte] = left;
            t->right[column][byte] = right;
        }
    }
    return t;
}

template <int SL, int SR>
void mixRows(const MixTables& t, const std::uint8_t* leftStart, std::size_t leftBytesPerRow,
             const std::uint8_t* rightStart, std::size_t rightBytesPerRow, std::uint8_t* outStart,
             std::size_t outBytesPerRow, int width, int firstRow, int endRow)
{
    const std::int64_t unitValue = std::int64_t(1) << (indexBits + t.indexShift);
    const int shift = t.indexShift;
    const std::int64_t half = shift > 0 ? std::int64_t(1) << (shift - 1) : 0;
    const std::uint8_t* output = t.output;
    for (int y = firstRow; y < endRow; ++y) {
        const std::uint8_t* l = leftStart + leftBytesPerRow * std::size_t(y);
        const std::uint8_t* r = rightStart + rightBytesPerRow * std::size_t(y);
        std::uint8_t* o = outStart + outBytesPerRow * std::size_t(y);
        for (int x = 0; x < width; ++x, l += SL, r += SR, o += 3) {
            const std::uint64_t sum = t.left[0][l[0]] + t.left[1][l[1]] + t.left[2][l[2]] + t.right[0][r[0]]
                                      + t.right[1][r[1]] + t.right[2][r[2]];
            for (int c = 0; c < 3; ++c) {
                std::int64_t v = std::int64_t((sum >> (fieldBits * c)) & fieldMask) - bias;
                v = std::clamp<std::int64_t>(v, 0, unitValue);
                o[c] = output[(v + half) >> shift];
            }
        }
    }
}

}  // namespace

void MatrixComposer::compose(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry,
                             Bitmap& result) const
{
    if (AnaglyphComposer::pathFor(left, right) == AnaglyphComposer::Path::Bytes)
        composeBytes(left, right, geometry, result);
    else
        composePerPixel(left, right, geometry, result);
}

void MatrixComposer::composeBytes(const Bitmap& left, const Bitmap& right, const OverlapGeometry& g,
                                  Bitmap& result) const
{
    const int sl = AnaglyphComposer::bytePathStride(left);
    const int sr = AnaglyphComposer::bytePathStride(right);
    const std::uint8_t* leftStart = left.bitmapData() + left.bytesPerRow() * std::size_t(g.vl) + std::size_t(g.ul) * sl;
    const std::uint8_t* rightStart =
        right.bitmapData() + right.bytesPerRow() * std::size_t(g.vr) + std::size_t(g.ur) * sr;
    const int width = g.pixelsWide();
    if (const std::unique_ptr<FixedPointMix> fixed = mixing_.linearLight ? nullptr : FixedPointMix::plan(mixing_.matrices)) {
        splitRowsOnBothCores(g.pixelsHigh(), (long long)width * g.pixelsHigh(), [&](int firstRow, int endRow) {
            for (int y = firstRow; y < endRow; ++y) {
                fixed->mixPixels(leftStart + left.bytesPerRow() * std::size_t(y), sl,
                                 rightStart + right.bytesPerRow() * std::size_t(y), sr,
                                 result.bitmapData() + result.bytesPerRow() * std::size_t(y), width);
            }
        });
        return;
    }
    if (const std::unique_ptr<LinearLightMixAvx512> linear =
            mixing_.linearLight ? LinearLightMixAvx512::plan(mixing_.matrices) : nullptr) {
        splitRowsOnBothCores(g.pixelsHigh(), (long long)width * g.pixelsHigh(), [&](int firstRow, int endRow) {
            for (int y = firstRow; y < endRow; ++y) {
                linear->mixPixels(leftStart + left.bytesPerRow() * std::size_t(y), sl,
                                  rightStart + right.bytesPerRow() * std::size_t(y), sr,
                                  result.bitmapData() + result.bytesPerRow() * std::size_t(y), width);
            }
        });
        return;
    }
    // The sRGB curve without AVX-512, or sums too wide for 16 bits: lookup tables.
    const std::unique_ptr<MixTables> tables = buildTables(mixing_);
    auto* mix = sl == 3 ? (sr == 3 ? &mixRows<3, 3> : &mixRows<3, 4>) : (sr == 3 ? &mixRows<4, 3> : &mixRows<4, 4>);
    splitRowsOnBothCores(g.pixelsHigh(), (long long)width * g.pixelsHigh(), [&](int firstRow, int endRow) {
        mix(*tables, leftStart, left.bytesPerRow(), rightStart, right.bytesPerRow(), result.bitmapData(),
            result.bytesPerRow(), width, firstRow, endRow);
    });
}

Color MatrixComposer::mix(const Color& left, const Color& right) const
{
    const bool linear = mixing_.linearLight;
    const double l[3] = {left.red, left.green, left.blue};
    const double r[3] = {right.red, right.green, right.blue};
    double out[3];
    for (int row = 0; row < 3; ++row) {
        double sum = 0.0;
        for (int column = 0; column < 3; ++column) {
            const std::size_t i = std::size_t(row * 3 + column);
            const double lc = linear ? srgbToLinear(l[column]) : l[column];
            const double rc = linear ? srgbToLinear(r[column]) : r[column];
            sum += (mixing_.matrices.left[i] * lc + mixing_.matrices.right[i] * rc) / MixingMatrices::unit;
        }
        sum = std::clamp(sum, 0.0, 1.0);
        out[row] = linear ? linearToSrgb(sum) : sum;
    }
    return Color::rgb(out[0], out[1], out[2]);
}

void MatrixComposer::composePerPixel(const Bitmap& left, const Bitmap& right, const OverlapGeometry& g,
                                     Bitmap& result) const
{
    const int width = g.pixelsWide();
    const int height = g.pixelsHigh();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            result.setColor(mix(left.colorAt(g.ul + x, g.vl + y), right.colorAt(g.ur + x, g.vr + y)), x, y);
    }
}

}  // namespace korvex
