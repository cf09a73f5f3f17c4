#include "core/bitmap/ImageDecoder.h"

#include "../../core/TestPictures.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace korvex;
namespace fs = std::filesystem;

extern char** environ;

namespace {

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<nlohmann::json> reportLines(const fs::path& path)
{
    std::vector<nlohmann::json> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(nlohmann::json::parse(line));
    return lines;
}

class BatchProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::path(::testing::TempDir()) / ("batch-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    // Starts the program with standard error to a file; returns its process id.
    pid_t start(std::vector<std::string> args)
    {
        args.insert(args.begin(), KORVEX_COMPOSE_BINARY);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, (folder / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    static int wait(pid_t pid)
    {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return status;
    }

    int run(const std::vector<std::string>& args)
    {
        const int status = wait(start(args));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string errors() const
    {
        std::ifstream in(folder / "stderr.txt");
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // A pair of small photographs under the given names.
    void writePair(const fs::path& left, const fs::path& right, int width = 64, int height = 48)
    {
        using korvex::testing::solidJpeg;
        writeBytes(left, solidJpeg(width, height, 0.8, 0.3, 0.2));
        writeBytes(right, solidJpeg(width, height, 0.2, 0.6, 0.7));
    }

    // Every file below a folder, relative to it.
    std::set<std::string> filesBelow(const fs::path& root) const
    {
        std::set<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            if (entry.is_regular_file())
                files.insert(fs::relative(entry.path(), root).string());
        return files;
    }

    fs::path folder;
};

TEST_F(BatchProgramTest, ABrokenFileInTheMiddleFailsAloneAndIsReported)
{
    const fs::path in = folder / "in";
    writePair(in / "a_L.jpg", in / "a_R.jpg");
    writePair(in / "b-left.jpg", in / "b-right.jpg");
    std::ofstream(in / "c_L.jpg") << "not a picture";
    writeBytes(in / "c_R.jpg", korvex::testing::solidJpeg(64, 48, 0.1, 0.1, 0.1));
    writePair(in / "trip" / "left" / "d.jpg", in / "trip" / "right" / "d.jpg");
    writePair(in / "eL.jpg", in / "eR.jpg");
    writeBytes(in / "lonely.jpg", korvex::testing::solidJpeg(8, 8, 0, 0, 0));
    std::ofstream(in / "notes.txt") << "ignored";

    const fs::path out = folder / "out";
    const fs::path report = folder / "report.jsonl";
    EXPECT_EQ(run({"--batch", "--recursive", in, "--out-dir", out, "--report", report, "--out-type", "png",
                   "--jobs", "2"}), 1);
    EXPECT_EQ(filesBelow(out), (std::set<std::string>{"a.png", "b.png", "e.png", "trip/d.png"}));
    for (const std::string& name : filesBelow(out))
        EXPECT_TRUE(decodeImageFile((out / name).string())) << name;
    const std::string err = errors();
    EXPECT_NE(err.find((in / "c_L.jpg").string()), std::string::npos) << err;
    EXPECT_NE(err.find("skipped " + (in / "lonely.jpg").string()), std::string::npos) << err;

    std::map<std::string, std::string> statuses;
    for (const nlohmann::json& line : reportLines(report))
        statuses[line.at("job")] = line.at("status");
    EXPECT_EQ(statuses, (std::map<std::string, std::string>{{"a", "ok"}, {"b", "ok"}, {"c", "failed"},
                                                            {"e", "ok"}, {"lonely", "skipped"}, {"trip/d", "ok"}}));

    // Again: what is there is skipped, the broken pair fails again.
    EXPECT_EQ(run({"--batch", "--recursive", in, "--out-dir", out, "--report", report, "--out-type", "png"}), 1);
    std::size_t skipped = 0;
    for (const nlohmann::json& line : reportLines(report))
        skipped += line.at("status") == "skipped";
    EXPECT_EQ(skipped, 5u);
}

TEST_F(BatchProgramTest, AnInterruptedBatchLeavesCompleteOutputsAndTheSameCommandFinishes)
{
    const fs::path in = folder / "in";
    constexpr int jobs = 60;
    for (int i = 0; i < jobs; ++i)
        writePair(in / ("p" + std::to_string(i) + "_L.jpg"), in / ("p" + std::to_string(i) + "_R.jpg"), 600, 400);
    const fs::path out = folder / "out";
    const std::vector<std::string> command{"--batch", in, "--out-dir", out, "--jobs", "1"};

    const pid_t batch = start(command);
    // Interrupt once a few outputs are there.
    const auto outputsThere = [&] {
        if (!fs::exists(out))
            return 0;
        int count = 0;
        for (const std::string& name : filesBelow(out))
            count += !name.starts_with('.');
        return count;
    };
    for (int tries = 0; tries < 2000 && outputsThere() < 3; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(batch, SIGINT);
    const int status = wait(batch);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);

    const std::set<std::string> first = filesBelow(out);
    EXPECT_GE(first.size(), 3u);
    EXPECT_LT(first.size(), std::size_t(jobs)) << "the batch ended before the interruption";
    for (const std::string& name : first) {
        EXPECT_FALSE(name.starts_with('.')) << "a temporary file stayed: " << name;
        const DecodeResult decoded = decodeImageFile((out / name).string());
        EXPECT_TRUE(decoded && decoded.warning.empty()) << name;
    }

    EXPECT_EQ(run(command), 0) << errors();
    EXPECT_EQ(filesBelow(out).size(), std::size_t(jobs));
}

TEST_F(BatchProgramTest, ShardsRunThroughGnuParallelMakeTheWholeOnce)
{
    if (std::system("parallel --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "GNU parallel is not installed";
    const fs::path in = folder / "in";
    for (int i = 0; i < 10; ++i)
        writePair(in / ("s" + std::to_string(i) + "_L.jpg"), in / ("s" + std::to_string(i) + "_R.jpg"));
    writeBytes(in / "odd.jpg", korvex::testing::solidJpeg(8, 8, 0, 0, 0));
    const fs::path out = folder / "out";
    const std::string command = "parallel --will-cite --halt now,fail=1 '" + std::string(KORVEX_COMPOSE_BINARY)
        + "' --batch --jobs 1 --shard {}/3 '" + in.string() + "' --out-dir '" + out.string() + "' --report '"
        + folder.string() + "/report{}.jsonl' ::: 1 2 3 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);

    std::multiset<std::string> reported;
    for (int shard = 1; shard <= 3; ++shard) {
        const auto lines = reportLines(folder / ("report" + std::to_string(shard) + ".jsonl"));
        EXPECT_GE(lines.size(), 3u);  // 11 entries in 3 shards: 4, 4 and 3
        for (const nlohmann::json& line : lines)
            reported.insert(line.at("job").get<std::string>() + " " + line.at("status").get<std::string>());
    }
    std::multiset<std::string> expected{"odd skipped"};
    std::set<std::string> outputs;
    for (int i = 0; i < 10; ++i) {
        expected.insert("s" + std::to_string(i) + " ok");
        outputs.insert("s" + std::to_string(i) + ".jpg");
    }
    EXPECT_EQ(reported, expected);  // each job in exactly one shard
    EXPECT_EQ(filesBelow(out), outputs);
}

TEST_F(BatchProgramTest, AnOutputFolderInsideTheInputIsNotReadAsInput)
{
    const fs::path in = folder / "in";
    writePair(in / "a_L.jpg", in / "a_R.jpg");
    const fs::path report = folder / "report.jsonl";
    // MPO outputs would each be a job of the next run if they were read.
    const std::vector<std::string> command{"--batch", "--recursive", in, "--out-dir", in / "out", "--out-type", "mpo",
                                           "--report", report};
    ASSERT_EQ(run(command), 0) << errors();
    ASSERT_EQ(run(command), 0) << errors();
    const auto lines = reportLines(report);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].at("left"), (in / "a_L.jpg").string());
    EXPECT_EQ(lines[0].at("status"), "skipped");
}

TEST_F(BatchProgramTest, AManifestGivesEachJobItsOwnSettings)
{
    writePair(folder / "pics" / "l.jpg", folder / "pics" / "r.jpg");
    const fs::path manifest = folder / "jobs.csv";
    std::ofstream(manifest) << "left,right,output,glasses\n"
                               "pics/l.jpg,pics/r.jpg,\"red, cyan.png\",rc\n"
                               "pics/l.jpg,pics/r.jpg,green.png,gr\n";
    ASSERT_EQ(run({"--batch", "--manifest", manifest, "--out-dir", folder / "out"}), 0) << errors();
    const DecodeResult redCyan = decodeImageFile((folder / "out" / "red, cyan.png").string());
    const DecodeResult greenRed = decodeImageFile((folder / "out" / "green.png").string());
    ASSERT_TRUE(redCyan && greenRed);
    // The left picture is reddish: red-cyan shows it in red, green-red in green.
    const Color a = redCyan.bitmap->colorAt(5, 5);
    const Color b = greenRed.bitmap->colorAt(5, 5);
    EXPECT_GT(a.red, a.green);
    EXPECT_GT(b.green, b.red);

    std::ofstream(manifest) << "left,right,output\npics/l.jpg,pics/r.jpg\n";
    EXPECT_EQ(run({"--batch", "--manifest", manifest}), 2);
    EXPECT_NE(errors().find("line 2"), std::string::npos) << errors();
}

}  // namespace

TEST_F(BatchProgramTest, AlignedJobsReportTheirPlacement)
{
    const fs::path manifest = folder / "jobs.csv";
    const std::string sample = KORVEX_SAMPLE_DIR;
    std::ofstream(manifest) << "left,right,output,auto_align\n"
                            << sample << "/aloeL.jpg," << sample << "/aloeR.jpg,aligned.png,yes\n"
                            << sample << "/aloeL.jpg," << sample << "/aloeR.jpg,plain.png,no\n";
    const fs::path report = folder / "report.jsonl";
    ASSERT_EQ(run({"--batch", "--manifest", manifest, "--out-dir", folder / "out", "--report", report}), 0) << errors();
    const auto lines = reportLines(report);
    ASSERT_EQ(lines.size(), 2u);
    for (const nlohmann::json& line : lines) {
        SCOPED_TRACE(line.dump());
        if (line.at("output").get<std::string>().ends_with("aligned.png")) {
            // The sample pair is rectified: no turn, and a depth that brings the plant forward.
            const nlohmann::json& alignment = line.at("alignment");
            EXPECT_NEAR(alignment.at("rotation_degrees").get<double>(), 0.0, 0.05);
            EXPECT_GT(alignment.at("inliers").get<int>(), 100);
            EXPECT_GT(alignment.at("depth_px").get<double>(), 50.0);
        } else {
            EXPECT_FALSE(line.contains("alignment"));
        }
    }
}
