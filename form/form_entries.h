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
//   text:   read in full, as a number (a decimal comma as a point) or a choice;
//   number: used as it is; NaN stands for a missing value (NA, None, an empty number);
//   absent: no such column, the window's default.
// A missing value (an empty or blank text, NaN) in a field or a selector gives ERREUR
// with "valeur manquante"; in a check box it reads as unchecked.
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

// A number's text longer than this is refused rather than read in part.
inline constexpr std::size_t kMaxNumberText = 40;

// The names a table gives the form's columns ("Fumeur"), for reasons; null entries, or
// no names at all, stand for the English names.
using ColumnNames = std::array<std::string_view, kFormColumnCount>;

// The cholesterol unit a table's header writes in its total and HDL names ("(mmol/L)").
struct CholesterolHeader {
    int unit = -1;            // the unit selector's index (0 mmol/L, 1 g/L), or -1: none
    bool milligrams = false;  // written in mg/dL: the cells read as g/L divided by 100
    std::string source;       // the name that says it, for reasons
};

// Reads entries into values. Returns the column of the first value (choices in the
// columns' order, then numbers) that cannot be taken, with reason written, or
// kNoColumnRefused: a choice it does not know, a missing selector, a text that is no
// number or too long. A text is a number with spaces around it, perhaps followed by its
// column's unit ("150 mm Hg", "58 ans", "5,2 mmol/L" on a row in mmol/L); choices may have
// spaces around them. Without a unit column the header's unit is the row's; with one, a
// row whose unit contradicts the header is refused.
int ReadEntries(const FormEntries& entries, FormValues& values, std::string& reason,
                const ColumnNames* names = nullptr, const CholesterolHeader* header = nullptr);

// What a column accepts, as a reason states it.
const char* AcceptedChoices(FormColumn column);

// ReadEntries then, when every value was taken, EvaluateValues into state.
struct EntriesOutcome {
    int refusedColumn = kNoColumnRefused;             // a value that could not be taken
    ValidationCheck failed = ValidationCheck::kNone;  // else the failed check, or kNone
    bool allMissing = false;    // every cell of the row is empty: no result, no error
    bool missingValue = false;  // the reason is a value missing
    bool valuesRead = false;    // every value was taken: read holds them (SCORE2 reads them)
    bool refused() const { return refusedColumn != kNoColumnRefused; }
    bool ok() const { return !refused() && failed == ValidationCheck::kNone && !allMissing; }
};
// reason is written whenever the outcome is not ok and not allMissing: the refusal, the
// missing value ("âge : valeur manquante") or the failed range. otherCellsGiven: the row
// holds something in a column that is not the form's (an identifier), so that a row whose
// form cells are all empty is a patient without values ("valeurs manquantes"), not a
// blank line. read, when given, receives the values read.
EntriesOutcome EvaluateEntries(const FormEntries& entries, RiskState& state, std::string& reason,
                               const ColumnNames* names = nullptr,
                               const CholesterolHeader* header = nullptr,
                               bool otherCellsGiven = false, FormValues* read = nullptr);

}  // namespace vessane
