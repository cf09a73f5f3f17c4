#pragma once

#include "core/align/RightCorrection.h"
#include "core/bitmap/ImageEncoder.h"
#include "core/compose/AnaglyphMethod.h"
#include "core/compose/DocumentHost.h"
#include "core/compose/DocumentState.h"
#include "core/compose/OverlapGeometry.h"
#include "core/compose/PairPlacement.h"
#include "core/compose/ResultComposition.h"
#include "core/compose/UserDefaults.h"
#include "core/imageview/PictureStore.h"
#include "core/stereo/StereoFormat.h"
#include "core/stereo/WiggleAnimation.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// Where the window takes the composition over: it shows what is in sight
// first and composes the whole result off its thread.
class CompositionScheduler {
public:
    virtual ~CompositionScheduler() = default;
    // The inputs changed while the result shows: compose them, later.
    virtual void compositionRequested() = 0;
    // Brings the requested composition in now (a save, a print): waits for it
    // or gives up, and then the document composes it itself.
    virtual void finishComposition() = 0;
};

// The model half of a stereo document: the settings that turn the left and
// right pictures into the anaglyph, the commands that change them, and the
// composition. The three picture stores and the host belong to the caller
// and must outlive the document.
class StereoDocument {
public:
    static constexpr std::string_view glassesTypeKey = "GlassesType";
    static constexpr std::string_view colorizeKey = "Colorize";
    static constexpr std::string_view resultFormatKey = "ResultFormat";
    static constexpr std::string_view methodKey = "AnaglyphMethod";
    static constexpr std::string_view customMatrixKey = "AnaglyphCustomMatrix";
    // The custom method's matrices until the user mixes their own: Dubois's red-cyan.
    static const MixingMatrices initialCustomMatrices;

    StereoDocument(PictureStore& leftImage, PictureStore& rightImage, PictureStore& resultImage,
                   DocumentHost& host, UserDefaults& defaults);

    // Reads the glasses type, colour mode, method, custom matrices and
    // result format from the defaults, once the window is set up. A missing,
    // zero or unknown glasses type gives 1; a missing colour mode gives black
    // and white; a missing or unknown method classic; missing or malformed
    // matrices the initial ones; a missing or unknown result format the
    // anaglyph.
    void setUpFromDefaults();

    // Queries.
    static bool hasValidImage(const PictureStore& view);
    bool hasResult() const;
    // Both pictures are there and overlap with the pins and offsets.
    bool picturesOverlap() const { return hasResult() && overlap().overlaps(); }
    std::int32_t glasses() const { return glasses_; }
    bool colorize() const { return colorize_; }
    // The chosen method; a method the glasses do not offer composes classic.
    AnaglyphMethod anaglyphMethod() const { return method_; }
    const MixingMatrices& customMatrices() const { return customMatrices_; }
    std::int32_t calcValueOffset() const;
    std::int32_t horizontalOffset() const { return horizontalOffset_; }
    std::int32_t verticalOffset() const { return verticalOffset_; }
    bool changed() const { return changed_; }
    bool resultVisible() const { return resultVisible_; }
    // What the result shows: the anaglyph or another frame format.
    StereoFormat resultFormat() const { return resultFormat_; }
    int gap() const { return gap_; }
    int wiggleMilliseconds() const { return wiggleMilliseconds_; }
    // Why the last composition left no result although both pictures are
    // there (no overlap, a frame too small or too large), else empty.
    const std::string& resultProblem() const { return resultProblem_; }
    const RightCorrection& rightCorrection() const { return correction_; }
    // The pins, offsets and correction together, as undo keeps them.
    PairPlacement placement() const;
    // The settings and the placement together, as undo keeps them.
    DocumentState state() const;

    // Inputs changed elsewhere (loads, pins, drops) and the result tab's state.
    void setChanged(bool changed) { changed_ = changed; }
    // Plain setters: the value only, no composing and no notice, for callers
    // that end the change themselves (a load, an undo).
    void setOffsets(std::int32_t horizontal, std::int32_t vertical)
    {
        horizontalOffset_ = horizontal;
        verticalOffset_ = vertical;
    }
    void setCorrection(const RightCorrection& correction) { correction_ = correction; }
    void setResultVisible(bool visible) { resultVisible_ = visible; }

    // Commands.
    void set3DColor();
    // Tag 1 to 10 chooses that type; 0 (the toolbar item) steps to the next
    // one. Tags above 10 name no glasses and change nothing.
    void set3DGlasses(int tag);
    void setAnaglyphMethod(AnaglyphMethod method);
    // The toolbar item: the next method the glasses offer, after custom classic.
    void nextAnaglyphMethod();
    // New custom matrices; composes again only while the custom method is chosen.
    void setCustomMatrices(const MixingMatrices& matrices);
    void resetAlignment();
    void incDepth();
    void decDepth();
    void incVerticalOffset();
    void decVerticalOffset();
    void switchPictures();
    // Both offsets at once, for scripted runs.
    void setAlignment(std::int32_t horizontal, std::int32_t vertical);
    // Chooses the frame format the result shows and keeps it in the
    // defaults; formats that are files of their own change nothing.
    void setResultFormat(StereoFormat format);
    // White pixels between the eyes of side by side, cross-eyed and over-under; 0 and up.
    void setGap(int gap);
    void setWiggleMilliseconds(int milliseconds);
    // Turns the right picture by 0.1 degree, or 1 with Shift held.
    void rotateRightClockwise();
    void rotateRightCounterclockwise();
    // Back to the right picture as loaded; offsets and pins stay.
    void clearCorrection();
    void setRightCorrection(const RightCorrection& correction);
    // Pins, offsets and correction in one command (an automatic alignment,
    // an undo).
    void setPlacement(const PairPlacement& placement);
    // Puts back a state read earlier (an undo or redo) in one command: the
    // defaults and toolbar pictures follow, pin points come back exactly as
    // they were, and the result is composed once. A glasses type or result
    // format that names none is left as it is.
    void restoreState(const DocumentState& state);

    // The right picture the composition uses: the corrected copy, made when
    // first needed after the correction or the picture changed, or the
    // original when there is no correction. Null without a right picture or
    // when memory for the copy is short.
    const Bitmap* composedRightPicture();
    // A corrected copy made elsewhere (off the window's thread) from the
    // right picture of that generation; used once the correction is this one.
    void adoptCorrectedRightPicture(const RightCorrection& correction, std::uint64_t rightGeneration,
                                    std::unique_ptr<Bitmap> corrected);

    // Composes the result when an input changed since the last composition,
    // or, with a scheduler, asks it to.
    void recalc();
    // Hands the composition to the window (null: compose at once, as the
    // command-line tool does). The scheduler must outlive the document.
    void setCompositionScheduler(CompositionScheduler* scheduler) { scheduler_ = scheduler; }
    // The result store does not yet hold the composition of the present inputs.
    bool resultPending() const { return resultPending_; }
    // What a composition of the present state reads; both pictures must be there.
    CompositionInputs compositionInputs() const;
    // A composition of the inputs as they are now, made elsewhere: the result
    // store takes its picture. The caller makes sure nothing changed since
    // the inputs were taken.
    void adoptComposition(ComposedResult composed);
    // Returns once the result store holds the composition of the present
    // inputs: the scheduler finishes it, or it is composed here.
    void completeResult();

    // The save's bytes: recomposes if needed, then encodes the result by the
    // type name's prefix. A pair file type's exact name ("MPO", "JPS",
    // "Wiggle (GIF)", "Wiggle (WebP)") writes the aligned pair in that format
    // whatever the result shows. Fails without a result. The edited mark
    // stays as it is: the caller clears it once the bytes are safely written.
    EncodeResult dataRepresentationOfType(std::string_view typeName);

    PictureStore& leftImage() { return left_; }
    PictureStore& rightImage() { return right_; }
    PictureStore& resultImage() { return result_; }

private:
    void commandEnding();
    void composeResult();
    OverlapGeometry overlap() const;  // of the two pictures; both must be there
    void rotateRight(double degrees);
    // A setting's new value with its toolbar picture and default, without
    // ending the command.
    void adoptGlasses(std::int32_t glasses);
    void adoptColorize(bool colorize);
    void adoptMethod(AnaglyphMethod method);
    void adoptCustomMatrices(const MixingMatrices& matrices);
    void adoptResultFormat(StereoFormat format);

    PictureStore& left_;
    PictureStore& right_;
    PictureStore& result_;
    DocumentHost& host_;
    UserDefaults& defaults_;

    bool resultVisible_ = false;
    bool changed_ = false;
    std::int32_t glasses_ = 1;
    bool colorize_ = false;
    AnaglyphMethod method_ = AnaglyphMethod::Classic;
    MixingMatrices customMatrices_ = initialCustomMatrices;
    std::int32_t horizontalOffset_ = 0;
    std::int32_t verticalOffset_ = 0;
    StereoFormat resultFormat_ = StereoFormat::Anaglyph;
    int gap_ = 0;
    int wiggleMilliseconds_ = WiggleTiming::defaultMilliseconds;
    std::string resultProblem_;
    RightCorrection correction_;
    // The corrected copy and the generation of the right picture it came from.
    std::shared_ptr<const Bitmap> correctedRight_;
    std::uint64_t correctedFrom_ = 0;
    RightCorrection correctedWith_;
    CompositionScheduler* scheduler_ = nullptr;
    bool resultPending_ = false;
};

}  // namespace korvex
