#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

// Comma-separated values as RFC 4180 writes them: records end in LF or CRLF;
// a field in double quotes may hold commas, line breaks and "" for a quote.
// Blank lines are skipped and a UTF-8 byte order mark at the start ignored.
struct CsvRecord {
    std::vector<std::string> fields;
    std::size_t line = 0;  // the line the record starts on, from 1
};

struct CsvTable {
    std::vector<CsvRecord> records;
    std::string error;     // empty when the whole text was read
    std::size_t errorLine = 0;

    static CsvTable read(std::string_view text);
};

}  // namespace korvex
