#include "cli/batch/JobReport.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

TEST(JobReport, AwkwardNamesGiveOneValidJsonLineEach)
{
    const std::vector<std::pair<std::string, std::string>> names{
        {"plain.jpg", "plain.jpg"},
        {"say \"cheese\".jpg", "say \"cheese\".jpg"},
        {"back\\slash.jpg", "back\\slash.jpg"},
        {"two\nlines.jpg", "two\nlines.jpg"},
        {"tab\there\r.jpg", "tab\there\r.jpg"},
        {"caf\xc3\xa9.jpg", "caf\xc3\xa9.jpg"},
        {"latin1 caf\xe9.jpg", "latin1 caf\xef\xbf\xbd.jpg"},  // not UTF-8: a replacement character
        {"cut \xe2\x82", "cut \xef\xbf\xbd"},
    };
    for (const auto& [name, readBack] : names) {
        JobRecord record{"job", name, "r.jpg", "out/" + name, "failed", name + ": cannot read", 1.23456, {"w"}, {}};
        const std::string line = JobReport::line(record);
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
        const nlohmann::json object = nlohmann::json::parse(line);
        EXPECT_EQ(object.at("left"), readBack);
        EXPECT_EQ(object.at("output"), "out/" + readBack);
        EXPECT_EQ(object.at("status"), "failed");
        EXPECT_EQ(object.at("job"), "job");
        EXPECT_EQ(object.at("right"), "r.jpg");
        EXPECT_DOUBLE_EQ(object.at("seconds").get<double>(), 1.235);
        EXPECT_EQ(object.at("warnings"), nlohmann::json::array({"w"}));
    }
}

}  // namespace
