// One form given as data rather than typed into a window: the texts and choices of a
// row of a cohort file or of a data frame's columns, read exactly as the window reads
// its controls. Shared by the command line's batch and the library front ends.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

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

// The window's default form: its texts and choices.
struct DefaultForm {
    std::string_view age, systolic, diastolic, total, hdl, years;
    int sex;   // 0 Femme, 1 Homme
    int unit;  // 0 mmol/L, 1 g/L
    int smoker, diabetes, lvh;
};
inline constexpr DefaultForm kDefaultFields{"50", "150", "90", "2.30", "0.50", "10", 1, 1, 0, 0, 0};

// The window's default for an input, as text ("150", "Homme", "g/L", "0").
std::string_view DefaultColumnText(FormColumn column);

// A selector's index from its text (case-insensitive) or from "0"/"1"; -1 if neither.
// The sex also reads as data spell it: F, H, M (masculin), female, male.
int ParseSexSelector(std::string_view text);
int ParseUnitSelector(std::string_view text);
// A check box, any case: checked from 1, oui, vrai, o, yes, true or x; unchecked from 0,
// non, faux, n, no, false or empty; -1 otherwise.
int ParseFlag(std::string_view text);

// What each kind of choice accepts, for the reason given when a value is refused.
inline constexpr const char* kSexAccepted = "Femme, Homme, F, H, M, female, male, 0 ou 1";
inline constexpr const char* kUnitAccepted = "mmol/L, g/L, 0 ou 1";
inline constexpr const char* kFlagAccepted = "1, oui, vrai, x ; 0, non, faux ou vide";

// Writes into reason why a value of the named column cannot be taken, quoting it (cut at
// 40 bytes, never inside a UTF-8 sequence).
void DescribeInvalidValue(std::string& reason, std::string_view column, std::string_view value,
                          std::string_view accepted);

}  // namespace vessane
