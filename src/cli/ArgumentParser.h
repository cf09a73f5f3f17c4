#pragma once

#include "cli/OptionSpec.h"

#include <string>
#include <vector>

namespace korvex {

// Reads a command line against tables of options, with CLI11. Options take
// "--name value" or "--name=value", flags no value, and "--" ends the options;
// everything else is a file name. Values are checked as they come, so the
// first fault in the order given is the one reported, and --help or --version
// ends the reading where it stands.
class ArgumentParser {
public:
    struct Result {
        enum class Action { Run, Help, Version, UsageError };
        Action action = Action::Run;
        std::vector<std::string> paths;  // the file names, in order
        std::string error;               // for UsageError: one line
    };

    // A group of options under its heading in the help.
    void add(std::string heading, std::vector<BoundOption> options);
    Result parse(const std::vector<std::string>& args) const;
    // The options' part of the help, group by group, --help and --version
    // closing the first group.
    std::string optionHelp() const;

private:
    std::vector<BoundOption> options_;
    std::vector<std::pair<std::size_t, std::string>> headings_;  // the first option of each group
};

}  // namespace korvex
