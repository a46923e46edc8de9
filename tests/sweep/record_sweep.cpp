// Writes, for every form of the sweep and every cholesterol text of the unit switch, a
// 24-byte record: the shown text (8 bytes, NUL-padded), then the two probabilities as
// raw doubles (zero for "ERREUR" and for the unit switch). Built for this machine and
// for Node; web/test/compare_sweeps.mjs compares the two files record by record.
//   record_sweep OUTPUT
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "memory_form.h"
#include "number_parse.h"
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

// A French user's decimal comma reads exactly as a point: over every cholesterol text
// and 300,000 generated number texts, the two spellings give the same bits and lengths.
// Returns the number of texts that differ (each printed).
int CompareCommaWithPoint() {
    int differing = 0;
    const auto compare = [&](const std::string& pointText) {
        std::string commaText = pointText;
        for (char& c : commaText) c = c == '.' ? ',' : c;
        const vessane::ParsedNumber point = vessane::ParseNumberPrefix(pointText);
        const vessane::ParsedNumber comma = vessane::ParseNumberPrefix(commaText);
        if (std::memcmp(&point.value, &comma.value, sizeof point.value) != 0 ||
            point.consumed != comma.consumed) {
            std::fprintf(stderr, "record_sweep: \"%s\" reads unlike \"%s\"\n", commaText.c_str(),
                         pointText.c_str());
            ++differing;
        }
    };
    vessane::sweep::ForEachCholesterolText([&](const std::string& text, int) { compare(text); });
    std::uint64_t state = 88172645463325252ULL;
    const char alphabet[] = " 0123456789.e-+";
    for (int i = 0; i < 300000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::string text;
        for (int n = 1 + static_cast<int>(state % 8), j = 0; j < n; ++j) {
            text += alphabet[(state >> (8 + 4 * j)) % (sizeof alphabet - 1)];
        }
        compare(text);
    }
    return differing;
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
    if (CompareCommaWithPoint() != 0) return 1;
    return std::fclose(out) == 0 ? 0 : 1;
}
