// Many forms given as columns (numbers, texts, or both mixed in one column), evaluated
// row by row through the core, in blocks over threads. No Python here: the caller turns
// its columns into these views and holds what they point to.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "form_entries.h"
#include "form_fields.h"
#include "risk_state.h"
#include "score2_form.h"

namespace vessane::python {

// One entry of a column whose rows may differ in kind: a text, read as the window reads
// its field or choice, or a number, used as it is.
struct Cell {
    std::string_view text;
    double number = 0;
    bool isText = false;
};

// The element types of numeric columns, read as they are: no conversion pass.
enum class NumberType : std::uint8_t {
    kFloat64,
    kFloat32,
    kInt8,
    kInt16,
    kInt32,
    kInt64,
    kUInt8,
    kUInt16,
    kUInt32,
    kUInt64,
    kBool
};

// One input column. With neither numbers nor cells, every row takes the window's
// default. step is 1 for one entry per row, 0 for one entry shared by every row.
struct ColumnInput {
    const void* numbers = nullptr;  // of numberType
    NumberType numberType = NumberType::kFloat64;
    const Cell* cells = nullptr;
    std::size_t step = 0;
};
using ColumnInputs = std::array<ColumnInput, kFormColumnCount>;

// What a row's evaluation gives, besides its numbers.
inline constexpr std::uint8_t kRowValid = 0;            // otherwise a ValidationCheck
inline constexpr std::uint8_t kRowInvalidValue = 0xFF;  // a value refused or missing
inline constexpr std::uint8_t kRowEmpty = 0xFE;         // every value given is missing
// The result text code of an empty row (codes are 1 + ShownTextNumber, 0 for ERREUR).
inline constexpr std::uint16_t kEmptyResultCode = kShownTextCount + 1;

// Where rows [0, count) write their results; every array has count entries.
struct RowOutputs {
    std::uint16_t* resultText;  // 1 + ShownTextNumber of the result; 0 for ERREUR
    std::int64_t* bar;          // 0 for ERREUR
    bool* barMissing;
    double* pSys;  // NaN for ERREUR
    double* pDia;
    std::uint8_t* status;  // kRowValid, a failed ValidationCheck or kRowInvalidValue
};

// The reason of a row whose status is kRowInvalidValue.
struct InvalidValue {
    std::size_t row;
    std::string reason;
};

// What the rows give besides their outputs.
struct RowsSummary {
    std::vector<InvalidValue> invalid;  // the rows of status kRowInvalidValue, in order
    std::vector<int> resultTexts;       // each ShownTextNumber of a valid row, once, in order
};

// What the table says beyond its columns' values.
struct TableContext {
    const ColumnNames* names = nullptr;  // as the data spell them, for reasons (null: English)
    const CholesterolHeader* cholesterol = nullptr;  // the unit the header's names give
    const bool* otherCellsGiven = nullptr;           // per row: a column not read holds something
};

// Evaluates rows [0, count) of columns into outputs, the rows cut into contiguous
// blocks over at most jobs threads, each with a risk state of its own.
RowsSummary EvaluateRows(const ColumnInputs& columns, std::size_t count, const RowOutputs& outputs,
                         int jobs, const TableContext& table = {});

// SCORE2 for rows [0, count): each row's region text (null: every row takes region), its
// outcome into outcomes[row]. The batch's rules, one thread.
void EvaluateScore2Rows(const ColumnInputs& columns, std::size_t count, const TableContext& table,
                        const std::string_view* regions, Score2Region region, bool diastolicGiven,
                        Score2Outcome* outcomes);

}  // namespace vessane::python
