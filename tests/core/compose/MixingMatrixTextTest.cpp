#include "core/compose/MixingMatrixText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace korvex;

namespace {

TEST(MixingMatrixText, ReadsNineAndNineThousandths)
{
    const ParsedMixingMatrices parsed = parseMixingMatrices("299,587,114,0,0,0,0,0,0;0,0,0, 0 ,1000,0,+0,0,-5000");
    ASSERT_TRUE(parsed.matrices) << parsed.error;
    EXPECT_EQ(parsed.matrices->left, (MixingMatrices::Matrix{299, 587, 114, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(parsed.matrices->right, (MixingMatrices::Matrix{0, 0, 0, 0, 1000, 0, 0, 0, -5000}));
}

TEST(MixingMatrixText, RefusesMalformedTextWithOneLine)
{
    const std::string nine = "1,2,3,4,5,6,7,8,9";
    const std::pair<std::string, std::string> cases[] = {
        {"", "left;right"},
        {nine, "left;right"},
        {nine + ";" + nine + ";" + nine, "left;right"},
        {"1,2,3,4,5,6,7,8;" + nine, "left matrix has 8 values"},
        {nine + ";" + nine + ",10", "right matrix has 10 values"},
        {nine + ";1,2,3,4,5,6,7,8,", "'' in the right matrix is not a whole number"},
        {"1,2,x,4,5,6,7,8,9;" + nine, "'x' in the left matrix"},
        {"1.5,2,3,4,5,6,7,8,9;" + nine, "'1.5' in the left matrix"},
        {"1 2,2,3,4,5,6,7,8,9;" + nine, "'1 2'"},
        {"+-1,2,3,4,5,6,7,8,9;" + nine, "'+-1'"},
        {nine + ";1,2,3,4,5,6,7,8,5001", "'5001' in the right matrix is outside -5000 to 5000"},
        {"-5001,2,3,4,5,6,7,8,9;" + nine, "outside"},
        {"99999999999999999999,2,3,4,5,6,7,8,9;" + nine, "outside"},
        {"1\n2,2,3,4,5,6,7,8,9;" + nine, "'1?2'"},
    };
    for (const auto& [text, message] : cases) {
        const ParsedMixingMatrices parsed = parseMixingMatrices(text);
        EXPECT_FALSE(parsed.matrices) << text;
        EXPECT_NE(parsed.error.find(message), std::string::npos) << text << " gave: " << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << text;
        EXPECT_LT(parsed.error.size(), 100u) << text;
    }
}

TEST(MixingMatrixText, FormattedTextReadsBackTheSameMatrices)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> value(-mixingValueLimit, mixingValueLimit);
    for (int round = 0; round < 50; ++round) {
        MixingMatrices m;
        for (int i = 0; i < 9; ++i) {
            m.left[i] = value(random);
            m.right[i] = value(random);
        }
        const ParsedMixingMatrices parsed = parseMixingMatrices(formatMixingMatrices(m));
        ASSERT_TRUE(parsed.matrices) << parsed.error;
        EXPECT_EQ(*parsed.matrices, m);
    }
}

}  // namespace
