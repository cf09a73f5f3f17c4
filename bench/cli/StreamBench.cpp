// A JPEG pair composed to a JPEG anaglyph at 24 and 100 MP: the streamed
// path against the whole-picture path of the same job and against the
// two-core floor, the CPU time libjpeg-turbo's own djpeg and cjpeg need to
// decode both pictures and encode the result (quality 98, 4:4:4, as
// Korvex writes it) spread over two cores, all measured in the same run.
// Each job runs in a child process, whose peak resident memory is read from
// wait4. Counters: "vs_floor" is the wall time over the floor (goal at most
// 1.2), "cpu_vs_floor" the CPU time over the floor tools' CPU time (load
// does not move it), "two_core_estimate_vs_floor" the longer of the main
// thread's CPU time and half the job's over the floor (what the wall time
// would be on two idle cores at best, when the machine is shared),
// "peak_MB" (goal 64 at 24 MP, 128 at 100 MP),
// "vs_whole_time" and "peak_vs_whole" against the whole-picture path,
// "floor_ms" and "cpu_ms" the floor and the job's CPU time themselves.
// "load" is the machine's one-minute load average when the size started.
#include "../SamplePair.h"
#include "cli/ComposeJob.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using korvex::ComposeJob;
using korvex::ComposeOptions;

struct Cost {
    double seconds = 0;     // wall time; 0 when the work failed
    double cpuSeconds = 0;  // user and system time
    long peakKilobytes = 0;
    double mainThreadCpuSeconds = 0;  // of a job run in a child
};

Cost waitFor(pid_t pid, std::chrono::steady_clock::time_point start)
{
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Cost cost;
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    cost.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cost.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    cost.peakKilobytes = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        cost.seconds = 0;
    return cost;
}

double threadCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Cost inChild(const std::function<bool()>& work)
{
    // The child's main thread's CPU time comes back through a shared page.
    void* shared = ::mmap(nullptr, sizeof(double), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED)
        return {};
    auto* mainThread = static_cast<double*>(shared);
    *mainThread = 0;
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const bool ok = work();
        *mainThread = threadCpuSeconds();
        ::_exit(ok ? 0 : 1);
    }
    Cost cost = pid > 0 ? waitFor(pid, start) : Cost{};
    cost.mainThreadCpuSeconds = *mainThread;
    ::munmap(shared, sizeof(double));
    return cost;
}

Cost command(const std::string& line)
{
    const char* argv[] = {"sh", "-c", line.c_str(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return {};
    return waitFor(pid, start);
}

std::string shellQuoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

double loadAverage()
{
    double load = 0;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = 0;
        std::fclose(f);
    }
    return load;
}

struct Size {
    Cost whole, streamed, floor;
    double load = 0;
    bool sameBytes = false;
};

// Everything for one size, measured once in this run in this order.
const Size& measured(int megapixels)
{
    static std::map<int, Size> sizes;
    if (auto found = sizes.find(megapixels); found != sizes.end())
        return found->second;
    Size& size = sizes[megapixels];
    // The pair is made in a child so this process stays small for the children it forks.
    inChild([megapixels] { return !korvex::bench::SamplePair::of(megapixels).left.empty(); });
    const korvex::bench::SamplePair pair(megapixels);
    const fs::path folder = fs::path(pair.left).parent_path();
    ComposeOptions options;
    options.left = pair.left;
    options.right = pair.right;
    options.typeName = "JPEG";
    options.depth = 24;
    options.vertical = -9;
    options.overwrite = true;
    size.load = loadAverage();

    // Each job writes a new file, as on the first run: replacing the last
    // run's output would add the freeing of its blocks to the later runs only.
    options.output = (folder / "whole.jpg").string();
    fs::remove(options.output);
    size.whole = inChild([&] { return ComposeJob::runWithWholePictures(options).exitStatus == 0; });
    options.output = (folder / "streamed.jpg").string();
    fs::remove(options.output);
    size.streamed = inChild([&] { return ComposeJob::run(options).exitStatus == 0; });
    size.sameBytes = command("cmp -s " + shellQuoted(fs::path(options.output)) + " " + shellQuoted(folder / "whole.jpg")).seconds > 0;

    // The floor: the result as a PPM (made untimed) for cjpeg, the sources for djpeg.
    const fs::path ppm = folder / "result.ppm";
    command("djpeg " + shellQuoted(fs::path(options.output)) + " > " + shellQuoted(ppm));
    double cpu = 0;
    bool ok = true;
    for (const std::string& tool : {"djpeg " + shellQuoted(fs::path(pair.left)) + " > /dev/null",
                                    "djpeg " + shellQuoted(fs::path(pair.right)) + " > /dev/null",
                                    "cjpeg -quality 98 -sample 1x1 " + shellQuoted(ppm) + " > /dev/null"}) {
        const Cost cost = command(tool);
        ok = ok && cost.seconds > 0;
        cpu += cost.cpuSeconds;
    }
    fs::remove(ppm);
    size.floor.cpuSeconds = cpu;
    size.floor.seconds = ok ? cpu / 2.0 : 0.0;
    return size;
}

void report(benchmark::State& state, const Size& size, const Cost& cost)
{
    if (cost.seconds <= 0 || size.whole.seconds <= 0 || size.floor.seconds <= 0) {
        state.SkipWithError("a job or a libjpeg-turbo tool failed (is libjpeg-turbo-progs installed?)");
        return;
    }
    if (!size.sameBytes) {
        state.SkipWithError("the streamed file differs from the whole-picture path's");
        return;
    }
    state.SetIterationTime(cost.seconds);
    state.counters["vs_floor"] = cost.seconds / size.floor.seconds;
    state.counters["cpu_vs_floor"] = cost.cpuSeconds / size.floor.cpuSeconds;
    // On two idle cores a job cannot finish before its busiest thread nor
    // before half its CPU time: its wall time there, whatever the load now.
    state.counters["two_core_estimate_vs_floor"] =
        std::max(cost.mainThreadCpuSeconds, cost.cpuSeconds / 2.0) / size.floor.seconds;
    state.counters["peak_MB"] = double(cost.peakKilobytes) / 1024.0;
    state.counters["vs_whole_time"] = cost.seconds / size.whole.seconds;
    state.counters["peak_vs_whole"] = double(cost.peakKilobytes) / double(size.whole.peakKilobytes);
    state.counters["load"] = size.load;
    state.counters["floor_ms"] = size.floor.seconds * 1e3;
    state.counters["cpu_ms"] = cost.cpuSeconds * 1e3;
}

void wholePictures(benchmark::State& state)
{
    const Size& size = measured(int(state.range(0)));
    for (auto _ : state)
        report(state, size, size.whole);
}
BENCHMARK(wholePictures)->Arg(24)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void streamed(benchmark::State& state)
{
    const Size& size = measured(int(state.range(0)));
    for (auto _ : state)
        report(state, size, size.streamed);
}
BENCHMARK(streamed)->Arg(24)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
