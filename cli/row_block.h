// A block of rows on its way through the batch: the cells as they will be written
// back, read once by the reading thread, then evaluated by any thread into the block's
// output, which is written in input order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "csv_reader.h"
#include "form_entries.h"
#include "form_fields.h"
#include "header_resolver.h"
#include "score2.h"
#include "text_encoding.h"

namespace vessane::cli {

// What the header says, fixed once it has been read.
struct BatchLayout {
    std::size_t width = 0;                         // cells in the header
    std::array<bool, kFormColumnCount> present{};  // the form's columns found in it
    bool crlf = false;                             // lines end like the header's
    char delimiter = ',';                          // between cells, read and written
    // The characters that make a cell be written quoted: the delimiter, quote, CR, LF.
    std::array<bool, 256> stop = CsvStop(',');
    // The file's encoding: Windows-1252 cells are read as they are, and what the batch
    // adds is written in it.
    TextEncoding encoding = TextEncoding::kUtf8;
    // The file's names of the form's columns (UTF-8), for reasons; ColumnNames views them.
    std::array<std::string, kFormColumnCount> nameTexts;
    ColumnNames names{};
    // The cholesterol unit that the total and HDL names give ("(mmol/L)").
    CholesterolHeader cholesterol;
    // SCORE2 beside the 1991 equations (--score2): the region for rows whose region cell is
    // empty or absent, whether the file has a region column, and why the 1991 columns say
    // ERREUR on every row when a column only they read is absent ("" otherwise).
    bool score2 = false;
    Score2Region region = Score2Region::kLow;
    bool regionPresent = false;
    std::string framinghamAbsent;
    // Values given on the command line for a column the file lacks (--unit, --years).
    std::array<std::string, kFormColumnCount> fixed;
    std::array<bool, kFormColumnCount> isFixed{};
    bool french = false;  // the added columns take French names
    // The delimiter is ',', ';' or a tab and not the decimal separator: the results,
    // probabilities, models and categories written never need quotes.
    bool plainAddedCells = false;
    char decimal = '.';  // in the probabilities and results written

    void SetDelimiter(char d) {
        delimiter = d;
        stop = CsvStop(d);
    }
};

// Where a form cell's text (its first kFieldKept bytes: all that the form reads of it)
// lies: in the block's echo, or copied to its arena.
inline constexpr std::size_t kFieldKept = 48;
struct FieldRef {
    std::uint32_t offset = 0;
    std::uint8_t length = 0;
    bool inArena = false;
};

struct BlockRow {
    std::uint32_t echoEnd = 0;  // where the row's cells end in the echo
    bool header = false;
    bool blank = false;      // a line holding nothing: written back as an empty line
    bool otherText = false;  // a cell outside the form's columns holds something
    std::size_t cellCount = 0;
    // The form's cells, then the SCORE2 region's (kRegionColumn).
    std::array<FieldRef, kFormColumnCount + 1> fields{};
};

struct Block {
    // The echo never grows: a row that does not fit is carried on in the next block.
    static constexpr std::size_t kEchoCapacity = 192 << 10;
    static constexpr std::size_t kEchoTarget = 64 << 10;  // a block is full past this
    static constexpr std::size_t kMaxRows = 1024;

    // The cells of each row as written back, each followed by a comma; after the last
    // row, possibly the start of a row that goes on in the next block.
    std::unique_ptr<char[]> echo{new char[kEchoCapacity]};
    std::size_t echoSize = 0;
    std::vector<BlockRow> rows;
    std::vector<char> arena;  // form cells that the echo does not hold as they read

    // The evaluated text to write.
    std::unique_ptr<char[]> output;
    std::size_t outputSize = 0;
    std::size_t outputCapacity = 0;

    void Clear() {
        echoSize = 0;
        rows.clear();
        arena.clear();
        outputSize = 0;
    }
};

}  // namespace vessane::cli
