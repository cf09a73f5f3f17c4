#include "cli/batch/CsvReader.h"

#include <gtest/gtest.h>

using namespace korvex;

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows fieldsOf(const CsvTable& table)
{
    Rows rows;
    for (const CsvRecord& record : table.records)
        rows.push_back(record.fields);
    return rows;
}

TEST(CsvReader, ReadsQuotedFieldsWithCommasQuotesAndLineBreaks)
{
    const std::vector<std::pair<std::string, Rows>> cases{
        {"a,b,c\n1,2,3\n", {{"a", "b", "c"}, {"1", "2", "3"}}},
        {"a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}},
        {"a,b\n1,2", {{"a", "b"}, {"1", "2"}}},                          // no final line break
        {"\xEF\xBB\xBFleft\nx\n", {{"left"}, {"x"}}},                    // byte order mark
        {"a\n\n\nb\n", {{"a"}, {"b"}}},                                  // blank lines
        {"\"x, y\",z\n", {{"x, y", "z"}}},
        {"\"say \"\"hi\"\"\",2\n", {{"say \"hi\"", "2"}}},
        {"\"two\nlines\",2\n", {{"two\nlines", "2"}}},
        {"\"crlf\r\ninside\"\r\n", {{"crlf\r\ninside"}}},
        {",,\n", {{"", "", ""}}},
        {"\"\",x\n", {{"", "x"}}},
        {" spaced , out \n", {{" spaced ", " out "}}},                   // spaces are data
    };
    for (const auto& [text, expected] : cases) {
        const CsvTable table = CsvTable::read(text);
        EXPECT_EQ(table.error, "") << text;
        EXPECT_EQ(fieldsOf(table), expected) << text;
    }
}

TEST(CsvReader, RecordsKnowTheLineTheyStartOn)
{
    const CsvTable table = CsvTable::read("h\n\"a\nb\nc\"\n\nd\n");
    ASSERT_EQ(table.records.size(), 3u);
    EXPECT_EQ(table.records[0].line, 1u);
    EXPECT_EQ(table.records[1].line, 2u);
    EXPECT_EQ(table.records[2].line, 6u);
}

TEST(CsvReader, MalformedTextNamesItsLine)
{
    const std::vector<std::pair<std::string, std::size_t>> cases{
        {"a,b\n\"open,2\n3,4\n", 2},  // never closed: the line where the quote opened
        {"a\n\"x\"y\n", 2},           // text after the closing quote
        {"a\nb\nab\"c\n", 3},         // a quote in the middle of a field
    };
    for (const auto& [text, line] : cases) {
        const CsvTable table = CsvTable::read(text);
        EXPECT_NE(table.error, "") << text;
        EXPECT_EQ(table.errorLine, line) << text;
        EXPECT_TRUE(table.records.empty()) << text;
    }
}

}  // namespace
