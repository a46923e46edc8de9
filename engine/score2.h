// SCORE2 (ages 40 to 69) and SCORE2-OP (70 to 89): the ESC's 10-year risk of fatal and
// non-fatal cardiovascular disease (myocardial infarction, stroke, cardiovascular death)
// for people without cardiovascular disease or diabetes, recalibrated to four European
// risk regions. Beside the 1991 equations, not part of them: its inputs are checked by
// form/score2_form.h; this only computes.
#pragma once

namespace vessane {

// The ESC's risk regions, France's first (low).
enum class Score2Region { kLow, kModerate, kHigh, kVeryHigh };
inline constexpr int kScore2RegionCount = 4;

enum class Score2Model { kScore2, kScore2Op };

struct Score2Inputs {
    bool male;
    double age;        // years, 40 <= age < 90
    double systolic;   // mm Hg
    double totalMmol;  // total cholesterol, mmol/L
    double hdlMmol;    // HDL cholesterol, mmol/L
    bool smoker;
    bool diabetes;  // the models' term; a diabetic person is not given a number
};

// SCORE2 below 70 years, SCORE2-OP from 70.
Score2Model Score2ModelFor(double age);

// The recalibrated 10-year risk, a probability. Computed with PortableExp and PortableLog:
// the same bits on every platform.
double Score2Risk(const Score2Inputs& inputs, Score2Region region);

}  // namespace vessane
