// The two Framingham equations (systolic and diastolic) of the 1991 risk profiles.
// Every line keeps the published evaluation order and grouping: the displayed texts
// depend on the last bit of these doubles.
#include <cmath>
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

// The shown percentage is a function of the rounded thousandth k of the probability
// alone (at most 1001 values, p in [0, 1]), and so is its digit count: every text the
// equations can show is written once, before first use, into a constant table. The
// equations then cost no decimal conversion, and threads share the table read-only.
struct ResultTexts {
    static constexpr int kCount = kShownTextCount;  // 0.0 %, 0.1 %, ... 100. %
    char text[kCount][kTextBufferSize];
    unsigned char length[kCount];

    ResultTexts() {
        for (int k = 0; k < kCount; ++k) {
            const double percentage = PercentageOfThousandths(k);
            length[k] = static_cast<unsigned char>(FormatResultText(
                percentage, DigitCountOfPercentage(percentage), text[k], sizeof text[k]));
        }
    }
};

const ResultTexts& Table() {
    static const ResultTexts table;
    return table;
}

// The number of the text shown for a probability, or -1 outside [0, 1].
int TextNumber(double probability) {
    const double k = RoundedThousandths(probability);
    return k >= 0 && k < ResultTexts::kCount ? static_cast<int>(k) : -1;
}

// The larger probability is shown; ties show the systolic one.
double ShownProbability(const RiskState& s) {
    return s.pDia > s.pSys ? s.pDia : s.pSys;
}

void WriteResultText(double probability, char (&text)[kTextBufferSize]) {
    if (const int number = TextNumber(probability); number >= 0) {
        const ResultTexts& table = Table();
        // Up to the NUL only, as FormatResultText writes: what follows stays as it was.
        std::memcpy(text, table.text[number], std::size_t{table.length[number]} + 1);
        return;
    }
    const double percentage = Percentage(probability);  // never for a valid form
    FormatResultText(percentage, DigitCountOfPercentage(percentage), text, sizeof text);
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

    WriteResultText(ShownProbability(s), s.text);
}

int ShownTextNumber(const RiskState& state) {
    return TextNumber(ShownProbability(state));
}

const char* ShownText(int number) {
    return Table().text[number];
}

}  // namespace vessane
