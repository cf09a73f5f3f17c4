// Every test picture, whole and cut at 0, 1, 8 and 33 bytes, at half and one
// byte short, through the stereo split of both file kinds. One test per file
// so that ctest's per-test timeout bounds each file's decoding time.
#include "core/imageview/PictureStore.h"
#include "core/imageview/StereoFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace korvex;

namespace {

std::vector<std::string> pictureFiles()
{
    std::vector<std::string> files;
    for (const char* root : {KORVEX_TEST_DATA_DIR "/corpus", KORVEX_SAMPLE_DIR, KORVEX_FUZZ_DIR "/seeds"})
        if (std::filesystem::is_directory(root))
            for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
                if (entry.is_regular_file() && entry.path().extension() != ".dict" && entry.path().extension() != ".md")
                    files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

class EachFile : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(EachFile, EveryCutSplitsOrIsRefusedWithAReason)
{
    std::ifstream in(GetParam(), std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(bytes.empty());
    for (const std::size_t length : {std::size_t(0), std::size_t(1), std::size_t(8), std::size_t(33), bytes.size() / 2,
                                     bytes.size() - 1, bytes.size()}) {
        if (length > bytes.size())
            continue;
        SCOPED_TRACE("cut at " + std::to_string(length));
        const std::span<const std::uint8_t> cut(bytes.data(), length);
        for (const auto& [layout, role] : {std::pair{StereoLayout::SideBySide, int(LeftRole)},
                                           std::pair{StereoLayout::RowInterleaved, int(RightRole)}}) {
            const DecodeResult share = loadStereoShare(cut, layout, role);
            if (!share) {
                EXPECT_FALSE(share.error.empty());
                continue;
            }
            // A share is always the RGBA canvas; touch its last pixel for the sanitizers.
            EXPECT_EQ(share.bitmap->samplesPerPixel(), 4);
            const Color c = share.bitmap->colorAt(share.bitmap->pixelsWide() - 1, share.bitmap->pixelsHigh() - 1);
            EXPECT_TRUE(c.alpha >= 0.0 && c.alpha <= 1.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CutCorpus, EachFile, ::testing::ValuesIn(pictureFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = std::filesystem::path(info.param).filename().string();
                             std::replace_if(name.begin(), name.end(), [](unsigned char ch) { return !std::isalnum(ch); }, '_');
                             return std::to_string(info.index) + "_" + name;
                         });
