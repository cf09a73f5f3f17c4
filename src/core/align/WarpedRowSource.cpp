#include "core/align/WarpedRowSource.h"

#include "core/align/BicubicWarp.h"

#include <algorithm>
#include <cstring>

namespace korvex {

std::unique_ptr<WarpedRowSource> WarpedRowSource::create(RowSource& source, const RightCorrection& correction,
                                                         int maxRowsPerRead)
{
    const Bitmap::Layout& layout = source.layout();
    const int width = layout.pixelsWide;
    const int height = layout.pixelsHigh;
    std::unique_ptr<WarpedRowSource> warped(new WarpedRowSource(source, correction.matrixFor(width, height)));
    warped->maxRowsPerRead_ = std::max(1, std::min(maxRowsPerRead, height));
    // The widest reach of any run of rows the caller may ask for. The reach
    // must move down with the rows (no flip, no quarter turn), or the window
    // would have to hold rows it has passed.
    SourceRowSpan previous;
    for (int first = 0; first + warped->maxRowsPerRead_ <= height; ++first) {
        const SourceRowSpan span = sourceRowsReached(warped->map_, width, height, first, first + warped->maxRowsPerRead_);
        if (span.first < previous.first || span.end < previous.end)
            return nullptr;
        previous = span;
        warped->windowRows_ = std::max(warped->windowRows_, span.end - span.first);
    }
    warped->windowRows_ = std::max(warped->windowRows_, 1);
    Bitmap::Layout windowLayout = layout;
    windowLayout.pixelsHigh = 2 * warped->windowRows_;
    warped->window_ = Bitmap::create(windowLayout);
    if (!warped->window_ || !warpsBicubicBytes(warped->window_->layout()))
        return nullptr;
    return warped;
}

bool WarpedRowSource::readSourceUpTo(int endRow)
{
    const std::size_t rowBytes = window_->bytesPerRow();
    while (sourceRowsRead_ < endRow) {
        const int slot = sourceRowsRead_ % windowRows_;
        const int run = std::min(endRow - sourceRowsRead_, windowRows_ - slot);
        if (!source_.readRows(*window_, slot, run))
            return false;
        std::uint8_t* rows = window_->bitmapData() + rowBytes * std::size_t(slot);
        std::memcpy(rows + rowBytes * std::size_t(windowRows_), rows, rowBytes * std::size_t(run));
        sourceRowsRead_ += run;
    }
    return true;
}

bool WarpedRowSource::readRows(Bitmap& band, int firstRow, int count)
{
    const int width = layout().pixelsWide;
    const int height = layout().pixelsHigh;
    for (int done = 0; done < count;) {
        const int rows = std::min(maxRowsPerRead_, count - done);
        const SourceRowSpan reach = sourceRowsReached(map_, width, height, rowsGiven_, rowsGiven_ + rows);
        if (!readSourceUpTo(reach.end))
            return false;
        // The window's row i holds source row top + i, from the reach's first row on.
        const int top = reach.first - reach.first % windowRows_;
        if (!warpBicubicBand(*window_, top, height, map_, band, firstRow + done, rowsGiven_, rows))
            return false;
        done += rows;
        rowsGiven_ += rows;
    }
    // The rest of the source is read all the same, for its verdict.
    return rowsGiven_ < height || readSourceUpTo(height);
}

}  // namespace korvex
