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

// The same, but for a range check whose value was missing (an empty field or cell): the
// sentence says it is missing rather than out of its range.
const char* DescribeMissing(ValidationCheck check);

// The control whose value a range check reads, or 0.
int ControlOfCheck(ValidationCheck check);

}  // namespace vessane
