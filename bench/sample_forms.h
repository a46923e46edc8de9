// A reproducible spread of valid forms, shared by the benchmarks and the generator of
// the batch file: every field varies, both sexes, both units, every flag.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vessane::bench {

struct SampleForm {
    int sex;   // 0 Femme, 1 Homme
    int unit;  // 0 mmol/L, 1 g/L
    int smoker, diabetes, lvh;
    char age[8], systolic[8], diastolic[8], total[8], hdl[8], years[8];
    // The same inputs as the risk state holds them (cholesterol in mmol/L).
    double ageValue, systolicValue, diastolicValue, totalValue, hdlValue, yearsValue;
};

// xorshift: fast, fixed sequence on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed | 1) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ >> 11);
    }
    int Between(int low, int high) { return low + static_cast<int>(Next() % (high - low + 1)); }

private:
    std::uint64_t state_;
};

// The i-th form of the sequence that starts at seed: always inside the accepted ranges.
inline SampleForm MakeSampleForm(Random& r) {
    SampleForm f{};
    f.sex = r.Between(0, 1);
    f.unit = r.Between(0, 1);
    f.smoker = r.Between(0, 1);
    f.diabetes = r.Between(0, 1);
    f.lvh = r.Between(0, 1);
    const int age = r.Between(30, 74);
    const int systolic = r.Between(100, 220);
    const int diastolic = r.Between(50, systolic - 10 < 130 ? systolic - 10 : 130);
    const int years = r.Between(2, 10);
    std::snprintf(f.age, sizeof f.age, "%d", age);
    std::snprintf(f.systolic, sizeof f.systolic, "%d", systolic);
    std::snprintf(f.diastolic, sizeof f.diastolic, "%d", diastolic);
    std::snprintf(f.years, sizeof f.years, "%d", years);
    if (f.unit == 1) {  // g/L, hundredths
        const int total = r.Between(120, 400);
        const int hdl = r.Between(20, total - 60 < 150 ? total - 60 : 150);
        std::snprintf(f.total, sizeof f.total, "%d.%02d", total / 100, total % 100);
        std::snprintf(f.hdl, sizeof f.hdl, "%d.%02d", hdl / 100, hdl % 100);
        f.totalValue = total / 100.0 * 2.58;
        f.hdlValue = hdl / 100.0 * 2.58;
    } else {  // mmol/L, hundredths
        const int total = r.Between(300, 1100);
        const int hdl = r.Between(50, total - 100 < 400 ? total - 100 : 400);
        std::snprintf(f.total, sizeof f.total, "%d.%02d", total / 100, total % 100);
        std::snprintf(f.hdl, sizeof f.hdl, "%d.%02d", hdl / 100, hdl % 100);
        f.totalValue = total / 100.0;
        f.hdlValue = hdl / 100.0;
    }
    f.ageValue = age;
    f.systolicValue = systolic;
    f.diastolicValue = diastolic;
    f.yearsValue = years;
    return f;
}

}  // namespace vessane::bench
