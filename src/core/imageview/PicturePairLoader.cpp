#include "core/imageview/PicturePairLoader.h"

#include "core/bitmap/FileBytes.h"
#include "core/imageview/StereoFile.h"

#include <future>
#include <system_error>

namespace korvex {

namespace {

// Starts the work on a thread of its own, or leaves it to run on the
// caller's thread when no thread can be had.
template <typename Work>
auto alongside(Work work) -> std::future<decltype(work())>
{
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, work);
    }
}

bool splitsOneFrame(StereoLayout layout)
{
    return layout == StereoLayout::SideBySide || layout == StereoLayout::RowInterleaved;
}

}  // namespace

PicturePairLoader::Pair PicturePairLoader::decode(const std::string& leftPath, const std::string& rightPath)
{
    Pair pair;
    const StereoLayout layout = stereoLayoutForPath(leftPath);
    if (leftPath == rightPath && splitsOneFrame(layout)) {
        const FileBytes file = readFileBytes(leftPath);
        if (!file) {
            pair.left.error = pair.right.error = file.error;
            return pair;
        }
        StereoShares shares = loadStereoShares(file.data, layout);
        pair.left = std::move(shares.left);
        pair.right = std::move(shares.right);
        return pair;
    }
    auto right = alongside([&rightPath] { return PictureStore::decodeFileShare(rightPath, RightRole); });
    pair.left = PictureStore::decodeFileShare(leftPath, LeftRole);
    pair.right = right.get();
    return pair;
}

bool PicturePairLoader::load(PictureStore& left, const std::string& leftPath, PictureStore& right,
                             const std::string& rightPath)
{
    // The old pictures go before the new ones are decoded, as a single load does.
    left.imageAndDetach();
    right.imageAndDetach();
    Pair pair = decode(leftPath, rightPath);
    const bool leftLoaded = left.setDecodedImage(std::move(pair.left));
    const bool rightLoaded = right.setDecodedImage(std::move(pair.right));
    return leftLoaded && rightLoaded;
}

}  // namespace korvex
