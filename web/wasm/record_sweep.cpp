// Writes, for every form of the sweep and every cholesterol text of the unit switch, a
// 24-byte record: the shown text (8 bytes, NUL-padded), then the two probabilities as
// raw doubles (zero for "ERREUR" and for the unit switch). Built for this machine and
// for Node; web/test/compare_sweeps.mjs compares the two files record by record.
//   record_sweep OUTPUT
#include <cstdio>
#include <cstring>
#include <string>

#include "memory_form.h"
#include "on_calcul.h"
#include "sweep_forms.h"
#include "unit_switch.h"

namespace {

void Write(std::FILE* out, const char* text, double pSys, double pDia) {
    char record[24] = {};
    std::strncpy(record, text, 7);
    std::memcpy(record + 8, &pSys, 8);
    std::memcpy(record + 16, &pDia, 8);
    std::fwrite(record, sizeof record, 1, out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: record_sweep OUTPUT\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    vessane::MemoryForm form;
    vessane::RiskState state{};
    vessane::sweep::ForEachForm(
        form,
        [&](vessane::MemoryForm& filled) {
            if (vessane::EvaluateForm(filled, state) != vessane::ValidationCheck::kNone) {
                Write(out, "ERREUR", 0, 0);
            } else {
                Write(out, state.text, state.pSys, state.pDia);
            }
        },
        [] {});
    std::string converted;
    vessane::sweep::ForEachCholesterolText([&](const std::string& text, int unit) {
        vessane::ConvertCholesterolText(text, unit, converted);
        Write(out, converted.c_str(), 0, 0);
    });
    return std::fclose(out) == 0 ? 0 : 1;
}
