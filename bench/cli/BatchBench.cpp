// korvex-compose --batch --jobs 2 on 40 MPO files of 12 MP against a shell
// loop of single runs over the same files, timed in the same run. Counters:
// "vs_shell_loop" is the batch's throughput over the loop's (goal at least
// 1.5), "peak_memory_vs_single_job" the batch's peak resident memory over one
// single run's (goal at most 2).
#include "../SamplePair.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int fileCount = 40;

struct Measured {
    double seconds = 0;
    long peakKilobytes = 0;  // the largest of the process and everything it waited for
};

// Runs a command line through the shell and measures it.
Measured measure(const std::string& command)
{
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return {};
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Measured measured;
    measured.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measured.peakKilobytes = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        measured.seconds = 0;  // shows as a failed benchmark below
    return measured;
}

std::string shellQuoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

// 40 copies of one 12 MP MPO, written by korvex-compose from the sample pair.
const fs::path& inputFolder()
{
    static const fs::path folder = [] {
        const korvex::bench::SamplePair& pair = korvex::bench::SamplePair::of(12);
        const fs::path root = fs::temp_directory_path() / "korvex-bench-batch";
        const fs::path in = root / "in";
        fs::create_directories(in);
        const fs::path first = in / "photo00.mpo";
        if (!fs::exists(first))
            measure(shellQuoted(KORVEX_COMPOSE_BINARY) + " " + shellQuoted(pair.left) + " " + shellQuoted(pair.right) + " "
                    + shellQuoted(first));
        for (int i = 1; i < fileCount; ++i) {
            const fs::path copy = in / ("photo" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".mpo");
            if (!fs::exists(copy))
                fs::copy_file(first, copy);
        }
        return in;
    }();
    return folder;
}

fs::path freshOutputFolder(const std::string& name)
{
    const fs::path out = inputFolder().parent_path() / name;
    fs::remove_all(out);
    fs::create_directories(out);
    return out;
}

// The baseline, measured once in this run.
const Measured& shellLoop()
{
    static const Measured measured = [] {
        const fs::path out = freshOutputFolder("loop");
        return measure("for f in " + shellQuoted(inputFolder()) + "/*.mpo; do " + shellQuoted(KORVEX_COMPOSE_BINARY)
                       + " \"$f\" " + shellQuoted(out) + "/\"$(basename \"$f\" .mpo)\".jpg || exit 1; done");
    }();
    return measured;
}

void report(benchmark::State& state, const Measured& measured)
{
    if (measured.seconds <= 0 || shellLoop().seconds <= 0) {
        state.SkipWithError("korvex-compose failed");
        return;
    }
    state.SetIterationTime(measured.seconds);
    state.counters["pictures_per_s"] = fileCount / measured.seconds;
    state.counters["peak_MB"] = measured.peakKilobytes / 1024.0;
    state.counters["vs_shell_loop"] = shellLoop().seconds / measured.seconds;
    state.counters["peak_memory_vs_single_job"] = double(measured.peakKilobytes) / double(shellLoop().peakKilobytes);
}

void shellLoopOfSingleRuns(benchmark::State& state)
{
    for (auto _ : state)
        report(state, shellLoop());
}
BENCHMARK(shellLoopOfSingleRuns)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

void batchTwoJobs(benchmark::State& state)
{
    shellLoop();
    for (auto _ : state) {
        const fs::path out = freshOutputFolder("batch");
        report(state, measure(shellQuoted(KORVEX_COMPOSE_BINARY) + " --batch --jobs 2 " + shellQuoted(inputFolder())
                              + " --out-dir " + shellQuoted(out)));
    }
}
BENCHMARK(batchTwoJobs)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
