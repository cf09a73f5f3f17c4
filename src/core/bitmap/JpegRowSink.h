#pragma once

#include "core/bitmap/JpegRowWriter.h"
#include "core/bitmap/RowStream.h"

namespace korvex {

// Rows of 8-bit RGB or grey bands encoded as a JPEG picture, the compressed
// bytes handed to the output as they are made. The same bytes as
// JpegCodec::encode of the whole picture at the same quality.
class JpegRowSink : public RowSink {
public:
    JpegRowSink(JpegRowWriter::Output output, int pixelsWide, int pixelsHigh, bool grey, int quality);

    std::string writeRows(const Bitmap& band, int count) override;
    std::string finish() override;

private:
    JpegRowWriter writer_;
    std::string startError_;
};

}  // namespace korvex
