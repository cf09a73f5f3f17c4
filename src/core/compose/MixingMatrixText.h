#pragma once

#include "core/compose/MixingMatrices.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// The text form of two mixing matrices, used by --matrix and stored under
// "AnaglyphCustomMatrix": "L;R", each nine comma-separated thousandths, rows
// red, green, blue. Spaces around the numbers are allowed.
struct ParsedMixingMatrices {
    std::optional<MixingMatrices> matrices;
    std::string error;  // one line, when matrices is empty
};

// Largest magnitude of one value, in thousandths.
constexpr int mixingValueLimit = 5000;

ParsedMixingMatrices parseMixingMatrices(std::string_view text);
std::string formatMixingMatrices(const MixingMatrices& matrices);

}  // namespace korvex
