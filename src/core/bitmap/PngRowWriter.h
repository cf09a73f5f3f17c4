#pragma once

#include "core/bitmap/RowStream.h"

#include <cstdint>
#include <memory>
#include <string>

namespace korvex {

// Encodes a PNG picture a few rows at a time, handing the compressed bytes
// to `output` as libpng makes them. The whole-picture encoder is this writer
// fed every row, so both give the same bytes.
class PngRowWriter : public RowWriter {
public:
    explicit PngRowWriter(Output output);
    ~PngRowWriter() override;
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;

    // samples: 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA; bits 8 or 16 (rows
    // in native byte order). Each call returns why the encoding stopped, or
    // an empty string.
    std::string start(int pixelsWide, int pixelsHigh, int samples, int bits);
    std::string writeRows(const std::uint8_t* const* rows, int count) override;
    // After the last row: writes the end of the file.
    std::string finish() override;

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace korvex
