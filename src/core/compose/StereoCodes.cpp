#include "core/compose/StereoCodes.h"

#include <array>

namespace korvex {

namespace {
constexpr std::array<std::string_view, 6> glassesCodes{"rg", "rc", "rb", "gr", "cr", "br"};
}

std::string_view glassesButtonName(int glasses)
{
    return glasses >= 1 && glasses <= 5 ? glassesCodes[std::size_t(glasses - 1)] : glassesCodes[5];
}

std::string_view colorizeButtonName(bool colorize)
{
    return colorize ? "color" : "bw";
}

std::optional<int> glassesFromCode(std::string_view code)
{
    for (std::size_t i = 0; i < glassesCodes.size(); ++i) {
        if (code == glassesCodes[i] || (code.size() == 1 && code[0] == char('1' + i)))
            return int(i + 1);
    }
    return std::nullopt;
}

}  // namespace korvex
