#include "core/compose/StereoCodes.h"

#include "core/compose/GlassesTypes.h"

#include <string>

namespace korvex {

std::string_view glassesButtonName(int glasses)
{
    return glasses >= firstGlasses && glasses <= lastGlasses ? glassesType(glasses).code : glassesType(6).code;
}

std::string_view colorizeButtonName(bool colorize)
{
    return colorize ? "color" : "bw";
}

std::optional<int> glassesFromCode(std::string_view code)
{
    for (const GlassesType& type : glassesTypes()) {
        if (code == type.code || code == std::to_string(type.value))
            return type.value;
    }
    return std::nullopt;
}

}  // namespace korvex
