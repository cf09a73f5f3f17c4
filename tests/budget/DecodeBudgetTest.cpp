// What one file may cost to decode: every file of the test corpus, every
// kept fuzz input, their cut copies and the hostile files of the other tests
// are decoded in a child process that may hold at most 64 MB beyond the
// pixels of the picture it returns and may spend at most 200 ms of CPU time.
#include "core/bitmap/ImageDecoder.h"

#include "../core/hostile/HostileFiles.h"
#include "AllocationMeter.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>
#include <sstream>

using namespace korvex;
using namespace korvex::testing;

namespace {

constexpr std::size_t allowance = 64u << 20;
// A child never gets further than this: the largest picture any small file
// may declare, plus the allowance.
constexpr std::size_t hardLimit = ImageLimits::bigPictureBytes + allowance;
// CPU time, not wall time, so that a busy machine does not fail the test.
// The sanitizers make every decode several times slower.
const double cpuBudgetMs = addressLimitsWork() ? 200.0 : 200.0 * 5;

struct Cost {
    std::string outcome;
    std::size_t pictureBytes = 0;
    std::size_t peakBytes = 0;
    double cpuMs = 0;
};

double cpuMsNow()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Decodes in a child whose address space (where limits work) and heap may
// grow only by hardLimit, so that a blow-up fails at once.
Cost decodeCost(const std::vector<std::uint8_t>& bytes)
{
    const std::optional<std::size_t> headroom =
        addressLimitsWork() ? std::optional<std::size_t>(hardLimit + (16u << 20)) : std::nullopt;
    const ChildRun run = runInChild(headroom, [&](int reportFd) {
        const double before = cpuMsNow();
        meter::start(hardLimit, reportFd);
        DecodeResult r = decodeImage(bytes);
        meter::stop();
        const double cpu = cpuMsNow() - before;
        std::ostringstream report;
        report << (r.bitmap ? r.bitmap->totalBytes() : 0) << ' ' << meter::peak() << ' ' << cpu << ' ' << outcome(r);
        return report.str();
    });
    if (!run.exitedCleanly)
        return {"crashed: " + run.report};
    Cost cost;
    std::istringstream in(run.report);
    if (!(in >> cost.pictureBytes >> cost.peakBytes >> cost.cpuMs))
        return {run.report};
    std::getline(in >> std::ws, cost.outcome);
    return cost;
}

void expectWithinBudget(const std::string& what, const std::vector<std::uint8_t>& bytes)
{
    SCOPED_TRACE(what);
    const Cost cost = decodeCost(bytes);
    ASSERT_TRUE(cost.outcome.rfind("refused: ", 0) == 0 || cost.pictureBytes > 0) << cost.outcome;
    EXPECT_LE(cost.peakBytes, cost.pictureBytes + allowance) << cost.outcome;
    EXPECT_LT(cost.cpuMs, cpuBudgetMs) << cost.outcome;
}

std::vector<std::filesystem::path> keptFiles()
{
    std::vector<std::filesystem::path> files;
    const std::filesystem::path fuzz = KORVEX_FUZZ_DIR;
    for (const std::filesystem::path& root : {std::filesystem::path(KORVEX_TEST_DATA_DIR) / "corpus",
                                             std::filesystem::path(KORVEX_SAMPLE_DIR), fuzz / "seeds", fuzz / "regressions"})
        if (std::filesystem::is_directory(root))
            for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
                if (entry.is_regular_file() && entry.path().extension() != ".dict")
                    files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST(DecodeBudget, EveryKeptFileWholeAndCut)
{
    const auto files = keptFiles();
    ASSERT_GT(files.size(), 100u);
    for (const auto& path : files) {
        std::vector<std::uint8_t> bytes = readBytes(path.string());
        expectWithinBudget(path.string(), bytes);
        for (const std::size_t length : {bytes.size() / 2, bytes.size() - std::min<std::size_t>(bytes.size(), 1)}) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(length));
            expectWithinBudget(path.string() + " cut at " + std::to_string(length), cut);
        }
    }
}

TEST(DecodeBudget, HostileFiles)
{
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "pCAL", "sCAL", "iCCP", "eXIf"})
        expectWithinBudget(std::string("PNG ") + type + " chunk claiming 2 GB", pngClaimingGigabytes(type));
    std::vector<std::uint8_t> progressive = readBytes(corpusPath("mixed/video-001.progressive.jpeg"));
    progressive.resize(4096);
    std::vector<std::uint8_t> firstScanOnly = jpegRedeclared(progressive, 4600, 4600);
    firstScanOnly.resize(700);
    const std::pair<const char*, std::vector<std::uint8_t>> hostile[] = {
        {"TIFF with 16384 x 16384 tiles", tiledTiff(4, 4, 16384, 16384)},
        {"progressive JPEG declaring 4600 x 4600", jpegRedeclared(progressive, 4600, 4600)},
        {"progressive JPEG declaring 4600 x 4600, cut in its first scan", firstScanOnly},
        {"PNG declaring 100000 x 100000", pngDeclaring(100000, 100000)},
        {"PNG declaring 16000 x 16000", pngDeclaring(16000, 16000)},
        {"JPEG declaring 16000 x 16000", jpegDeclaring(16000, 16000)},
        {"TIFF declaring 16000 x 16000", tiffDeclaring(16000, 16000)},
        {"GIF declaring 16000 x 16000", gifDeclaring(16000, 16000)},
        {"GIF screen of 16383 x 16383", gifDeclaringScreen(16383, 16383)},
    };
    for (const auto& [name, bytes] : hostile)
        expectWithinBudget(name, bytes);
}
