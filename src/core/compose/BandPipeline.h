#pragma once

namespace korvex {

// The order of a streamed composition's work, run by a few threads that
// each take whatever step is ready: two sources read in steps (rows above
// the overlap, then one band of the overlap a step into a ring of bands,
// then the rows below it), each band composed once both sources' rows are
// in, and the composed bands encoded in order. The sources and the encoder
// each run on one thread at a time, but not always the same one.
//
// A step ready to be encoded goes first, then one ready to be composed, then
// the source that is further behind: the encoder is the longest stage that
// cannot be split, so the decoding runs ahead only while a thread would
// otherwise be idle, and at the end only the last band is left to encode.
// Threads that each own a stage would leave a core idle whenever the
// system's scheduler runs the decoders ahead of the encoder, and for the
// whole drain of the bands queued before it at the end.
class BandPipeline {
public:
    struct Plan {
        int bands = 0;            // result bands
        int sourceSteps[2] = {};  // every step of each source
        int firstBandStep[2] = {};  // the step that reads band 0
        int sourceBandsInFlight = 1;  // ring depth per source
        int resultBandsInFlight = 1;
        int threads = 2;          // the caller's included
    };

    // What each step does; called under no lock, at most one step per
    // source and one encode at a time, each from any of the threads.
    class Steps {
    public:
        virtual ~Steps() = default;
        // A source's step: false when the source is refused.
        virtual bool readSource(int side, int step) = 0;
        virtual void compose(int band) = 0;
        // False when the sink stopped.
        virtual bool encode(int band) = 0;
    };

    enum class Stop { None, LeftRefused, RightRefused, Sink };

    // Runs every step, or stops at the first that fails. Returns once no
    // step runs any more.
    static Stop run(const Plan& plan, Steps& steps);

    // The threads worth having on this machine: one per core, at least two
    // and at most one per stage (two sources, composing, encoding).
    static int threadsForThisMachine();
};

}  // namespace korvex
