// The batch evaluation, fed arbitrary bytes as a CSV file. Checks that the run ends
// (libFuzzer's timeout catches a hang), that every complete input row gives one output
// row, that every output row has the output header's number of cells, that the input
// cells come out unchanged (padded or cut to the header's width) followed by a result
// of the right shape, and that the exit status says whether the file ended inside a
// quoted cell.
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

// The delimiter of a file: the one of ',', ';' and tab found most often outside quotes in
// its first line (after a byte order mark), the first of them on a tie.
char ReferenceDelimiter(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const char candidates[] = {',', ';', '\t'};
    int counts[3] = {};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (c == '\n' && !quoted) break;
        for (int k = 0; k < 3; ++k) counts[k] += !quoted && c == candidates[k];
    }
    int best = 0;
    for (int k = 1; k < 3; ++k) best = counts[k] > counts[best] ? k : best;
    return candidates[best];
}

const char* const kAdded[] = {"result", "bar", "p_sys", "p_dia", "error"};

void CheckOutput(const Parsed& in, std::string_view input, std::string_view out, char delimiter) {
    if (in.records.empty()) {
        const bool bomOnly = out.empty() || out == "\xEF\xBB\xBF";
        if (!bomOnly) Fail("output for an input without records", out.substr(0, 200));
        return;
    }
    // A byte order mark comes back.
    const bool bom = input.substr(0, 3) == "\xEF\xBB\xBF";
    if ((out.substr(0, 3) == "\xEF\xBB\xBF") != bom) Fail("byte order mark not written back");
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
            for (std::size_t i = 0; i < 5; ++i) {
                if (row[width + i] != kAdded[i]) Fail("added header cells", row[width + i]);
            }
            continue;
        }
        const std::string& result = row[width];
        const std::string& bar = row[width + 1];
        if (result == "ERREUR") {
            if (!bar.empty() || !row[width + 2].empty() || row[width + 4].empty()) {
                Fail("ERREUR row with a bar, a probability or no reason");
            }
            continue;
        }
        if (input.size() != width) Fail("row of the wrong width got a result");
        const double shown = ResultTextValue(result);
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

BatchRun RunOn(std::string_view input, int jobs) {
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

    const int status = vessane::cli::RunBatch(in, out, err, "fuzz.csv", jobs);
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
    const char delimiter = ReferenceDelimiter(input);
    const Parsed expected = ReferenceParse(input, delimiter);

    const BatchRun run = RunOn(input, 1);
    if (run.status != (expected.complete ? 0 : 1)) Fail("exit status", run.errors);
    if (expected.complete != run.errors.empty()) Fail("standard error", run.errors);
    CheckOutput(expected, input, run.output, delimiter);
    // Threads change nothing.
    const BatchRun threaded = RunOn(input, 3);
    if (threaded.output != run.output || threaded.status != run.status ||
        threaded.errors != run.errors) {
        Fail("--jobs 3 differs from --jobs 1");
    }
    return 0;
}
