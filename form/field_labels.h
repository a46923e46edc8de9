// The form's fields as a summary of the form names them (the printed sheet, the record
// page's list of where each value came from), with their controls: one table for every
// front end, the page's script included (it receives it from the page's generator).
#pragma once

#include "control_ids.h"

namespace vessane {

struct FieldLabel {
    const char* name;  // the field's name in data ("sex"), as kFormColumnNames
    int control;
    const char* label;
    const char* unit;              // written after the value; "" for none
    bool cholesterolUnit = false;  // the form's cholesterol unit is written after the value
};
inline constexpr FieldLabel kFieldLabels[] = {
    {"sex", IDC_SEX, "Sexe", ""},
    {"age", IDC_AGE, "\u00c2ge", "ans"},
    {"systolic", IDC_SYSTOLIC, "Pression systolique", "mm Hg"},
    {"diastolic", IDC_DIASTOLIC, "Pression diastolique", "mm Hg"},
    {"unit", IDC_UNIT, "Unit\u00e9 du cholest\u00e9rol", ""},
    {"total", IDC_TOTAL_CHOL, "Cholest\u00e9rol total", "", true},
    {"hdl", IDC_HDL_CHOL, "Cholest\u00e9rol HDL", "", true},
    {"smoker", IDC_SMOKER, "Fumeur", ""},
    {"diabetes", IDC_DIABETES, "Diab\u00e8te", ""},
    {"lvh", IDC_LVH, "HVG \u00e0 l'ECG", ""},
    {"years", IDC_YEARS, "Horizon", "ans"},
};

}  // namespace vessane
