#pragma once

#include "core/align/RightCorrection.h"
#include "core/bitmap/RowStream.h"

#include <memory>

namespace korvex {

// A picture read through a correction as it streams: the rows that
// resampleRightPicture would give, made band by band from a window of the
// source's rows that reaches as far up and down as the correction does
// (a turn of the picture reaches further the wider it is). The source is
// read to its end, as a whole decode reads it.
class WarpedRowSource : public RowSource {
public:
    // Null when the layout is not one BicubicWarp resamples (the whole
    // picture goes through OpenCV then) or memory is short. The caller asks
    // for at most maxRowsPerRead rows at a time.
    static std::unique_ptr<WarpedRowSource> create(RowSource& source, const RightCorrection& correction,
                                                   int maxRowsPerRead);

    const Bitmap::Layout& layout() const override { return source_.layout(); }
    bool readRows(Bitmap& band, int firstRow, int count) override;

    // How many source rows the window holds (twice that many are allocated).
    int windowRows() const { return windowRows_; }

private:
    WarpedRowSource(RowSource& source, const AffineMatrix& map) : source_(source), map_(map) {}
    bool readSourceUpTo(int endRow);

    RowSource& source_;
    AffineMatrix map_;
    // Source row r is kept twice, at rows r % windowRows_ and
    // r % windowRows_ + windowRows_, so any windowRows_ consecutive rows lie
    // in one piece.
    std::unique_ptr<Bitmap> window_;
    int windowRows_ = 0;
    int maxRowsPerRead_ = 0;
    int sourceRowsRead_ = 0;
    int rowsGiven_ = 0;
};

}  // namespace korvex
