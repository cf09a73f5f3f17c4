#include "cli/ArgumentParser.h"

#include <CLI/CLI.hpp>

namespace korvex {

namespace {

using Classifier = CLI::detail::Classifier;

// CLI11 keeps what it could not place (unknown options and, since no
// positional is declared, the file names) in order with their kind.
class App : public CLI::App {
public:
    const std::vector<std::pair<Classifier, std::string>>& unplaced() const { return missing_; }
};

// Thrown from an option's callback to end the reading.
struct Stop {
    ArgumentParser::Result::Action action;
    std::string error;
};

std::string optionName(const std::string& argument)
{
    return argument.substr(0, argument.find('='));
}

// CLI11's own complaints, in this program's words. The option concerned is
// named at the start of its message.
std::string messageFor(const CLI::ParseError& error, const std::vector<std::string>& args)
{
    const std::string what = error.what();
    if (what.ends_with(" was given a disallowed flag override"))
        return "option '--" + what.substr(0, what.find(' ')) + "' takes no value";
    if (what.find(" required ") != std::string::npos && what.ends_with(" missing") && !args.empty())
        return "option '" + optionName(args.back()) + "' needs a value";
    return what;
}

}  // namespace

void ArgumentParser::add(std::string heading, std::vector<BoundOption> options)
{
    headings_.emplace_back(options_.size(), std::move(heading));
    for (BoundOption& option : options)
        options_.push_back(std::move(option));
}

ArgumentParser::Result ArgumentParser::parse(const std::vector<std::string>& args) const
{
    using Action = Result::Action;
    App app;
    app.set_help_flag();
    app.allow_extras();

    // An unknown option before the current one is the first fault.
    const auto stopAtUnknownOption = [&app] {
        for (const auto& [kind, text] : app.unplaced())
            if (kind == Classifier::LONG || kind == Classifier::SHORT)
                throw Stop{Action::UsageError, "unknown option '" + optionName(text) + "'"};
    };
    for (const BoundOption& option : options_) {
        const auto apply = [stopAtUnknownOption, &option](const std::string& value) {
            stopAtUnknownOption();
            if (const auto error = option.apply(value))
                throw Stop{Action::UsageError, *error};
        };
        CLI::Option* added = option.valueName.empty()
            ? app.add_flag_callback(option.name, [apply] { apply({}); })->disable_flag_override()
            : app.add_option_function<std::string>(option.name, apply);
        added->trigger_on_parse();
    }
    for (const auto& [names, action] : {std::pair{"-h,--help", Action::Help}, std::pair{"--version", Action::Version}}) {
        app.add_flag_callback(names, [stopAtUnknownOption, action = action] {
               stopAtUnknownOption();
               throw Stop{action, {}};
           })
            ->trigger_on_parse();
    }

    Result result;
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
        stopAtUnknownOption();
    } catch (const Stop& stop) {
        result.action = stop.action;
        result.error = stop.error;
        return result;
    } catch (const CLI::ParseError& error) {
        result.action = Action::UsageError;
        result.error = messageFor(error, args);
        return result;
    }
    for (const auto& [kind, text] : app.unplaced())
        if (kind == Classifier::NONE)
            result.paths.push_back(text);
    return result;
}

std::string ArgumentParser::optionHelp() const
{
    static constexpr std::size_t descriptionColumn = 20;
    const auto row = [](const std::string& names, const std::string& description) {
        std::string text = "  " + names;
        text.resize(std::max(text.size() + 2, descriptionColumn), ' ');
        for (const char c : description)
            text += c == '\n' ? "\n" + std::string(descriptionColumn, ' ') : std::string(1, c);
        return text + '\n';
    };
    std::string help;
    for (std::size_t group = 0; group < headings_.size(); ++group) {
        const std::size_t end = group + 1 < headings_.size() ? headings_[group + 1].first : options_.size();
        help += (group > 0 ? "\n" : "") + headings_[group].second + ":\n";
        for (std::size_t i = headings_[group].first; i < end; ++i)
            help += row(options_[i].name + (options_[i].valueName.empty() ? "" : " " + options_[i].valueName),
                        options_[i].help);
        if (group == 0)
            help += row("--help", "show this help") + row("--version", "show the version");
    }
    return help;
}

}  // namespace korvex
