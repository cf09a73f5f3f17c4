#pragma once

#include "core/bitmap/Bitmap.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace korvex {

// Decodes a JPEG picture a few rows at a time, under the same bounds and
// with the same answers to damage as a whole-picture decode (which is this
// reader run to the end): the size is checked against ImageLimits and the
// file's length before any pixel is decoded; rows after a fatal error read
// as black; a file cut before its first block row is refused. Grey gives
// one 8-bit sample, everything else 8-bit RGB (CMYK and YCCK converted).
class JpegRowReader {
public:
    // Reads bytes that outlive the reader.
    explicit JpegRowReader(std::span<const std::uint8_t> data);
    // Reads an open file of fileBytes bytes, which the reader does not close.
    JpegRowReader(std::FILE* file, std::uint64_t fileBytes);
    ~JpegRowReader();
    JpegRowReader(const JpegRowReader&) = delete;
    JpegRowReader& operator=(const JpegRowReader&) = delete;

    // Before start(): keeps the EXIF segment for exifOrientation().
    void keepExif();
    // Before start(): decodes the picture reduced by libjpeg's DCT scaling,
    // by the largest of 1/2, 1/4 and 1/8 that keeps its longer side at least
    // this long; layout() then gives the reduced size.
    void reduceTo(int longerSide);

    // Reads the header and starts decoding. Empty, or why the file is refused.
    std::string start();

    // After start(): the layout of a bitmap that holds the whole picture.
    const Bitmap::Layout& layout() const;
    // After start(): the picture's size before any reduction.
    int storedWide() const;
    int storedHigh() const;
    // The EXIF orientation (1 to 8; 1 without EXIF or without keepExif()).
    int exifOrientation() const;

    // libjpeg's own step: rows are asked for at most this many at a time.
    static constexpr int maxRowsPerRead = 16;
    // Decodes the next rows, at most min(maxRowsPerRead, rows left), into
    // rows[0..] (each at least pixelsWide x samplesPerPixel bytes); returns how many.
    int readRows(std::uint8_t* const* rows);
    int rowsDelivered() const;
    // True once the file is known to be refused: the caller can stop reading.
    bool refused() const;

    struct Outcome {
        std::string error;    // the picture is refused
        std::string warning;  // kept despite damage
    };
    // After the last row (or once refused): the verdict on the whole file.
    Outcome finish() const;

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace korvex
