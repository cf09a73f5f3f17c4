#include "cli/batch/Shards.h"

#include "cli/ValueParsers.h"

namespace korvex {

std::optional<Shard> parseShard(const std::string& text)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return std::nullopt;
    const auto index = parseInteger(std::string_view(text).substr(0, slash));
    const auto count = parseInteger(std::string_view(text).substr(slash + 1));
    if (!index || !count || *index < 1 || *index > *count)
        return std::nullopt;
    return Shard{*index, *count};
}

}  // namespace korvex
