#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace korvex {

// Weights that squeeze `from` samples into `to` (to <= from) along one
// direction: a Lanczos-3 filter widened by the squeeze factor, so detail
// finer than the new spacing is smoothed away instead of folding back as
// false patterns, while edges stay sharp. Samples beyond the ends repeat the
// edge one. Weights are fixed point and sum exactly to `one` for every output.
class Squeeze {
public:
    static constexpr int fractionBits = 14;
    static constexpr int one = 1 << fractionBits;

    Squeeze(int from, int to) : Squeeze(from, to, 0, to) {}
    // Only outputs begin to end - 1 of that squeeze, numbered here from 0: a
    // part of the squeezed picture costs its own outputs' taps, not all.
    Squeeze(int from, int to, int begin, int end);

    int outputs() const { return int(first_.size()); }
    // Output i takes weights(i)[k] of input first(i) + k (inputs of the whole direction).
    int first(int i) const { return first_[std::size_t(i)]; }
    int last(int i) const { return first(i) + int(weights(i).size()) - 1; }
    std::span<const std::int32_t> weights(int i) const;

    // Squeezes one row of 8-bit RGB pixels into outputs() pixels; `in` holds
    // the row's inputs from `inFrom` on, as far as the outputs' taps reach.
    void squeezeRow(const std::uint8_t* in, std::uint8_t* out, int inFrom = 0) const;
    // Output row i of a vertical squeeze: the weighted sum of the input rows
    // first(i), first(i) + 1, ... over `bytes` bytes; `sums` holds `bytes` values.
    void squeezeColumnsInto(int i, const std::uint8_t* const* inputRows, std::size_t bytes, std::int32_t* sums,
                            std::uint8_t* out) const;

private:
    void squeezeOne(int i, const std::uint8_t* in, std::uint8_t* out, int inFrom) const;
    void squeezeRowAvx512(const std::uint8_t* in, std::uint8_t* out, int inFrom) const;

    std::vector<int> first_;
    std::vector<std::size_t> start_;  // into weights_, one more than there are outputs
    std::vector<std::int32_t> weights_;

    // Outputs sixteen at a time, from output 16 b, whose first inputs lie two
    // apart and that have as many taps each, as a halving's have away from
    // the ends: their weights side by side, tap by tap, for the wide row path.
    static constexpr int laneCount = 16;
    struct LaneBlock {
        std::size_t weightsAt = 0;  // into laneWeights_
        int taps = 0;               // 0: not such a block
    };
    std::vector<LaneBlock> laneBlocks_;
    std::vector<std::int32_t> laneWeights_;
};

}  // namespace korvex
