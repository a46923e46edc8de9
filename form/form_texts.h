// Texts the program itself writes into the window: selector entries, default values,
// range labels and the error text. Plain ASCII; accented texts live in the resources.
#pragma once

#include "control_ids.h"

namespace vessane {

inline constexpr const char* kSexItems[] = {"Femme", "Homme"};
inline constexpr int kDefaultSexIndex = 1;  // "Homme"

inline constexpr int kUnitMmolPerL = 0;
inline constexpr int kUnitGramPerL = 1;
inline constexpr const char* kUnitItems[] = {"mmol/L", "g/L"};
inline constexpr int kDefaultUnitIndex = kUnitGramPerL;

inline constexpr const char* kErrorText = "ERREUR";

struct DefaultText {
    int id;
    const char* text;
};
// The order in which the window fills its fields at start; each one recomputes.
inline constexpr DefaultText kDefaultTexts[] = {
    {IDC_AGE, "50"},        {IDC_SYSTOLIC, "150"}, {IDC_DIASTOLIC, "90"},  {IDC_TOTAL_CHOL, "2.30"},
    {IDC_HDL_CHOL, "0.50"}, {IDC_YEARS, "10"},     {IDC_RESULT, "10.3 %"},
};
inline constexpr int kDefaultBarPosition = 10;

struct RangeLabels {
    const char* total;
    const char* hdl;
};
// Indexed by the unit selector's index.
inline constexpr RangeLabels kRangeLabels[] = {
    {"[2-12]", "[0.3-5]"},
    {"[0.78-4.68]", "[0.12-1.95]"},
};

}  // namespace vessane
