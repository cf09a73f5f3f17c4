#include "core/compose/MemoryDefaults.h"

namespace korvex {

std::optional<int> MemoryDefaults::integerForKey(std::string_view key) const
{
    const auto it = values_.find(key);
    if (it == values_.end() || !std::holds_alternative<int>(it->second))
        return std::nullopt;
    return std::get<int>(it->second);
}

std::optional<bool> MemoryDefaults::boolForKey(std::string_view key) const
{
    const auto it = values_.find(key);
    if (it == values_.end() || !std::holds_alternative<bool>(it->second))
        return std::nullopt;
    return std::get<bool>(it->second);
}

std::optional<std::string> MemoryDefaults::stringForKey(std::string_view key) const
{
    const auto it = values_.find(key);
    if (it == values_.end() || !std::holds_alternative<std::string>(it->second))
        return std::nullopt;
    return std::get<std::string>(it->second);
}

void MemoryDefaults::setInteger(std::string_view key, int value)
{
    values_.insert_or_assign(std::string(key), value);
}

void MemoryDefaults::setBool(std::string_view key, bool value)
{
    values_.insert_or_assign(std::string(key), value);
}

void MemoryDefaults::setString(std::string_view key, std::string_view value)
{
    values_.insert_or_assign(std::string(key), std::string(value));
}

}  // namespace korvex
