#include "what_if.h"

#include <cmath>

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

// A target with its two decimals ("2.00"), the same in every locale.
std::string TwoDecimals(double value) {
    const long hundredths = std::lround(value * 100);
    const long cents = hundredths % 100;
    return std::to_string(hundredths / 100) + (cents < 10 ? ".0" : ".") + std::to_string(cents);
}

std::string Whole(double value) {
    return std::to_string(std::lround(value));
}

}  // namespace

std::vector<std::string> WhatIfLines(const RiskState& inputs, bool grams) {
    const WhatIfTargets& t = kWhatIfTargets;
    const double total = Cholesterol(t.totalGrams, t.totalMmol, grams);
    const double hdl = Cholesterol(t.hdlGrams, t.hdlMmol, grams);
    const std::string unit = grams ? " g/L" : " mmol/L";
    const std::string totalText = TwoDecimals(grams ? t.totalGrams : t.totalMmol) + unit;
    const std::string hdlText = TwoDecimals(grams ? t.hdlGrams : t.hdlMmol) + unit;
    const std::string pressureText = Whole(t.systolic) + "/" + Whole(t.diastolic) + " mm Hg";

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
    } else {
        lines.push_back("d\u00e9j\u00e0 non-fumeur");
    }
    const bool systolicAbove = inputs.systolic > t.systolic;
    const bool diastolicAbove = inputs.diastolic > t.diastolic;
    if (systolicAbove || diastolicAbove) {
        RiskState changed = inputs;
        if (systolicAbove) changed.systolic = all.systolic = t.systolic;
        if (diastolicAbove) changed.diastolic = all.diastolic = t.diastolic;
        add(systolicAbove && diastolicAbove ? "avec une pression \u00e0 " + pressureText
            : systolicAbove ? "avec une systolique \u00e0 " + Whole(t.systolic) + " mm Hg"
                            : "avec une diastolique \u00e0 " + Whole(t.diastolic) + " mm Hg",
            changed);
        ++changes;
    } else {
        lines.push_back("pression d\u00e9j\u00e0 \u2264 " + pressureText);
    }
    if (inputs.totalChol > total) {
        RiskState changed = inputs;
        changed.totalChol = all.totalChol = total;
        add("avec un cholest\u00e9rol total \u00e0 " + totalText, changed);
        ++changes;
    } else {
        lines.push_back("cholest\u00e9rol total d\u00e9j\u00e0 \u2264 " + totalText);
    }
    if (inputs.hdlChol < hdl) {
        RiskState changed = inputs;
        changed.hdlChol = all.hdlChol = hdl;
        add("avec un cholest\u00e9rol HDL \u00e0 " + hdlText, changed);
        ++changes;
    } else {
        lines.push_back("cholest\u00e9rol HDL d\u00e9j\u00e0 \u2265 " + hdlText);
    }
    if (changes > 1) add("avec tous ces changements ensemble", all);
    // Without diabetes nor LVH, the last line already is that person's risk.
    if (inputs.diabetes == 0 && inputs.lvh == 0) return lines;
    RiskState reference = all;
    reference.diabetes = 0;
    reference.lvh = 0;
    add(std::string("pour une personne de m\u00eame \u00e2ge et de m\u00eame sexe") +
            (changes > 0 ? ", avec ces changements," : "") + " sans diab\u00e8te ni HVG",
        reference);
    return lines;
}

std::string WhatIfTargetsText() {
    const WhatIfTargets& t = kWhatIfTargets;
    return "tabac, pression au-dessus de " + Whole(t.systolic) + "/" + Whole(t.diastolic) +
           " mm Hg, cholest\u00e9rol total au-dessus de " + TwoDecimals(t.totalGrams) + " g/L (" +
           TwoDecimals(t.totalMmol) + " mmol/L), HDL au-dessous de " + TwoDecimals(t.hdlGrams) +
           " g/L (" + TwoDecimals(t.hdlMmol) + " mmol/L)";
}

}  // namespace vessane
