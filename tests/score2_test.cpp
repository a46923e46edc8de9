// SCORE2 and SCORE2-OP against the figures their papers and the ESC's own calculator
// publish, the properties the models must have over the form's ranges, and what the form
// shows when it gives no number. No coefficient is copied here.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "portable_math.h"
#include "score2_form.h"

namespace vessane {
namespace {

constexpr Score2Region kLow = Score2Region::kLow, kModerate = Score2Region::kModerate,
                       kHigh = Score2Region::kHigh, kVeryHigh = Score2Region::kVeryHigh;

FormValues Form(bool male, double age, double systolic, double total, double hdl, bool smoker,
                bool diabetes = false) {
    // Cholesterol in mmol/L (unit 0); the diastolic is not read but for the isolated note.
    return {age, systolic, 80, total, hdl, 10, male ? 1 : 0, 0, smoker ? 1 : 0, diabetes ? 1 : 0,
            0};
}

double Percent(const FormValues& form, Score2Region region) {
    const Score2Outcome outcome = EvaluateScore2(form, region);
    EXPECT_TRUE(outcome.computed) << outcome.reason();
    return outcome.probability * 100;
}

// The papers' and HeartScore's figures, as published (one decimal, or whole percentages).
TEST(Score2, PublishedFigures) {
    const struct {
        const char* source;
        FormValues form;
        Score2Region region;
        double published;
        int decimals;
    } cases[] = {
        {"SCORE2 abstract, man, low", Form(true, 50, 140, 5.5, 1.3, true), kLow, 5.9, 1},
        {"SCORE2 abstract, woman, low", Form(false, 50, 140, 5.5, 1.3, true), kLow, 4.2, 1},
        {"SCORE2 abstract, man, very high", Form(true, 50, 140, 5.5, 1.3, true), kVeryHigh, 14.0,
         1},
        {"SCORE2 abstract, woman, very high", Form(false, 50, 140, 5.5, 1.3, true), kVeryHigh, 13.7,
         1},
        {"SCORE2 table 4, man, low", Form(true, 50, 140, 6.3, 1.4, true), kLow, 6, 0},
        {"SCORE2 table 4, man, moderate", Form(true, 50, 140, 6.3, 1.4, true), kModerate, 8, 0},
        {"SCORE2 table 4, man, high", Form(true, 50, 140, 6.3, 1.4, true), kHigh, 9, 0},
        {"SCORE2 table 4, man, very high", Form(true, 50, 140, 6.3, 1.4, true), kVeryHigh, 15, 0},
        {"SCORE2 table 4, woman, low", Form(false, 50, 140, 6.3, 1.4, true), kLow, 4, 0},
        {"SCORE2 table 4, woman, moderate", Form(false, 50, 140, 6.3, 1.4, true), kModerate, 5, 0},
        {"SCORE2 table 4, woman, high", Form(false, 50, 140, 6.3, 1.4, true), kHigh, 7, 0},
        {"SCORE2 table 4, woman, very high", Form(false, 50, 140, 6.3, 1.4, true), kVeryHigh, 14,
         0},
        {"SCORE2-OP table 3, man, low", Form(true, 75, 140, 5.5, 1.3, true), kLow, 19, 0},
        {"SCORE2-OP table 3, woman, low", Form(false, 75, 140, 5.5, 1.3, true), kLow, 15, 0},
        {"HeartScore OP, man, moderate", Form(true, 75, 140, 5.5, 1.3, true), kModerate, 24, 0},
        {"HeartScore OP, woman, moderate", Form(false, 75, 140, 5.5, 1.3, true), kModerate, 20, 0},
        {"HeartScore OP, man, high", Form(true, 75, 140, 6, 1.3, true), kHigh, 29, 0},
        {"HeartScore OP, woman, high", Form(false, 75, 110, 5, 2, true), kHigh, 19, 0},
        {"HeartScore OP, man, very high", Form(true, 75, 140, 6, 1.3, true), kVeryHigh, 41, 0},
        {"HeartScore OP, woman, very high", Form(false, 75, 140, 6, 1.3, true), kVeryHigh, 46, 0},
    };
    for (const auto& c : cases) {
        const double scale = c.decimals == 1 ? 10 : 1;
        EXPECT_EQ(std::floor(Percent(c.form, c.region) * scale + 0.5) / scale, c.published)
            << c.source;
    }
    // The text shown: one decimal, and the ESC category of its age band.
    const Score2Outcome outcome = EvaluateScore2(Form(true, 50, 140, 5.5, 1.3, true), kLow);
    EXPECT_EQ(Score2Line(outcome), "SCORE2 : 5.9 % (risque \u00e9lev\u00e9)");
}

// Over the form's ranges: the directions every clinician expects, within each model.
TEST(Score2, Properties) {
    for (const bool male : {true, false}) {
        for (const Score2Region region : {kLow, kModerate, kHigh, kVeryHigh}) {
            for (double age = 40; age < 90; age += 3.5) {
                for (double total = 3; total <= 8; total += 1.25) {
                    for (double hdl = 0.8; hdl <= 2.5 && hdl <= total - 0.49; hdl += 0.4) {
                        for (double sbp = 100; sbp <= 180; sbp += 20) {
                            const FormValues f = Form(male, age, sbp, total, hdl, false);
                            const double p = Percent(f, region);
                            FormValues higher = f;
                            higher.systolic += 10;
                            EXPECT_GE(Percent(higher, region), p) << "systolic, age " << age;
                            FormValues moreHdl = f;
                            moreHdl.hdl += 0.1;
                            if (moreHdl.hdl + 0.49 <= total) {
                                EXPECT_LE(Percent(moreHdl, region), p) << "HDL, age " << age;
                            }
                            FormValues smoker = f;
                            smoker.smoker = 1;
                            if (age < 88) {
                                EXPECT_GE(Percent(smoker, region), p) << "smoking, age " << age;
                            }
                            FormValues older = f;
                            older.age += 1;
                            if (older.age < 70) {
                                EXPECT_GE(Percent(older, region), p) << "age " << age;
                            }
                        }
                    }
                }
            }
        }
    }
}

// No number, and why: the models' ages (decimals as the form takes them), diabetes,
// the form's ranges; and the categories' bounds by age band.
TEST(Score2, ScopeAndCategories) {
    const double missing = std::numeric_limits<double>::quiet_NaN();
    const struct {
        FormValues form;
        const char* shown;  // the line, in full
    } cases[] = {
        {Form(true, 69.5, 140, 5.5, 1.3, false), "SCORE2 : "},
        {Form(true, 70, 140, 5.5, 1.3, false), "SCORE2-OP : "},
        {Form(true, 39.9, 140, 5.5, 1.3, false),
         "SCORE2 : pas de r\u00e9sultat (SCORE2 et SCORE2-OP couvrent les \u00e2ges de 40 \u00e0 "
         "moins de 90 ans)"},
        {Form(false, 90, 140, 5.5, 1.3, false),
         "SCORE2 : pas de r\u00e9sultat (SCORE2 et SCORE2-OP"},
        {Form(true, 55, 140, 5.5, 1.3, false, true),
         "SCORE2 : pas de r\u00e9sultat (SCORE2 ne s'applique pas au diab\u00e8te ; "
         "SCORE2-Diabetes "
         "(ESC 2023) n'est pas calcul\u00e9 ici)"},
        {Form(true, 75, 140, 5.5, 1.3, false, true),
         "SCORE2-OP : pas de r\u00e9sultat (SCORE2-OP n'est pas calcul\u00e9 ici en cas de "
         "diab\u00e8te)"},
        {Form(true, 55, 260, 5.5, 1.3, false),
         "SCORE2 : pas de r\u00e9sultat (pression systolique hors"},
        {Form(true, 55, 140, 1.5, 1.0, false),
         "SCORE2 : pas de r\u00e9sultat (cholest\u00e9rol total hors"},
        {Form(true, 55, 140, 1.6, 1.3, false),
         "SCORE2 : pas de r\u00e9sultat (cholest\u00e9rol total hors"},
        {Form(true, 55, 140, 2.5, 2.2, false),
         "SCORE2 : pas de r\u00e9sultat (cholest\u00e9rol total inf\u00e9rieur"},
        {Form(true, missing, 140, 5.5, 1.3, false),
         "SCORE2 : pas de r\u00e9sultat (\u00e2ge : valeur manquante)"},
        {Form(true, 45, 120, 5, 1.6, false), "(risque faible \u00e0 mod\u00e9r\u00e9)"},
        {Form(true, 45, 160, 6.5, 1, true), "(risque tr\u00e8s \u00e9lev\u00e9)"},
        {Form(true, 72, 160, 6.5, 1, true), "(risque tr\u00e8s \u00e9lev\u00e9)"},
        {Form(false, 72, 120, 4.5, 1.8, false), "(risque faible \u00e0 mod\u00e9r\u00e9)"},
    };
    for (const auto& c : cases) {
        const std::string line = Score2Line(EvaluateScore2(c.form, kLow));
        EXPECT_NE(line.find(c.shown), std::string::npos) << line;
    }
    // The isolated factors: total above 8 mmol/L (3.09 g/L), 180/110 mm Hg or more.
    FormValues grams = Form(true, 55, 140, 3.10, 0.5, false);
    grams.unit = 1;
    EXPECT_TRUE(EvaluateScore2(grams, kLow).isolatedFactor);
    grams.total = 3.09;
    EXPECT_FALSE(EvaluateScore2(grams, kLow).isolatedFactor);
    FormValues pressure = Form(true, 55, 140, 5, 1.3, false);
    pressure.diastolic = 110;
    EXPECT_TRUE(EvaluateScore2(pressure, kLow).isolatedFactor);
    // Regions by their names, in French and English, accents and case aside.
    Score2Region region;
    for (const char* name : {"très élevé", "TRES-ELEVE", "very high", "Very-High"}) {
        ASSERT_TRUE(ParseScore2Region(name, region)) << name;
        EXPECT_EQ(region, kVeryHigh) << name;
    }
    EXPECT_FALSE(ParseScore2Region("moyen", region));
}

}  // namespace
}  // namespace vessane

namespace vessane {
namespace {

// The portable exp and log against the C library's: within one unit in the last place.
TEST(PortableMath, WithinOneUlpOfTheLibrary) {
    const auto ulps = [](double a, double b) {
        return std::fabs(a - b) / std::fabs(std::nextafter(b, INFINITY) - b);
    };
    for (double x = -30; x < 30; x += 0.0137) {
        EXPECT_LE(ulps(PortableExp(x), std::exp(x)), 1) << x;
        const double y = std::exp(x / 4);
        EXPECT_LE(ulps(PortableLog(y), std::log(y)), 1) << y;
    }
    EXPECT_EQ(PortableLog(1), 0);
    EXPECT_EQ(PortableExp(0), 1);
}

}  // namespace
}  // namespace vessane
