#pragma once

#include "core/bitmap/RowStream.h"
#include "core/compose/AnaglyphComposer.h"
#include "core/compose/OverlapGeometry.h"

#include <string>

namespace korvex {

// Composes an anaglyph while its pictures pass through in rows: both sources
// are decoded on threads of their own into small bands, each band of result
// rows is composed by AnaglyphComposer as soon as its source rows are in and
// goes to the sink, which takes it on a thread of its own, so decoding,
// composing and encoding overlap and only a few bands are ever held. The rows equal those of the whole-picture
// composition; the offsets only decide where each source's rows start.
class StreamingComposer {
public:
    explicit StreamingComposer(const AnaglyphComposer& composer) : composer_(composer) {}

    enum class Stop { None, LeftRefused, RightRefused, Sink, NoThread, NoMemory };
    struct Outcome {
        Stop stop = Stop::None;
        std::string error;  // the sink's, when it stopped
    };

    // The geometry must come from the sources' sizes and the pins, and the
    // pictures must overlap. Every row of both sources is read, those past
    // the overlap too, so that damage anywhere in a file is seen as a
    // whole-picture decode sees it. The sink is called from one thread, not
    // the caller's.
    Outcome compose(RowSource& left, RowSource& right, const OverlapGeometry& geometry, RowSink& sink) const;

    static constexpr int bandRows = 32;
    // Deep enough that a decoder or the encoder can run ahead while another
    // thread has the core, small beside the pictures.
    static constexpr int sourceBandsInFlight = 6;  // per source
    static constexpr int resultBandsInFlight = 4;

private:
    AnaglyphComposer composer_;
};

}  // namespace korvex
