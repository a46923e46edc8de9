// Evaluating every row of a CSV file of forms.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "byte_stream.h"
#include "header_resolver.h"
#include "score2.h"

namespace vessane::cli {

class ProgressLine;

struct BatchOptions {
    int jobs = 1;  // threads evaluating rows; the output is the same for any number
    ProgressLine* progress = nullptr;
    // Whether a stop must first finish a row already partly written: not when the
    // output is discarded after a stop.
    bool stopAtRowBoundary = true;
    // The cell delimiter: ',', ';' or a tab; 0 to take it from the file (its "sep=" line,
    // else its header line).
    char delimiter = 0;
    // The decimal separator of the probabilities and results written: '.' or ','; 0 for
    // the file's own (a comma when its numbers have one, whatever the delimiter; without
    // decimals in the first rows, a comma when cells are separated by ';').
    char decimal = 0;
    // Whether to name on err the columns not read and the fields left at their default
    // (--quiet does not), and the optional fields absent, how a header's unit is read
    // (which --quiet never hides).
    bool headerNotice = true;
    bool readingNotice = true;
    // The required fields whose column, if the file lacks it, takes the default form's
    // value; the file is refused when another one is absent, and nothing is written.
    FieldSet defaults{};
    // SCORE2 and SCORE2-OP beside the 1991 equations (--score2), with the region of rows
    // that do not give theirs (--region).
    bool score2 = false;
    Score2Region region = Score2Region::kLow;
    // Values for columns the file lacks (--unit, --years), or null.
    const char* unit = nullptr;
    const char* years = nullptr;
};

// The delimiter a header line uses: the most frequent of ',', ';' and tab outside
// quotes; ',' when none is there; 0 on a tie, which only the user can settle.
char DetectDelimiter(std::string_view headerLine);

// What a batch ended with.
enum class BatchEnd {
    kComplete,    // every row written
    kUnfinished,  // the input ended inside a quoted cell: every complete row written
    kReadError,
    kWriteError,    // the sink's errorNumber() says why
    kScratchError,  // a long cell could not be set aside
    kStopped,       // a stop signal: the rows written end at a row boundary
    kRefused,       // the header cannot be used (said on err): nothing written
};

// Reads CSV from in, writes the rows with their results to out, reports problems on
// err under the given input name (except write errors, which the caller words).
BatchEnd RunBatch(ByteSource& in, ByteSink& out, std::FILE* err, const char* inputName,
                  const BatchOptions& options);

// The same over C streams, returning the process exit status: 0 when every complete
// row was written, 1 when the input ended inside a quoted cell or output failed, 2
// when the input could not be read or its header was refused. defaults as in
// BatchOptions; the header's notices are left out unless asked for.
int RunBatch(std::FILE* in, std::FILE* out, std::FILE* err, const char* inputName,
             const FieldSet& defaults, int jobs = 1, bool headerNotice = false);

// Every field: what --defaults alone stands for.
inline constexpr FieldSet kEveryField = {true, true, true, true, true, true,
                                         true, true, true, true, true};

}  // namespace vessane::cli
