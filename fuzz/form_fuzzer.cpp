// The form, fed arbitrary field texts, selector indices (-1 included) and check states.
// Input: five control bytes (sex, unit, smoker, diabetes, LVH), one mode byte, then the
// six field texts separated by '|'. After every recomputation:
// - a form that an independent reading says is out of range shows "ERREUR", leaves the
//   bar alone and never reaches ComputeRisk;
// - any other form shows digits, an optional point and at most one decimal, then " %",
//   in at most 6 characters, close to the larger probability; the bar is its whole
//   part, within 0-100.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "coronary_form.h"
#include "fuzz_support.h"
#include "memory_form.h"
#include "control_ids.h"
#include "risk_state.h"

namespace vessane::fuzz {
namespace {

constexpr int kFields[] = {IDC_AGE,        IDC_SYSTOLIC, IDC_DIASTOLIC,
                           IDC_TOTAL_CHOL, IDC_HDL_CHOL, IDC_YEARS};
constexpr int kNotComputed = -7;

// Records what the form logic asks of the bar, before the in-memory form clamps it.
class WatchedForm : public MemoryForm {
public:
    using MemoryForm::MemoryForm;
    void SetBarPos(int id, int position) override {
        if (id == IDC_RISK_BAR) {
            ++barCalls;
            lastBar = position;
        }
        MemoryForm::SetBarPos(id, position);
    }
    int barCalls = 0;
    int lastBar = 0;
};

bool InRange(double v, double low, double high) {
    return v >= low && v <= high;
}

// The accepted ranges, read from the form's texts independently of the form logic.
bool ReferenceValid(const WatchedForm& form, int sex, int unit) {
    if (sex != 0 && sex != 1) return false;  // no sex selected
    const double age = ReferenceField(form.Text(IDC_AGE));
    const double sys = ReferenceField(form.Text(IDC_SYSTOLIC));
    const double dia = ReferenceField(form.Text(IDC_DIASTOLIC));
    double total = ReferenceField(form.Text(IDC_TOTAL_CHOL));
    double hdl = ReferenceField(form.Text(IDC_HDL_CHOL));
    if (unit == 1) {
        total *= 2.58;
        hdl *= 2.58;
    }
    const double years = ReferenceField(form.Text(IDC_YEARS));
    return InRange(age, 30, 74) && InRange(sys, 80, 250) && InRange(dia, 30, 160) &&
           InRange(total, 2, 12) && InRange(hdl, 0.3, 5) && InRange(years, 2, 10) &&
           sys - dia >= 9.9 && total - hdl >= 0.49;
}

void Arm(WatchedForm& form) {
    form.barCalls = 0;
    g_riskState.digitsSys = kNotComputed;
    g_riskState.pSys = std::numeric_limits<double>::quiet_NaN();
}

void Check(const WatchedForm& form, int sex, int unit, int barBefore) {
    const std::string& result = form.Text(IDC_RESULT);
    if (!ReferenceValid(form, sex, unit)) {
        if (result != "ERREUR") Fail("rejected form shows a result", result);
        if (form.barCalls != 0 || form.BarPos() != barBefore) Fail("rejected form moved the bar");
        if (g_riskState.digitsSys != kNotComputed || !std::isnan(g_riskState.pSys)) {
            Fail("rejected form reached ComputeRisk");
        }
        return;
    }
    const double shown = ResultTextValue(result);
    if (shown < 0) Fail("result text has the wrong shape", result);
    if (form.barCalls != 1) Fail("accepted form did not set the bar once");
    if (form.lastBar != static_cast<int>(shown) || form.lastBar < 0 || form.lastBar > 100) {
        Fail("bar is not the whole part of the result", result);
    }
    const double p = std::fmax(g_riskState.pSys, g_riskState.pDia);
    if (!(g_riskState.pSys >= 0 && g_riskState.pSys <= 1 && g_riskState.pDia >= 0 &&
          g_riskState.pDia <= 1)) {
        Fail("probability outside 0-1");
    }
    if (!(std::fabs(shown - 100 * p) <= 0.1 + 1e-9)) Fail("result far from the risk", result);
}

int Selector(std::uint8_t byte) {
    return static_cast<int>(byte % 4) - 1;  // -1 (no selection), 0, 1, and one beyond
}

}  // namespace
}  // namespace vessane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vessane;
    using namespace vessane::fuzz;
    std::uint8_t control[6] = {1, 1, 0, 0, 0, 0};
    const std::size_t controlSize = size < 6 ? size : 6;
    for (std::size_t i = 0; i < controlSize; ++i) control[i] = data[i];
    const std::string_view rest(reinterpret_cast<const char*>(data) + controlSize,
                                size - controlSize);
    const auto texts = Split(rest, '|', 6);
    const int sex = Selector(control[0]);
    const int unit = Selector(control[1]);
    const bool typed = control[5] & 1;  // field by field, each change recomputing

    WatchedForm form(typed);
    if (typed) form.Initialise();
    form.SetCurSel(IDC_SEX, sex);
    form.SetCurSel(IDC_UNIT, unit);
    form.SetCheck(IDC_SMOKER, control[2] % 3);
    form.SetCheck(IDC_DIABETES, control[3] % 3);
    form.SetCheck(IDC_LVH, control[4] % 3);
    for (std::size_t i = 0; i < 6; ++i) {
        if (!typed) {
            form.SetText(kFields[i], texts[i]);
            continue;
        }
        const int barBefore = form.BarPos();
        Arm(form);
        form.SetDlgItemText(kFields[i], std::string(texts[i]).c_str());
        Check(form, sex, unit, barBefore);
    }
    if (!typed) {
        const int barBefore = form.BarPos();
        Arm(form);
        OnCalcul(form);
        Check(form, sex, unit, barBefore);
    }
    return 0;
}
