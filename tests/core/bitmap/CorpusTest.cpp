#include "core/bitmap/ImageDecoder.h"

#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace korvex;
using namespace korvex::testing;

namespace {

std::vector<std::string> corpusFiles()
{
    std::vector<std::string> files;
    for (const char* root : {KORVEX_TEST_DATA_DIR "/corpus", KORVEX_SAMPLE_DIR})
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_regular_file())
                files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Decoded with a sane bitmap, or refused with a reason: never both, never neither.
void expectDecodedOrRefused(std::span<const std::uint8_t> data, const std::string& what)
{
    const DecodeResult r = decodeImage(data);
    if (!r.bitmap) {
        EXPECT_FALSE(r.error.empty()) << what;
        return;
    }
    EXPECT_TRUE(r.error.empty()) << what;
    const Bitmap& b = *r.bitmap;
    EXPECT_GE(b.pixelsWide(), 1) << what;
    EXPECT_GE(b.pixelsHigh(), 1) << what;
    EXPECT_EQ(b.size(), (Size{double(b.pixelsWide()), double(b.pixelsHigh())})) << what;
    // Touch the last pixel so that a sanitizer sees any short buffer.
    const Color c = b.colorAt(b.pixelsWide() - 1, b.pixelsHigh() - 1);
    EXPECT_TRUE(c.alpha >= 0.0 && c.alpha <= 1.0) << what;
}

}  // namespace

TEST(Corpus, EveryFileDecodesOrIsRefusedWithAReason)
{
    const auto files = corpusFiles();
    ASSERT_GT(files.size(), 100u);
    int decoded = 0;
    for (const auto& path : files) {
        const auto bytes = readBytes(path);
        SCOPED_TRACE(path);
        expectDecodedOrRefused(bytes, path);
        decoded += decodeImage(bytes) ? 1 : 0;
    }
    EXPECT_GT(decoded, 90);
    // The files named invalid-* are broken on purpose; none may pass silently,
    // except an index past a 255-entry palette, which libpng shows black.
    for (const auto& path : files)
        if (path.find("invalid-") != std::string::npos && path.find("invalid-palette") == std::string::npos) {
            const auto r = decodeImage(readBytes(path));
            EXPECT_TRUE(!r.bitmap || !r.warning.empty()) << path;
        }
}

TEST(Corpus, EveryCutOfEveryFileDecodesOrIsRefused)
{
    for (const auto& path : corpusFiles()) {
        const auto bytes = readBytes(path);
        for (std::size_t length : {std::size_t(0), std::size_t(1), std::size_t(8), std::size_t(33), bytes.size() / 2,
                                   bytes.size() - 1}) {
            if (length > bytes.size())
                continue;
            const std::span<const std::uint8_t> cut(bytes.data(), length);
            expectDecodedOrRefused(cut, path + " cut at " + std::to_string(length));
        }
    }
}

TEST(Corpus, TwoThreadsDecodeAsOneDoes)
{
    std::vector<std::vector<std::uint8_t>> inputs;
    for (const auto& path : corpusFiles()) {
        auto bytes = readBytes(path);
        inputs.push_back(bytes);
        bytes.resize(bytes.size() / 2);  // half files exercise the error paths too
        inputs.push_back(std::move(bytes));
    }
    std::vector<std::string> expected;
    for (const auto& input : inputs) {
        const auto r = decodeImage(input);
        expected.push_back(r.error + "|" + r.warning);
    }
    std::vector<std::string> seen[2];
    auto work = [&](int which) {
        for (const auto& input : inputs) {
            const auto r = decodeImage(input);
            seen[which].push_back(r.error + "|" + r.warning);
        }
    };
    std::thread first(work, 0);
    std::thread second(work, 1);
    first.join();
    second.join();
    EXPECT_EQ(seen[0], expected);
    EXPECT_EQ(seen[1], expected);
}
