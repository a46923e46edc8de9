#include "block_evaluator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "csv_reader.h"
#include "form_input.h"
#include "score2_form.h"
#include "validation.h"

namespace vessane::cli {
namespace {

constexpr std::string_view kAddedColumns[] = {"result", "bar", "p_sys", "p_dia", "error"};
constexpr std::string_view kFrenchAddedColumns[] = {"r\xC3\xA9sultat", "barre", "p_sys", "p_dia",
                                                    "erreur"};
constexpr std::string_view kScore2Columns[] = {"score2", "p_score2", "score2_model",
                                               "score2_category", "score2_error"};
constexpr std::string_view kFrenchScore2Columns[] = {"score2", "p_score2", "score2_mod\xC3\xA8le",
                                                     "score2_cat\xC3\xA9gorie", "score2_erreur"};
constexpr std::string_view kError = "ERREUR";
// Room for what a row adds to its cells: a result, or ERREUR and a reason quoted; and
// SCORE2's.
constexpr std::size_t kRowRoom = 3 * kMaxShortestDecimal + 2048;

void Reserve(Block& block, std::size_t count) {
    if (block.outputCapacity - block.outputSize >= count) return;
    const std::size_t capacity = std::max(2 * block.outputCapacity, block.outputSize + count);
    std::unique_ptr<char[]> larger(new char[capacity]);
    if (block.outputSize > 0) std::memcpy(larger.get(), block.output.get(), block.outputSize);
    block.output = std::move(larger);
    block.outputCapacity = capacity;
}

char* Put(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// A cell as a CSV writer writes it: quoted when it holds a quote, the delimiter, CR or LF.
char* PutCell(char* out, std::string_view text, const BatchLayout& layout) {
    // The characters that need quotes (layout.stop), looked for a block at a time: reasons
    // run to a hundred characters, and most rows of a cohort may carry one.
    const auto holds = [&](char c) { return std::memchr(text.data(), c, text.size()) != nullptr; };
    if (!holds(layout.delimiter) && !holds('"') && !holds('\n') && !holds('\r')) {
        return Put(out, text);
    }
    *out++ = '"';
    for (const char c : text) {
        if (c == '"') *out++ = '"';
        *out++ = c;
    }
    *out++ = '"';
    return out;
}

// The cell written from `start` to `out`, quoted in place if it holds the delimiter: a
// "sep=" line may name a character the added cells use (a digit, '.', a letter), and
// --decimal may be the delimiter. The added cells hold no quote, CR or LF.
char* QuoteWritten(char* start, char* out, const BatchLayout& layout) {
    if (std::find(start, out, layout.delimiter) == out) return out;
    std::memmove(start + 1, start, static_cast<std::size_t>(out - start));
    *start = '"';
    out[1] = '"';
    return out + 2;
}

char* PutLineEnd(char* out, const BatchLayout& layout) {
    return layout.crlf ? Put(out, "\r\n") : Put(out, "\n");
}

}  // namespace

void BlockEvaluator::Evaluate(Block& block, const BatchLayout& layout) {
    block.outputSize = 0;
    std::size_t start = 0;
    for (const BlockRow& row : block.rows) {
        Reserve(block, row.echoEnd - start + kRowRoom);
        std::memcpy(block.output.get() + block.outputSize, block.echo.get() + start,
                    row.echoEnd - start);
        block.outputSize += row.echoEnd - start;
        start = row.echoEnd;
        WriteResult(block, row, layout);
    }
    // The start of a row that goes on in the next block.
    if (block.echoSize == start) return;
    Reserve(block, block.echoSize - start);
    std::memcpy(block.output.get() + block.outputSize, block.echo.get() + start,
                block.echoSize - start);
    block.outputSize += block.echoSize - start;
}

void BlockEvaluator::ReadRow(const Block& block, const BlockRow& row, const BatchLayout& layout,
                             FormEntries& entries) {
    for (int c = 0; c < kFormColumnCount; ++c) {
        if (!layout.present[c]) {
            entries[c] = layout.isFixed[c] ? FieldEntry::Text(layout.fixed[c]) : FieldEntry{};
            continue;
        }
        const FieldRef& f = row.fields[c];
        std::string_view text{(f.inArena ? block.arena.data() : block.echo.get()) + f.offset,
                              f.length};
        if (layout.encoding == TextEncoding::kWindows1252 && !IsAscii(text)) {
            decoded_[c].clear();
            AppendWindows1252AsUtf8(decoded_[c], text);
            text = decoded_[c];
        }
        entries[c] = FieldEntry::Text(text);
    }
}

std::string_view BlockEvaluator::Encoded(std::string_view text, const BatchLayout& layout) {
    if (layout.encoding != TextEncoding::kWindows1252 || IsAscii(text)) return text;
    encoded_.clear();
    AppendUtf8AsWindows1252(encoded_, text);
    return encoded_;
}

void BlockEvaluator::WriteResult(Block& block, const BlockRow& row, const BatchLayout& layout) {
    char* out = block.output.get() + block.outputSize;
    const char delimiter = layout.delimiter;
    // ERREUR, the empty bar and probabilities, then the reason.
    const auto putError = [&](std::string_view reason) {
        out = QuoteWritten(out, Put(out, kError), layout);
        for (int i = 0; i < 4; ++i) *out++ = delimiter;
        out = PutCell(out, Encoded(reason, layout), layout);
    };
    // A probability, with the decimal separator the output asks for.
    const auto putProbability = [&](double p) {
        char* const start = out;
        out = WriteShortestDecimal(p, out);
        if (layout.decimal != '.') std::replace(start, out, '.', layout.decimal);
        out = QuoteWritten(start, out, layout);
    };
    EntriesOutcome outcome{};
    FormValues values{};
    if (!row.header && !row.blank && row.cellCount == layout.width) {
        FormEntries entries;
        ReadRow(block, row, layout, entries);
        outcome = EvaluateEntries(entries, state_, reason_, &layout.names, &layout.cholesterol,
                                  row.otherText, layout.score2 ? &values : nullptr);
    }
    const auto putNames = [&](const std::string_view(&names)[5], bool first) {
        for (const std::string_view name : names) {
            if (!first || name != names[0]) *out++ = delimiter;
            char* const start = out;
            out = QuoteWritten(start, Put(out, Encoded(name, layout)), layout);
        }
    };
    // The 1991 columns of a row that has values, when a column only they read is absent.
    const bool framinghamAbsent = !layout.framinghamAbsent.empty() && !row.header && !row.blank &&
                                  row.cellCount == layout.width && !outcome.allMissing;
    if (row.blank) {
        // Kept as an empty line: the results stay beside their rows.
    } else if (row.header) {
        putNames(layout.french ? kFrenchAddedColumns : kAddedColumns, true);
        if (layout.score2) putNames(layout.french ? kFrenchScore2Columns : kScore2Columns, false);
    } else if (framinghamAbsent) {
        putError(layout.framinghamAbsent);
    } else if (row.cellCount != layout.width) {
        char number[24];
        reason_.assign("nombre de cellules incorrect : ");
        reason_.append(number, std::to_chars(number, number + sizeof number, row.cellCount).ptr);
        reason_.append(" au lieu de ");
        reason_.append(number, std::to_chars(number, number + sizeof number, layout.width).ptr);
        putError(reason_);
    } else if (outcome.allMissing) {
        // A row with nothing in it (a spreadsheet's trailing ";;;;"): kept, with no result.
        for (int i = 0; i < 4; ++i) *out++ = delimiter;
    } else if (!outcome.ok()) {
        putError(reason_);
    } else {
        // At most six characters: a loop costs less than a call to strnlen.
        char* const result = out;
        for (std::size_t i = 0; i < sizeof state_.text && state_.text[i] != '\0'; ++i) {
            *out++ = state_.text[i];
        }
        // "10,3 %" where the file writes decimal commas: a spreadsheet reads a percentage.
        if (layout.decimal != '.') std::replace(result, out, '.', layout.decimal);
        out = QuoteWritten(result, out, layout);
        *out++ = delimiter;
        const int bar = std::clamp(BarPosition(state_.text), 0, 100);
        char* const barStart = out;
        out = QuoteWritten(barStart, std::to_chars(out, out + 16, bar).ptr, layout);
        *out++ = delimiter;
        putProbability(state_.pSys);
        *out++ = delimiter;
        putProbability(state_.pDia);
        *out++ = delimiter;
    }
    if (layout.score2 && !row.header && !row.blank) {
        *out++ = delimiter;
        out = WriteScore2(out, row, layout, outcome, values, block);
    }
    block.outputSize = static_cast<std::size_t>(PutLineEnd(out, layout) - block.output.get());
}

char* BlockEvaluator::WriteScore2(char* out, const BlockRow& row, const BatchLayout& layout,
                                  const EntriesOutcome& outcome, const FormValues& values,
                                  const Block& block) {
    const char delimiter = layout.delimiter;
    // The row's region cell, UTF-8.
    std::string_view regionCell;
    if (layout.regionPresent && row.cellCount == layout.width) {
        const FieldRef& f = row.fields[kRegionColumn];
        regionCell = {(f.inArena ? block.arena.data() : block.echo.get()) + f.offset, f.length};
        if (layout.encoding == TextEncoding::kWindows1252 && !IsAscii(regionCell)) {
            decoded_[0].clear();
            AppendWindows1252AsUtf8(decoded_[0], regionCell);
            regionCell = decoded_[0];
        }
    }
    EntriesOutcome read = outcome;
    if (row.cellCount != layout.width) read.valuesRead = false;  // reason_: the cell count
    const Score2Outcome score2 =
        EvaluateScore2Entries(read, values, reason_, regionCell, layout.region,
                              layout.present[kColumnDiastolic] || layout.isFixed[kColumnDiastolic]);
    // The cells written here hold digits, a separator, letters and spaces: quoted only
    // where the delimiter is one of those (a "sep=" line's own choice, --decimal).
    const auto quoted = [&](char* start, char* end) {
        return layout.plainAddedCells ? end : QuoteWritten(start, end, layout);
    };
    if (score2.computed) {
        char* const start = out;
        out = Put(out, {score2.text, score2.textLength});
        if (layout.decimal != '.') std::replace(start, out, '.', layout.decimal);
        out = quoted(start, out);
        *out++ = delimiter;
        char* const p = out;
        out = WriteShortestDecimal(score2.probability, out);
        if (layout.decimal != '.') std::replace(p, out, '.', layout.decimal);
        out = quoted(p, out);
    } else {
        *out++ = delimiter;
    }
    *out++ = delimiter;
    if (score2.modelKnown) {
        out = quoted(
            out, Put(out, score2.model == Score2Model::kScore2 ? std::string_view("SCORE2")
                                                               : std::string_view("SCORE2-OP")));
    }
    *out++ = delimiter;
    if (score2.computed) out = quoted(out, Put(out, Encoded(score2.categoryText(), layout)));
    *out++ = delimiter;
    if (!score2.computed) {
        // The fixed reasons come back row after row: whether one needs quotes is known.
        KnownReason* known = nullptr;
        if (score2.madeReason.empty()) {
            for (KnownReason& k : knownReasons_) {
                if (k.text == score2.fixedReason.data() || k.text == nullptr) {
                    known = &k;
                    break;
                }
            }
        }
        const std::string_view reason = Encoded(score2.reason(), layout);
        if (known != nullptr && known->text != nullptr) {
            out = known->plain ? Put(out, reason) : PutCell(out, reason, layout);
        } else {
            char* const start = out;
            out = PutCell(out, reason, layout);
            if (known != nullptr) {
                *known = {score2.fixedReason.data(),
                          static_cast<std::size_t>(out - start) == reason.size()};
            }
        }
    }
    return out;
}

}  // namespace vessane::cli
