#include "core/compose/SrgbTables.h"

#include "core/compose/SrgbCurve.h"

#include <array>
#include <cmath>

namespace korvex {

const std::uint8_t* srgbEncodingTable()
{
    static const std::array<std::uint8_t, srgbEncodingEntries> table = [] {
        std::array<std::uint8_t, srgbEncodingEntries> t{};
        for (int i = 0; i < srgbEncodingEntries; ++i)
            t[std::size_t(i)] = std::uint8_t(std::lround(255.0 * linearToSrgb(double(i) / (1 << srgbEncodingIndexBits))));
        return t;
    }();
    return table.data();
}

}  // namespace korvex
