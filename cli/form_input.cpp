#include "form_input.h"

#include <algorithm>
#include <array>
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
constexpr std::array<std::string_view, N> Names(const char* const (&items)[N]) {
    std::array<std::string_view, N> names;
    for (std::size_t i = 0; i < N; ++i) names[i] = items[i];
    return names;
}
// The selectors' entries with their lengths, measured once.
constexpr auto kSexNames = Names(kSexItems);
constexpr auto kUnitNames = Names(kUnitItems);

template <std::size_t N>
int ParseSelector(std::string_view text, const std::array<std::string_view, N>& names) {
    if (text.size() == 1) {  // an index; no entry is one character long
        const unsigned index = static_cast<unsigned char>(text[0]) - unsigned{'0'};
        return index < N ? static_cast<int>(index) : -1;
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (EqualsIgnoringCase(text, names[i])) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

int ParseSexSelector(std::string_view text) {
    return ParseSelector(text, kSexNames);
}
int ParseUnitSelector(std::string_view text) {
    return ParseSelector(text, kUnitNames);
}

int ParseFlag(std::string_view text) {
    if (text.empty() || text == "0") return 0;
    if (text == "1") return 1;
    return -1;
}

std::string_view FieldControls::Field(int id) const {
    switch (id) {
        case IDC_AGE:
            return fields_.age;
        case IDC_SYSTOLIC:
            return fields_.systolic;
        case IDC_DIASTOLIC:
            return fields_.diastolic;
        case IDC_TOTAL_CHOL:
            return fields_.total;
        case IDC_HDL_CHOL:
            return fields_.hdl;
        case IDC_YEARS:
            return fields_.years;
        case IDC_RESULT:
            return Result();
        default:
            return {};
    }
}

int FieldControls::GetDlgItemText(int id, char* buffer, int maxCount) {
    if (maxCount <= 0) return 0;
    const std::string_view text = Field(id);
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(maxCount - 1));
    // A handful of characters: a loop costs less than a call to memcpy.
    for (std::size_t i = 0; i < count; ++i) buffer[i] = text[i];
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int FieldControls::GetDlgItemTextLength(int id) {
    return static_cast<int>(Field(id).size());
}

void FieldControls::SetDlgItemText(int id, const char* text) {
    if (id != IDC_RESULT) return;  // the form logic sets no other text
    resultLength_ = strnlen(text, sizeof result_ - 1);
    std::memcpy(result_, text, resultLength_);
}

int FieldControls::GetCurSel(int id) {
    if (id == IDC_SEX) return fields_.sex;
    if (id == IDC_UNIT) return fields_.unit;
    return -1;
}

int FieldControls::GetCheck(int id) {
    switch (id) {
        case IDC_SMOKER:
            return fields_.smoker;
        case IDC_DIABETES:
            return fields_.diabetes;
        case IDC_LVH:
            return fields_.lvh;
        default:
            return 0;
    }
}

void FieldControls::SetBarPos(int id, int position) {
    if (id == IDC_RISK_BAR) barPosition_ = std::clamp(position, 0, 100);
}

bool EvaluateFields(FieldControls& controls) {
    OnCalcul(controls);
    return controls.Result() != kErrorText;
}

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

    OnCalcul(form);

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
    char buffer[kMaxShortestDecimal];
    out.append(buffer, WriteShortestDecimal(value, buffer));
}

std::string ShortestDecimal(double value) {
    std::string text;
    AppendShortestDecimal(value, text);
    return text;
}

}  // namespace vessane::cli
