#include "form_input.h"

#include <charconv>
#include <cstring>

#include "coronary_form.h"
#include "form_texts.h"
#include "resource.h"
#include "risk_state.h"
#include "validation.h"

namespace vessane::cli {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

template <std::size_t N>
int ParseSelector(std::string_view text, const char* const (&items)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (EqualsIgnoringCase(text, items[i])) return static_cast<int>(i);
        if (text.size() == 1 && text[0] == static_cast<char>('0' + i)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

int ParseSexSelector(std::string_view text) {
    return ParseSelector(text, kSexItems);
}
int ParseUnitSelector(std::string_view text) {
    return ParseSelector(text, kUnitItems);
}

int ParseFlag(std::string_view text) {
    if (text.empty() || text == "0") return 0;
    if (text == "1") return 1;
    return -1;
}

bool EvaluateFields(const FormFields& fields, MemoryForm& form) {
    form.SetText(IDC_AGE, fields.age);
    form.SetText(IDC_SYSTOLIC, fields.systolic);
    form.SetText(IDC_DIASTOLIC, fields.diastolic);
    form.SetText(IDC_TOTAL_CHOL, fields.total);
    form.SetText(IDC_HDL_CHOL, fields.hdl);
    form.SetText(IDC_YEARS, fields.years);
    form.SetCurSel(IDC_SEX, fields.sex);
    form.SetCurSel(IDC_UNIT, fields.unit);
    form.SetCheck(IDC_SMOKER, fields.smoker);
    form.SetCheck(IDC_DIABETES, fields.diabetes);
    form.SetCheck(IDC_LVH, fields.lvh);

    OnCalcul(form);
    return form.Text(IDC_RESULT) != kErrorText;
}

FormOutcome Evaluate(const FormInput& input, MemoryForm& form) {
    const FormFields fields{input.age,    input.systolic, input.diastolic, input.total,
                            input.hdl,    input.years,    input.sex,       input.unit,
                            input.smoker, input.diabetes, input.lvh};
    EvaluateFields(fields, form);

    FormOutcome outcome;
    const RiskState& state = g_riskState;
    outcome.result = form.Text(IDC_RESULT);
    outcome.valid = outcome.result != kErrorText;
    if (!outcome.valid) {
        outcome.failure = DescribeFailure(ValidateInputs(state));
        return outcome;
    }
    outcome.bar = form.BarPos();
    outcome.pSys = state.pSys;
    outcome.pDia = state.pDia;
    outcome.digitsSys = state.digitsSys;
    outcome.digitsDia = state.digitsDia;
    outcome.diastolicShown = state.pDia > state.pSys;
    return outcome;
}

void AppendShortestDecimal(double value, std::string& out) {
    char buffer[400];  // fixed notation of a tiny double is long
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    out.append(buffer, result.ptr);
    if (std::memchr(buffer, '.', static_cast<std::size_t>(result.ptr - buffer)) == nullptr) {
        out += ".0";
    }
}

std::string ShortestDecimal(double value) {
    std::string text;
    AppendShortestDecimal(value, text);
    return text;
}

}  // namespace vessane::cli
