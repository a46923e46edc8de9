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

// Gathers the records the reader hands over, cell by cell.
struct Collector {
    Rows rows;
    std::vector<std::string> cells;
    std::string cell;
    std::string room;
    std::vector<std::size_t> lines;
    std::vector<bool> crlf;
    std::size_t (*line)(const void*) = nullptr;
    const void* reader = nullptr;

    char* Room(std::size_t count) {
        room.resize(count);
        return room.data();
    }
    void Commit(char* end) { Text(room.data(), end); }
    void Text(const char* begin, const char* end) {
        for (const char* p = begin; p < end; ++p) cell.push_back(*p);
    }
    void EndCell() {
        cells.push_back(cell);
        cell.clear();
    }
    void EndRecord(bool endsWithCrlf, bool blank) {
        EndCell();
        if (!blank) {
            rows.push_back(cells);
            lines.push_back(line(reader));
            crlf.push_back(endsWithCrlf);
        }
        cells.clear();
    }
};

template <typename Reader>
void Attach(Collector& collector, const Reader& reader) {
    collector.reader = &reader;
    collector.line = [](const void* r) { return static_cast<const Reader*>(r)->recordLine(); };
}

ReadResult Read(const std::string& text, std::size_t blockSize) {
    Collector collector;
    CsvReader<Collector> reader(collector);
    Attach(collector, reader);
    for (std::size_t i = 0; i < text.size(); i += blockSize) {
        reader.Feed(std::string_view(text).substr(i, blockSize));
    }
    const bool complete = reader.Finish();
    return {collector.rows, complete};
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
    Collector collector;
    CsvReader<Collector> reader(collector);
    Attach(collector, reader);
    reader.Feed("h\r\n\"two\nlines\"\nx\n\n\"open");
    EXPECT_FALSE(reader.Finish());
    EXPECT_EQ(collector.lines, (std::vector<std::size_t>{1, 2, 4}));
    EXPECT_EQ(collector.crlf, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(reader.recordLine(), 6u);
}

}  // namespace
}  // namespace vessane::cli
