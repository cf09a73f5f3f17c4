#include "cli/StreamedComposeJob.h"

#include "cli/AlignmentReport.h"
#include "cli/ComposeDefaults.h"
#include "cli/ReducedAlignment.h"
#include "cli/HeadlessHost.h"
#include "cli/ValueParsers.h"
#include "core/align/RightCorrection.h"
#include "core/align/WarpedRowSource.h"
#include "core/bitmap/JpegCodec.h"
#include "core/bitmap/JpegRowWriter.h"
#include "core/bitmap/JpegRowSource.h"
#include "core/bitmap/PngRowWriter.h"
#include "core/compose/ResultEncoding.h"
#include "core/compose/StereoDocument.h"
#include "core/compose/StreamingComposer.h"
#include "core/imageview/PictureStore.h"
#include "core/imageview/StereoFile.h"
#include "core/io/AtomicFileStream.h"
#include "core/stereo/PairFile.h"
#include "core/tasks/BothCores.h"

namespace korvex {

namespace {

// What the job asks for, apart from the files themselves, allows streaming.
// Stereo files are cut from whole frames (a ".pns" eye takes every other row
// from the bottom); the stereo frames and the pair files lay out both eyes side by side or as whole pictures; TIFF
// writes its directory after the pixels, and GIF chooses its palette from
// the whole picture.
bool optionsAllowStreaming(const ComposeOptions& options)
{
    if (options.stereoFile || stereoLayoutForPath(options.left) != StereoLayout::None
        || stereoLayoutForPath(options.right) != StereoLayout::None)
        return false;
    if (options.format && *options.format != StereoFormat::Anaglyph)
        return false;
    const FileType type = ResultEncoding::forTypeName(uppercase(options.typeName)).type;
    return !pairFileTypeForName(options.typeName) && (type == FileType::JPEG || type == FileType::PNG);
}

Size pixelSize(const RowSource& source)
{
    return Size{double(source.layout().pixelsWide), double(source.layout().pixelsHigh)};
}

ComposeJob::Outcome failure(std::string error)
{
    ComposeJob::Outcome outcome;
    outcome.exitStatus = 1;
    outcome.error = std::move(error);
    return outcome;
}

}  // namespace

std::optional<ComposeJob::Outcome> StreamedComposeJob::run(const ComposeOptions& options)
{
    if (!optionsAllowStreaming(options))
        return std::nullopt;
    // A file that is no JPEG, or one refused from its header, takes the
    // whole-picture path, which names the problem as it always has.
    // Both at once: libjpeg's set-up of each takes milliseconds that nothing else waits on.
    JpegRowSource::Opened left, right;
    runOnBothCores([&] { left = JpegRowSource::open(options.left); },
                   [&] { right = JpegRowSource::open(options.right); });
    if (!left.source || !right.source)
        return std::nullopt;
    // A photo turned by its EXIF orientation is read in another order than it is stored.
    if (left.source->exifOrientation() != 1 || right.source->exifOrientation() != 1)
        return std::nullopt;

    const Size leftSize = pixelSize(*left.source);
    const Size rightSize = pixelSize(*right.source);
    auto pin = [](const std::optional<Point>& given, Size size) {
        return PictureStore::clampedPinPoint(given.value_or(Point{size.width / 2.0, size.height / 2.0}), size);
    };
    AlignmentReport report;
    report.applied = PairPlacement{pin(options.leftPin, leftSize), pin(options.rightPin, rightSize), options.depth,
                                   options.vertical,
                                   RightCorrection{options.rotateDegrees.value_or(0.0), options.scale.value_or(1.0)}};
    if (options.autoAlign) {
        // A pair that cannot be aligned is refused on the whole path, after its pictures are read.
        report.found = alignOnReducedJpegs(options);
        if (!report.found || !report.found->aligned)
            return std::nullopt;
        report.placed = placeAlignment(*report.found, options.windowParallax, leftSize, rightSize, options.depth);
        report.applied = report.placed->placement;
    }
    const PairPlacement& placement = report.applied;
    const OverlapGeometry geometry =
        OverlapGeometry::compute(leftSize, pin(placement.leftPin, leftSize), rightSize, pin(placement.rightPin, rightSize),
                                 placement.horizontalOffset, placement.verticalOffset);
    if (!geometry.overlaps())
        return std::nullopt;

    // A turned or scaled right picture is read through its correction; a grey
    // one is resampled by OpenCV, whose bytes only the whole picture gives.
    std::unique_ptr<WarpedRowSource> warped;
    if (!placement.correction.isIdentity()) {
        warped = WarpedRowSource::create(*right.source, placement.correction, StreamingComposer::bandRows);
        if (!warped)
            return std::nullopt;
    }
    RowSource* rightRows = warped ? static_cast<RowSource*>(warped.get()) : right.source.get();

    // The composition settings as the document reads them, with no pictures.
    MemoryDefaults defaults = composeDefaults(options);
    HeadlessHost host;
    PictureStore noLeft, noRight, noResult;
    StereoDocument document(noLeft, noRight, noResult, host, defaults);
    document.setUpFromDefaults();
    const AnaglyphComposer composer(document.glasses(), document.colorize(), document.anaglyphMethod(),
                                    document.customMatrices());

    AtomicFileStream file;
    if (std::string error = file.open(options.output); !error.empty())
        return failure(options.output + ": " + error);
    std::string writeError;
    const RowWriter::Output output = [&](std::span<const std::uint8_t> block) {
        writeError = file.append(block);
        return writeError.empty();
    };
    // The result canvas is 8-bit RGB, written as ResultEncoding writes it.
    const ResultEncoding encoding = ResultEncoding::forTypeName(uppercase(options.typeName));
    std::unique_ptr<RowWriter> writer;
    std::string started;
    if (encoding.type == FileType::JPEG) {
        auto jpeg = std::make_unique<JpegRowWriter>(output);
        started = jpeg->start(geometry.pixelsWide(), geometry.pixelsHigh(), false,
                              JpegCodec::qualityFor(encoding.properties));
        writer = std::move(jpeg);
    } else {
        auto png = std::make_unique<PngRowWriter>(output);
        started = png->start(geometry.pixelsWide(), geometry.pixelsHigh(), 3, 8);
        writer = std::move(png);
    }
    if (!started.empty())
        return std::nullopt;  // a size the format cannot hold: the whole path says so
    EncoderSink sink(*writer);
    const StreamingComposer::Outcome composed =
        StreamingComposer(composer).compose(*left.source, *rightRows, geometry, sink);

    using Stop = StreamingComposer::Stop;
    if (composed.stop == Stop::NoMemory)
        return std::nullopt;
    // The left picture is named first whichever stopped, as the whole path checks it first.
    const JpegRowReader::Outcome verdicts[2] = {left.source->finish(), right.source->finish()};
    const std::string* paths[2] = {&options.left, &options.right};
    for (int side = 0; side < 2; ++side) {
        if (!verdicts[side].error.empty())
            return failure(*paths[side] + ": " + verdicts[side].error);
    }
    if (composed.stop == Stop::Sink)
        return failure(options.output + ": "
                       + (writeError.empty() ? "cannot encode the result: " + composed.error : writeError));
    if (composed.stop != Stop::None)  // a source that stopped without a verdict: nothing is written
        return failure(*paths[composed.stop == Stop::LeftRefused ? 0 : 1] + ": cannot read the picture");

    ComposeJob::Outcome outcome;
    for (int side = 0; side < 2; ++side) {
        // The same damaged file on both sides is one warning, as on the whole path.
        const std::string warning = *paths[side] + ": " + verdicts[side].warning;
        if (!verdicts[side].warning.empty() && (outcome.warnings.empty() || outcome.warnings.back() != warning))
            outcome.warnings.push_back(warning);
    }
    const std::string committed = file.commit(options.overwrite ? AtomicFileWriter::Existing::Replace
                                                                 : AtomicFileWriter::Existing::Keep);
    if (committed == AtomicFileWriter::existsError)
        return failure(options.output + " exists; add --overwrite to replace it");
    if (!committed.empty())
        return failure(options.output + ": " + committed);
    if (options.printAlignment) {
        // The pictures overlap here, so the composition has a place for every right pixel.
        report.rightToLeft = placement.rightToLeft(leftSize, rightSize).value_or(AffineMatrix{});
        outcome.alignmentJson = report.json();
    }
    return outcome;
}

}  // namespace korvex
