#include "cli/ComposeJob.h"

#include "core/io/AtomicFileWriter.h"
#include "cli/AlignmentReport.h"
#include "cli/ComposeDefaults.h"
#include "cli/ReducedAlignment.h"
#include "cli/HeadlessHost.h"
#include "cli/StreamedComposeJob.h"
#include "core/compose/StereoDocument.h"
#include "core/imageview/PicturePairLoader.h"
#include "core/imageview/PictureStore.h"
#include "cli/ValueParsers.h"
#include "core/stereo/PairFile.h"
#include "core/stereo/WiggleAnimation.h"

#include <filesystem>

namespace korvex {

namespace {

ComposeJob::Outcome failure(std::string error)
{
    ComposeJob::Outcome outcome;
    outcome.exitStatus = 1;
    outcome.error = std::move(error);
    return outcome;
}

bool outputIsKept(const ComposeOptions& options)
{
    std::error_code ignored;
    return !options.overwrite && std::filesystem::exists(options.output, ignored);
}

}  // namespace

ComposeJob::Outcome ComposeJob::run(const ComposeOptions& options)
{
    // Checked first so a forgotten OUTPUT costs no decoding; the write checks again.
    if (outputIsKept(options))
        return failure(options.output + " exists; add --overwrite to replace it");
    if (std::optional<Outcome> streamed = StreamedComposeJob::run(options))
        return *streamed;
    return runWithWholePictures(options);
}

ComposeJob::Outcome ComposeJob::runWithWholePictures(const ComposeOptions& options)
{
    Outcome outcome;
    if (outputIsKept(options))
        return failure(options.output + " exists; add --overwrite to replace it");

    PictureStore left, right, result;
    left.setType(LeftRole);
    right.setType(RightRole);
    result.setType(ResultRole);

    // Both pictures are decoded at the same time; a stereo file once for both views.
    const std::string& rightPath = options.stereoFile ? options.left : options.right;
    PicturePairLoader::load(left, options.left, right, rightPath);
    for (auto [view, path] : {std::pair{&left, &options.left}, std::pair{&right, &rightPath}}) {
        if (!view->image())
            return failure(*path + ": " + view->lastError());
        // A stereo file's damage shows in both its shares: one warning.
        const std::string warning = *path + ": " + view->lastWarning();
        if (!view->lastWarning().empty() && (outcome.warnings.empty() || outcome.warnings.back() != warning))
            outcome.warnings.push_back(warning);
    }
    if (options.leftPin)
        left.setPinPoint(*options.leftPin);
    if (options.rightPin)
        right.setPinPoint(*options.rightPin);

    MemoryDefaults defaults = composeDefaults(options);
    HeadlessHost host;
    StereoDocument document(left, right, result, host, defaults);
    document.setUpFromDefaults();
    document.setAlignment(options.depth, options.vertical);
    const StereoFormat format = options.format.value_or(StereoFormat::Anaglyph);
    if (stereoFormatInfo(format).isFrame)
        document.setResultFormat(format);
    document.setGap(options.gap.value_or(0));
    document.setWiggleMilliseconds(options.wiggleMilliseconds.value_or(WiggleTiming::defaultMilliseconds));
    const std::string pair = options.stereoFile ? options.left : options.left + " and " + options.right;
    AlignmentReport report;
    if (options.rotateDegrees || options.scale)
        document.setRightCorrection(RightCorrection{options.rotateDegrees.value_or(0.0), options.scale.value_or(1.0)});
    const Size leftPixels{double(left.image()->pixelsWide()), double(left.image()->pixelsHigh())};
    const Size rightPixels{double(right.image()->pixelsWide()), double(right.image()->pixelsHigh())};
    if (options.autoAlign) {
        report.found = alignOnReducedJpegs(options);
        if (!report.found)
            report.found = PairAlignment::find(*left.image(), *right.image());
        if (!report.found->aligned)
            return failure(pair + ": " + report.found->failure);
        report.placed = placeAlignment(*report.found, options.windowParallax, leftPixels, rightPixels, options.depth);
        document.setPlacement(report.placed->placement);
    }
    document.setChanged(true);
    document.recalc();
    if (!result.image())
        return failure(pair + ": " + document.resultProblem());

    // A pair type's name is matched exactly; the still types' prefix in capitals.
    const bool pairType = pairFileTypeForName(options.typeName).has_value();
    // A still picture is encoded from the result alone: its sources go before
    // the long encode, so the jobs of a batch hold less at once.
    if (!pairType) {
        left.imageAndDetach();
        right.imageAndDetach();
    }
    const EncodeResult encoded = document.dataRepresentationOfType(pairType ? options.typeName : uppercase(options.typeName));
    if (!encoded)
        return failure(options.output + ": cannot encode the result: " + encoded.error);
    const std::string writeError = AtomicFileWriter::write(
        options.output, encoded.data,
        options.overwrite ? AtomicFileWriter::Existing::Replace : AtomicFileWriter::Existing::Keep);
    if (writeError == AtomicFileWriter::existsError)
        return failure(options.output + " exists; add --overwrite to replace it");
    if (!writeError.empty())
        return failure(options.output + ": " + writeError);
    if (options.printAlignment) {
        report.applied = document.placement();
        // The pictures overlap here, so the composition has a place for every right pixel.
        report.rightToLeft = report.applied.rightToLeft(leftPixels, rightPixels).value_or(AffineMatrix{});
        outcome.alignmentJson = report.json();
    }
    return outcome;
}

}  // namespace korvex
