#include "cli/batch/PairNaming.h"

#include "cli/ValueParsers.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>

namespace korvex {

namespace {

struct SuffixRule {
    std::string_view left;
    std::string_view right;
};

// Longer suffixes first, so "x_left" is x and not "x_lef" + t.
constexpr SuffixRule suffixRules[] = {
    {"_left", "_right"},
    {"-left", "-right"},
    {"_l", "_r"},
    {"l", "r"},
};

using Path = std::filesystem::path;

}  // namespace

Pairing pairByName(const std::vector<Path>& pictures)
{
    // For each rule: (lower-case name, extension) -> the two sides found.
    struct Sides {
        const Path* left = nullptr;
        const Path* right = nullptr;
        std::string name;
    };
    Pairing pairing;
    std::set<const Path*> used;
    for (const SuffixRule& rule : suffixRules) {
        std::map<std::pair<std::string, std::string>, Sides> candidates;
        for (const Path& picture : pictures) {
            if (used.count(&picture))
                continue;
            const std::string stem = picture.stem().string();
            const std::string lower = lowercase(stem);
            for (const bool isLeft : {true, false}) {
                const std::string_view suffix = isLeft ? rule.left : rule.right;
                if (lower.size() <= suffix.size() || !lower.ends_with(suffix))
                    continue;
                const std::string name = stem.substr(0, stem.size() - suffix.size());
                Sides& sides = candidates[{lowercase(name), lowercase(picture.extension().string())}];
                (isLeft ? sides.left : sides.right) = &picture;
                if (isLeft || sides.name.empty())
                    sides.name = name;
            }
        }
        for (const auto& [key, sides] : candidates) {
            if (!sides.left || !sides.right || used.count(sides.left) || used.count(sides.right))
                continue;
            used.insert(sides.left);
            used.insert(sides.right);
            pairing.pairs.push_back({sides.name, *sides.left, *sides.right});
        }
    }
    for (const Path& picture : pictures)
        if (!used.count(&picture))
            pairing.unpaired.push_back(picture);
    return pairing;
}

Pairing pairByFolder(const std::vector<Path>& left, const std::vector<Path>& right)
{
    std::map<std::string, const Path*> rightByName;
    for (const Path& picture : right)
        rightByName.emplace(lowercase(picture.filename().string()), &picture);
    Pairing pairing;
    std::set<const Path*> used;
    for (const Path& picture : left) {
        const auto partner = rightByName.find(lowercase(picture.filename().string()));
        if (partner == rightByName.end() || used.count(partner->second)) {
            pairing.unpaired.push_back(picture);
            continue;
        }
        used.insert(partner->second);
        pairing.pairs.push_back({picture.stem().string(), picture, *partner->second});
    }
    for (const Path& picture : right)
        if (!used.count(&picture))
            pairing.unpaired.push_back(picture);
    return pairing;
}

}  // namespace korvex
