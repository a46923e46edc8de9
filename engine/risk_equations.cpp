// The two Framingham equations (systolic and diastolic) of the 1991 risk profiles.
// Every line keeps the published evaluation order and grouping: the displayed texts
// depend on the last bit of these doubles.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "result_text.h"
#include "risk_state.h"

namespace vessane {
namespace {

constexpr double kFemaleReferenceAge = 74.0;

double Indicator(double value) {
    return value == 0.0 ? 0.0 : 1.0;
}

// Weibull probability of an event within the horizon.
double Probability(double logYears, double mu, double sigma, double& u) {
    u = (logYears - mu) / sigma;
    return 1.0 - std::exp(-std::exp(u));
}

// The shown percentage is RoundDecimals(p, 3) * 100 with p in [0, 1]: at most 1001
// values, each with 1 to 3 digits. Their texts are remembered once written, so that a
// computation costs the equations and not the decimal conversion. An entry is used
// only for the very same double and digit count, so the text is always the one
// FormatResultText writes. One table per thread: ComputeRisk(RiskState&) stays safe
// to call from several threads on different states.
struct CachedText {
    std::uint64_t valueBits;
    int digits;  // 0: not written yet
    int length;
    char text[kTextBufferSize];
};
constexpr int kCachedPercentages = 1001;  // 0.0, 0.1, ... 100.0
constexpr int kCachedDigits = 3;
thread_local CachedText t_texts[kCachedPercentages][kCachedDigits];

void WriteResultText(double percentage, int digits, char (&text)[kTextBufferSize]) {
    // Valid inputs give a probability in [0, 1], so a percentage in [0, 100], and a digit
    // count from 1 to 3: both index the table.
    CachedText& entry = t_texts[static_cast<int>(percentage * 10 + 0.5)][digits - 1];
    std::uint64_t bits;
    std::memcpy(&bits, &percentage, sizeof bits);  // std::bit_cast is missing in some libraries
    if (entry.digits == digits && entry.valueBits == bits) {
        // Up to the NUL only, as FormatResultText writes: what follows stays as it was.
        std::memcpy(text, entry.text, static_cast<std::size_t>(entry.length) + 1);
        return;
    }
    const std::size_t length = FormatResultText(percentage, digits, text, sizeof text);
    if (length == 0) return;  // a text too long is left empty, and not remembered
    std::memcpy(entry.text, text, length + 1);
    entry.length = static_cast<int>(length);
    entry.valueBits = bits;
    entry.digits = digits;
}

}  // namespace

void ComputeRisk(RiskState& s) {
    s.sex = Indicator(s.sex);
    s.smoker = Indicator(s.smoker);
    s.diabetes = Indicator(s.diabetes);
    s.lvh = Indicator(s.lvh);

    const double logRatio = std::log(s.totalChol / s.hdlChol);
    s.baseSys = 11.1122 - 0.9119 * std::log(s.systolic) - 0.2767 * s.smoker - 0.7181 * logRatio -
                0.5865 * s.lvh;
    s.baseDia = 11.0938 - 0.867 * std::log(s.diastolic) - 0.2789 * s.smoker - 0.7142 * logRatio -
                0.7195 * s.lvh;

    if (s.sex != 0.0) {
        const double logAge = std::log(s.age);
        s.mSys = s.baseSys - 1.4792 * logAge - 0.1759 * s.diabetes;
        s.mDia = s.baseDia - 1.6343 * logAge - 0.2082 * s.diabetes;
    } else {
        const double l = std::log(s.age / kFemaleReferenceAge);
        s.mSys = l * (l * 1.8515) + (s.baseSys - 5.8549) - 0.3758 * s.diabetes;
        s.mDia = l * (l * 2.1059) + (s.baseDia - 6.5306) - 0.4055 * s.diabetes;
    }

    s.muSys = 4.4181 + s.mSys;
    s.muDia = 4.4284 + s.mDia;
    // The scale depends on m, not on mu.
    s.sigmaSys = std::exp(-0.3155 - 0.2784 * s.mSys);
    s.sigmaDia = std::exp(-0.3171 - 0.2825 * s.mDia);

    const double logYears = std::log(s.years);
    s.pSys = Probability(logYears, s.muSys, s.sigmaSys, s.uSys);
    s.pDia = Probability(logYears, s.muDia, s.sigmaDia, s.uDia);

    s.digitsDia = DigitCount(s.pDia);
    s.digitsSys = DigitCount(s.pSys);

    // Ties show the systolic value.
    if (s.pDia > s.pSys) {
        WriteResultText(Percentage(s.pDia), s.digitsDia, s.text);
    } else {
        WriteResultText(Percentage(s.pSys), s.digitsSys, s.text);
    }
}

}  // namespace vessane
