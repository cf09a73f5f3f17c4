#include "core/bitmap/RowEncoding.h"

#include <new>

namespace korvex {

RowWriter::Output appendingTo(std::vector<std::uint8_t>& data)
{
    return [&data](std::span<const std::uint8_t> block) {
        try {
            data.insert(data.end(), block.begin(), block.end());
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    };
}

std::string writeEveryRow(RowWriter& writer, const RowConverter& rows)
{
    std::vector<std::uint8_t> scratch(rows.rowBytes());
    for (int y = 0; y < rows.rowCount(); ++y) {
        const std::uint8_t* row = rows.row(y, scratch.data());
        if (std::string error = writer.writeRows(&row, 1); !error.empty())
            return error;
    }
    return writer.finish();
}

}  // namespace korvex
