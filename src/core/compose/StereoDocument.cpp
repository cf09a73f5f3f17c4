#include "core/compose/StereoDocument.h"

#include "core/align/RightPictureResampler.h"
#include "core/compose/AnaglyphComposer.h"
#include "core/compose/GlassesTypes.h"
#include "core/compose/MixingMatrixText.h"
#include "core/compose/OverlapGeometry.h"
#include "core/compose/ResultEncoding.h"
#include "core/compose/StereoCodes.h"
#include "core/stereo/AlignedPair.h"
#include "core/stereo/PairFile.h"
#include "core/stereo/StereoFrame.h"
#include "core/stereo/WiggleAnimation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace korvex {

namespace {

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

const MixingMatrices StereoDocument::initialCustomMatrices = *glassesType(2).dubois;

StereoDocument::StereoDocument(PictureStore& leftImage, PictureStore& rightImage, PictureStore& resultImage,
                               DocumentHost& host, UserDefaults& defaults)
    : left_(leftImage), right_(rightImage), result_(resultImage), host_(host), defaults_(defaults)
{
}

void StereoDocument::setUpFromDefaults()
{
    // Only 1 to 10 name glasses; anything else stored counts as missing, so
    // the composition and the toolbar never see another value.
    const std::optional<int> stored = defaults_.integerForKey(glassesTypeKey);
    glasses_ = stored && *stored >= firstGlasses && *stored <= lastGlasses ? *stored : firstGlasses;
    colorize_ = defaults_.boolForKey(colorizeKey).value_or(false);
    const std::optional<int> format = defaults_.integerForKey(resultFormatKey);
    const std::optional<StereoFormat> known = format ? stereoFormatFromStoredValue(*format) : std::nullopt;
    resultFormat_ = known && stereoFormatInfo(*known).isFrame ? *known : StereoFormat::Anaglyph;
    const std::optional<std::string> methodName = defaults_.stringForKey(methodKey);
    method_ = anaglyphMethodFromName(methodName.value_or("")).value_or(AnaglyphMethod::Classic);
    const ParsedMixingMatrices matrices = parseMixingMatrices(defaults_.stringForKey(customMatrixKey).value_or(""));
    customMatrices_ = matrices.matrices.value_or(initialCustomMatrices);
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
    adoptColorize(!colorize_);
    commandEnding();
}

void StereoDocument::adoptColorize(bool colorize)
{
    colorize_ = colorize;
    host_.showToolbarPicture(DocumentHost::ToolbarItem::Colorize, colorizeButtonName(colorize_));
    defaults_.setBool(colorizeKey, colorize_);
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
    adoptGlasses(glasses_);
    commandEnding();
}

void StereoDocument::adoptGlasses(std::int32_t glasses)
{
    glasses_ = glasses;
    host_.showToolbarPicture(DocumentHost::ToolbarItem::Glasses, glassesButtonName(glasses_));
    defaults_.setInteger(glassesTypeKey, glasses_);
}

void StereoDocument::setAnaglyphMethod(AnaglyphMethod method)
{
    if (method == method_)
        return;
    adoptMethod(method);
    commandEnding();
}

void StereoDocument::adoptMethod(AnaglyphMethod method)
{
    method_ = method;
    host_.showToolbarPicture(DocumentHost::ToolbarItem::Method, anaglyphMethodName(method_));
    defaults_.setString(methodKey, anaglyphMethodName(method_));
}

void StereoDocument::nextAnaglyphMethod()
{
    const auto methods = anaglyphMethods();
    std::size_t i = 0;
    while (i < methods.size() && methods[i].method != method_)
        ++i;
    do
        i = (i + 1) % methods.size();
    while (!isMethodAvailable(methods[i].method, glasses_));
    setAnaglyphMethod(methods[i].method);
}

void StereoDocument::setCustomMatrices(const MixingMatrices& matrices)
{
    if (matrices == customMatrices_)
        return;
    adoptCustomMatrices(matrices);
    if (method_ == AnaglyphMethod::Custom)
        commandEnding();
}

void StereoDocument::adoptCustomMatrices(const MixingMatrices& matrices)
{
    customMatrices_ = matrices;
    defaults_.setString(customMatrixKey, formatMixingMatrices(customMatrices_));
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

void StereoDocument::setResultFormat(StereoFormat format)
{
    if (format == resultFormat_ || !stereoFormatInfo(format).isFrame)
        return;
    adoptResultFormat(format);
    commandEnding();
}

void StereoDocument::adoptResultFormat(StereoFormat format)
{
    resultFormat_ = format;
    defaults_.setInteger(resultFormatKey, stereoFormatInfo(format).storedValue);
}

void StereoDocument::setGap(int gap)
{
    if (gap == gap_ || gap < 0)
        return;
    gap_ = gap;
    commandEnding();
}

void StereoDocument::setWiggleMilliseconds(int milliseconds)
{
    wiggleMilliseconds_ = std::clamp(milliseconds, WiggleTiming::minMilliseconds, WiggleTiming::maxMilliseconds);
}

void StereoDocument::rotateRightClockwise()
{
    rotateRight(host_.isShiftHeld() ? 1.0 : 0.1);
}

void StereoDocument::rotateRightCounterclockwise()
{
    rotateRight(host_.isShiftHeld() ? -1.0 : -0.1);
}

void StereoDocument::rotateRight(double degrees)
{
    RightCorrection turned = correction_;
    // Tenths stay tenths after many steps instead of gathering binary fractions.
    turned.rotationDegrees = std::round((turned.rotationDegrees + degrees) * 1e6) / 1e6;
    setRightCorrection(turned);
}

void StereoDocument::clearCorrection()
{
    setRightCorrection(RightCorrection{});
}

void StereoDocument::setRightCorrection(const RightCorrection& correction)
{
    if (correction == correction_)
        return;
    correction_ = correction;
    commandEnding();
}

PairPlacement StereoDocument::placement() const
{
    return PairPlacement{left_.pinPoint(), right_.pinPoint(), horizontalOffset_, verticalOffset_, correction_};
}

void StereoDocument::setPlacement(const PairPlacement& placement)
{
    if (placement == this->placement())
        return;
    left_.setPinPoint(placement.leftPin);
    right_.setPinPoint(placement.rightPin);
    horizontalOffset_ = placement.horizontalOffset;
    verticalOffset_ = placement.verticalOffset;
    correction_ = placement.correction;
    commandEnding();
}

DocumentState StereoDocument::state() const
{
    return DocumentState{glasses_, colorize_, method_, customMatrices_, resultFormat_, placement()};
}

void StereoDocument::restoreState(const DocumentState& state)
{
    if (state == this->state())
        return;
    if (state.glasses != glasses_ && state.glasses >= firstGlasses && state.glasses <= lastGlasses)
        adoptGlasses(state.glasses);
    if (state.colorize != colorize_)
        adoptColorize(state.colorize);
    if (state.method != method_)
        adoptMethod(state.method);
    if (state.customMatrices != customMatrices_)
        adoptCustomMatrices(state.customMatrices);
    if (state.resultFormat != resultFormat_ && stereoFormatInfo(state.resultFormat).isFrame)
        adoptResultFormat(state.resultFormat);
    // As they were, not clamped: an empty view's pin has no picture to lie in.
    left_.restorePinPoint(state.placement.leftPin);
    right_.restorePinPoint(state.placement.rightPin);
    horizontalOffset_ = state.placement.horizontalOffset;
    verticalOffset_ = state.placement.verticalOffset;
    correction_ = state.placement.correction;
    commandEnding();
}

const Bitmap* StereoDocument::composedRightPicture()
{
    const Bitmap* original = right_.image();
    if (!original || correction_.isIdentity()) {
        correctedRight_.reset();
        return original;
    }
    if (!correctedRight_ || correctedFrom_ != right_.generation() || correctedWith_ != correction_) {
        correctedRight_.reset();  // the stale copy goes before the new one is made
        correctedRight_ = std::shared_ptr<const Bitmap>(resampleRightPicture(*original, correction_));
        correctedFrom_ = right_.generation();
        correctedWith_ = correction_;
    }
    return correctedRight_.get();
}

void StereoDocument::adoptCorrectedRightPicture(const RightCorrection& correction, std::uint64_t rightGeneration,
                                                std::unique_ptr<Bitmap> corrected)
{
    if (!corrected || rightGeneration != right_.generation())
        return;
    correctedRight_ = std::shared_ptr<const Bitmap>(std::move(corrected));
    correctedFrom_ = rightGeneration;
    correctedWith_ = correction;
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
        resultProblem_.clear();
        resultPending_ = false;
        host_.setDocumentEdited(false);
        return;
    }
    if (!changed_)
        return;
    changed_ = false;
    host_.setDocumentEdited(true);
    if (scheduler_) {
        resultPending_ = true;
        scheduler_->compositionRequested();
        return;
    }
    composeResult();
}

void StereoDocument::completeResult()
{
    recalc();
    if (resultPending_ && scheduler_)
        scheduler_->finishComposition();
    if (resultPending_ && hasResult())
        composeResult();
    resultPending_ = false;
}

OverlapGeometry StereoDocument::overlap() const
{
    const Bitmap& leftBitmap = *left_.image();
    // The corrected copy has the original's size, so either gives the overlap.
    const Bitmap& rightBitmap = *right_.image();
    // Picture units are pixels after every load; taking the pixel counts keeps
    // every read inside the sample buffers whatever size a bitmap claims.
    return OverlapGeometry::compute(
        Size{double(leftBitmap.pixelsWide()), double(leftBitmap.pixelsHigh())}, left_.pinPoint(),
        Size{double(rightBitmap.pixelsWide()), double(rightBitmap.pixelsHigh())}, right_.pinPoint(),
        horizontalOffset_, verticalOffset_);
}

CompositionInputs StereoDocument::compositionInputs() const
{
    CompositionInputs in;
    in.left = left_.image();
    in.right = right_.image();
    in.correction = correction_;
    if (correctedRight_ && correctedFrom_ == right_.generation() && correctedWith_ == correction_)
        in.correctedRight = correctedRight_;
    in.geometry = overlap();
    in.format = resultFormat_;
    in.gap = gap_;
    in.composer = AnaglyphComposer(glasses_, colorize_, method_, customMatrices_);
    return in;
}

void StereoDocument::adoptComposition(ComposedResult composed)
{
    if (correction_.isIdentity())
        correctedRight_.reset();  // a copy for a correction no longer in use
    if (composed.correctedRight) {
        correctedRight_ = std::move(composed.correctedRight);
        correctedFrom_ = right_.generation();
        correctedWith_ = correction_;
    }
    resultProblem_ = std::move(composed.problem);
    resultPending_ = false;
    // Frames are re-laid only for a picture; an empty result stays quiet, as before.
    if (composed.picture)
        result_.setImage(std::move(composed.picture));
    else
        result_.createImageWithSize(Size{});
}

void StereoDocument::composeResult()
{
    // The composition of the present inputs, here and now; the former
    // canvas lends its memory to the new one.
    ComposedResult composed = composeResultPicture(compositionInputs(), {}, result_.imageAndDetach());
    adoptComposition(std::move(composed));
}

EncodeResult StereoDocument::dataRepresentationOfType(std::string_view typeName)
{
    // The edited mark is left to the caller, to clear once the file is
    // written: a save that fails must not make the changes look saved.
    completeResult();
    if (const std::optional<PairFileType> pairType = pairFileTypeForName(typeName)) {
        if (!hasResult())
            return EncodeResult{{}, "there is no stereo pair to save"};
        const OverlapGeometry geometry = overlap();
        if (!geometry.overlaps())
            return EncodeResult{{}, "the pictures do not overlap with these pin points and offsets"};
        const Bitmap* right = composedRightPicture();
        if (!right)
            return EncodeResult{{}, "not enough memory for the corrected right picture"};
        PairFileOptions options;
        options.jpeg = ResultEncoding::forTypeName("JPEG").properties;
        options.wiggleMilliseconds = wiggleMilliseconds_;
        return encodePairFile(AlignedPair(*left_.image(), *right, geometry), *pairType, options);
    }
    const Bitmap* bitmap = result_.image();
    if (!bitmap)
        return EncodeResult{{}, resultProblem_.empty() ? "there is no result picture to save" : resultProblem_};
    return ResultEncoding::forTypeName(typeName).encode(*bitmap);
}

}  // namespace korvex
