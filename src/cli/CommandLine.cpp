#include "cli/CommandLine.h"

#include "core/compose/StereoCodes.h"
#include "core/imageview/StereoFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace korvex {

namespace {

CommandLine usageError(std::string message)
{
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.error = std::move(message);
    return line;
}

std::optional<std::int32_t> parseInteger(std::string_view text)
{
    if (text.starts_with('+'))
        text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> parseNumber(const std::string& text)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<Point> parsePin(const std::string& text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    const auto x = parseNumber(text.substr(0, comma));
    const auto y = parseNumber(text.substr(comma + 1));
    if (!x || !y)
        return std::nullopt;
    return Point{*x, *y};
}

std::string lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The type name an output file's extension stands for.
std::optional<std::string> typeNameForOutput(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    const std::string extension = lowercase(path.substr(dot + 1));
    if (extension == "png")
        return "PNG";
    if (extension == "jpg" || extension == "jpeg")
        return "JPEG";
    if (extension == "gif")
        return "GIF";
    if (extension == "tif" || extension == "tiff")
        return "TIFF";
    return std::nullopt;
}

}  // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& args)
{
    CommandLine line;
    ComposeOptions& o = line.options;
    std::optional<std::string> typeName;
    std::vector<std::string> paths;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            line.action = Action::Help;
            return line;
        }
        if (arg == "--version") {
            line.action = Action::Version;
            return line;
        }
        if (arg == "--bw") {
            o.colorize = false;
            continue;
        }

        // Options with a value: "--name value" or "--name=value".
        std::string name = arg;
        std::optional<std::string> value;
        if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const bool takesValue = name == "--glasses" || name == "--depth" || name == "--vertical"
            || name == "--left-pin" || name == "--right-pin" || name == "--type";
        if (!takesValue)
            return usageError("unknown option '" + name + "'");
        if (!value) {
            if (i + 1 >= args.size())
                return usageError("option '" + name + "' needs a value");
            value = args[++i];
        }

        if (name == "--glasses") {
            const auto glasses = glassesFromCode(*value);
            if (!glasses)
                return usageError("unknown glasses '" + *value + "' (use rg, rc, rb, gr, cr, br or 1 to 6)");
            o.glasses = *glasses;
        } else if (name == "--depth" || name == "--vertical") {
            const auto offset = parseInteger(*value);
            if (!offset)
                return usageError("option '" + name + "' needs a whole number of pixels, not '" + *value + "'");
            (name == "--depth" ? o.depth : o.vertical) = *offset;
        } else if (name == "--left-pin" || name == "--right-pin") {
            const auto pin = parsePin(*value);
            if (!pin)
                return usageError("option '" + name + "' needs X,Y in pixels, not '" + *value + "'");
            (name == "--left-pin" ? o.leftPin : o.rightPin) = *pin;
        } else {
            typeName = *value;
        }
    }

    if (paths.size() == 3) {
        o.left = paths[0];
        o.right = paths[1];
        o.output = paths[2];
    } else if (paths.size() == 2) {
        if (stereoLayoutForPath(paths[0]) == StereoLayout::None)
            return usageError("'" + paths[0] + "' is not a stereo file (.jps, .pns, .mpo); give LEFT RIGHT OUTPUT");
        o.stereoFile = true;
        o.left = paths[0];
        o.output = paths[1];
    } else {
        return usageError(paths.size() < 2 ? "missing input or output file" : "too many file names");
    }

    if (typeName) {
        o.typeName = *typeName;
    } else if (const auto fromExtension = typeNameForOutput(o.output)) {
        o.typeName = *fromExtension;
    } else {
        return usageError("cannot tell the output type from '" + o.output
                          + "' (use .png, .jpg, .jpeg, .gif, .tif, .tiff or --type)");
    }
    line.action = Action::Compose;
    return line;
}

std::string CommandLine::usage()
{
    return "usage: korvex-compose [options] LEFT RIGHT OUTPUT\n"
           "       korvex-compose [options] STEREOFILE OUTPUT\n";
}

std::string CommandLine::help()
{
    return usage()
        + "\n"
          "Composes an anaglyph from a stereo pair and writes it to OUTPUT.\n"
          "STEREOFILE is a .jps (side by side), .pns (interleaved rows) or .mpo file\n"
          "holding both pictures.\n"
          "\n"
          "options:\n"
          "  --glasses CODE    rg, rc, rb, gr, cr or br (or 1 to 6), left eye first;\n"
          "                    default rc\n"
          "  --bw              black and white; default colour\n"
          "  --depth N         horizontal offset in pixels; more moves the right\n"
          "                    picture right; default 0\n"
          "  --vertical N      vertical offset in pixels; more moves the right picture\n"
          "                    down; default 0\n"
          "  --left-pin X,Y    pin point of the left picture in pixels from its\n"
          "  --right-pin X,Y   bottom-left corner (y upwards), clamped into the\n"
          "                    picture; default the centre. The pins are laid on\n"
          "                    each other.\n"
          "  --type NAME       output type name: PNG..., JP..., GIF..., anything else\n"
          "                    LZW TIFF; default from OUTPUT's extension\n"
          "                    (.png, .jpg, .jpeg, .gif, .tif, .tiff)\n"
          "  --help            show this help\n"
          "  --version         show the version\n"
          "\n"
          "Exit status: 0 done, 1 an input or the output failed or the pictures do\n"
          "not overlap, 2 usage error. OUTPUT is replaced only when complete.\n";
}

}  // namespace korvex
