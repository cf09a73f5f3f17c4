#pragma once

#include "cli/batch/BatchOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace korvex {

// "K/N" with 1 <= K <= N.
std::optional<Shard> parseShard(const std::string& text);

// The items of a sorted list that fall to the shard, in their order.
template <typename Item>
std::vector<Item> takeShard(std::vector<Item> sorted, Shard shard)
{
    std::vector<Item> taken;
    for (std::size_t i = std::size_t(shard.index - 1); i < sorted.size(); i += std::size_t(shard.count))
        taken.push_back(std::move(sorted[i]));
    return taken;
}

}  // namespace korvex
