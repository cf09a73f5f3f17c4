#pragma once

#include <array>

namespace korvex {

// Two 3 x 3 channel matrices in thousandths, as the stereo community writes
// them ("299 587 114" is luma): rows are the output's red, green and blue,
// columns the input's. The result is left * left picture + right * right picture.
struct MixingMatrices {
    using Matrix = std::array<int, 9>;
    Matrix left{};
    Matrix right{};

    bool operator==(const MixingMatrices&) const = default;

    static constexpr int unit = 1000;
};

}  // namespace korvex
