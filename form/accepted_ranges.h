// The accepted input ranges and the two rules between fields, with their French
// reasons: the one table that validation, the command line's reasons and the
// documentation's tests all read.
#pragma once

#include "risk_state.h"
#include "validation.h"

namespace vessane {

// A value of the form accepted from low to high, bounds included.
struct AcceptedRange {
    ValidationCheck check;
    double RiskState::*value;
    double low, high;
    const char* accepted;  // the bounds as the documentation states them
    const char* reason;    // why a refused value fails
};

// One value at least another plus a margin.
struct AcceptedMargin {
    ValidationCheck check;
    double RiskState::*larger;
    double RiskState::*smaller;
    double margin;
    const char* accepted;
    const char* reason;
};

// In the order validation runs them; cholesterol in mmol/L. The g/L bounds are the
// two-decimal values whose conversion (× 2.58) falls inside the mmol/L range.
inline constexpr AcceptedRange kAcceptedRanges[] = {
    {ValidationCheck::kAge, &RiskState::age, 30, 74, "30 à 74 ans",
     "âge hors de l'intervalle [30-74] ans"},
    {ValidationCheck::kSystolic, &RiskState::systolic, 80, 250, "80 à 250 mm Hg",
     "pression systolique hors de l'intervalle [80-250] mm Hg"},
    {ValidationCheck::kDiastolic, &RiskState::diastolic, 30, 160, "30 à 160 mm Hg",
     "pression diastolique hors de l'intervalle [30-160] mm Hg"},
    {ValidationCheck::kTotalChol, &RiskState::totalChol, 2, 12, "2 à 12 mmol/L, 0.78 à 4.65 g/L",
     "cholestérol total hors de l'intervalle [2-12] mmol/L (0.78 à 4.65 g/L)"},
    {ValidationCheck::kHdlChol, &RiskState::hdlChol, 0.3, 5, "0.3 à 5 mmol/L, 0.12 à 1.93 g/L",
     "cholestérol HDL hors de l'intervalle [0.3-5] mmol/L (0.12 à 1.93 g/L)"},
    {ValidationCheck::kYears, &RiskState::years, 2, 10, "2 à 10 ans",
     "horizon hors de l'intervalle [2-10] ans"},
};

inline constexpr AcceptedMargin kAcceptedMargins[] = {
    {ValidationCheck::kPulsePressure, &RiskState::systolic, &RiskState::diastolic, 9.9,
     "systolique ≥ diastolique + 9.9 mm Hg",
     "pression systolique inférieure à la diastolique + 9.9 mm Hg"},
    {ValidationCheck::kCholesterolMargin, &RiskState::totalChol, &RiskState::hdlChol, 0.49,
     "total ≥ HDL + 0.49 mmol/L", "cholestérol total inférieur au HDL + 0.49 mmol/L"},
};

}  // namespace vessane
