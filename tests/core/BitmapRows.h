#pragma once

#include "core/bitmap/RowStream.h"

#include <cstring>

namespace korvex::testing {

// A picture's rows, one after another; refuses from a given row on.
class BitmapRows : public RowSource {
public:
    explicit BitmapRows(const Bitmap& picture, int refuseAt = -1) : picture_(picture), refuseAt_(refuseAt) {}
    const Bitmap::Layout& layout() const override { return picture_.layout(); }
    bool readRows(Bitmap& band, int firstRow, int count) override
    {
        for (int i = 0; i < count; ++i, ++next_) {
            if (next_ == refuseAt_)
                return false;
            std::memcpy(band.bitmapData() + band.bytesPerRow() * std::size_t(firstRow + i),
                        picture_.bitmapData() + picture_.bytesPerRow() * std::size_t(next_), band.bytesPerRow());
        }
        return true;
    }
    int rowsRead() const { return next_; }

private:
    const Bitmap& picture_;
    int refuseAt_;
    int next_ = 0;
};

}  // namespace korvex::testing
