#include "evaluate_rows.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "form_entries.h"
#include "form_texts.h"
#include "on_calcul.h"
#include "parallel_blocks.h"
#include "risk_state.h"
#include "validation.h"

namespace vessane::python {
namespace {

// Element i of an array of T, read whatever its alignment: numpy arrays (those dask
// unpickles, for one) need not be aligned to their element's size.
template <typename T>
[[gnu::always_inline]] inline double Element(const void* numbers, std::size_t i) {
    T value;
    std::memcpy(&value, static_cast<const char*>(numbers) + i * sizeof(T), sizeof(T));
    return static_cast<double>(value);
}

// Called eleven times a row: inlined.
[[gnu::always_inline]] inline double NumberAt(const void* numbers, NumberType type, std::size_t i) {
    switch (type) {
        case NumberType::kFloat64:
            return Element<double>(numbers, i);
        case NumberType::kFloat32:
            return Element<float>(numbers, i);
        case NumberType::kInt8:
            return Element<std::int8_t>(numbers, i);
        case NumberType::kInt16:
            return Element<std::int16_t>(numbers, i);
        case NumberType::kInt32:
            return Element<std::int32_t>(numbers, i);
        case NumberType::kInt64:
            return Element<std::int64_t>(numbers, i);
        case NumberType::kUInt8:
            return Element<std::uint8_t>(numbers, i);
        case NumberType::kUInt16:
            return Element<std::uint16_t>(numbers, i);
        case NumberType::kUInt32:
            return Element<std::uint32_t>(numbers, i);
        case NumberType::kUInt64:
            return Element<std::uint64_t>(numbers, i);
        case NumberType::kBool:
            return Element<std::uint8_t>(numbers, i) != 0 ? 1.0 : 0.0;
    }
    return 0;
}

[[gnu::always_inline]] inline FieldEntry EntryAt(const ColumnInput& column, std::size_t row) {
    const std::size_t i = row * column.step;
    if (column.numbers) return FieldEntry::Number(NumberAt(column.numbers, column.numberType, i));
    if (!column.cells) return {};
    const Cell& cell = column.cells[i];
    return cell.isText ? FieldEntry::Text(cell.text) : FieldEntry::Number(cell.number);
}

// One thread's rows, read through the form's one reader of data. The columns not given
// stay absent in entries_; only the given ones are read for each row.
class RowEvaluator {
public:
    RowEvaluator(const ColumnInputs& columns, const TableContext& table)
        : columns_(columns), table_(table) {
        for (int c = 0; c < kFormColumnCount; ++c) {
            if (columns[c].numbers || columns[c].cells) given_[givenCount_++] = c;
        }
    }

    const RiskState& state() const { return state_; }

    // Evaluates one row into state(); returns its status, with reason written when the
    // status is kRowInvalidValue.
    std::uint8_t Evaluate(std::size_t row, std::string& reason) {
        for (int k = 0; k < givenCount_; ++k) {
            const int c = given_[k];
            entries_[c] = EntryAt(columns_[c], row);
        }
        const bool others = table_.otherCellsGiven != nullptr && table_.otherCellsGiven[row];
        const EntriesOutcome outcome =
            EvaluateEntries(entries_, state_, reason, table_.names, table_.cholesterol, others);
        if (outcome.allMissing) return kRowEmpty;
        // A missing value's reason is the row's own; a range's is shared by every row.
        if (outcome.refused() || outcome.missingValue) return kRowInvalidValue;
        return static_cast<std::uint8_t>(outcome.failed);
    }

private:
    const ColumnInputs& columns_;
    const TableContext& table_;
    FormEntries entries_{};
    int given_[kFormColumnCount] = {};
    int givenCount_ = 0;
    RiskState state_{};
};

void EvaluateBlock(const ColumnInputs& columns, const TableContext& table, std::size_t begin,
                   std::size_t end, const RowOutputs& out, std::vector<InvalidValue>& invalid,
                   std::vector<bool>& shown) {
    RowEvaluator evaluator(columns, table);
    std::string reason;
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t row = begin; row < end; ++row) {
        const std::uint8_t status = evaluator.Evaluate(row, reason);
        out.status[row] = status;
        if (status == kRowValid) {
            const RiskState& state = evaluator.state();
            const int number = ShownTextNumber(state);  // valid forms show one of them
            out.resultText[row] = static_cast<std::uint16_t>(number + 1);
            shown[static_cast<std::size_t>(number)] = true;
            out.bar[row] = BarPosition(state.text);
            out.barMissing[row] = false;
            out.pSys[row] = state.pSys;
            out.pDia[row] = state.pDia;
            continue;
        }
        out.resultText[row] = status == kRowEmpty ? kEmptyResultCode : 0;
        out.bar[row] = 0;
        out.barMissing[row] = true;
        out.pSys[row] = kNaN;
        out.pDia[row] = kNaN;
        if (status == kRowInvalidValue) invalid.push_back({row, reason});
    }
}

}  // namespace

RowsSummary EvaluateRows(const ColumnInputs& columns, std::size_t count, const RowOutputs& outputs,
                         int jobs, const TableContext& table) {
    const std::size_t blocks = BlockCount(count, jobs);
    std::vector<std::vector<InvalidValue>> invalid(blocks);
    std::vector<std::vector<bool>> shown(blocks, std::vector<bool>(kShownTextCount));
    RunBlocks(count, blocks, [&](std::size_t block, std::size_t begin, std::size_t end) {
        EvaluateBlock(columns, table, begin, end, outputs, invalid[block], shown[block]);
    });
    RowsSummary summary{std::move(invalid[0]), {}};
    for (std::size_t b = 1; b < blocks; ++b) {
        summary.invalid.insert(summary.invalid.end(), std::make_move_iterator(invalid[b].begin()),
                               std::make_move_iterator(invalid[b].end()));
    }
    for (int number = 0; number < kShownTextCount; ++number) {
        for (std::size_t b = 0; b < blocks; ++b) {
            if (shown[b][static_cast<std::size_t>(number)]) {
                summary.resultTexts.push_back(number);
                break;
            }
        }
    }
    return summary;
}

void EvaluateScore2Rows(const ColumnInputs& columns, std::size_t count, const TableContext& table,
                        const std::string_view* regions, Score2Region region, bool diastolicGiven,
                        Score2Outcome* outcomes) {
    FormEntries entries{};
    RiskState state{};
    std::string reason;
    for (std::size_t row = 0; row < count; ++row) {
        for (int c = 0; c < kFormColumnCount; ++c) entries[c] = EntryAt(columns[c], row);
        FormValues values{};
        const bool others = table.otherCellsGiven != nullptr && table.otherCellsGiven[row];
        const EntriesOutcome read = EvaluateEntries(entries, state, reason, table.names,
                                                    table.cholesterol, others, &values);
        outcomes[row] =
            EvaluateScore2Entries(read, values, reason, regions ? regions[row] : std::string_view(),
                                  region, diastolicGiven);
    }
}

}  // namespace vessane::python
