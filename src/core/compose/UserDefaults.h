#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// Per-user settings shared by all documents and kept across launches.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    // Empty when the key is missing (or holds something of another kind).
    virtual std::optional<int> integerForKey(std::string_view key) const = 0;
    virtual std::optional<bool> boolForKey(std::string_view key) const = 0;
    virtual std::optional<std::string> stringForKey(std::string_view key) const = 0;
    virtual void setInteger(std::string_view key, int value) = 0;
    virtual void setBool(std::string_view key, bool value) = 0;
    virtual void setString(std::string_view key, std::string_view value) = 0;
};

}  // namespace korvex
