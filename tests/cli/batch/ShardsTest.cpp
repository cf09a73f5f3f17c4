#include "cli/batch/Shards.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvex;

namespace {

TEST(Shards, ReadsKOfN)
{
    for (const char* bad : {"", "1", "0/2", "3/2", "-1/2", "1/0", "a/b", "1/2/3", "1.5/2", "/2", "1/"})
        EXPECT_FALSE(parseShard(bad)) << bad;
    const auto shard = parseShard("3/8");
    ASSERT_TRUE(shard);
    EXPECT_EQ(shard->index, 3);
    EXPECT_EQ(shard->count, 8);
}

TEST(Shards, TheShardsOfAListAreDisjointAndCompleteWhateverItsLength)
{
    for (int length : {0, 1, 5, 17}) {
        std::vector<int> list(static_cast<std::size_t>(length));
        for (int i = 0; i < length; ++i)
            list[std::size_t(i)] = i;
        for (int count : {1, 2, 3, 7, 20}) {
            std::vector<int> seen;
            for (int index = 1; index <= count; ++index) {
                const std::vector<int> part = takeShard(list, Shard{index, count});
                for (int item : part)
                    EXPECT_EQ(item % count, index - 1);
                seen.insert(seen.end(), part.begin(), part.end());
            }
            std::sort(seen.begin(), seen.end());
            EXPECT_EQ(seen, list) << length << " in " << count;
        }
    }
}

}  // namespace
