// Reading the form into the risk state: the part of recomputation that does not
// touch the result controls, shared by the window and the command line.
#pragma once

#include "dialog_controls.h"
#include "risk_state.h"
#include "validation.h"

namespace vessane {

// g/L to mmol/L.
inline constexpr double kCholesterolFactor = 2.58;

// A form's inputs as numbers, as its fields read or as given directly by a caller that
// holds numbers: cholesterol in the unit selected, selectors as indices, boxes as states.
struct FormValues {
    double age, systolic, diastolic, total, hdl, years;
    int sex;   // selector index: 0 Femme, 1 Homme
    int unit;  // selector index: 0 mmol/L, 1 g/L
    int smoker, diabetes, lvh;
};

// Stores values into state as the window does: cholesterol converted to mmol/L when the
// unit is g/L, selectors and boxes as doubles.
void StoreInputs(const FormValues& values, RiskState& state);

// StoreInputs, validation and, when valid, ComputeRisk (result text in state.text).
// Returns the failed check.
ValidationCheck EvaluateValues(const FormValues& values, RiskState& state);

// The form's values as the window reads its controls: the six fields (through
// scratch.text, 6 characters each), the two selectors and the three check boxes,
// cholesterol in the unit selected.
FormValues ReadFormValues(DialogControls& controls, RiskState& scratch);

// ReadFormValues into state, cholesterol converted to mmol/L.
void ReadForm(DialogControls& controls, RiskState& state);

// ReadForm, validation and, when valid, ComputeRisk. Returns the failed check.
ValidationCheck EvaluateForm(DialogControls& controls, RiskState& state);

// Why the form in controls gives ERREUR, in French: the failed check's sentence, or, when
// the field it reads is empty, that the value is missing. "" for kNone.
const char* DescribeFormFailure(DialogControls& controls, ValidationCheck failed);

// Bar position for a result text: its number, truncated towards zero.
int BarPosition(const char* resultText);

}  // namespace vessane
