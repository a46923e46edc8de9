// The one reader of a form given as data (a cohort file's row, a data frame's row):
// for each input a text, a number or nothing, read into the form's values with the
// reason when a choice cannot be taken. The batch, Python and R all read through it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "form_fields.h"
#include "on_calcul.h"

namespace vessane {

// One input of a form given as data.
//   text:   read as the window reads its field (first six characters) or its selector;
//   number: used as it is; NaN stands for a missing value (NA, None, an empty number);
//   absent: no such column, the window's default.
// A missing value in a field fails that field's check, as an empty field does in the
// window; in a selector or a check box it reads as an empty cell does.
struct FieldEntry {
    enum Kind : unsigned char { kAbsent, kText, kNumber };
    Kind kind = kAbsent;
    std::string_view text;
    double number = 0;

    static FieldEntry Text(std::string_view text) { return {kText, text, 0}; }
    static FieldEntry Number(double number) { return {kNumber, {}, number}; }
};
using FormEntries = std::array<FieldEntry, kFormColumnCount>;

// The window's default form as values, cholesterol as written (in the row's unit).
const FormValues& DefaultValues();

inline constexpr int kNoColumnRefused = -1;

// Reads entries into values. Returns the column of the first selector or check box
// (in the columns' order) whose value cannot be taken, with reason written, or
// kNoColumnRefused.
int ReadEntries(const FormEntries& entries, FormValues& values, std::string& reason);

// What a selector or check box column accepts, as a reason states it.
const char* AcceptedChoices(FormColumn column);

// ReadEntries then, when every choice was taken, EvaluateValues into state.
struct EntriesOutcome {
    int refusedColumn = kNoColumnRefused;      // a choice that could not be taken
    ValidationCheck failed = ValidationCheck::kNone;  // else the failed check, or kNone
    bool refused() const { return refusedColumn != kNoColumnRefused; }
};
EntriesOutcome EvaluateEntries(const FormEntries& entries, RiskState& state, std::string& reason);

}  // namespace vessane
