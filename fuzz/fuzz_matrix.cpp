// Any text as --matrix or the stored "AnaglyphCustomMatrix": it gives two
// matrices within the limits, whose text reads back the same, or a one-line
// message.
#include "core/compose/MixingMatrixText.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korvex;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParsedMixingMatrices parsed = parseMixingMatrices(text);
    if (!parsed.matrices) {
        if (parsed.error.empty() || parsed.error.find('\n') != std::string::npos || parsed.error.size() > 120)
            __builtin_trap();
        return 0;
    }
    for (const auto* matrix : {&parsed.matrices->left, &parsed.matrices->right})
        for (const int value : *matrix)
            if (value < -mixingValueLimit || value > mixingValueLimit)
                __builtin_trap();
    const ParsedMixingMatrices again = parseMixingMatrices(formatMixingMatrices(*parsed.matrices));
    if (!again.matrices || !(*again.matrices == *parsed.matrices))
        __builtin_trap();
    return 0;
}
