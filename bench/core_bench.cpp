// The engine alone and the window's recomputation over an in-memory form.
#include <benchmark/benchmark.h>

#include <vector>

#include "coronary_form.h"
#include "memory_form.h"
#include "control_ids.h"
#include "risk_state.h"
#include "sample_forms.h"

namespace vessane::bench {
namespace {

constexpr int kFormCount = 4096;  // more than any branch predictor remembers

std::vector<SampleForm> Forms() {
    Random r(20240611);
    std::vector<SampleForm> forms;
    for (int i = 0; i < kFormCount; ++i) forms.push_back(MakeSampleForm(r));
    return forms;
}

void BM_ComputeRisk(benchmark::State& s) {
    std::vector<RiskState> states;
    for (const SampleForm& f : Forms()) {
        RiskState state{};
        state.sex = f.sex;
        state.age = f.ageValue;
        state.systolic = f.systolicValue;
        state.diastolic = f.diastolicValue;
        state.totalChol = f.totalValue;
        state.hdlChol = f.hdlValue;
        state.years = f.yearsValue;
        state.smoker = f.smoker;
        state.diabetes = f.diabetes;
        state.lvh = f.lvh;
        states.push_back(state);
    }
    std::size_t i = 0;
    for (auto _ : s) {
        RiskState& state = states[i++ % kFormCount];
        ComputeRisk(state);
        benchmark::DoNotOptimize(state.text);
    }
}
BENCHMARK(BM_ComputeRisk);

void BM_OnCalcul(benchmark::State& s) {
    std::vector<MemoryForm> forms(kFormCount);
    const std::vector<SampleForm> samples = Forms();
    for (int i = 0; i < kFormCount; ++i) {
        MemoryForm& form = forms[i];
        form.Initialise();
        const SampleForm& f = samples[i];
        form.SetText(IDC_AGE, f.age);
        form.SetText(IDC_SYSTOLIC, f.systolic);
        form.SetText(IDC_DIASTOLIC, f.diastolic);
        form.SetText(IDC_TOTAL_CHOL, f.total);
        form.SetText(IDC_HDL_CHOL, f.hdl);
        form.SetText(IDC_YEARS, f.years);
        form.SetCurSel(IDC_SEX, f.sex);
        form.SetCurSel(IDC_UNIT, f.unit);
        form.SetCheck(IDC_SMOKER, f.smoker);
        form.SetCheck(IDC_DIABETES, f.diabetes);
        form.SetCheck(IDC_LVH, f.lvh);
    }
    std::size_t i = 0;
    for (auto _ : s) {
        MemoryForm& form = forms[i++ % kFormCount];
        OnCalcul(form);
        benchmark::DoNotOptimize(form.BarPos());
    }
}
BENCHMARK(BM_OnCalcul);

// The default form over and over: what one keystroke costs without a window.
void BM_OnCalculDefaultForm(benchmark::State& s) {
    MemoryForm form;
    form.Initialise();
    for (auto _ : s) {
        OnCalcul(form);
        benchmark::DoNotOptimize(form.BarPos());
    }
}
BENCHMARK(BM_OnCalculDefaultForm);

}  // namespace
}  // namespace vessane::bench

BENCHMARK_MAIN();
