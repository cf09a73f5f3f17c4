#include "cli/batch/CsvReader.h"

namespace korvex {

namespace {

bool isBlank(const CsvRecord& record)
{
    return record.fields.size() == 1 && record.fields.front().empty();
}

}  // namespace

CsvTable CsvTable::read(std::string_view text)
{
    CsvTable table;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);

    std::size_t line = 1;
    std::size_t i = 0;
    CsvRecord record{{std::string()}, line};
    const auto endRecord = [&] {
        if (!isBlank(record))
            table.records.push_back(std::move(record));
        record = CsvRecord{{std::string()}, line};
    };
    const auto fail = [&](std::size_t at, std::string message) {
        table.records.clear();
        table.error = std::move(message);
        table.errorLine = at;
        return table;
    };

    while (i < text.size()) {
        std::string& field = record.fields.back();
        const char c = text[i];
        if (c == '"' && field.empty()) {
            // A quoted field runs to the quote that is not doubled.
            const std::size_t startLine = line;
            ++i;
            for (;;) {
                if (i >= text.size())
                    return fail(startLine, "a quoted field is not closed");
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text[i] == '\n')
                    ++line;
                field += text[i++];
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\n' && text.substr(i, 2) != "\r\n")
                return fail(line, "text after a closing quote");
            continue;
        }
        if (c == '"')
            return fail(line, "a quote inside a field that does not start with one");
        if (c == ',') {
            record.fields.emplace_back();
            ++i;
        } else if (c == '\n' || text.substr(i, 2) == "\r\n") {
            i += c == '\n' ? 1 : 2;
            ++line;
            endRecord();
        } else {
            field += c;
            ++i;
        }
    }
    endRecord();
    return table;
}

}  // namespace korvex
