#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvex {

// One command-line option of a settings struct: its name, its help and how
// a value given as text sets it. Tables of these are the only place an option
// is declared; the parser, the help and the batch manifest read them.
template <typename Target>
struct OptionSpec {
    std::string name;       // "--glasses"
    std::string valueName;  // "CODE" in the help; empty for a flag, which takes no value
    std::string help;       // its lines in the help, '\n' between them
    // Sets the option from its value ("" for a flag); returns why the value is wrong.
    std::function<std::optional<std::string>(Target&, const std::string&)> apply;
};

// An option tied to the settings it sets, as the parser takes it.
struct BoundOption {
    std::string name;
    std::string valueName;
    std::string help;
    std::function<std::optional<std::string>(const std::string&)> apply;
};

template <typename Target>
std::vector<BoundOption> bindOptions(const std::vector<OptionSpec<Target>>& rows, Target& target)
{
    std::vector<BoundOption> bound;
    for (const OptionSpec<Target>& row : rows)
        bound.push_back({row.name, row.valueName, row.help,
                         [&target, apply = row.apply](const std::string& value) { return apply(target, value); }});
    return bound;
}

}  // namespace korvex
