#pragma once

#include <optional>
#include <string_view>

namespace korvex {

// The glasses type's code, also the name of its toolbar picture: "rg" ...
// "mg" for 1 to 10, "br" for anything else.
std::string_view glassesButtonName(int glasses);
// "color" for colour output, "bw" for black and white.
std::string_view colorizeButtonName(bool colorize);
// The glasses type named by a code ("rg" ... "mg") or a number 1 to 10.
std::optional<int> glassesFromCode(std::string_view code);

}  // namespace korvex
