#include "cli/CommandLine.h"

#include "cli/ArgumentParser.h"
#include "cli/ComposeOptionTable.h"
#include "cli/MethodChoice.h"
#include "cli/OutputChoice.h"

#include <algorithm>
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

CommandLine finishBatch(CommandLine line, const std::vector<std::string>& paths)
{
    BatchOptions& batch = line.batch;
    const auto given = [&batch](const char* name) {
        return std::find(batch.given.begin(), batch.given.end(), name) != batch.given.end();
    };
    if (!batch.manifest.empty()) {
        if (!paths.empty())
            return usageError("give either --manifest or INPUTs, not both");
        if (given("--out-type") || given("--recursive"))
            return usageError(std::string("a manifest names its outputs; --out-type and --recursive are for INPUTs"));
    } else {
        if (paths.empty())
            return usageError("--batch needs INPUT files or folders, or --manifest");
        if (batch.outDir.empty())
            return usageError("--batch with INPUTs needs --out-dir");
        batch.inputs = paths;
    }
    line.action = CommandLine::Action::Batch;
    return line;
}

}  // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& args)
{
    CommandLine line;
    ComposeOptions& o = line.options;
    ArgumentParser parser;
    parser.add("options", bindOptions(composeOptionTable(), o));
    parser.add("batch options", bindOptions(batchOptionTable(), line.batch));
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
    // A found correction and one given by hand would overrule each other.
    if (o.autoAlign && (o.rotateDegrees || o.scale))
        return usageError("--rotate and --scale cannot be combined with --auto-align");
    if (o.windowGiven && !o.autoAlign)
        return usageError("--window places the window found by --auto-align; add --auto-align");
    if (line.batch.enabled)
        return finishBatch(std::move(line), paths);
    if (!line.batch.given.empty())
        return usageError("option '" + line.batch.given.front() + "' needs --batch");
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
    if (const auto problem = checkMethodChoice(o))
        return usageError(*problem);
    line.action = Action::Compose;
    return line;
}

std::string CommandLine::usage()
{
    return "usage: korvex-compose [options] LEFT RIGHT OUTPUT\n"
           "       korvex-compose [options] STEREOFILE OUTPUT\n"
           "       korvex-compose --batch [options] INPUT... --out-dir DIR\n"
           "       korvex-compose --batch [options] --manifest FILE [--out-dir DIR]\n";
}

std::string CommandLine::help()
{
    ComposeOptions unused;
    BatchOptions unusedBatch;
    ArgumentParser parser;
    parser.add("options", bindOptions(composeOptionTable(), unused));
    parser.add("batch options", bindOptions(batchOptionTable(), unusedBatch));
    return usage()
        + "\n"
          "Composes a stereo pair into an anaglyph, or lays it out in another stereo\n"
          "format (--format), and writes it to OUTPUT.\n"
          "STEREOFILE is a .jps (side by side), .pns (interleaved rows) or .mpo file\n"
          "holding both pictures. With --batch, every stereo file and picture pair\n"
          "among the INPUTs is one job, composed with the same options; outputs\n"
          "that exist are skipped, so the same command again finishes the rest.\n"
          "\n"
        + parser.optionHelp()
        + "\n"
          "Exit status: 0 done, 1 an input or the output failed, the pictures do\n"
          "not overlap or cannot be aligned or OUTPUT exists (in a batch: a job\n"
          "failed), 2 usage error.\n"
          "Every output is written whole or not at all, also when interrupted.\n";
}

}  // namespace korvex
