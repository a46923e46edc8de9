// The process-wide record of the current inputs, the intermediates of both risk
// equations, their probabilities and the shared text buffer.
#pragma once

#include <cstddef>

namespace vessane {

inline constexpr std::size_t kTextBufferSize = 7;  // 6 characters and the NUL

struct RiskState {
    int digitsSys;  // significant digits for the text of pSys, 1 to 3
    int digitsDia;  // significant digits for the text of pDia, 1 to 3
    double sex;     // 0 female, anything else male (normalised to 1)
    double age;     // years
    double systolic;
    double diastolic;  // mm Hg
    double smoker;
    double totalChol;
    double hdlChol;  // mmol/L
    double diabetes;
    double lvh;
    double years;  // prediction horizon
    double baseSys, mSys, muSys, sigmaSys, uSys, pSys;
    double baseDia, mDia, muDia, sigmaDia, uDia, pDia;
    char text[kTextBufferSize];
};

// The one instance of the process, zeroed at start-up.
extern RiskState g_riskState;

// Evaluates both equations on state's inputs, normalises its indicators, and writes
// the intermediates, the probabilities, the digit counts and the result text.
// Inputs must have passed validation.
void ComputeRisk(RiskState& state);

// The same on the process-wide instance.
void ComputeRisk();

// The result texts ComputeRisk can write, numbered 0 to kShownTextCount - 1 (one for
// each whole thousandth of the probability shown): callers that keep one object per
// distinct text index it by number rather than by its bytes.
inline constexpr int kShownTextCount = 1001;
// The number of the text ComputeRisk wrote into state; -1 if it wrote none of them.
int ShownTextNumber(const RiskState& state);
// The text of a number, NUL-terminated.
const char* ShownText(int number);

}  // namespace vessane
