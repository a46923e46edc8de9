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
#include "sweep_forms.h"
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

void Emit(const char* kind, int chunk, const Digest& texts, const Digest& bits) {
    std::printf("%s %d texts %016llx bits %016llx\n", kind, chunk,
                static_cast<unsigned long long>(texts.hash),
                static_cast<unsigned long long>(bits.hash));
}

void SweepForms() {
    vessane::MemoryForm form;
    vessane::RiskState state{};
    int chunk = 0;
    Digest texts, bits;
    vessane::sweep::ForEachForm(
        form,
        [&](vessane::MemoryForm& filled) {
            if (vessane::EvaluateForm(filled, state) != vessane::ValidationCheck::kNone) {
                texts.Add(std::string("ERREUR"));
                return;
            }
            texts.Add(std::string(state.text));
            bits.Add(&state.pSys, sizeof state.pSys);
            bits.Add(&state.pDia, sizeof state.pDia);
        },
        [&] {
            Emit("form", chunk++, texts, bits);
            texts = bits = Digest();
        });
}

void SweepUnitSwitch() {
    Digest texts[2], none;
    std::string out;
    vessane::sweep::ForEachCholesterolText([&](const std::string& text, int unit) {
        vessane::ConvertCholesterolText(text, unit, out);
        texts[unit].Add(out);
    });
    for (int unit = 0; unit < 2; ++unit) Emit("unit", unit, texts[unit], none);
}

}  // namespace

int main() {
    SweepForms();
    SweepUnitSwitch();
    return 0;
}
