#include "core/stereo/JpsWriter.h"

#include "core/bitmap/JpegSegments.h"
#include "core/stereo/StereoFrame.h"

#include <array>
#include <new>

namespace korvex {

namespace {

// Identifier, the descriptor's length (4), then the descriptor most
// significant byte first: separation 0, flags 0 (full size, right eye
// first), layout 2 (side by side), media type 1 (stereo).
constexpr std::array<std::uint8_t, 14> descriptor = {'_', 'J', 'P', 'S', 'J', 'P', 'S', '_', 0, 4, 0, 0, 2, 1};

}  // namespace

EncodeResult encodeJps(const AlignedPair& pair, const EncodeProperties& jpeg)
{
    const StereoFrameSize size = stereoFrameSize(StereoFormat::CrossEyed, pair.width(), pair.height(), 0);
    if (!size)
        return EncodeResult{{}, size.error};
    try {
        const auto frame = Bitmap::createRGBCanvas(size.width, size.height);
        if (!frame || !fillStereoFrame(pair, StereoFormat::CrossEyed, 0, *frame))
            return EncodeResult{{}, "not enough memory for the JPS picture"};
        EncodeResult result = representationUsingType(*frame, FileType::JPEG, jpeg);
        if (result)
            result.data = withJpegSegment(result.data, 0xE3, descriptor);
        return result;
    } catch (const std::bad_alloc&) {
        return EncodeResult{{}, "not enough memory to write the JPS file"};
    }
}

}  // namespace korvex
