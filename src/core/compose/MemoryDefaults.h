#pragma once

#include "core/compose/UserDefaults.h"

#include <map>
#include <string>
#include <variant>

namespace korvex {

// Defaults that live only as long as the object: for a headless run, where
// nothing a command chooses should outlast the process.
class MemoryDefaults : public UserDefaults {
public:
    std::optional<int> integerForKey(std::string_view key) const override;
    std::optional<bool> boolForKey(std::string_view key) const override;
    std::optional<std::string> stringForKey(std::string_view key) const override;
    void setInteger(std::string_view key, int value) override;
    void setBool(std::string_view key, bool value) override;
    void setString(std::string_view key, std::string_view value) override;

private:
    std::map<std::string, std::variant<int, bool, std::string>, std::less<>> values_;
};

}  // namespace korvex
