#include "core/align/RightPictureResampler.h"

#include "core/align/BicubicWarp.h"
#include "core/align/OpenCvPictures.h"

#include <opencv2/imgproc.hpp>

namespace korvex {

std::unique_ptr<Bitmap> resampleRightPicture(const Bitmap& original, const RightCorrection& correction,
                                             std::stop_token stop)
{
    std::unique_ptr<Bitmap> corrected = Bitmap::create(original.layout());
    if (!corrected)
        return nullptr;
    corrected->setSize(original.size());
    const AffineMatrix map = correction.matrixFor(original.pixelsWide(), original.pixelsHigh());
    if (warpBicubicBytes(original, map, *corrected, stop))
        return stop.stop_requested() ? nullptr : std::move(corrected);
    // Other layouts: OpenCV's bicubic, plane by plane.
    const cv::Mat forward(2, 3, CV_64F, const_cast<double*>(map.m.data()));
    for (int plane = 0; plane < original.numberOfPlanes(); ++plane) {
        if (stop.stop_requested())
            return nullptr;
        cv::Mat target = opencv::sharedPixels(*corrected, plane);
        cv::warpAffine(opencv::sharedPixels(original, plane), target, forward, target.size(), cv::INTER_CUBIC,
                       cv::BORDER_CONSTANT, cv::Scalar::all(0));
    }
    return corrected;
}

}  // namespace korvex
