// "Et si…": the risk the same model gives with each modifiable factor that is worse than
// its target moved to it alone, then all of them together, and without diabetes nor LVH.
// A factor already at or better than its target is never moved (that would read as
// "treating him would raise his risk"): it is named as such. The model's arithmetic, not a
// treatment's effect: the lines say "le modèle donnerait".
#pragma once

#include <string>
#include <vector>

#include "risk_state.h"

namespace vessane {

// The targets, and where they come from:
//   blood pressure 120/80 mm Hg: JNC 7's normal blood pressure;
//   total cholesterol 2.00 g/L (5.16 mmol/L): NCEP ATP III's desirable, < 200 mg/dL;
//   HDL cholesterol 0.60 g/L (1.55 mmol/L): NCEP ATP III's high HDL, >= 60 mg/dL.
// Each line writes its target from these numbers.
struct WhatIfTargets {
    double systolic = 120, diastolic = 80;  // mm Hg
    double totalGrams = 2.00, totalMmol = 5.16;
    double hdlGrams = 0.60, hdlMmol = 1.55;
};
inline constexpr WhatIfTargets kWhatIfTargets{};

// The lines for the inputs of a valid form (cholesterol in mmol/L, as the state holds
// them), the form's cholesterol being in g/L or not: each in French, its risk the very
// text the window would show for that form. A factor worse than its target (pressure above
// 120/80, total above 2.00 g/L, HDL below 0.60 g/L, a smoker) gets a line with its risk at
// the target; one at or better than it gets a line saying so, without a risk. With more
// than one change, a line for all of them together; with diabetes or LVH, a last line for
// the same person without them. A changed form that the ranges refuse gives no line.
std::vector<std::string> WhatIfLines(const RiskState& inputs, bool grams);

// The targets in French, for a page's note: "pression au-dessus de 120/80 mm Hg, ...".
std::string WhatIfTargetsText();

}  // namespace vessane
