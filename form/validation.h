// The accepted input ranges: the only gate before the risk equations.
#pragma once

#include "risk_state.h"

namespace vessane {

enum class ValidationCheck {
    kNone = 0,  // every check passed
    kAge,
    kSystolic,
    kDiastolic,
    kTotalChol,
    kHdlChol,
    kYears,
    kPulsePressure,      // systolic - diastolic
    kCholesterolMargin,  // total - HDL
    kSex,                // no sex selected: a form without it is never computed
};

// Runs the checks in order on the inputs of state (cholesterol in mmol/L) and returns
// the first that fails. Bounds are inclusive; a value that is not a number fails.
ValidationCheck ValidateInputs(const RiskState& state);

// One French sentence naming a failed check, for the command line.
const char* DescribeFailure(ValidationCheck check);

}  // namespace vessane
