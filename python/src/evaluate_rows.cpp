#include "evaluate_rows.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "form_texts.h"
#include "on_calcul.h"
#include "packed_text_index.h"
#include "parallel_blocks.h"
#include "risk_state.h"
#include "validation.h"

namespace vessane::python {
namespace {

// The six fields, in FormFields' and FormValues' order.
constexpr int kFieldCount = 6;
constexpr FormColumn kFieldColumns[kFieldCount] = {kColumnAge,   kColumnSystolic, kColumnDiastolic,
                                                   kColumnTotal, kColumnHdl,      kColumnYears};
constexpr std::string_view FormFields::*kFieldTexts[kFieldCount] = {
    &FormFields::age,   &FormFields::systolic, &FormFields::diastolic,
    &FormFields::total, &FormFields::hdl,      &FormFields::years};
constexpr double FormValues::*kFieldNumbers[kFieldCount] = {
    &FormValues::age,   &FormValues::systolic, &FormValues::diastolic,
    &FormValues::total, &FormValues::hdl,      &FormValues::years};
// Where ReadForm leaves each field's number; cholesterol as read when the unit is mmol/L.
constexpr double RiskState::*kFieldStates[kFieldCount] = {
    &RiskState::age,       &RiskState::systolic, &RiskState::diastolic,
    &RiskState::totalChol, &RiskState::hdlChol,  &RiskState::years};

// The selectors and check boxes, in the order the batch checks them.
struct Choice {
    FormColumn column;
    int FormFields::*index;
    int FormValues::*value;
    int (*parse)(std::string_view);
    const char* accepted;
};
constexpr Choice kChoices[] = {
    {kColumnSex, &FormFields::sex, &FormValues::sex, ParseSexSelector, kSexAccepted},
    {kColumnUnit, &FormFields::unit, &FormValues::unit, ParseUnitSelector, kUnitAccepted},
    {kColumnSmoker, &FormFields::smoker, &FormValues::smoker, ParseFlag, kFlagAccepted},
    {kColumnDiabetes, &FormFields::diabetes, &FormValues::diabetes, ParseFlag, kFlagAccepted},
    {kColumnLvh, &FormFields::lvh, &FormValues::lvh, ParseFlag, kFlagAccepted},
};

// A number stands for a selector's index or a box's state only when it is exactly 0 or 1.
bool TakeNumber(const Choice& choice, double number, int& index, std::string& reason) {
    if (number == 0 || number == 1) {
        index = number == 1;
        return true;
    }
    char text[32];
    const char* end = std::to_chars(text, text + sizeof text, number).ptr;
    DescribeInvalidValue(reason, kFormColumnNames[choice.column],
                         {text, static_cast<std::size_t>(end - text)}, choice.accepted);
    return false;
}

struct Entry {
    enum Kind { kAbsent, kNumber, kText } kind = kAbsent;
    std::string_view text;
    double number = 0;
};

// Called eleven times a row: inlined.
[[gnu::always_inline]] inline Entry EntryAt(const ColumnInput& column, std::size_t row) {
    const std::size_t i = row * column.step;
    if (column.numbers) return {Entry::kNumber, {}, column.numbers[i]};
    if (!column.cells) return {};
    const Cell& cell = column.cells[i];
    if (cell.isText) return {Entry::kText, cell.text, 0};
    return {Entry::kNumber, {}, cell.number};
}

FormValues ValuesOf(const FormFields& choices) {
    FormValues values{};
    for (const Choice& choice : kChoices) values.*choice.value = choices.*choice.index;
    return values;
}

// The default texts as the window reads them, for rows whose other fields are numbers.
FormValues ReadDefaultValues() {
    FormFields texts = kDefaultFields;
    texts.unit = kUnitMmolPerL;  // read as written, unconverted
    FieldControls controls(texts);
    RiskState state{};
    ReadForm(controls, state);
    FormValues values = ValuesOf(kDefaultFields);
    for (int k = 0; k < kFieldCount; ++k) values.*kFieldNumbers[k] = state.*kFieldStates[k];
    return values;
}

class RowEvaluator {
public:
    RowEvaluator(const ColumnInputs& columns, const FormValues& defaults)
        : columns_(columns), defaults_(defaults) {
        for (const ColumnInput& column : columns) numbersOnly_ &= column.cells == nullptr;
    }

    const RiskState& state() const { return state_; }

    // Evaluates one row into state(); returns its status, with reason written when the
    // status is kRowInvalidValue.
    std::uint8_t Evaluate(std::size_t row, std::string& reason) {
        return numbersOnly_ ? EvaluateNumbers(row, reason) : EvaluateEntries(row, reason);
    }

private:
    // Every column numbers or absent: nothing to read as text.
    std::uint8_t EvaluateNumbers(std::size_t row, std::string& reason) {
        FormValues values = defaults_;
        for (const Choice& choice : kChoices) {
            const ColumnInput& column = columns_[choice.column];
            if (column.numbers && !TakeNumber(choice, column.numbers[row * column.step],
                                              values.*choice.value, reason)) {
                return kRowInvalidValue;
            }
        }
        for (int k = 0; k < kFieldCount; ++k) {
            const ColumnInput& column = columns_[kFieldColumns[k]];
            if (column.numbers) values.*kFieldNumbers[k] = column.numbers[row * column.step];
        }
        return static_cast<std::uint8_t>(EvaluateValues(values, state_));
    }

    std::uint8_t EvaluateEntries(std::size_t row, std::string& reason) {
        FormFields fields = kDefaultFields;
        if (!ReadChoices(row, fields, reason)) return kRowInvalidValue;
        Entry entries[kFieldCount];
        bool anyNumber = false;
        bool anyText = false;
        for (int k = 0; k < kFieldCount; ++k) {
            entries[k] = EntryAt(columns_[kFieldColumns[k]], row);
            anyNumber |= entries[k].kind == Entry::kNumber;
            if (entries[k].kind == Entry::kText) {
                anyText = true;
                fields.*kFieldTexts[k] = entries[k].text;
            }
        }
        if (!anyNumber) return static_cast<std::uint8_t>(EvaluateFields(fields, state_));

        // Numbers are used as they are; any texts of the row are read as the window reads
        // them, as mmol/L so that the unit is applied once, by EvaluateValues.
        if (anyText) {
            FormFields texts = fields;
            texts.unit = kUnitMmolPerL;
            FieldControls controls(texts);
            ReadForm(controls, state_);
        }
        FormValues values = ValuesOf(fields);
        for (int k = 0; k < kFieldCount; ++k) {
            switch (entries[k].kind) {
                case Entry::kNumber:
                    values.*kFieldNumbers[k] = entries[k].number;
                    break;
                case Entry::kText:
                    values.*kFieldNumbers[k] = state_.*kFieldStates[k];
                    break;
                case Entry::kAbsent:
                    values.*kFieldNumbers[k] = defaults_.*kFieldNumbers[k];
                    break;
            }
        }
        return static_cast<std::uint8_t>(EvaluateValues(values, state_));
    }

    bool ReadChoices(std::size_t row, FormFields& fields, std::string& reason) const {
        for (const Choice& choice : kChoices) {
            const Entry entry = EntryAt(columns_[choice.column], row);
            int& index = fields.*choice.index;
            if (entry.kind == Entry::kText) {
                index = choice.parse(entry.text);
                if (index >= 0) continue;
                DescribeInvalidValue(reason, kFormColumnNames[choice.column], entry.text,
                                     choice.accepted);
                return false;
            }
            if (entry.kind == Entry::kNumber && !TakeNumber(choice, entry.number, index, reason)) {
                return false;
            }
        }
        return true;
    }

    const ColumnInputs& columns_;
    const FormValues& defaults_;
    bool numbersOnly_ = true;
    RiskState state_{};
};

void EvaluateBlock(const ColumnInputs& columns, std::size_t begin, std::size_t end,
                   const RowOutputs& out, std::vector<InvalidValue>& invalid,
                   PackedTextIndex& shown) {
    static const FormValues defaults = ReadDefaultValues();
    RowEvaluator evaluator(columns, defaults);
    std::string reason;
    std::uint64_t lastShown = 0;
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t row = begin; row < end; ++row) {
        const std::uint8_t status = evaluator.Evaluate(row, reason);
        out.status[row] = status;
        if (status == kRowValid) {
            const RiskState& state = evaluator.state();
            out.resultText[row] = PackResultText(state.text);
            if (out.resultText[row] != lastShown) shown.Insert(lastShown = out.resultText[row]);
            out.bar[row] = BarPosition(state.text);
            out.barMissing[row] = false;
            out.pSys[row] = state.pSys;
            out.pDia[row] = state.pDia;
            continue;
        }
        out.resultText[row] = 0;
        out.bar[row] = 0;
        out.barMissing[row] = true;
        out.pSys[row] = kNaN;
        out.pDia[row] = kNaN;
        if (status == kRowInvalidValue) invalid.push_back({row, reason});
    }
}

}  // namespace

std::uint64_t PackResultText(const char* text) {
    static_assert(kTextBufferSize < sizeof(std::uint64_t));
    // The bytes before the first NUL only: what follows it is left from earlier texts.
    char bytes[sizeof(std::uint64_t)] = {};
    for (std::size_t i = 0; i < kTextBufferSize && text[i] != '\0'; ++i) bytes[i] = text[i];
    std::uint64_t packed;
    std::memcpy(&packed, bytes, sizeof packed);
    return packed;
}

std::size_t UnpackResultText(std::uint64_t packed, char* out) {
    std::memcpy(out, &packed, sizeof packed);
    return strnlen(out, sizeof packed);
}

RowsSummary EvaluateRows(const ColumnInputs& columns, std::size_t count, const RowOutputs& outputs,
                         int jobs) {
    const std::size_t blocks = BlockCount(count, jobs);
    std::vector<std::vector<InvalidValue>> invalid(blocks);
    std::vector<PackedTextIndex> shown(blocks);
    RunBlocks(count, blocks, [&](std::size_t block, std::size_t begin, std::size_t end) {
        EvaluateBlock(columns, begin, end, outputs, invalid[block], shown[block]);
    });
    RowsSummary summary{std::move(invalid[0]), {}};
    for (std::size_t b = 1; b < blocks; ++b) {
        summary.invalid.insert(summary.invalid.end(), std::make_move_iterator(invalid[b].begin()),
                               std::make_move_iterator(invalid[b].end()));
        for (const std::uint64_t text : shown[b].texts()) shown[0].Insert(text);
    }
    summary.resultTexts = shown[0].texts();
    return summary;
}

}  // namespace vessane::python
