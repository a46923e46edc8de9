// The one table of the SCORE2 and SCORE2-OP models: coefficients on centred risk factors,
// baseline survival, centring values and the four regions' recalibration scales, each with
// its source. Tests never copy it: they check the papers' own published risks.
#pragma once

namespace vessane::score2 {

// One sex's model: log hazard ratios of the centred factors and of their products with
// the centred age, the baseline 10-year survival and the mean linear predictor it is
// centred on (0 for SCORE2, whose factors are centred instead).
struct SexModel {
    double age, smoking, systolic, diabetes, total, hdl;
    double smokingAge, systolicAge, totalAge, hdlAge, diabetesAge;
    double baselineSurvival;
    double meanLinearPredictor;
};

// How a model centres and scales its factors: (value - centre) / scale.
struct Centring {
    double age, ageScale;
    double systolic, systolicScale;
    double total, totalScale;
    double hdl, hdlScale;
};

// A region's recalibration: risk = 1 - exp(-exp(first + second * ln(-ln(1 - uncalibrated)))).
struct Scale {
    double first, second;
};

struct Model {
    const char* name;
    const char* source;
    Centring centring;
    SexModel male, female;
    // Low, moderate, high, very high; men then women.
    Scale maleScales[4], femaleScales[4];
};

inline constexpr Model kScore2 = {
    "SCORE2",
    "SCORE2 working group and ESC Cardiovascular risk collaboration. SCORE2 risk prediction "
    "algorithms. Eur Heart J 2021;42:2439-2454, doi:10.1093/eurheartj/ehab309: supplementary "
    "methods, sex-specific subdistribution hazard ratios and baseline survival of the derived "
    "models, and the region-specific scaling factors of the recalibrated models",
    {60, 5, 120, 20, 6, 1, 1.3, 0.5},
    {0.3742, 0.6012, 0.2777, 0.6457, 0.1458, -0.2698, -0.0755, -0.0255, -0.0281, 0.0426, -0.0983,
     0.9605, 0},
    {0.4648, 0.7744, 0.3131, 0.8096, 0.1002, -0.2606, -0.1088, -0.0277, -0.0226, 0.0613, -0.1272,
     0.9776, 0},
    {{-0.5699, 0.7476}, {-0.1565, 0.8009}, {0.3207, 0.9360}, {0.5836, 0.8294}},
    {{-0.7380, 0.7019}, {-0.3143, 0.7701}, {0.5710, 0.9369}, {0.9412, 0.8329}},
};

inline constexpr Model kScore2Op = {
    "SCORE2-OP",
    "SCORE2-OP working group and ESC Cardiovascular risk collaboration. SCORE2-OP risk "
    "prediction algorithms. Eur Heart J 2021;42:2455-2467, doi:10.1093/eurheartj/ehab312: "
    "supplementary methods, sex-specific subdistribution hazard ratios, baseline survival and "
    "mean linear predictor, and the region-specific scaling factors",
    {73, 1, 150, 1, 6, 1, 1.4, 1},
    {0.0634, 0.3524, 0.0094, 0.4245, 0.0850, -0.3564, -0.0247, -0.0005, 0.0073, 0.0091, -0.0174,
     0.7576, 0.0929},
    {0.0789, 0.4921, 0.0102, 0.6010, 0.0605, -0.3040, -0.0255, -0.0004, -0.0009, 0.0154, -0.0107,
     0.8082, 0.2290},
    {{-0.34, 1.19}, {0.01, 1.25}, {0.08, 1.15}, {0.05, 0.70}},
    {{-0.52, 1.01}, {-0.10, 1.10}, {0.38, 1.09}, {0.38, 0.69}},
};

}  // namespace vessane::score2
