// One form given as data rather than typed into a window: the texts and choices of a
// row of a cohort file or of a data frame's columns, read exactly as the window reads
// its controls. Shared by the command line's batch and the library front ends.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "dialog_controls.h"
#include "on_calcul.h"

namespace vessane {

// The inputs' names in data (file headers, data frame columns), in the batch's order.
enum FormColumn {
    kColumnSex,
    kColumnAge,
    kColumnSystolic,
    kColumnDiastolic,
    kColumnTotal,
    kColumnHdl,
    kColumnUnit,
    kColumnYears,
    kColumnSmoker,
    kColumnDiabetes,
    kColumnLvh,
    kFormColumnCount
};
inline constexpr std::array<const char*, kFormColumnCount> kFormColumnNames = {
    "sex",  "age",   "systolic", "diastolic", "total", "hdl",
    "unit", "years", "smoker",   "diabetes",  "lvh"};

// The input a column name stands for, or -1: the names above, or their French names
// ("sexe", "âge", "pas", "cholestérol total", "unité", "fumeur", "hvg"...), in any case,
// with or without accents, surrounding spaces ignored.
int FormColumnOfName(std::string_view name);

// One form's texts and choices, borrowed from the caller.
struct FormFields {
    std::string_view age, systolic, diastolic, total, hdl, years;
    int sex;   // 0 Femme, 1 Homme
    int unit;  // 0 mmol/L, 1 g/L
    int smoker, diabetes, lvh;
};

// The window's defaults.
inline constexpr FormFields kDefaultFields{"50", "150", "90", "2.30", "0.50", "10", 1, 1, 0, 0, 0};

// The window's default for an input, as text ("150", "Homme", "g/L", "0").
std::string_view DefaultColumnText(FormColumn column);

// A selector's index from its text (case-insensitive) or from "0"/"1"; -1 if neither.
int ParseSexSelector(std::string_view text);
int ParseUnitSelector(std::string_view text);
// A check box from "0", "1" or "" (unchecked); -1 otherwise.
int ParseFlag(std::string_view text);

// What each kind of choice accepts, for the reason given when a value is refused.
inline constexpr const char* kSexAccepted = "Femme, Homme, 0 ou 1";
inline constexpr const char* kUnitAccepted = "mmol/L, g/L, 0 ou 1";
inline constexpr const char* kFlagAccepted = "0, 1 ou vide";

// Writes into reason why a value of the named column cannot be taken, quoting it (cut at
// 40 bytes, never inside a UTF-8 sequence).
void DescribeInvalidValue(std::string& reason, std::string_view column, std::string_view value,
                          std::string_view accepted);

// The window's controls holding one form borrowed from the caller, without copying its
// texts. Change notifications route nowhere.
class FieldControls final : public DialogControls {
public:
    FieldControls() = default;
    explicit FieldControls(const FormFields& fields) : fields_(fields) {}

    // Holds the texts and choices of the next form (the texts are not copied).
    void Set(const FormFields& fields) { fields_ = fields; }
    // What the last recomputation showed.
    std::string_view Result() const { return {result_, resultLength_}; }
    int BarPos() const { return barPosition_; }

    int GetDlgItemText(int id, char* buffer, int maxCount) override;
    int GetDlgItemTextLength(int id) override;
    void SetDlgItemText(int id, const char* text) override;
    int GetCurSel(int id) override;
    int GetCheck(int id) override;
    void SetBarPos(int id, int position) override;
    void HoldChangeNotifications(bool) override {}

private:
    std::string_view Field(int id) const;

    FormFields fields_ = kDefaultFields;
    char result_[16] = {};  // the result texts are at most 6 characters
    std::size_t resultLength_ = 0;
    int barPosition_ = 0;
};

// Reads fields as the window reads its controls (each text through the 6-character
// window), validates and, when valid, computes into state: the result text is then in
// state.text and its bar position is BarPosition(state.text). Returns the failed check.
// Uses only state, so threads with a state each may evaluate side by side.
ValidationCheck EvaluateFields(const FormFields& fields, RiskState& state);

}  // namespace vessane
