// The accepted input ranges and the two rules between fields, with their French
// reasons: the one table that validation, the reasons given and the documentation's
// tests all read.
#pragma once

#include "control_ids.h"
#include "risk_state.h"
#include "validation.h"

namespace vessane {

// A value of the form accepted from low to high, bounds included.
struct AcceptedRange {
    ValidationCheck check;
    double RiskState::*value;
    double low, high;
    // For cholesterol, the two-decimal g/L values accepted at either end (0 otherwise).
    double gramLow, gramHigh;
    const char* reason;   // why a refused value fails
    int control;          // the field that holds it
    const char* missing;  // why a form whose field is empty fails
};

// One value at least another plus a margin.
struct AcceptedMargin {
    ValidationCheck check;
    double RiskState::*larger;
    double RiskState::*smaller;
    double margin;
    const char* reason;
};

// In the order validation runs them; cholesterol in mmol/L. The g/L bounds are the
// two-decimal values whose conversion (× 2.58) falls inside the mmol/L range.
inline constexpr AcceptedRange kAcceptedRanges[] = {
    {ValidationCheck::kAge, &RiskState::age, 30, 74, 0, 0,
     "âge hors de l'intervalle [30-74] ans",
     IDC_AGE, "âge : valeur manquante"},
    {ValidationCheck::kSystolic, &RiskState::systolic, 80, 250, 0, 0,
     "pression systolique hors de l'intervalle [80-250] mm Hg",
     IDC_SYSTOLIC, "pression systolique : valeur manquante"},
    {ValidationCheck::kDiastolic, &RiskState::diastolic, 30, 160, 0, 0,
     "pression diastolique hors de l'intervalle [30-160] mm Hg",
     IDC_DIASTOLIC, "pression diastolique : valeur manquante"},
    {ValidationCheck::kTotalChol, &RiskState::totalChol, 2, 12, 0.78, 4.65,
     "cholestérol total hors de l'intervalle [2-12] mmol/L (0.78 à 4.65 g/L)",
     IDC_TOTAL_CHOL, "cholestérol total : valeur manquante"},
    {ValidationCheck::kHdlChol, &RiskState::hdlChol, 0.3, 5, 0.12, 1.93,
     "cholestérol HDL hors de l'intervalle [0.3-5] mmol/L (0.12 à 1.93 g/L)",
     IDC_HDL_CHOL, "cholestérol HDL : valeur manquante"},
    {ValidationCheck::kYears, &RiskState::years, 2, 10, 0, 0,
     "horizon hors de l'intervalle [2-10] ans",
     IDC_YEARS, "horizon : valeur manquante"},
};

inline constexpr AcceptedMargin kAcceptedMargins[] = {
    {ValidationCheck::kPulsePressure, &RiskState::systolic, &RiskState::diastolic, 9.9,
     "pression systolique inférieure à la diastolique + 9.9 mm Hg"},
    {ValidationCheck::kCholesterolMargin, &RiskState::totalChol, &RiskState::hdlChol, 0.49,
     "cholestérol total inférieur au HDL + 0.49 mmol/L"},
};

// The sex is a selection, never a default: a form whose selector shows none (the web page
// opened from a record that does not give it) fails, first.
inline constexpr const char* kNoSexReason = "sexe non renseigné";

}  // namespace vessane
