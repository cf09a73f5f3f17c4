#include "core/align/OpenCvPictures.h"

#include <opencv2/imgproc.hpp>

namespace korvex::opencv {

cv::Mat sharedPixels(const Bitmap& bitmap, int plane)
{
    const int depth = bitmap.bitsPerSample() == 16 ? CV_16U : CV_8U;
    // A meshed pixel may carry padding samples beyond samplesPerPixel.
    const int channels = bitmap.isPlanar() ? 1 : bitmap.bitsPerPixel() / bitmap.bitsPerSample();
    auto* data = const_cast<std::uint8_t*>(bitmap.planeData(plane));
    return cv::Mat(bitmap.pixelsHigh(), bitmap.pixelsWide(), CV_MAKETYPE(depth, channels), data, bitmap.bytesPerRow());
}

namespace {

cv::Mat fullGrey(const Bitmap& bitmap)
{
    const bool colour = bitmap.samplesPerPixel() - (bitmap.hasAlpha() ? 1 : 0) >= 3;
    if (bitmap.isPlanar()) {
        if (!colour)
            return sharedPixels(bitmap, 0);
        cv::Mat red, green, blue, grey;
        sharedPixels(bitmap, 0).convertTo(red, CV_32F);
        sharedPixels(bitmap, 1).convertTo(green, CV_32F);
        sharedPixels(bitmap, 2).convertTo(blue, CV_32F);
        grey = 0.299 * red + 0.587 * green + 0.114 * blue;
        grey.convertTo(grey, bitmap.bitsPerSample() == 16 ? CV_16U : CV_8U);
        return grey;
    }
    const cv::Mat pixels = sharedPixels(bitmap);
    cv::Mat grey;
    switch (pixels.channels()) {
    case 1:
        return pixels;
    case 3:
        cv::cvtColor(pixels, grey, cv::COLOR_RGB2GRAY);
        return grey;
    case 4:
        if (colour) {
            cv::cvtColor(pixels, grey, cv::COLOR_RGBA2GRAY);
            return grey;
        }
        [[fallthrough]];
    default:
        // Grey with alpha (or padding): the first sample is the grey.
        cv::extractChannel(pixels, grey, 0);
        return grey;
    }
}

}  // namespace

cv::Mat reducedGrey(const Bitmap& bitmap, double factor)
{
    cv::Mat grey = fullGrey(bitmap);
    cv::Mat reduced;
    if (factor < 1.0) {
        const cv::Size size(std::max(1, int(bitmap.pixelsWide() * factor + 0.5)),
                            std::max(1, int(bitmap.pixelsHigh() * factor + 0.5)));
        cv::resize(grey, reduced, size, 0.0, 0.0, cv::INTER_AREA);
    } else {
        reduced = grey.clone();
    }
    if (reduced.depth() == CV_16U)
        reduced.convertTo(reduced, CV_8U, 1.0 / 257.0);
    return reduced;
}

}  // namespace korvex::opencv
