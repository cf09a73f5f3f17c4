#pragma once

#include "core/bitmap/Bitmap.h"

#include <string>

namespace korvex {

// A picture that arrives in rows from the top down, so that its reader holds
// only a band of them at a time.
class RowSource {
public:
    virtual ~RowSource() = default;
    // The layout of a bitmap that would hold the whole picture.
    virtual const Bitmap::Layout& layout() const = 0;
    // Fills rows [firstRow, firstRow + count) of band, a bitmap of the same
    // layout but fewer rows, with the next count rows of the picture. False
    // when the picture turned out to be refused: reading on is pointless.
    virtual bool readRows(Bitmap& band, int firstRow, int count) = 0;
};

// A picture written in rows from the top down.
class RowSink {
public:
    virtual ~RowSink() = default;
    // Takes rows [0, count) of band; empty, or why the writing stopped.
    virtual std::string writeRows(const Bitmap& band, int count) = 0;
    // After the last row.
    virtual std::string finish() = 0;
};

}  // namespace korvex
