// "Et si…": the risk the same model gives with each modifiable factor of a valid form
// changed alone to its target, then all together, and for a person of the same age and
// sex with every factor at target. The model's arithmetic, not a treatment's effect: the
// lines say "le modèle donnerait".
#pragma once

#include <string>
#include <vector>

#include "risk_state.h"

namespace vessane {

// The targets, and where they come from:
//   blood pressure 120/80 mm Hg: JNC 7's normal blood pressure;
//   total cholesterol 2.00 g/L (5.16 mmol/L): NCEP ATP III's desirable, < 200 mg/dL;
//   HDL cholesterol 0.60 g/L (1.55 mmol/L): NCEP ATP III's high HDL, >= 60 mg/dL.
struct WhatIfTargets {
    double systolic = 120, diastolic = 80;  // mm Hg
    double totalGrams = 2.00, totalMmol = 5.16;
    double hdlGrams = 0.60, hdlMmol = 1.55;
};
inline constexpr WhatIfTargets kWhatIfTargets{};

// The lines for the inputs of a valid form (cholesterol in mmol/L, as the state holds
// them), the form's cholesterol being in g/L or not: each in French, its risk the very
// text the window would show for that form. A line appears only where the form differs
// from its target; a changed form that the ranges refuse gives no line. The last line is
// the risk of a person of the same age and sex with every factor at target (without
// diabetes nor LVH: the last change's line already is).
std::vector<std::string> WhatIfLines(const RiskState& inputs, bool grams);

}  // namespace vessane
