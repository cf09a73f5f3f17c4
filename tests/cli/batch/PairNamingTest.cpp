#include "cli/batch/PairNaming.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvex;
using Path = std::filesystem::path;

namespace {

// "name: left + right" for each pair, sorted, and the unpaired names.
std::pair<std::vector<std::string>, std::vector<std::string>> described(const Pairing& pairing)
{
    std::vector<std::string> pairs, unpaired;
    for (const PicturePair& pair : pairing.pairs)
        pairs.push_back(pair.name + ": " + pair.left.filename().string() + " + " + pair.right.filename().string());
    for (const Path& path : pairing.unpaired)
        unpaired.push_back(path.filename().string());
    std::sort(pairs.begin(), pairs.end());
    std::sort(unpaired.begin(), unpaired.end());
    return {pairs, unpaired};
}

std::vector<Path> inFolder(const std::vector<std::string>& names)
{
    std::vector<Path> paths;
    for (const std::string& name : names)
        paths.push_back(Path("d") / name);
    return paths;
}

TEST(PairNaming, EveryNamingRuleInAnyCase)
{
    using Names = std::vector<std::string>;
    const std::vector<std::tuple<Names, Names, Names>> cases{
        {{"a_L.jpg", "a_R.jpg"}, {"a: a_L.jpg + a_R.jpg"}, {}},
        {{"a_l.JPG", "a_R.jpg"}, {"a: a_l.JPG + a_R.jpg"}, {}},
        {{"b-left.png", "b-RIGHT.png"}, {"b: b-left.png + b-RIGHT.png"}, {}},
        {{"c_left.tif", "c_right.tif"}, {"c: c_left.tif + c_right.tif"}, {}},
        {{"IMG1l.jpg", "IMG1r.jpg"}, {"IMG1: IMG1l.jpg + IMG1r.jpg"}, {}},
        // The extension must agree; a lone side is reported.
        {{"d_L.jpg", "d_R.png"}, {}, {"d_L.jpg", "d_R.png"}},
        {{"hotel.jpg"}, {}, {"hotel.jpg"}},
        // Longer rules win: x_left pairs with x_right, not with x_lefr.
        {{"x_left.jpg", "x_right.jpg", "x_lefr.jpg"}, {"x: x_left.jpg + x_right.jpg"}, {"x_lefr.jpg"}},
        // A suffix alone is no name.
        {{"l.jpg", "r.jpg"}, {}, {"l.jpg", "r.jpg"}},
        // Several pairs in one folder.
        {{"p_L.jpg", "q_L.jpg", "q_R.jpg", "p_R.jpg"}, {"p: p_L.jpg + p_R.jpg", "q: q_L.jpg + q_R.jpg"}, {}},
    };
    for (const auto& [names, pairs, unpaired] : cases) {
        const auto [gotPairs, gotUnpaired] = described(pairByName(inFolder(names)));
        EXPECT_EQ(gotPairs, pairs) << names.front();
        EXPECT_EQ(gotUnpaired, unpaired) << names.front();
    }
}

TEST(PairNaming, SiblingFoldersPairEqualNames)
{
    const std::vector<Path> left{"t/left/a.jpg", "t/left/B.jpg", "t/left/only.jpg"};
    const std::vector<Path> right{"t/right/a.jpg", "t/right/b.jpg", "t/right/extra.jpg"};
    const auto [pairs, unpaired] = described(pairByFolder(left, right));
    EXPECT_EQ(pairs, (std::vector<std::string>{"B: B.jpg + b.jpg", "a: a.jpg + a.jpg"}));
    EXPECT_EQ(unpaired, (std::vector<std::string>{"extra.jpg", "only.jpg"}));
}

}  // namespace
