#include "cli/CommandLine.h"

#include "cli/ArgumentParser.h"
#include "cli/ComposeOptionTable.h"
#include "cli/OutputChoice.h"
#include "core/imageview/StereoFile.h"

namespace korvex {

namespace {

CommandLine usageError(std::string message)
{
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.error = std::move(message);
    return line;
}

}  // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& args)
{
    CommandLine line;
    ComposeOptions& o = line.options;
    ArgumentParser parser;
    parser.add(bindOptions(composeOptionTable(), o));
    const ArgumentParser::Result parsed = parser.parse(args);
    switch (parsed.action) {
    case ArgumentParser::Result::Action::Help:
        line.action = Action::Help;
        return line;
    case ArgumentParser::Result::Action::Version:
        line.action = Action::Version;
        return line;
    case ArgumentParser::Result::Action::UsageError:
        return usageError(parsed.error);
    case ArgumentParser::Result::Action::Run:
        break;
    }

    const std::vector<std::string>& paths = parsed.paths;
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

    if (const auto problem = chooseOutput(o))
        return usageError(*problem);
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
    ComposeOptions unused;
    ArgumentParser parser;
    parser.add(bindOptions(composeOptionTable(), unused));
    return usage()
        + "\n"
          "Composes a stereo pair into an anaglyph, or lays it out in another stereo\n"
          "format (--format), and writes it to OUTPUT.\n"
          "STEREOFILE is a .jps (side by side), .pns (interleaved rows) or .mpo file\n"
          "holding both pictures.\n"
          "\n"
          "options:\n"
        + parser.optionHelp()
        + "\n"
          "Exit status: 0 done, 1 an input or the output failed or the pictures do\n"
          "not overlap or OUTPUT exists, 2 usage error. OUTPUT is written whole or\n"
          "not at all, also when the run is interrupted.\n";
}

}  // namespace korvex
