// Reading the form into the risk state: the part of recomputation that does not
// touch the result controls, shared by the window and the command line.
#pragma once

#include "dialog_controls.h"
#include "risk_state.h"
#include "validation.h"

namespace vessane {

// g/L to mmol/L.
inline constexpr double kCholesterolFactor = 2.58;

// Reads the six fields (through state.text, 6 characters each), the two selectors and
// the three check boxes into state, cholesterol converted to mmol/L.
void ReadForm(DialogControls& controls, RiskState& state);

// ReadForm, validation and, when valid, ComputeRisk. Returns the failed check.
ValidationCheck EvaluateForm(DialogControls& controls, RiskState& state);

// Bar position for a result text: its number, truncated towards zero.
int BarPosition(const char* resultText);

}  // namespace vessane
