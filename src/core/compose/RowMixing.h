#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvex {

// The two passes of an axis-aligned bilinear read, whose sums are exactly
// those of mixing four taps at once with weights in 256ths: two source rows
// mixed down into 16 bits (255 * 256 fits), then each output pixel's two
// columns of that mixed across and rounded once. Each pass picks the widest
// instructions the processor has (SimdLevel); every choice gives the same bytes.

// mixed[k] = top[k] * (256 - weight) + bottom[k] * weight, for k < n.
void mixDown(const std::uint8_t* top, const std::uint8_t* bottom, int weight, std::uint16_t* mixed, std::size_t n);

// Where each output pixel of a row reads a row that mixDown made: the first
// of three values at each of two columns, counted from the row's start, and
// their weights (both 0 for a pixel that is black).
class ColumnTaps {
public:
    struct Column {
        std::uint32_t first, second;
        std::uint16_t firstWeight, secondWeight;
    };

    explicit ColumnTaps(std::vector<Column> columns);

    // How many values a mixed row must hold, the padding the wide pass reads included.
    std::size_t valuesToRead(std::size_t span) const { return span + padding; }
    // out[3 i + c] = the rounded mix of column i's taps, channel c < 3, for every column.
    void mixAcross(const std::uint16_t* mixed, std::uint8_t* out) const;

private:
    static constexpr std::size_t padding = 64;
    // Groups of five pixels whose taps lie within 64 values of the group's
    // first: one permute of two registers gathers them.
    struct Group {
        alignas(64) std::uint16_t index[32];
        alignas(64) std::int16_t weight[32];
        alignas(64) std::int32_t bias[16];
        std::uint32_t base;
    };
    static constexpr int groupPixels = 5;

    void mixAcrossPlain(const std::uint16_t* mixed, std::uint8_t* out) const;
    void mixAcrossAvx512(const std::uint16_t* mixed, std::uint8_t* out) const;

    std::vector<Column> columns_;
    std::vector<Group> groups_;  // empty when some group's taps spread too far
};

}  // namespace korvex
