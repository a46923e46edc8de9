#include "form_input.h"

#include "control_ids.h"
#include "coronary_form.h"
#include "form_texts.h"
#include "on_calcul.h"
#include "risk_state.h"
#include "score2_form.h"
#include "validation.h"
#include "what_if.h"

namespace vessane::cli {

FormOutcome Evaluate(const FormInput& input, MemoryForm& form) {
    form.SetText(IDC_AGE, input.age);
    form.SetText(IDC_SYSTOLIC, input.systolic);
    form.SetText(IDC_DIASTOLIC, input.diastolic);
    form.SetText(IDC_TOTAL_CHOL, input.total);
    form.SetText(IDC_HDL_CHOL, input.hdl);
    form.SetText(IDC_YEARS, input.years);
    form.SetCurSel(IDC_SEX, input.sex);
    form.SetCurSel(IDC_UNIT, input.unit);
    form.SetCheck(IDC_SMOKER, input.smoker);
    form.SetCheck(IDC_DIABETES, input.diabetes);
    form.SetCheck(IDC_LVH, input.lvh);

    // The window's reading and checks, into a state of this evaluation's own.
    RiskState state{};
    const ValidationCheck failed = EvaluateForm(form, state);
    FormOutcome outcome;
    outcome.values = Score2ValuesOfForm(form);
    outcome.valid = failed == ValidationCheck::kNone;
    if (!outcome.valid) {
        outcome.result = kErrorText;
        outcome.failure = DescribeFailure(failed);
        return outcome;
    }
    outcome.result = state.text;
    outcome.bar = BarPosition(state.text);
    outcome.pSys = state.pSys;
    outcome.pDia = state.pDia;
    outcome.digitsSys = state.digitsSys;
    outcome.digitsDia = state.digitsDia;
    outcome.diastolicShown = state.pDia > state.pSys;
    outcome.whatIf = WhatIfLines(state, input.unit == 1);
    return outcome;
}

void AppendShortestDecimal(double value, std::string& out) {
    char buffer[kMaxShortestDecimal];
    out.append(buffer, WriteShortestDecimal(value, buffer));
}

std::string ShortestDecimal(double value) {
    std::string text;
    AppendShortestDecimal(value, text);
    return text;
}

}  // namespace vessane::cli
