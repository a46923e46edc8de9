// The batch evaluation, fed arbitrary bytes as a CSV file. Checks that the run ends
// (libFuzzer's timeout catches a hang), that every complete input row gives one output
// row, that every output row has the output header's number of cells, that the input
// cells come out unchanged (padded or cut to the header's width) followed by a result
// of the right shape, and that the exit status says whether the file ended inside a
// quoted cell.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch.h"
#include "fuzz_support.h"

namespace vessane::fuzz {
namespace {

using Record = std::vector<std::string>;

struct Parsed {
    std::vector<Record> records;
    bool complete = true;
};

// A plain reading of the CSV dialect the command line accepts, written apart from its
// streaming reader: RFC 4180 quoting, records ending with LF or CRLF (or a CR at the very
// end), a lone CR is data, a quote opens a quoted part only as the first character of a
// cell, text after a closing quote stays in the cell, a line holding nothing at all is
// no record (an empty quoted cell is something), a leading UTF-8 byte order mark is
// skipped, cells end at the delimiter.
Parsed ReferenceParse(std::string_view text, char delimiter) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    enum class State { kCellStart, kPlain, kQuoted, kQuoteInQuoted };
    Parsed parsed;
    Record record;
    std::string cell;
    bool quoted = false;
    State state = State::kCellStart;
    const auto endRecord = [&] {
        record.push_back(cell);
        if (record.size() > 1 || !record[0].empty() || quoted) parsed.records.push_back(record);
        record.clear();
        cell.clear();
        quoted = false;
        state = State::kCellStart;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (state == State::kCellStart) {
            if (c == '"') {
                quoted = true;
                state = State::kQuoted;
                continue;
            }
            state = State::kPlain;
        } else if (state == State::kQuoted) {
            if (c == '"') {
                state = State::kQuoteInQuoted;
            } else {
                cell += c;
            }
            continue;
        } else if (state == State::kQuoteInQuoted) {
            if (c == '"') {
                cell += '"';
                state = State::kQuoted;
                continue;
            }
            state = State::kPlain;
        }
        // kPlain
        if (c == delimiter) {
            record.push_back(cell);
            cell.clear();
            state = State::kCellStart;
        } else if (c == '\n') {
            endRecord();
        } else if (c == '\r' && (i + 1 == text.size() || text[i + 1] == '\n')) {
            if (i + 1 < text.size()) ++i;
            endRecord();
        } else {
            cell += c;
        }
    }
    if (state == State::kQuoted) {
        parsed.complete = false;
    } else if (state != State::kCellStart || !record.empty()) {
        endRecord();
    }
    return parsed;
}

// What the batch makes of the start of a file, worked out apart from it: the lines before
// the header that hold only spaces, tabs or CRs are dropped; a first line "sep=X" (X not a
// quote) names the delimiter and is written back; otherwise the delimiter is whichever of
// ',', ';' and tab the header holds most often outside quotes, ',' if none, and a tie
// between two of them refuses the file.
struct FileStart {
    std::string_view prefix;  // what the output starts with: a byte order mark, a sep= line
    std::string_view rest;    // from the header on
    char delimiter = ',';
    bool refused = false;
};

FileStart ReferenceStart(std::string_view text) {
    FileStart start;
    const std::string_view whole = text;
    std::size_t bom = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::size_t at = bom;
    std::size_t sepBegin = 0, sepEnd = 0;
    bool sep = false;
    for (;;) {
        const std::size_t newline = text.find('\n', at);
        const std::string_view line =
            text.substr(at, newline == text.npos ? text.npos : newline - at);
        if (newline != text.npos && line.find_first_not_of(" \t\r") == line.npos) {
            at = newline + 1;
            continue;
        }
        std::string_view content = line;
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        if (!sep && newline != text.npos && content.size() == 5 &&
            (content.substr(0, 4) == "sep=" || content.substr(0, 4) == "SEP=") &&
            content[4] != '"') {
            sep = true;
            start.delimiter = content[4];
            sepBegin = at;
            sepEnd = newline + 1;
            at = newline + 1;
            continue;
        }
        break;
    }
    start.rest = text.substr(at);
    start.prefix = whole.substr(0, bom);
    if (sep) {
        // The output's start: the mark, then the sep= line as written.
        static thread_local std::string prefix;
        prefix.assign(whole.substr(0, bom)).append(whole.substr(sepBegin, sepEnd - sepBegin));
        start.prefix = prefix;
        return start;
    }
    // The header's characters outside quotes, counted.
    std::string outside;
    bool quoted = false;
    for (const char c : start.rest) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '\n')
            break;
        else if (!quoted)
            outside += c;
    }
    const long commas = std::count(outside.begin(), outside.end(), ',');
    const long semicolons = std::count(outside.begin(), outside.end(), ';');
    const long tabs = std::count(outside.begin(), outside.end(), '\t');
    const long most = std::max({commas, semicolons, tabs});
    if (most == 0) return start;
    if ((commas == most) + (semicolons == most) + (tabs == most) > 1) start.refused = true;
    start.delimiter = commas == most ? ',' : semicolons == most ? ';' : '\t';
    return start;
}

const char* const kAdded[] = {"result", "bar", "p_sys", "p_dia", "error"};
// In French when the header is; "résultat" in UTF-8 or in Windows-1252.
const char* const kAddedFrench[] = {"r\xC3\xA9sultat", "barre", "p_sys", "p_dia", "erreur"};
const char* const kAddedFrench1252[] = {"r\xE9sultat", "barre", "p_sys", "p_dia", "erreur"};

void CheckOutput(const Parsed& in, const FileStart& start, std::string_view out) {
    if (in.records.empty()) {
        if (!out.empty() && out != start.prefix)
            Fail("output for an input without records", out.substr(0, 200));
        return;
    }
    // A byte order mark and a sep= line come back.
    if (out.substr(0, start.prefix.size()) != start.prefix)
        Fail("start of the file not written back");
    out.remove_prefix(start.prefix.size());
    const char delimiter = start.delimiter;
    const Parsed parsed = ReferenceParse(out, delimiter);
    if (!parsed.complete) Fail("output ends inside a quoted cell");
    const std::vector<Record>& rows = parsed.records;
    if (rows.size() != in.records.size()) Fail("not one output row per input row");
    const Record& header = in.records[0];
    const std::size_t width = header.size();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Record& row = rows[r];
        if (row.size() != width + 5) Fail("output row without the header's number of cells");
        const Record& input = in.records[r];
        for (std::size_t i = 0; i < width; ++i) {
            const std::string expected = i < input.size() ? input[i] : std::string();
            if (row[i] != expected) Fail("input cell changed on its way out", row[i]);
        }
        if (r == 0) {
            for (const auto* names : {kAdded, kAddedFrench, kAddedFrench1252}) {
                bool all = true;
                for (std::size_t i = 0; i < 5; ++i) all = all && row[width + i] == names[i];
                if (all) break;
                if (names == kAddedFrench1252) Fail("added header cells", row[width]);
            }
            continue;
        }
        const std::string& result = row[width];
        const std::string& bar = row[width + 1];
        if (result.empty()) {  // a row of empty values: nothing added
            for (std::size_t i = 1; i < 5; ++i) {
                if (!row[width + i].empty()) Fail("an empty result with something beside it");
            }
            continue;
        }
        if (result == "ERREUR") {
            if (!bar.empty() || !row[width + 2].empty() || row[width + 4].empty()) {
                Fail("ERREUR row with a bar, a probability or no reason");
            }
            continue;
        }
        if (input.size() != width) Fail("row of the wrong width got a result");
        std::string text = result;  // written with the file's decimal separator
        std::replace(text.begin(), text.end(), ',', '.');
        const double shown = ResultTextValue(text);
        if (shown < 0) Fail("result text has the wrong shape", result);
        if (bar != std::to_string(static_cast<int>(shown))) Fail("bar is not the result's", bar);
        if (!row[width + 4].empty()) Fail("a result with a reason");
    }
}

}  // namespace
}  // namespace vessane::fuzz

namespace vessane::fuzz {
namespace {

struct BatchRun {
    int status;
    std::string output;
    std::string errors;
};

BatchRun RunOn(std::string_view input, int jobs,
               const vessane::FieldSet& defaults = vessane::cli::kEveryField) {
    std::string copy(input);
    std::FILE* in =
        input.empty() ? std::fopen("/dev/null", "rb") : fmemopen(copy.data(), copy.size(), "rb");
    char* outText = nullptr;
    std::size_t outSize = 0;
    std::FILE* out = open_memstream(&outText, &outSize);
    char* errText = nullptr;
    std::size_t errSize = 0;
    std::FILE* err = open_memstream(&errText, &errSize);
    if (!in || !out || !err) std::abort();

    const int status = vessane::cli::RunBatch(in, out, err, "fuzz.csv", defaults, jobs);
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    BatchRun run{status, std::string(outText, outSize), std::string(errText, errSize)};
    std::free(outText);
    std::free(errText);
    return run;
}

}  // namespace
}  // namespace vessane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vessane::fuzz;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const BatchRun run = RunOn(input, 1);
    // UTF-16 is read through a transcoder: only its status is checked here, the reading
    // itself by the tests.
    const bool utf16 = input.substr(0, 2) == "\xFF\xFE" || input.substr(0, 2) == "\xFE\xFF";
    if (utf16) {
        if (run.status < 0 || run.status > 2) Fail("exit status", run.errors);
    } else {
        const FileStart start = ReferenceStart(input);
        const Parsed expected = ReferenceParse(start.rest, start.delimiter);
        if (start.refused) {
            if (run.status != 2 || !run.output.empty()) Fail("a delimiter tie not refused");
        } else {
            if (run.status != (expected.complete ? 0 : 1)) Fail("exit status", run.errors);
            if (expected.complete != run.errors.empty()) Fail("standard error", run.errors);
            CheckOutput(expected, start, run.output);
        }
    }
    // Without defaults, a file is either refused whole (nothing written) or computed as
    // with them: a default never changes a row silently.
    const BatchRun strict = RunOn(input, 1, vessane::FieldSet{});
    if (strict.status == 2 ? !strict.output.empty() : strict.output != run.output) {
        Fail("without defaults, neither refused nor the same rows");
    }
    // Threads change nothing.
    const BatchRun threaded = RunOn(input, 3);
    if (threaded.output != run.output || threaded.status != run.status ||
        threaded.errors != run.errors) {
        Fail("--jobs 3 differs from --jobs 1");
    }
    return 0;
}
