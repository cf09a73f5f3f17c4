#include "gui/document/StatusReadout.h"

#include "core/compose/GlassesTypes.h"
#include "core/compose/OverlapGeometry.h"
#include "core/compose/StereoDocument.h"
#include "core/stereo/StereoFrame.h"
#include "gui/common/Strings.h"

#include <string>

namespace korvex {

namespace {

// The look of the result: the colour mode for the classic composition, which
// alone has one, else the method.
const char* lookKey(const StereoDocument& model)
{
    switch (model.anaglyphMethod()) {
    case AnaglyphMethod::Classic: return model.colorize() ? "ReadoutColour" : "ReadoutBlackWhite";
    case AnaglyphMethod::Grey: return "ReadoutMethodGrey";
    case AnaglyphMethod::HalfColour: return "ReadoutMethodHalfColour";
    case AnaglyphMethod::Colour: return "ReadoutMethodColour";
    case AnaglyphMethod::Dubois: return "ReadoutMethodDubois";
    case AnaglyphMethod::Custom: return "ReadoutMethodCustom";
    }
    return "ReadoutColour";
}

// "ReadoutGlassesRC" for the red-cyan glasses: the key follows the type's code.
QString glassesText(int glasses)
{
    std::string key = "ReadoutGlasses";
    for (char c : glassesType(glasses).code)
        key += char(c - 'a' + 'A');
    return localizedString(key);
}

// A signed pixel count as people write it: +12, −3, 0.
QString signedNumber(int value)
{
    if (value > 0)
        return QLatin1Char('+') + QString::number(value);
    if (value < 0)
        return QChar(0x2212) + QString::number(-qint64(value));
    return QStringLiteral("0");
}

QString resultSize(const StereoDocument& model, const PictureStore& left, const PictureStore& right,
                   const PictureStore& result)
{
    if (!model.hasResult())
        return localizedString("ReadoutNoResult");
    // The composed result when it is current, else the size it will have
    // (also while the whole result is composed off the window's thread).
    int wide = 0, high = 0;
    if (!model.changed() && !model.resultPending() && result.image()) {
        wide = result.image()->pixelsWide();
        high = result.image()->pixelsHigh();
    } else {
        const OverlapGeometry g = OverlapGeometry::compute(
            Size{double(left.image()->pixelsWide()), double(left.image()->pixelsHigh())}, left.pinPoint(),
            Size{double(right.image()->pixelsWide()), double(right.image()->pixelsHigh())}, right.pinPoint(),
            model.horizontalOffset(), model.verticalOffset());
        wide = g.pixelsWide();
        high = g.pixelsHigh();
        // A frame format lays the overlap out in a frame of its own size.
        const StereoFrameSize frame = stereoFrameSize(model.resultFormat(), wide, high, model.gap());
        if (wide >= 1 && high >= 1 && frame) {
            wide = frame.width;
            high = frame.height;
        }
    }
    if (wide < 1 || high < 1)
        return localizedString("ReadoutNoOverlap");
    return localizedString("ReadoutSize").arg(wide).arg(high);
}

}  // namespace

StatusReadout::StatusReadout(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("statusReadout"));
    setAccessibleName(localizedString("AccReadout"));
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void StatusReadout::showState(const StereoDocument& model, const PictureStore& left, const PictureStore& right,
                              const PictureStore& result)
{
    setText(textFor(model, left, right, result));
    setAccessibleDescription(text());
}

QString StatusReadout::textFor(const StereoDocument& model, const PictureStore& left, const PictureStore& right,
                              const PictureStore& result)
{
    return localizedString("Readout").arg(signedNumber(model.horizontalOffset()), signedNumber(model.verticalOffset()),
                                          glassesText(model.glasses()), localizedString(lookKey(model)),
                                          resultSize(model, left, right, result));
}

}  // namespace korvex
