#include "what_if.h"

#include "on_calcul.h"
#include "validation.h"

namespace vessane {
namespace {

// The risk the window would show for these inputs, or "" if the ranges refuse them.
std::string Shown(RiskState state) {
    if (ValidateInputs(state) != ValidationCheck::kNone) return "";
    ComputeRisk(state);
    return state.text;
}

// A target as the form would hold it, converted as the window converts g/L.
double Cholesterol(double grams, double mmol, bool inGrams) {
    return inGrams ? grams * kCholesterolFactor : mmol;
}

}  // namespace

std::vector<std::string> WhatIfLines(const RiskState& inputs, bool grams) {
    const WhatIfTargets& t = kWhatIfTargets;
    const double total = Cholesterol(t.totalGrams, t.totalMmol, grams);
    const double hdl = Cholesterol(t.hdlGrams, t.hdlMmol, grams);
    const char* const unit = grams ? " g/L" : " mmol/L";
    const std::string totalText = grams ? "2.00" : "5.16";
    const std::string hdlText = grams ? "0.60" : "1.55";

    std::vector<std::string> lines;
    const auto add = [&](const std::string& condition, const RiskState& changed) {
        const std::string shown = Shown(changed);
        if (!shown.empty()) lines.push_back(condition + ", le mod\u00e8le donnerait " + shown);
    };
    RiskState all = inputs;
    int changes = 0;
    if (inputs.smoker != 0) {
        RiskState changed = inputs;
        changed.smoker = all.smoker = 0;
        add("sans tabac", changed);
        ++changes;
    }
    if (inputs.systolic != t.systolic || inputs.diastolic != t.diastolic) {
        RiskState changed = inputs;
        changed.systolic = all.systolic = t.systolic;
        changed.diastolic = all.diastolic = t.diastolic;
        add("avec une pression \u00e0 120/80 mm Hg", changed);
        ++changes;
    }
    if (inputs.totalChol != total) {
        RiskState changed = inputs;
        changed.totalChol = all.totalChol = total;
        add("avec un cholest\u00e9rol total \u00e0 " + totalText + unit, changed);
        ++changes;
    }
    if (inputs.hdlChol != hdl) {
        RiskState changed = inputs;
        changed.hdlChol = all.hdlChol = hdl;
        add("avec un cholest\u00e9rol HDL \u00e0 " + hdlText + unit, changed);
        ++changes;
    }
    if (changes > 1) add("avec tous ces changements ensemble", all);
    // Without diabetes nor LVH, the last line already is that person's risk.
    if (inputs.diabetes == 0 && inputs.lvh == 0) return lines;
    RiskState reference = all;
    reference.diabetes = 0;
    reference.lvh = 0;
    add("pour une personne de m\u00eame \u00e2ge et de m\u00eame sexe, non fumeuse, \u00e0 120/80 mm Hg, "
        "cholest\u00e9rol total " + totalText + unit + ", HDL " + hdlText + unit +
            ", sans diab\u00e8te ni HVG",
        reference);
    return lines;
}

}  // namespace vessane
