#include "cli/ComposeOptionTable.h"

#include "cli/ValueParsers.h"
#include "core/compose/MixingMatrixText.h"
#include "core/compose/StereoCodes.h"
#include "core/stereo/StereoFormat.h"
#include "core/stereo/WiggleAnimation.h"

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

Error setBounded(std::optional<int>& target, const std::string& name, const std::string& value, int low, int high,
                 const std::string& unit)
{
    const auto parsed = parseInteger(value);
    if (!parsed || *parsed < low || *parsed > high)
        return "option '" + name + "' needs a whole number of " + unit + " from " + std::to_string(low) + " to "
             + std::to_string(high) + ", not '" + value + "'";
    target = *parsed;
    return std::nullopt;
}

// range says the bounds for the message, as "degrees from -180 to 180".
Error setNumber(std::optional<double>& target, const std::string& name, const std::string& value, double low,
                double high, const std::string& range)
{
    const auto parsed = parseNumber(value);
    if (!parsed || *parsed < low || *parsed > high)
        return "option '" + name + "' needs " + range + ", not '" + value + "'";
    target = *parsed;
    return std::nullopt;
}

std::string methodNames()
{
    std::string names;
    for (const AnaglyphMethodInfo& info : anaglyphMethods())
        names += (names.empty() ? "" : ", ") + std::string(info.name);
    return names;
}

std::string formatCodes()
{
    std::string codes;
    for (const StereoFormatInfo& info : stereoFormats())
        codes += (codes.empty() ? "" : ", ") + std::string(info.code);
    return codes;
}

}  // namespace

const std::vector<OptionSpec<ComposeOptions>>& composeOptionTable()
{
    static const std::vector<OptionSpec<ComposeOptions>> table{
        {"--glasses", "CODE",
         "rg, rc, rb, gr, cr, br, ab, ba, gm or mg (or 1 to 10),\nleft eye first (a amber, m magenta); default rc",
         [](ComposeOptions& o, const std::string& value) -> Error {
             const auto glasses = glassesFromCode(value);
             if (!glasses)
                 return "unknown glasses '" + value + "' (use rg, rc, rb, gr, cr, br, ab, ba, gm, mg or 1 to 10)";
             o.glasses = *glasses;
             return std::nullopt;
         }},
        {"--bw", "", "black and white; default colour",
         [](ComposeOptions& o, const std::string&) -> Error {
             o.colorize = false;
             return std::nullopt;
         }},
        {"--method", "NAME",
         "classic, grey, half-colour, colour, dubois or custom;\ndefault classic. Dubois needs rc, cr, ab, ba, gm or\n"
         "mg glasses; custom needs --matrix",
         [](ComposeOptions& o, const std::string& value) -> Error {
             const auto method = anaglyphMethodFromName(value);
             if (!method)
                 return "unknown method '" + value + "' (use " + methodNames() + ")";
             o.method = *method;
             return std::nullopt;
         }},
        {"--matrix", "L;R",
         "the custom method's matrices: nine comma-separated\nthousandths for the left picture, then nine for the\n"
         "right, rows red, green, blue, each -5000 to 5000;\n\"299,587,114,0,0,0,0,0,0;...\" puts the left luma in red",
         [](ComposeOptions& o, const std::string& value) -> Error {
             const ParsedMixingMatrices parsed = parseMixingMatrices(value);
             if (!parsed.matrices)
                 return "option '--matrix': " + parsed.error;
             o.matrix = *parsed.matrices;
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
        {"--format", "NAME",
         "anaglyph, side-by-side, cross-eyed, over-under,\nhalf-side-by-side, half-over-under, interleaved\n"
         "(frames, as any still type), mpo, jps, or wiggle\n(as .gif or .webp); default anaglyph, or mpo and\n"
         "jps for OUTPUTs named so",
         [](ComposeOptions& o, const std::string& value) -> Error {
             const auto format = stereoFormatFromCode(value);
             if (!format)
                 return "unknown format '" + value + "' (use " + formatCodes() + ")";
             o.format = *format;
             return std::nullopt;
         }},
        {"--gap", "N", "white pixels between the eyes of side-by-side,\ncross-eyed and over-under; default 0",
         [](ComposeOptions& o, const std::string& value) {
             return setBounded(o.gap, "--gap", value, 0, 65535, "pixels");
         }},
        {"--wiggle-ms", "N", "how long a wiggle shows each eye, in milliseconds\n(20 to 10000); default 120",
         [](ComposeOptions& o, const std::string& value) {
             return setBounded(o.wiggleMilliseconds, "--wiggle-ms", value, WiggleTiming::minMilliseconds,
                               WiggleTiming::maxMilliseconds, "milliseconds");
         }},
        {"--auto-align", "",
         "find the right picture's rotation, scale and vertical\nshift from matching features, and the depth by\n"
         "--window; pins go to the centres. A pair that cannot\nbe aligned fails with the reason",
         [](ComposeOptions& o, const std::string&) -> Error {
             o.autoAlign = true;
             return std::nullopt;
         }},
        {"--window", "WHERE",
         "with --auto-align, where the stereo window goes:\nnearest (the nearest part at the screen), none (keep\n"
         "--depth), or N pixels of crossed parallax left at the\nnearest part; default nearest",
         [](ComposeOptions& o, const std::string& value) -> Error {
             o.windowGiven = true;
             if (value == "nearest") {
                 o.windowParallax = 0.0;
             } else if (value == "none") {
                 o.windowParallax.reset();
             } else if (const auto pixels = parseNumber(value)) {
                 o.windowParallax = *pixels;
             } else {
                 return "option '--window' needs nearest, none or a number of pixels, not '" + value + "'";
             }
             return std::nullopt;
         }},
        {"--rotate", "DEG", "turn the right picture about its centre, degrees\nclockwise; default 0",
         [](ComposeOptions& o, const std::string& value) {
             return setNumber(o.rotateDegrees, "--rotate", value, -180.0, 180.0, "degrees from -180 to 180");
         }},
        {"--scale", "S", "scale the right picture about its centre; default 1",
         [](ComposeOptions& o, const std::string& value) {
             return setNumber(o.scale, "--scale", value, 0.1, 10.0, "a factor from 0.1 to 10");
         }},
        {"--print-alignment", "",
         "write the applied alignment to standard output as one\nJSON object: matches, inliers, rotation_degrees,\n"
         "scale, vertical_px, depth_px, residual_px,\nparallax_px [nearest, farthest] (x_right - x_left,\n"
         "positive behind the screen) and right_to_left, the\n2x3 matrix from a right pixel (x right, y down, top\n"
         "left origin, pixel centres at whole numbers) to\nwhere it lies in the left picture's grid",
         [](ComposeOptions& o, const std::string&) -> Error {
             o.printAlignment = true;
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
