#include "cli/ComposeCommand.h"

#include "cli/CommandLine.h"
#include "cli/ComposeJob.h"
#include "cli/Messages.h"
#include "cli/batch/BatchCommand.h"

#include <ostream>

namespace korvex {

namespace {

void printLine(std::ostream& err, const std::string& text)
{
    err << messageLine(text) << '\n';
}

}  // namespace

int ComposeCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                        bool errIsTerminal)
{
    const CommandLine line = CommandLine::parse(args);
    switch (line.action) {
    case CommandLine::Action::Help:
        out << CommandLine::help();
        return 0;
    case CommandLine::Action::Version:
        out << "korvex-compose " << KORVEX_VERSION << '\n';
        return 0;
    case CommandLine::Action::UsageError:
        printLine(err, line.error + " (see korvex-compose --help)");
        return 2;
    case CommandLine::Action::Batch:
        return BatchCommand::run(line.options, line.batch, err, errIsTerminal);
    case CommandLine::Action::Compose:
        break;
    }

    const ComposeJob::Outcome outcome = ComposeJob::run(line.options);
    for (const std::string& warning : outcome.warnings)
        printLine(err, "warning: " + warning);
    if (outcome.exitStatus != 0)
        printLine(err, outcome.error);
    else if (!outcome.alignmentJson.empty())
        out << outcome.alignmentJson << '\n';
    return outcome.exitStatus;
}

}  // namespace korvex
