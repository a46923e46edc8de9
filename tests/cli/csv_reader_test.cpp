// The CSV reader, fed whole and one byte at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv_reader.h"

namespace vessane::cli {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct ReadResult {
    Rows rows;
    bool complete;
};

ReadResult Read(const std::string& text, std::size_t blockSize) {
    CsvReader reader;
    ReadResult result{{}, true};
    const auto collect = [&](const CsvRecord& record) {
        std::vector<std::string> cells;
        for (std::size_t i = 0; i < record.size(); ++i) cells.emplace_back(record[i]);
        result.rows.push_back(cells);
    };
    for (std::size_t i = 0; i < text.size(); i += blockSize) {
        reader.Feed(std::string_view(text).substr(i, blockSize), collect);
    }
    result.complete = reader.Finish(collect);
    return result;
}

TEST(CsvReader, Rfc4180Records) {
    struct Case {
        const char* name;
        std::string text;
        Rows rows;
        bool complete;
    };
    const Case cases[] = {
        {"plain LF", "a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}, true},
        {"CRLF", "a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}, true},
        {"no final line break", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}, true},
        {"byte order mark",
         "\xEF\xBB\xBF"
         "a,b\n",
         {{"a", "b"}},
         true},
        {"only part of a mark is data",
         "\xEF\xBB"
         "a\n",
         {{"\xEF\xBB"
           "a"}},
         true},
        {"quoted comma, quote and line break",
         "\"x,y\",\"say \"\"hi\"\"\",\"l1\r\nl2\"\n",
         {{"x,y", "say \"hi\"", "l1\r\nl2"}},
         true},
        {"empty cells", ",,\n", {{"", "", ""}}, true},
        {"empty quoted cell", "\"\",a\n", {{"", "a"}}, true},
        {"blank lines are no records", "a\n\n\r\nb\n", {{"a"}, {"b"}}, true},
        {"a line holding \"\" is one empty cell",
         "a\n\"\"\n\"\"\r\n\"\"",
         {{"a"}, {""}, {""}, {""}},
         true},
        {"lone CR is data", "a\rb,c\n", {{"a\rb", "c"}}, true},
        {"stray quote inside a plain cell", "ab\"c,d\n", {{"ab\"c", "d"}}, true},
        {"text after a closing quote stays", "\"ab\"c,d\n", {{"abc", "d"}}, true},
        {"NUL bytes are data", std::string("a\0b,c\n", 6), {{std::string("a\0b", 3), "c"}}, true},
        {"unterminated quote", "a\n\"open,\n", {{"a"}}, false},
        {"empty input", "", {}, true},
        {"a file that is only part of a mark", "\xEF\xBB", {{"\xEF\xBB"}}, true},
        {"CR at the very end", "a,b\r", {{"a", "b"}}, true},
    };
    for (const Case& c : cases) {
        for (std::size_t block :
             {std::size_t{1}, std::size_t{2}, std::size_t{3}, c.text.size() + 1}) {
            const ReadResult r = Read(c.text, block);
            EXPECT_EQ(r.rows, c.rows) << c.name << ", blocks of " << block;
            EXPECT_EQ(r.complete, c.complete) << c.name << ", blocks of " << block;
        }
    }
}

TEST(CsvReader, LineNumbersAndLineEnds) {
    CsvReader reader;
    std::vector<std::size_t> lines;
    std::vector<bool> crlf;
    const auto collect = [&](const CsvRecord& r) {
        lines.push_back(r.line());
        crlf.push_back(r.crlf());
    };
    reader.Feed("h\r\n\"two\nlines\"\nx\n\n\"open", collect);
    EXPECT_FALSE(reader.Finish(collect));
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 4}));
    EXPECT_EQ(crlf, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(reader.recordLine(), 6u);
}

}  // namespace
}  // namespace vessane::cli
