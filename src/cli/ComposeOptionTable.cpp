#include "cli/ComposeOptionTable.h"

#include "cli/ValueParsers.h"
#include "core/compose/StereoCodes.h"

namespace korvex {

namespace {

using Error = std::optional<std::string>;

Error setOffset(std::int32_t& offset, const std::string& name, const std::string& value)
{
    const auto parsed = parseInteger(value);
    if (!parsed)
        return "option '" + name + "' needs a whole number of pixels, not '" + value + "'";
    offset = *parsed;
    return std::nullopt;
}

Error setPin(std::optional<Point>& pin, const std::string& name, const std::string& value)
{
    const auto parsed = parsePin(value);
    if (!parsed)
        return "option '" + name + "' needs X,Y in pixels, not '" + value + "'";
    pin = *parsed;
    return std::nullopt;
}

}  // namespace

const std::vector<OptionSpec<ComposeOptions>>& composeOptionTable()
{
    static const std::vector<OptionSpec<ComposeOptions>> table{
        {"--glasses", "CODE",
         "rg, rc, rb, gr, cr or br (or 1 to 6), left eye first;\ndefault rc",
         [](ComposeOptions& o, const std::string& value) -> Error {
             const auto glasses = glassesFromCode(value);
             if (!glasses)
                 return "unknown glasses '" + value + "' (use rg, rc, rb, gr, cr, br or 1 to 6)";
             o.glasses = *glasses;
             return std::nullopt;
         }},
        {"--bw", "", "black and white; default colour",
         [](ComposeOptions& o, const std::string&) -> Error {
             o.colorize = false;
             return std::nullopt;
         }},
        {"--depth", "N", "horizontal offset in pixels; more moves the right\npicture right; default 0",
         [](ComposeOptions& o, const std::string& value) { return setOffset(o.depth, "--depth", value); }},
        {"--vertical", "N", "vertical offset in pixels; more moves the right picture\ndown; default 0",
         [](ComposeOptions& o, const std::string& value) { return setOffset(o.vertical, "--vertical", value); }},
        {"--left-pin", "X,Y",
         "pin point of the left picture in pixels from its\nbottom-left corner (y upwards), clamped into the\n"
         "picture; default the centre",
         [](ComposeOptions& o, const std::string& value) { return setPin(o.leftPin, "--left-pin", value); }},
        {"--right-pin", "X,Y", "pin point of the right picture, likewise. The pins\nare laid on each other.",
         [](ComposeOptions& o, const std::string& value) { return setPin(o.rightPin, "--right-pin", value); }},
        {"--type", "NAME",
         "output type name, in any case: PNG..., JP..., GIF...,\nanything else LZW TIFF; it must agree with OUTPUT's\nextension, and by default it comes from it\n"
         "(.png, .jpg, .jpeg, .gif, .tif, .tiff)",
         [](ComposeOptions& o, const std::string& value) -> Error {
             o.typeName = value;
             return std::nullopt;
         }},
        {"--overwrite", "", "replace OUTPUT if it exists; without this an existing\nfile is left alone and the run fails",
         [](ComposeOptions& o, const std::string&) -> Error {
             o.overwrite = true;
             return std::nullopt;
         }},
    };
    return table;
}

}  // namespace korvex
