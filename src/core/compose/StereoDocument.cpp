#include "core/compose/StereoDocument.h"

#include "core/compose/AnaglyphComposer.h"
#include "core/compose/OverlapGeometry.h"
#include "core/compose/ResultEncoding.h"
#include "core/compose/StereoCodes.h"

#include <limits>
#include <utility>

namespace korvex {

namespace {

constexpr std::int32_t firstGlasses = 1;
constexpr std::int32_t lastGlasses = 6;

// Offsets have no bounds but 32 bits; stop at the ends instead of overflowing.
std::int32_t addClamped(std::int32_t value, std::int32_t step)
{
    const std::int64_t sum = std::int64_t(value) + step;
    if (sum > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (sum < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(sum);
}

}  // namespace

StereoDocument::StereoDocument(PictureStore& leftImage, PictureStore& rightImage, PictureStore& resultImage,
                               DocumentHost& host, UserDefaults& defaults)
    : left_(leftImage), right_(rightImage), result_(resultImage), host_(host), defaults_(defaults)
{
}

void StereoDocument::setUpFromDefaults()
{
    // Only 1 to 6 name glasses; anything else stored counts as missing, so
    // the composition and the toolbar never see another value.
    const std::optional<int> stored = defaults_.integerForKey(glassesTypeKey);
    glasses_ = stored && *stored >= firstGlasses && *stored <= lastGlasses ? *stored : firstGlasses;
    colorize_ = defaults_.boolForKey(colorizeKey).value_or(false);
}

bool StereoDocument::hasValidImage(const PictureStore& view)
{
    const Bitmap* bitmap = view.image();
    return bitmap && bitmap->size().width > 0.0 && bitmap->size().height > 0.0;
}

bool StereoDocument::hasResult() const
{
    return hasValidImage(left_) && hasValidImage(right_);
}

std::int32_t StereoDocument::calcValueOffset() const
{
    return host_.isShiftHeld() ? 5 : 1;
}

void StereoDocument::commandEnding()
{
    changed_ = true;
    if (resultVisible_)
        recalc();
    host_.documentChanged();
}

void StereoDocument::set3DColor()
{
    colorize_ = !colorize_;
    host_.showToolbarPicture(DocumentHost::ToolbarItem::Colorize, colorizeButtonName(colorize_));
    defaults_.setBool(colorizeKey, colorize_);
    commandEnding();
}

void StereoDocument::set3DGlasses(int tag)
{
    if (tag > lastGlasses)
        return;
    const std::int32_t previous = glasses_;
    if (tag > 0) {
        glasses_ = tag;
    } else {
        glasses_ = glasses_ + 1;
        if (glasses_ > lastGlasses)
            glasses_ = firstGlasses;
    }
    if (glasses_ == previous)
        return;
    host_.showToolbarPicture(DocumentHost::ToolbarItem::Glasses, glassesButtonName(glasses_));
    defaults_.setInteger(glassesTypeKey, glasses_);
    commandEnding();
}

void StereoDocument::resetAlignment()
{
    setAlignment(0, 0);
}

void StereoDocument::setAlignment(std::int32_t horizontal, std::int32_t vertical)
{
    if (horizontalOffset_ == horizontal && verticalOffset_ == vertical)
        return;
    horizontalOffset_ = horizontal;
    verticalOffset_ = vertical;
    commandEnding();
}

void StereoDocument::incDepth()
{
    horizontalOffset_ = addClamped(horizontalOffset_, calcValueOffset());
    commandEnding();
}

void StereoDocument::decDepth()
{
    horizontalOffset_ = addClamped(horizontalOffset_, -calcValueOffset());
    commandEnding();
}

void StereoDocument::incVerticalOffset()
{
    verticalOffset_ = addClamped(verticalOffset_, calcValueOffset());
    commandEnding();
}

void StereoDocument::decVerticalOffset()
{
    verticalOffset_ = addClamped(verticalOffset_, -calcValueOffset());
    commandEnding();
}

void StereoDocument::switchPictures()
{
    std::unique_ptr<Bitmap> formerLeft = left_.imageAndDetach();
    std::unique_ptr<Bitmap> formerRight = right_.imageAndDetach();
    left_.setImage(std::move(formerRight));
    right_.setImage(std::move(formerLeft));
    const Point leftPin = left_.pinPoint();
    const Point rightPin = right_.pinPoint();
    left_.setPinPoint(rightPin);
    right_.setPinPoint(leftPin);
    commandEnding();
}

void StereoDocument::recalc()
{
    if (!hasResult()) {
        host_.setDocumentEdited(false);
        return;
    }
    if (!changed_)
        return;
    changed_ = false;
    host_.setDocumentEdited(true);

    const Bitmap& leftBitmap = *left_.image();
    const Bitmap& rightBitmap = *right_.image();
    // Picture units are pixels after every load; taking the pixel counts keeps
    // every read inside the sample buffers whatever size a bitmap claims.
    const OverlapGeometry geometry = OverlapGeometry::compute(
        Size{double(leftBitmap.pixelsWide()), double(leftBitmap.pixelsHigh())}, left_.pinPoint(),
        Size{double(rightBitmap.pixelsWide()), double(rightBitmap.pixelsHigh())}, right_.pinPoint(),
        horizontalOffset_, verticalOffset_);

    result_.createImageWithSize(Size{geometry.W, geometry.H});
    Bitmap* canvas = result_.image();
    if (!canvas)
        return;
    AnaglyphComposer(glasses_, colorize_).compose(leftBitmap, rightBitmap, geometry, *canvas);
    result_.adjustFrame();
}

EncodeResult StereoDocument::dataRepresentationOfType(std::string_view typeName)
{
    // The edited mark is left to the caller, to clear once the file is
    // written: a save that fails must not make the changes look saved.
    recalc();
    const Bitmap* bitmap = result_.image();
    if (!bitmap)
        return EncodeResult{{}, "there is no result picture to save"};
    return ResultEncoding::forTypeName(typeName).encode(*bitmap);
}

}  // namespace korvex
