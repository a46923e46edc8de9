#include "validation.h"

namespace vessane {
namespace {

// Written so that NaN fails: every comparison with NaN is false.
bool InRange(double value, double low, double high) {
    return value >= low && value <= high;
}
bool AtLeast(double value, double low) {
    return value >= low;
}

}  // namespace

ValidationCheck ValidateInputs(const RiskState& s) {
    if (!InRange(s.age, 30, 74)) return ValidationCheck::kAge;
    if (!InRange(s.systolic, 80, 250)) return ValidationCheck::kSystolic;
    if (!InRange(s.diastolic, 30, 160)) return ValidationCheck::kDiastolic;
    if (!InRange(s.totalChol, 2, 12)) return ValidationCheck::kTotalChol;
    if (!InRange(s.hdlChol, 0.3, 5)) return ValidationCheck::kHdlChol;
    if (!InRange(s.years, 2, 10)) return ValidationCheck::kYears;
    if (!AtLeast(s.systolic - s.diastolic, 9.9)) return ValidationCheck::kPulsePressure;
    if (!AtLeast(s.totalChol - s.hdlChol, 0.49)) return ValidationCheck::kCholesterolMargin;
    return ValidationCheck::kNone;
}

const char* DescribeFailure(ValidationCheck check) {
    switch (check) {
        case ValidationCheck::kNone:
            break;
        case ValidationCheck::kAge:
            return "âge hors de l'intervalle [30-74] ans";
        case ValidationCheck::kSystolic:
            return "pression systolique hors de l'intervalle [80-250] mm Hg";
        case ValidationCheck::kDiastolic:
            return "pression diastolique hors de l'intervalle [30-160] mm Hg";
        case ValidationCheck::kTotalChol:
            return "cholestérol total hors de l'intervalle [2-12] mmol/L (0.78 à 4.65 g/L)";
        case ValidationCheck::kHdlChol:
            return "cholestérol HDL hors de l'intervalle [0.3-5] mmol/L (0.12 à 1.93 g/L)";
        case ValidationCheck::kYears:
            return "horizon hors de l'intervalle [2-10] ans";
        case ValidationCheck::kPulsePressure:
            return "pression systolique inférieure à la diastolique + 9.9 mm Hg";
        case ValidationCheck::kCholesterolMargin:
            return "cholestérol total inférieur au HDL + 0.49 mmol/L";
    }
    return "";
}

}  // namespace vessane
