#include "cli/CommandLine.h"

#include <gtest/gtest.h>

using namespace korvex;
using Action = CommandLine::Action;

namespace {

CommandLine parse(std::vector<std::string> args)
{
    return CommandLine::parse(args);
}

TEST(CommandLine, DefaultsAndTypeFromTheOutputName)
{
    const CommandLine line = parse({"l.jpg", "r.jpg", "out.png"});
    ASSERT_EQ(line.action, Action::Compose);
    const ComposeOptions& o = line.options;
    EXPECT_EQ(o.left, "l.jpg");
    EXPECT_EQ(o.right, "r.jpg");
    EXPECT_EQ(o.output, "out.png");
    EXPECT_FALSE(o.stereoFile);
    EXPECT_EQ(o.glasses, 2);
    EXPECT_TRUE(o.colorize);
    EXPECT_EQ(o.depth, 0);
    EXPECT_EQ(o.vertical, 0);
    EXPECT_FALSE(o.leftPin);
    EXPECT_FALSE(o.rightPin);
    EXPECT_EQ(o.typeName, "PNG");

    EXPECT_EQ(parse({"l", "r", "dir.v2/out.JPEG"}).options.typeName, "JPEG");
    EXPECT_EQ(parse({"l", "r", "out.jpg"}).options.typeName, "JPEG");
    EXPECT_EQ(parse({"l", "r", "out.gif"}).options.typeName, "GIF");
    EXPECT_EQ(parse({"l", "r", "out.tif"}).options.typeName, "TIFF");
    EXPECT_EQ(parse({"l", "r", "out.Tiff"}).options.typeName, "TIFF");
    EXPECT_EQ(parse({"--type", "GIF picture", "l", "r", "out.bin"}).options.typeName, "GIF picture");
    EXPECT_EQ(parse({"l", "r", "out.jpg", "--type=JPEG"}).options.typeName, "JPEG");
}

TEST(CommandLine, OptionsInBothFormsAndAnyOrder)
{
    const CommandLine line = parse({"--glasses", "gr", "l.png", "--bw", "--depth=-12", "r.png", "--vertical", "+7",
                                    "--left-pin", "320.5,240.25", "--right-pin=-1,1e2", "out.png"});
    ASSERT_EQ(line.action, Action::Compose) << line.error;
    const ComposeOptions& o = line.options;
    EXPECT_EQ(o.glasses, 4);
    EXPECT_FALSE(o.colorize);
    EXPECT_EQ(o.depth, -12);
    EXPECT_EQ(o.vertical, 7);
    EXPECT_EQ(o.leftPin, (Point{320.5, 240.25}));
    EXPECT_EQ(o.rightPin, (Point{-1, 100}));
    EXPECT_EQ(parse({"--glasses", "6", "l", "r", "o.png"}).options.glasses, 6);
    EXPECT_EQ(parse({"--glasses", "rg", "--glasses", "cr", "l", "r", "o.png"}).options.glasses, 5);
    // After "--" a name may start with a dash.
    const CommandLine dashed = parse({"--", "-left.png", "r.png", "o.png"});
    ASSERT_EQ(dashed.action, Action::Compose);
    EXPECT_EQ(dashed.options.left, "-left.png");
}

TEST(CommandLine, StereoFileTakesTheTwoArgumentForm)
{
    for (const char* name : {"pair.jps", "PAIR.JPS", "dir/pair.pns", "x.PNS", "cam.mpo"}) {
        const CommandLine line = parse({name, "out.png"});
        ASSERT_EQ(line.action, Action::Compose) << name;
        EXPECT_TRUE(line.options.stereoFile);
        EXPECT_EQ(line.options.left, name);
        EXPECT_EQ(line.options.output, "out.png");
    }
    EXPECT_EQ(parse({"pair.Jps", "out.png"}).action, Action::UsageError);
    EXPECT_EQ(parse({"pair.jpg", "out.png"}).action, Action::UsageError);
}

TEST(CommandLine, UsageErrorsSayWhatIsWrong)
{
    const std::vector<std::vector<std::string>> bad{
        {},
        {"l", "r"},
        {"l", "r", "o.png", "extra"},
        {"--frobnicate", "l", "r", "o.png"},
        {"l", "r", "o.png", "--depth"},
        {"--glasses", "rx", "l", "r", "o.png"},
        {"--glasses", "11", "l", "r", "o.png"},
        {"--glasses", "0", "l", "r", "o.png"},
        {"--depth", "1.5", "l", "r", "o.png"},
        {"--depth", "2147483648", "l", "r", "o.png"},
        {"--vertical", "", "l", "r", "o.png"},
        {"--left-pin", "10", "l", "r", "o.png"},
        {"--left-pin", "nan,2", "l", "r", "o.png"},
        {"--right-pin", "1,inf", "l", "r", "o.png"},
        {"--right-pin", "1,2,3", "l", "r", "o.png"},
        {"--bw=yes", "l", "r", "o.png"},
        {"l", "r", "o.bmp"},
        {"l", "r", "noextension"},
        {"l", "r", "dir.png/out"},
    };
    for (const auto& args : bad) {
        const CommandLine line = parse(args);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(line.action, Action::UsageError) << joined;
        EXPECT_FALSE(line.error.empty()) << joined;
        EXPECT_EQ(line.error.find('\n'), std::string::npos) << joined;
    }
    EXPECT_NE(parse({"--glasses", "rx", "l", "r", "o.png"}).error.find("rx"), std::string::npos);
    EXPECT_EQ(parse({"--depth", "-2147483648", "l", "r", "o.png"}).options.depth, -2147483647 - 1);
}

TEST(CommandLine, MethodsAndCustomMatrices)
{
    EXPECT_EQ(parse({"l", "r", "o.png"}).options.method, AnaglyphMethod::Classic);
    EXPECT_EQ(parse({"--method", "half-colour", "l", "r", "o.png"}).options.method, AnaglyphMethod::HalfColour);
    const CommandLine ambered = parse({"--glasses", "ab", "--method=dubois", "l", "r", "o.png"});
    ASSERT_EQ(ambered.action, Action::Compose) << ambered.error;
    EXPECT_EQ(ambered.options.glasses, 7);
    EXPECT_EQ(ambered.options.method, AnaglyphMethod::Dubois);

    const CommandLine custom =
        parse({"--method", "custom", "--matrix", "299,587,114,0,0,0,0,0,0;0,0,0,0,1000,0,0,0,1000", "l", "r", "o.png"});
    ASSERT_EQ(custom.action, Action::Compose) << custom.error;
    ASSERT_TRUE(custom.options.matrix);
    EXPECT_EQ(custom.options.matrix->left[1], 587);
    EXPECT_EQ(custom.options.matrix->right[8], 1000);

    const std::string nine = "1,2,3,4,5,6,7,8,9";
    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{"--method", "anaglyph", "l", "r", "o.png"}, "unknown method 'anaglyph' (use classic, grey, half-colour"},
        {{"--matrix", nine + ";" + nine, "l", "r", "o.png"}, "--matrix needs --method custom"},
        {{"--method", "grey", "--matrix", nine + ";" + nine, "l", "r", "o.png"}, "--matrix needs --method custom"},
        {{"--method", "custom", "l", "r", "o.png"}, "--method custom needs --matrix"},
        {{"--method", "custom", "--matrix", nine, "l", "r", "o.png"}, "option '--matrix': a matrix is two lists"},
        {{"--method", "custom", "--matrix", nine + ";1,2,3,4,5,6,7,8,9000", "l", "r", "o.png"}, "outside -5000 to 5000"},
        {{"--glasses", "rg", "--method", "dubois", "l", "r", "o.png"},
         "the dubois method has no matrices for rg glasses (use rc, cr, ab, ba, gm, mg)"},
        {{"--glasses", "6", "--method", "dubois", "l", "r", "o.png"}, "no matrices for br glasses"},
        {{"--method", "grey", "--format", "side-by-side", "l", "r", "o.png"}, "are for the anaglyph format"},
    };
    for (const auto& [args, expected] : bad) {
        const CommandLine line = parse(args);
        EXPECT_EQ(line.action, Action::UsageError) << expected;
        EXPECT_NE(line.error.find(expected), std::string::npos) << line.error;
        EXPECT_EQ(line.error.find('\n'), std::string::npos) << line.error;
    }
}

TEST(CommandLine, HelpAndVersionStopTheParsing)
{
    EXPECT_EQ(parse({"--help"}).action, Action::Help);
    EXPECT_EQ(parse({"--frobnicate", "--help"}).action, Action::UsageError);
    EXPECT_EQ(parse({"l", "--help", "--frobnicate"}).action, Action::Help);
    EXPECT_EQ(parse({"--version"}).action, Action::Version);
    const std::string help = CommandLine::help();
    EXPECT_EQ(help.rfind("usage: korvex-compose [options] LEFT RIGHT OUTPUT\n"
                         "       korvex-compose [options] STEREOFILE OUTPUT\n", 0), 0u);
}

}  // namespace

namespace {

TEST(CommandLine, TheFirstFaultInArgumentOrderIsReported)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--frobnicate", "--glasses", "rx", "l", "r", "o.png"}, "unknown option '--frobnicate'"},
        {{"--glasses", "rx", "--frobnicate", "l", "r", "o.png"}, "unknown glasses 'rx'"},
        {{"--depth", "x", "--vertical", "y", "l", "r", "o.png"}, "'--depth'"},
        {{"--frobnicate=3", "--version"}, "unknown option '--frobnicate'"},
        {{"-q", "l", "r", "o.png"}, "unknown option '-q'"},
        {{"l", "r", "o.png", "--left-pin"}, "option '--left-pin' needs a value"},
    };
    for (const auto& [args, expected] : cases) {
        const CommandLine line = parse(args);
        EXPECT_EQ(line.action, Action::UsageError) << expected;
        EXPECT_NE(line.error.find(expected), std::string::npos) << line.error;
    }
    // A value is taken whole, even when it looks like an option.
    EXPECT_EQ(parse({"--type", "--bw", "l", "r", "o.bin"}).options.typeName, "--bw");
    EXPECT_TRUE(parse({"--type", "--bw", "l", "r", "o.bin"}).options.colorize);
}

TEST(CommandLine, HelpListsEveryOptionOnceWithItsValue)
{
    const std::string help = CommandLine::help();
    for (const char* entry : {"\n  --glasses CODE ", "\n  --bw ", "\n  --depth N ", "\n  --vertical N ",
                              "\n  --left-pin X,Y ", "\n  --right-pin X,Y ", "\n  --type NAME ", "\n  --help ",
                              "\n  --version "}) {
        const std::size_t at = help.find(entry);
        EXPECT_NE(at, std::string::npos) << entry;
        EXPECT_EQ(help.find(entry, at + 1), std::string::npos) << entry;
    }
    // Descriptions line up in one column and fit a terminal.
    std::size_t start = 0;
    while (start < help.size()) {
        const std::size_t end = help.find('\n', start);
        EXPECT_LE(end - start, 80u) << help.substr(start, end - start);
        start = end + 1;
    }
}

}  // namespace

namespace {

TEST(CommandLine, TypeNamesInAnyCaseMustAgreeWithTheOutputName)
{
    const std::vector<std::tuple<std::string, std::string, bool>> cases{
        {"png", "out.png", true},
        {"Png", "out.PNG", true},
        {"jpeg", "out.jpg", true},
        {"jp", "out.jpeg", true},
        {"gif", "out.gif", true},
        {"tiff", "out.tif", true},
        {"anything", "out.tiff", true},  // anything else is TIFF
        {"png", "out.bin", true},        // an unknown extension says nothing
        {"png", "out.jpg", false},
        {"JPEG", "out.png", false},
        {"gif", "out.tif", false},
        {"anything", "out.png", false},
    };
    for (const auto& [type, output, agrees] : cases) {
        const CommandLine line = parse({"--type", type, "l", "r", output});
        EXPECT_EQ(line.action, agrees ? Action::Compose : Action::UsageError) << type << " " << output;
        if (!agrees) {
            EXPECT_NE(line.error.find(type), std::string::npos) << line.error;
            EXPECT_NE(line.error.find(output), std::string::npos) << line.error;
        }
    }
}

TEST(CommandLine, FlagsTakeNoValueAndOverwriteIsAsked)
{
    for (const char* given : {"--bw=1", "--bw=yes", "--overwrite=no"}) {
        const CommandLine line = parse({given, "l", "r", "o.png"});
        EXPECT_EQ(line.action, Action::UsageError) << given;
        const std::string name = std::string(given).substr(0, std::string(given).find('='));
        EXPECT_EQ(line.error, "option '" + name + "' takes no value") << given;
    }
    EXPECT_FALSE(parse({"l", "r", "o.png"}).options.overwrite);
    EXPECT_TRUE(parse({"l", "r", "o.png", "--overwrite"}).options.overwrite);
}

}  // namespace

namespace {

TEST(CommandLine, BatchOptionsAndTheirUsageErrors)
{
    const CommandLine line = parse({"--batch", "in", "more/", "--out-dir", "out", "--jobs", "3", "--shard", "2/5",
                                    "--report", "r.jsonl", "--recursive", "--out-type", "PNG", "--glasses", "gr"});
    ASSERT_EQ(line.action, Action::Batch) << line.error;
    EXPECT_EQ(line.batch.inputs, (std::vector<std::string>{"in", "more/"}));
    EXPECT_EQ(line.batch.outDir, "out");
    EXPECT_EQ(line.batch.jobs, 3u);
    EXPECT_EQ(line.batch.shard.index, 2);
    EXPECT_EQ(line.batch.shard.count, 5);
    EXPECT_EQ(line.batch.reportPath, "r.jsonl");
    EXPECT_TRUE(line.batch.recursive);
    EXPECT_EQ(line.batch.outType, "png");
    EXPECT_EQ(line.options.glasses, 4);  // every job's
    EXPECT_EQ(parse({"--batch", "--manifest", "m.csv"}).action, Action::Batch);

    const std::vector<std::pair<std::vector<std::string>, std::string>> bad{
        {{"--jobs", "2", "l", "r", "o.png"}, "option '--jobs' needs --batch"},
        {{"l", "r", "o.png", "--out-dir", "d"}, "option '--out-dir' needs --batch"},
        {{"--batch", "--out-dir", "d"}, "--batch needs INPUT"},
        {{"--batch", "in"}, "needs --out-dir"},
        {{"--batch", "--manifest", "m.csv", "in", "--out-dir", "d"}, "not both"},
        {{"--batch", "--manifest", "m.csv", "--out-type", "png"}, "--out-type"},
        {{"--batch", "in", "--out-dir", "d", "--jobs", "0"}, "option '--jobs' needs a number"},
        {{"--batch", "in", "--out-dir", "d", "--shard", "3/2"}, "option '--shard' needs K/N"},
        {{"--batch", "in", "--out-dir", "d", "--out-type", "bmp"}, "unknown output type 'bmp'"},
        {{"--batch=1", "in", "--out-dir", "d"}, "option '--batch' takes no value"},
    };
    for (const auto& [args, expected] : bad) {
        const CommandLine bad = parse(args);
        EXPECT_EQ(bad.action, Action::UsageError) << expected;
        EXPECT_NE(bad.error.find(expected), std::string::npos) << bad.error;
    }
}

}  // namespace
