// A streaming reader of CSV text (RFC 4180): quoted cells may hold commas, doubled
// quotes and line breaks; records end with LF or CRLF. Fed in blocks of any size, it
// hands each cell's text to a sink as it is scanned, so that no cell and no record is
// ever held whole: memory stays the same whatever the file.
//
// The sink's calls, in the order of the text:
//   char* Room(std::size_t count); void Commit(char* end);
//       room for at most count characters of plain cell text (never a delimiter, quote, CR
//       or LF), written by the reader, then where they end;
//   void Text(const char* begin, const char* end);
//       cell text that may hold any byte (quoted parts, a stray quote, a lone CR);
//   void EndCell();                          a cell ends with a delimiter;
//   void EndRecord(bool crlf, bool blank);   the last cell and its record end;
//       blank: the line held nothing at all, which is no record.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vessane::cli {

// The characters that end a run of plain cell text.
inline constexpr std::array<bool, 256> CsvStop(char delimiter) {
    std::array<bool, 256> stop{};
    for (const char c : {delimiter, '\n', '\r', '"'}) stop[static_cast<unsigned char>(c)] = true;
    return stop;
}
inline constexpr auto kCsvStop = CsvStop(',');

template <typename Sink>
class CsvReader {
public:
    // delimiter: what separates cells (',', ';' or a tab).
    explicit CsvReader(Sink& sink, char delimiter = ',')
        : sink_(sink), delimiter_(delimiter), stop_(CsvStop(delimiter)) {}

    // Consumes a block of text.
    void Feed(std::string_view block);

    // End of input: completes a last record without a final line break. Returns false
    // if the input ended inside a quoted cell (that record is not completed).
    bool Finish();

    // Line on which the record being read started, counting from 1.
    std::size_t recordLine() const { return recordLine_; }

private:
    enum class State { kRecordStart, kCell, kQuoted, kQuoteInQuoted, kCarriageReturn };

    void EndRecord(bool crlf) {
        // A line holding nothing at all is not a record; a line holding "" is one empty
        // cell (how writers spell an empty value in a one-column file), so it is kept.
        sink_.EndRecord(crlf, blank_);
        blank_ = true;
        state_ = State::kRecordStart;
    }
    void Text(const char* begin, const char* end) {
        blank_ = false;
        sink_.Text(begin, end);
    }

    Sink& sink_;
    char delimiter_;
    std::array<bool, 256> stop_;
    State state_ = State::kRecordStart;
    std::size_t line_ = 1;
    std::size_t recordLine_ = 1;
    bool blank_ = true;      // nothing read since the record started
    bool cellEmpty_ = true;  // nothing read since the cell started: a quote opens it
    bool bomChecked_ = false;
    std::string pendingBom_;
};

}  // namespace vessane::cli

#include "csv_reader_impl.h"
