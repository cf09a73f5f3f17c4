#pragma once

#include "core/bitmap/RowStream.h"
#include "core/compose/AnaglyphComposer.h"
#include "core/compose/OverlapGeometry.h"

#include <string>

namespace korvex {

// Composes an anaglyph while its pictures pass through in rows: both sources
// are decoded into small bands, each band of result rows is composed by
// AnaglyphComposer as soon as its source rows are in and goes to the sink,
// a few threads taking whichever of these steps is ready (BandPipeline), so
// decoding, composing and encoding overlap on every core and only a few
// bands are ever held. The rows equal those of the whole-picture
// composition; the offsets only decide where each source's rows start.
class StreamingComposer {
public:
    explicit StreamingComposer(const AnaglyphComposer& composer) : composer_(composer) {}

    enum class Stop { None, LeftRefused, RightRefused, Sink, NoMemory };
    struct Outcome {
        Stop stop = Stop::None;
        std::string error;  // the sink's, when it stopped
    };

    // The geometry must come from the sources' sizes and the pins, and the
    // pictures must overlap. Every row of both sources is read, those past
    // the overlap too, so that damage anywhere in a file is seen as a
    // whole-picture decode sees it. The sources and the sink are each called
    // by one thread at a time, not always the same one.
    Outcome compose(RowSource& left, RowSource& right, const OverlapGeometry& geometry, RowSink& sink) const;

    static constexpr int bandRows = 32;
    // Deep enough that the decoders can run ahead while a thread would
    // otherwise wait for the encoder, small beside the pictures.
    static constexpr int sourceBandsInFlight = 6;  // per source
    static constexpr int resultBandsInFlight = 4;

private:
    AnaglyphComposer composer_;
};

}  // namespace korvex
