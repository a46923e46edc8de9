// Writes a CSV file of valid forms for the batch benchmark: gen_rows COUNT [SEED].
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sample_forms.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_rows COUNT [SEED]\n");
        return 2;
    }
    const long count = std::atol(argv[1]);
    vessane::bench::Random r(argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1991);
    static const char* const kSex[] = {"Femme", "Homme"};
    static const char* const kUnit[] = {"mmol/L", "g/L"};
    std::string out = "sex,age,systolic,diastolic,total,hdl,unit,years,smoker,diabetes,lvh\n";
    char line[128];
    for (long i = 0; i < count; ++i) {
        const vessane::bench::SampleForm f = vessane::bench::MakeSampleForm(r);
        const int n = std::snprintf(line, sizeof line, "%s,%s,%s,%s,%s,%s,%s,%s,%d,%d,%d\n",
                                    kSex[f.sex], f.age, f.systolic, f.diastolic, f.total, f.hdl,
                                    kUnit[f.unit], f.years, f.smoker, f.diabetes, f.lvh);
        out.append(line, static_cast<std::size_t>(n));
        if (out.size() > (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
