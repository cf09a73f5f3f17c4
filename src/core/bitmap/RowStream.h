#pragma once

#include "core/bitmap/Bitmap.h"

#include <cstdint>
#include <functional>
#include <span>
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

// An encoder that takes rows as they come (JpegRowWriter, PngRowWriter).
class RowWriter {
public:
    // Takes a block of encoded bytes; false stops the encoding (memory short, disk full).
    using Output = std::function<bool(std::span<const std::uint8_t>)>;

    virtual ~RowWriter() = default;
    // Each call returns why the encoding stopped, or an empty string.
    virtual std::string writeRows(const std::uint8_t* const* rows, int count) = 0;
    // After the last row: writes the end of the file.
    virtual std::string finish() = 0;
};

// The rows of 8-bit bands handed to an encoder whose start() succeeded.
class EncoderSink : public RowSink {
public:
    explicit EncoderSink(RowWriter& writer) : writer_(writer) {}
    std::string writeRows(const Bitmap& band, int count) override;
    std::string finish() override { return writer_.finish(); }

private:
    RowWriter& writer_;
};

}  // namespace korvex
