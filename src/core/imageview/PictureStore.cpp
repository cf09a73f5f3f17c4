#include "core/imageview/PictureStore.h"

#include "core/bitmap/FileBytes.h"
#include "core/bitmap/ImageDecoder.h"
#include "core/imageview/StereoFile.h"

#include <atomic>
#include <cmath>

namespace korvex {

PictureStore::PictureStore() = default;

bool PictureStore::setImageWithFile(const std::string& path)
{
    retireImage();  // the old picture goes before the new one is decoded
    renewGeneration();
    return setDecodedImage(decodeFileShare(path, itype_));
}

DecodeResult PictureStore::decodeFileShare(const std::string& path, int role)
{
    const FileBytes file = readFileBytes(path);
    if (!file)
        return DecodeResult{nullptr, file.error, {}};
    return loadStereoShare(file.data, stereoLayoutForPath(path), role);
}

bool PictureStore::setDecodedImage(DecodeResult decoded)
{
    retireImage();
    renewGeneration();
    lastError_.clear();
    lastWarning_.clear();
    if (!decoded)
        lastError_ = decoded.error.empty() ? std::string("cannot read the picture") : decoded.error;
    lastWarning_ = std::move(decoded.warning);
    adopt(std::move(decoded.bitmap));
    return image_ != nullptr;
}

bool PictureStore::setImageWithData(std::span<const std::uint8_t> data)
{
    retireImage();
    renewGeneration();
    lastError_.clear();
    lastWarning_.clear();

    DecodeResult decoded = decodeImage(data);
    if (!decoded)
        lastError_ = decoded.error.empty() ? std::string("cannot read the picture") : decoded.error;
    lastWarning_ = std::move(decoded.warning);
    adopt(std::move(decoded.bitmap));
    return image_ != nullptr;
}

void PictureStore::retireImage()
{
    if (image_ && retire_)
        retire_(std::move(image_));
    image_.reset();
}

void PictureStore::adopt(std::unique_ptr<Bitmap> bitmap)
{
    retireImage();
    image_ = std::move(bitmap);
    renewGeneration();
    if (image_)
        image_->setSize({double(image_->pixelsWide()), double(image_->pixelsHigh())});
    adjustFrame();
    const Size s = size();
    setPinPoint({s.width / 2.0, s.height / 2.0});
}

void PictureStore::setImage(std::unique_ptr<Bitmap> bitmap)
{
    retireImage();
    image_ = std::move(bitmap);
    renewGeneration();
    adjustFrame();
}

void PictureStore::createImageWithSize(Size size)
{
    std::unique_ptr<Bitmap> previous = std::move(image_);
    // Compare before converting: a huge or NaN size must not overflow an int.
    if (!(size.width >= 1.0 && size.height >= 1.0) || size.width > 2147483647.0 || size.height > 2147483647.0)
        return;
    // The composition writes every pixel: the previous canvas's memory serves.
    image_ = Bitmap::createRGBCanvas(int(std::trunc(size.width)), int(std::trunc(size.height)), std::move(previous));
    renewGeneration();
}

void PictureStore::setPinPoint(Point p)
{
    pinPoint_ = clampedPinPoint(p, size());
}

Point PictureStore::clampedPinPoint(Point p, Size s)
{
    if (std::isnan(p.x)) p.x = 0;
    if (std::isnan(p.y)) p.y = 0;
    if (p.x < 0) p.x = 0;
    if (p.y < 0) p.y = 0;
    if (p.x > s.width) p.x = s.width;
    if (p.y > s.height) p.y = s.height;
    return p;
}

Size PictureStore::size() const
{
    return image_ ? image_->size() : Size{};
}

std::unique_ptr<Bitmap> PictureStore::imageAndDetach()
{
    renewGeneration();
    return std::move(image_);
}

void PictureStore::renewGeneration()
{
    // One counter for every store: a bitmap moved to another store, or a new
    // one at a freed one's address, still counts as a different picture.
    static std::atomic<std::uint64_t> counter{0};
    generation_ = ++counter;
}

void PictureStore::adjustFrame()
{
    if (frameChanged_)
        frameChanged_();
}

}  // namespace korvex
