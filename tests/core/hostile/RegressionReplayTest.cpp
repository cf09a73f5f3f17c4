// Every input a fuzzer ever crashed or hung on, and the fuzzing seeds, go
// through the decoders and the stereo split again: each must give a picture
// or a refusal with a reason.
#include "core/bitmap/ImageDecoder.h"
#include "core/imageview/StereoFile.h"
#include "core/imageview/PictureStore.h"

#include "../TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace korvex;
using korvex::testing::readBytes;

namespace {

std::vector<std::filesystem::path> replayFiles()
{
    const std::filesystem::path fuzz = KORVEX_FUZZ_DIR;
    std::vector<std::filesystem::path> files;
    for (const auto& folder : {fuzz / "regressions", fuzz / "seeds"}) {
        if (!std::filesystem::is_directory(folder))
            continue;  // no regressions kept yet
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                files.push_back(entry.path());
    }
    return files;
}

void expectPictureOrReason(const DecodeResult& r)
{
    if (r.bitmap) {
        EXPECT_GE(r.bitmap->pixelsWide(), 1);
        EXPECT_GE(r.bitmap->pixelsHigh(), 1);
    } else {
        EXPECT_FALSE(r.error.empty());
    }
}

}  // namespace

TEST(FuzzRegressions, EveryKeptInputGivesAPictureOrAReason)
{
    const std::vector<std::filesystem::path> files = replayFiles();
    // The stereo seeds alone are five files; fewer means a wrong folder.
    ASSERT_GE(files.size(), 5u);
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const std::vector<std::uint8_t> bytes = readBytes(path);
        expectPictureOrReason(decodeImage(bytes));
        for (const StereoLayout layout : {StereoLayout::None, StereoLayout::SideBySide, StereoLayout::RowInterleaved,
                                          StereoLayout::MultiPicture})
            for (const int role : {int(LeftRole), int(RightRole)})
                expectPictureOrReason(loadStereoShare(bytes, layout, role));
    }
}
