#pragma once

#include "core/bitmap/JpegRowReader.h"
#include "core/bitmap/RowStream.h"

#include <cstdio>
#include <memory>
#include <string>

namespace korvex {

// A JPEG file read from the disk in rows, through a few kilobytes of file
// buffer and libjpeg's step of rows: the file is never in memory whole.
class JpegRowSource : public RowSource {
public:
    struct Opened {
        std::unique_ptr<JpegRowSource> source;  // null when the file is not a JPEG picture we can start
        std::string error;
    };
    // Opens the file, checks that it is a JPEG stream by its first bytes and
    // starts decoding (the header is read and checked).
    static Opened open(const std::string& path);
    // The same over an open file (any seekable stream), which the source closes.
    static Opened open(std::FILE* file);
    ~JpegRowSource() override;

    const Bitmap::Layout& layout() const override { return reader_->layout(); }
    bool readRows(Bitmap& band, int firstRow, int count) override;
    int exifOrientation() const { return reader_->exifOrientation(); }
    // Read every row first: the verdict on the whole file.
    JpegRowReader::Outcome finish() const { return reader_->finish(); }

private:
    JpegRowSource() = default;

    std::FILE* file_ = nullptr;
    std::unique_ptr<JpegRowReader> reader_;
    // One step of libjpeg's rows, handed out as the caller asks for them;
    // left untouched (no page of it taken) until a band boundary falls inside a step.
    std::unique_ptr<std::uint8_t[]> staged_;
    std::size_t rowBytes_ = 0;
    int stagedRows_ = 0;
    int nextStaged_ = 0;
};

}  // namespace korvex
