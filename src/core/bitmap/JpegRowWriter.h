#pragma once

#include "core/bitmap/RowStream.h"

#include <cstdint>
#include <memory>
#include <string>

namespace korvex {

// Encodes a JPEG picture a few rows at a time, handing the compressed bytes
// to `output` in blocks as they are made. The whole-picture encoder is this
// writer fed every row, so both give the same bytes.
class JpegRowWriter : public RowWriter {
public:
    explicit JpegRowWriter(Output output);
    ~JpegRowWriter() override;
    JpegRowWriter(const JpegRowWriter&) = delete;
    JpegRowWriter& operator=(const JpegRowWriter&) = delete;

    // Grey rows have one sample a pixel, the others three (R, G, B). Each
    // call returns why the encoding stopped, or an empty string.
    std::string start(int pixelsWide, int pixelsHigh, bool grey, int quality);
    std::string writeRows(const std::uint8_t* const* rows, int count) override;
    // After the last row: writes the end of the file.
    std::string finish() override;

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace korvex
