#include "on_calcul.h"

#include <cstring>

#include "control_ids.h"
#include "coronary_form.h"
#include "form_texts.h"
#include "number_parse.h"

namespace vessane {
namespace {

double ReadField(DialogControls& controls, int id, RiskState& state) {
    state.text[0] = '\0';
    controls.GetDlgItemText(id, state.text, sizeof state.text);
    return ParseNumber({state.text, strnlen(state.text, sizeof state.text)});
}

ValidationCheck ValidateAndCompute(RiskState& state) {
    const ValidationCheck failed = ValidateInputs(state);
    if (failed == ValidationCheck::kNone) ComputeRisk(state);
    return failed;
}

}  // namespace

void StoreInputs(const FormValues& values, RiskState& state) {
    state.age = values.age;
    state.systolic = values.systolic;
    state.diastolic = values.diastolic;
    state.totalChol = values.total;
    if (values.unit == kUnitGramPerL) state.totalChol *= kCholesterolFactor;
    state.hdlChol = values.hdl;
    if (values.unit == kUnitGramPerL) state.hdlChol *= kCholesterolFactor;
    state.years = values.years;
    state.sex = values.sex;
    state.smoker = values.smoker;
    state.diabetes = values.diabetes;
    state.lvh = values.lvh;
}

ValidationCheck EvaluateValues(const FormValues& values, RiskState& state) {
    StoreInputs(values, state);
    return ValidateAndCompute(state);
}

FormValues ReadFormValues(DialogControls& controls, RiskState& state) {
    FormValues values;
    values.age = ReadField(controls, IDC_AGE, state);
    values.systolic = ReadField(controls, IDC_SYSTOLIC, state);
    values.diastolic = ReadField(controls, IDC_DIASTOLIC, state);
    values.unit = controls.GetCurSel(IDC_UNIT);
    values.total = ReadField(controls, IDC_TOTAL_CHOL, state);
    values.hdl = ReadField(controls, IDC_HDL_CHOL, state);
    values.years = ReadField(controls, IDC_YEARS, state);
    values.sex = controls.GetCurSel(IDC_SEX);
    values.smoker = controls.GetCheck(IDC_SMOKER);
    values.diabetes = controls.GetCheck(IDC_DIABETES);
    values.lvh = controls.GetCheck(IDC_LVH);
    return values;
}

void ReadForm(DialogControls& controls, RiskState& state) {
    StoreInputs(ReadFormValues(controls, state), state);
}

ValidationCheck EvaluateForm(DialogControls& controls, RiskState& state) {
    ReadForm(controls, state);
    return ValidateAndCompute(state);
}

const char* DescribeFormFailure(DialogControls& controls, ValidationCheck failed) {
    const int control = ControlOfCheck(failed);
    const bool empty = control != 0 && controls.GetDlgItemTextLength(control) == 0;
    return empty ? DescribeMissing(failed) : DescribeFailure(failed);
}

int BarPosition(const char* resultText) {
    // A result text as ComputeRisk writes it ("10.3 %", "29. %", "0 %"): its whole part
    // is the truncated number, read directly. At most six digits on either side of the
    // point, so the number read cannot round up to the next whole one.
    int whole = 0;
    const char* p = resultText;
    while (*p >= '0' && *p <= '9' && p - resultText < 6) whole = whole * 10 + (*p++ - '0');
    const char* const point = p;
    if (p != resultText && *p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9' && p - point <= 6) ++p;
    }
    if (p != resultText && (*p == ' ' || *p == '\0')) return whole;
    return static_cast<int>(ParseNumber({resultText, std::strlen(resultText)}));
}

ValidationCheck OnCalcul(DialogControls& controls) {
    RiskState& state = g_riskState;
    const ValidationCheck failed = EvaluateForm(controls, state);
    if (failed != ValidationCheck::kNone) {
        controls.SetDlgItemText(IDC_RESULT, kErrorText);
        return failed;
    }
    controls.SetDlgItemText(IDC_RESULT, state.text);
    controls.SetBarPos(IDC_RISK_BAR, BarPosition(state.text));
    return failed;
}

}  // namespace vessane
