// Computes the result text of about a million forms, and the unit switch's text of
// two thousand cholesterol values, and prints digests of them in chunks: one line of
// texts and one of raw probabilities per chunk. Built both for Linux and for Windows;
// the test compares the two outputs (compare_sweeps.cmake).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "memory_form.h"
#include "on_calcul.h"
#include "control_ids.h"
#include "unit_switch.h"

namespace {

struct Digest {
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a
    void Add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211u;
    }
    void Add(const std::string& text) { Add(text.c_str(), text.size() + 1); }
};

std::string Text(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);  // the C locale: a point
    return buffer;
}

void Emit(const char* kind, int chunk, const Digest& texts, const Digest& bits) {
    std::printf("%s %d texts %016llx bits %016llx\n", kind, chunk,
                static_cast<unsigned long long>(texts.hash),
                static_cast<unsigned long long>(bits.hash));
}

void SweepForms() {
    vessane::MemoryForm form;
    vessane::RiskState state{};
    int chunk = 0;
    for (int flags = 0; flags < 16; ++flags) {
        form.SetCurSel(IDC_SEX, flags & 1);
        form.SetCheck(IDC_SMOKER, (flags >> 1) & 1);
        form.SetCheck(IDC_DIABETES, (flags >> 2) & 1);
        form.SetCheck(IDC_LVH, (flags >> 3) & 1);
        for (double age = 30; age <= 74; age += 6.3) {
            Digest texts, bits;
            form.SetText(IDC_AGE, Text(age));
            for (double sys = 80; sys <= 250; sys += 19) {
                form.SetText(IDC_SYSTOLIC, Text(sys));
                for (double dia = 30; dia <= 160; dia += 21.5) {
                    form.SetText(IDC_DIASTOLIC, Text(dia));
                    for (int unit = 0; unit < 2; ++unit) {
                        form.SetCurSel(IDC_UNIT, unit);
                        const double factor = unit ? 2.58 : 1.0;
                        for (double total = 2; total <= 12; total += 1.7) {
                            form.SetText(IDC_TOTAL_CHOL, Text(total / factor));
                            for (double hdl = 0.3; hdl <= 5; hdl += 0.67) {
                                form.SetText(IDC_HDL_CHOL, Text(hdl / factor));
                                for (int years : {2, 5, 10}) {
                                    form.SetText(IDC_YEARS, std::to_string(years));
                                    if (vessane::EvaluateForm(form, state) !=
                                        vessane::ValidationCheck::kNone) {
                                        texts.Add(std::string("ERREUR"));
                                        continue;
                                    }
                                    texts.Add(std::string(state.text));
                                    bits.Add(&state.pSys, sizeof state.pSys);
                                    bits.Add(&state.pDia, sizeof state.pDia);
                                }
                            }
                        }
                    }
                }
            }
            Emit("form", chunk++, texts, bits);
        }
    }
}

void SweepUnitSwitch() {
    for (int unit = 0; unit < 2; ++unit) {
        Digest texts, none;
        std::string out;
        for (int hundredths = 0; hundredths <= 2000; ++hundredths) {
            vessane::ConvertCholesterolText(Text(hundredths / 100.0), unit, out);
            texts.Add(out);
        }
        Emit("unit", unit, texts, none);
    }
}

}  // namespace

int main() {
    SweepForms();
    SweepUnitSwitch();
    return 0;
}
