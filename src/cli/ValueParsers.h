#pragma once

#include "core/bitmap/Bitmap.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// Strict readers of option values: the whole text or nothing.
std::optional<std::int32_t> parseInteger(std::string_view text);  // an optional '+' allowed
std::optional<double> parseNumber(const std::string& text);       // finite only
std::optional<Point> parsePin(const std::string& text);           // "X,Y"
std::string lowercase(std::string text);
std::string uppercase(std::string text);

}  // namespace korvex
