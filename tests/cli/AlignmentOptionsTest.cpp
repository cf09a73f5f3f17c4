#include "cli/CommandLine.h"
#include "cli/ComposeCommand.h"

#include "../core/TestPictures.h"
#include "../core/align/WarpedPairs.h"
#include "core/bitmap/ImageEncoder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace korvex;
using namespace korvex::testing;
namespace fs = std::filesystem;

namespace {

TEST(AlignmentOptions, ReadTheirValuesAndRefuseWhatCannotWork)
{
    struct Case {
        std::vector<std::string> args;
        std::string error;  // empty: parses
    };
    const Case cases[] = {
        {{"--auto-align"}, ""},
        {{"--auto-align", "--window", "none"}, ""},
        {{"--auto-align", "--window=-2.5"}, ""},
        {{"--rotate", "-1.5", "--scale", "1.01"}, ""},
        {{"--auto-align", "--window", "far"}, "option '--window' needs nearest, none or a number of pixels, not 'far'"},
        {{"--rotate", "200"}, "option '--rotate' needs degrees from -180 to 180, not '200'"},
        {{"--scale", "0"}, "option '--scale' needs a factor from 0.1 to 10, not '0'"},
        {{"--auto-align", "--rotate", "1"}, "--rotate and --scale cannot be combined with --auto-align"},
        {{"--window", "3"}, "--window places the window found by --auto-align; add --auto-align"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"l.png", "r.png", "out.png"});
        const CommandLine line = CommandLine::parse(args);
        SCOPED_TRACE(args.front());
        if (c.error.empty()) {
            EXPECT_EQ(line.action, CommandLine::Action::Compose) << line.error;
        } else {
            EXPECT_EQ(line.action, CommandLine::Action::UsageError);
            EXPECT_EQ(line.error, c.error);
        }
    }
    const ComposeOptions nearest = CommandLine::parse({"--auto-align", "l", "r", "o.png"}).options;
    EXPECT_EQ(nearest.windowParallax, 0.0);
    EXPECT_FALSE(CommandLine::parse({"--auto-align", "--window", "none", "l", "r", "o.png"}).options.windowParallax);
    EXPECT_EQ(CommandLine::parse({"--auto-align", "--window", "7", "l", "r", "o.png"}).options.windowParallax, 7.0);
}

class AlignmentProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::path(::testing::TempDir()) / ("align-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string save(const Bitmap& bitmap, const std::string& name)
    {
        const std::string path = (folder / name).string();
        const EncodeResult png = representationUsingType(bitmap, FileType::PNG, {});
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data.data()),
                                                    std::streamsize(png.data.size()));
        return path;
    }

    int run(std::vector<std::string> args)
    {
        out.str({});
        err.str({});
        return ComposeCommand::run(args, out, err);
    }

    fs::path folder;
    std::ostringstream out, err;
};

TEST_F(AlignmentProgramTest, AutoAlignPrintsWhatItAppliedAsJson)
{
    const auto left = samplePicture("aloeL.jpg");
    TrueMap truth{-1.2, 1.015, 9.0, 17.0};
    const auto right = warpedRight(*left, truth);
    const std::string output = (folder / "out.png").string();
    ASSERT_EQ(run({"--auto-align", "--print-alignment", save(*left, "l.png"), save(*right, "r.png"), output}), 0)
        << err.str();
    EXPECT_TRUE(fs::exists(output));
    EXPECT_EQ(err.str(), "");

    const nlohmann::json report = nlohmann::json::parse(out.str());
    EXPECT_NEAR(report["rotation_degrees"].get<double>(), -1.2, 0.05);
    EXPECT_NEAR(report["scale"].get<double>(), 1.015, 0.001);
    EXPECT_GE(report["matches"].get<int>(), report["inliers"].get<int>());
    EXPECT_LE(report["residual_px"].get<double>(), 0.5);
    EXPECT_EQ(report["parallax_px"][0].get<double>(), 0.0);
    // The matrix against the warp: rows to within half a pixel everywhere.
    const auto& m = report["right_to_left"];
    for (int y = 0; y < left->pixelsHigh(); y += 100)
        for (int x = 0; x < left->pixelsWide(); x += 100) {
            const double row = m[1][0].get<double>() * x + m[1][1].get<double>() * y + m[1][2].get<double>();
            EXPECT_NEAR(row, truth.y(x, y), 0.5) << x << "," << y;
        }
    EXPECT_NEAR(report["vertical_px"].get<double>(), 17.0, 0.5);
}

TEST_F(AlignmentProgramTest, ManualCorrectionIsReportedWithoutSearchFields)
{
    const auto left = samplePicture("aloeL.jpg");
    const std::string l = save(*left, "l.png");
    ASSERT_EQ(run({"--rotate", "2", "--depth", "5", "--print-alignment", l, l, (folder / "o.png").string()}), 0);
    const nlohmann::json report = nlohmann::json::parse(out.str());
    EXPECT_TRUE(report["matches"].is_null());
    EXPECT_TRUE(report["residual_px"].is_null());
    EXPECT_TRUE(report["parallax_px"].is_null());
    EXPECT_EQ(report["rotation_degrees"].get<double>(), 2.0);
    EXPECT_EQ(report["depth_px"].get<double>(), 5.0);
    // Clockwise on screen: a point right of the centre moves down.
    const auto& m = report["right_to_left"];
    EXPECT_NEAR(m[1][0].get<double>(), std::sin(2.0 * std::numbers::pi / 180.0), 1e-12);
    const double cx = (left->pixelsWide() - 1) / 2.0, cy = (left->pixelsHigh() - 1) / 2.0;
    EXPECT_NEAR(m[0][0].get<double>() * cx + m[0][1].get<double>() * cy + m[0][2].get<double>(), cx + 5, 1e-9);
}

TEST_F(AlignmentProgramTest, APairThatCannotBeAlignedFailsAndWritesNothing)
{
    const std::string flat = save(*solidCanvas(300, 200, 0.2, 0.4, 0.6), "flat.png");
    const std::string output = (folder / "out.png").string();
    EXPECT_EQ(run({"--auto-align", "--print-alignment", flat, flat, output}), 1);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("could not align: only 0 points in common"), std::string::npos) << err.str();
}

}  // namespace
