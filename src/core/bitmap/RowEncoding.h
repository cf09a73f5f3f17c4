#pragma once

#include "core/bitmap/ImageEncoder.h"
#include "core/bitmap/RowConverter.h"
#include "core/bitmap/RowStream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvex {

// Gathers a writer's bytes in `data`; false once memory runs short.
RowWriter::Output appendingTo(std::vector<std::uint8_t>& data);
// Hands a started writer every row, top down, then finishes it: empty, or
// why the encoding stopped.
std::string writeEveryRow(RowWriter& writer, const RowConverter& rows);

// A whole picture encoded in memory by a Writer (JpegRowWriter,
// PngRowWriter) that `start` readies, returning empty or why it could not.
// The result holds no bytes when the encoding stopped.
template <class Writer, class Start>
EncodeResult encodeInMemory(const RowConverter& rows, Start&& start)
{
    EncodeResult result;
    Writer writer(appendingTo(result.data));
    result.error = start(writer);
    if (result.error.empty())
        result.error = writeEveryRow(writer, rows);
    if (!result.error.empty())
        result.data.clear();
    return result;
}

}  // namespace korvex
