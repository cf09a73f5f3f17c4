#include "cli/batch/Manifest.h"
#include "cli/ComposeOptionTable.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace korvex;

namespace {

Manifest parse(const std::string& text, const std::string& outDir = "")
{
    ComposeOptions defaults;
    defaults.glasses = 4;
    defaults.depth = 3;
    return Manifest::parse(text, "/m", outDir, defaults);
}

TEST(Manifest, PathsAreRelativeToTheManifestAndOutputsToTheOutputFolder)
{
    const Manifest manifest = parse("left,right,output\n"
                                    "a/l.jpg,a/r.jpg,out/a.png\n"
                                    "/abs/pair.mpo,,\"b, c.tif\"\n");
    ASSERT_EQ(manifest.error, "");
    ASSERT_EQ(manifest.jobs.size(), 2u);
    const ComposeOptions& a = manifest.jobs[0].options;
    EXPECT_EQ(a.left, "/m/a/l.jpg");
    EXPECT_EQ(a.right, "/m/a/r.jpg");
    EXPECT_EQ(a.output, "/m/out/a.png");
    EXPECT_EQ(a.typeName, "PNG");
    EXPECT_FALSE(a.stereoFile);
    EXPECT_EQ(manifest.jobs[0].name, "out/a");
    const ComposeOptions& b = manifest.jobs[1].options;
    EXPECT_EQ(b.left, "/abs/pair.mpo");
    EXPECT_TRUE(b.stereoFile);
    EXPECT_EQ(b.output, "/m/b, c.tif");
    EXPECT_EQ(b.typeName, "TIFF");

    EXPECT_EQ(parse("left,right,output\nl.jpg,r.jpg,x.gif\n", "/out").jobs.at(0).options.output, "/out/x.gif");
}

TEST(Manifest, SettingColumnsOverrideTheCommandLineJobByJob)
{
    const Manifest manifest = parse("Output, left ,right,glasses,depth,vertical,bw,left_pin\n"
                                    "1.png,l,r,rb,-5,7,yes,\"10,20\"\n"
                                    "2.png,l,r,,,,0,\n");
    ASSERT_EQ(manifest.error, "");
    ASSERT_EQ(manifest.jobs.size(), 2u);
    const ComposeOptions& set = manifest.jobs[0].options;
    EXPECT_EQ(set.glasses, 3);
    EXPECT_EQ(set.depth, -5);
    EXPECT_EQ(set.vertical, 7);
    EXPECT_FALSE(set.colorize);
    EXPECT_EQ(set.leftPin, (Point{10, 20}));
    // Empty cells keep the command line's settings.
    const ComposeOptions& kept = manifest.jobs[1].options;
    EXPECT_EQ(kept.glasses, 4);
    EXPECT_EQ(kept.depth, 3);
    EXPECT_TRUE(kept.colorize);
    EXPECT_FALSE(kept.leftPin);
}

TEST(Manifest, FaultsNameTheirLine)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "line 1: "},
        {"left,right\nl,r\n", "line 1: the header has no column 'output'"},
        {"left,right,output,left\n", "line 1: column 'left' appears twice"},
        {"left,right,output,frobnicate\n", "line 1: unknown column 'frobnicate'"},
        {"left,right,output\nl,r,o.png\nl,r\n", "line 3: 2 fields where the header has 3"},
        {"left,right,output\nl,r,o.png\n\"l,r,o.png\n", "line 3: a quoted field is not closed"},
        {"left,right,output\n\"multi\nline\",r,o.png\nl,,o.png\n", "line 4: 'l' is not a stereo file"},
        {"left,right,output\nl,r,\n", "line 2: a job needs a left picture and an output"},
        {"left,right,output\nl,r,o.bmp\n", "line 2: cannot tell the output type"},
        {"left,right,output,glasses\nl,r,o.png,xx\n", "line 2: unknown glasses 'xx'"},
        {"left,right,output,depth\nl,r,o.png,1.5\n", "line 2: option '--depth' needs a whole number"},
        {"left,right,output,bw\nl,r,o.png,maybe\n", "line 2: column 'bw' takes 1, yes"},
        {"left,right,output,type\nl,r,o.png,gif\n", "line 2: type 'gif' does not make"},
    };
    for (const auto& [text, expected] : cases) {
        const Manifest manifest = parse(text);
        EXPECT_EQ(manifest.error.rfind(expected, 0), 0u) << manifest.error;
        EXPECT_TRUE(manifest.jobs.empty()) << text;
    }
}

TEST(Manifest, ColumnsForOptionsThisProgramLacksAreRefusedByName)
{
    // Per-job settings of options this build does not have are not ignored.
    for (const std::string column : {"method", "auto_align", "format"}) {
        std::string option = "--" + column;
        std::replace(option.begin(), option.end(), '_', '-');
        const auto& table = composeOptionTable();
        if (std::any_of(table.begin(), table.end(), [&](const auto& row) { return row.name == option; }))
            continue;  // this build has the option
        const Manifest manifest = parse("left,right,output," + column + "\nl,r,o.png,x\n");
        EXPECT_NE(manifest.error.find(std::string("unknown column '") + column + "'"), std::string::npos)
            << manifest.error;
    }
}

}  // namespace
