// The risk equations against published worked values, and the result text they lead to.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "result_text.h"
#include "risk_state.h"

namespace vessane {
namespace {

struct Patient {
    double sex, age, systolic, diastolic, smoker, totalChol, hdlChol, diabetes, lvh, years;
};

RiskState Inputs(const Patient& p) {
    RiskState s{};
    s.sex = p.sex;
    s.age = p.age;
    s.systolic = p.systolic;
    s.diastolic = p.diastolic;
    s.smoker = p.smoker;
    s.totalChol = p.totalChol;
    s.hdlChol = p.hdlChol;
    s.diabetes = p.diabetes;
    s.lvh = p.lvh;
    s.years = p.years;
    return s;
}

RiskState Evaluate(const Patient& p) {
    RiskState s = Inputs(p);
    ComputeRisk(s);
    return s;
}

// The window's defaults: 2.30 and 0.50 g/L converted to mmol/L.
constexpr Patient kDefaultMale{1, 50, 150, 90, 0, 2.30 * 2.58, 0.50 * 2.58, 0, 0, 10};
constexpr Patient kDefaultFemale{0, 50, 150, 90, 0, 2.30 * 2.58, 0.50 * 2.58, 0, 0, 10};

TEST(RiskEquations, IntermediatesOfTheDefaultForm) {
    struct Case {
        Patient patient;
        double baseSys, mSys, muSys, sigmaSys, uSys, pSys;
        double baseDia, mDia, muDia, sigmaDia, uDia, pDia;
    };
    const Case cases[] = {
        {kDefaultMale, 5.447141, -0.339524, 4.078576, 0.801735, -2.215183, 0.103389, 6.102556,
         -0.290864, 4.137536, 0.790625, -2.320886, 0.093520},
        {kDefaultFemale, 5.447141, -0.123189, 4.294911, 0.754874, -2.639281, 0.068922, 6.102556,
         -0.104374, 4.324026, 0.750051, -2.695072, 0.065307},
    };
    for (const Case& c : cases) {
        const RiskState s = Evaluate(c.patient);
        SCOPED_TRACE(c.patient.sex);
        EXPECT_NEAR(s.baseSys, c.baseSys, 5e-7);
        EXPECT_NEAR(s.mSys, c.mSys, 5e-7);
        EXPECT_NEAR(s.muSys, c.muSys, 5e-7);
        EXPECT_NEAR(s.sigmaSys, c.sigmaSys, 5e-7);
        EXPECT_NEAR(s.uSys, c.uSys, 5e-7);
        EXPECT_NEAR(s.pSys, c.pSys, 5e-7);
        EXPECT_NEAR(s.baseDia, c.baseDia, 5e-7);
        EXPECT_NEAR(s.mDia, c.mDia, 5e-7);
        EXPECT_NEAR(s.muDia, c.muDia, 5e-7);
        EXPECT_NEAR(s.sigmaDia, c.sigmaDia, 5e-7);
        EXPECT_NEAR(s.uDia, c.uDia, 5e-7);
        EXPECT_NEAR(s.pDia, c.pDia, 5e-7);
    }
}

TEST(RiskEquations, ProbabilitiesAndTexts) {
    struct Case {
        const char* name;
        Patient patient;
        double pSys, pDia;
        const char* text;
        int digitsSys, digitsDia;
    };
    const Case cases[] = {
        {"default male", kDefaultMale, 0.103389, 0.093520, "10.3 %", 3, 2},
        {"default female", kDefaultFemale, 0.068922, 0.065307, "6.9 %", 2, 2},
        {"every factor, diastolic wins",
         {1, 60, 160, 95, 1, 6.708, 1.032, 1, 1, 10},
         0.585404,
         0.621882,
         "62.2 %",
         3,
         3},
        {"woman at the reference age",
         {0, 74, 180, 100, 1, 7.0, 1.0, 1, 1, 10},
         0.631841,
         0.658337,
         "65.8 %",
         3,
         3},
        {"young woman, 5 years",
         {0, 40, 120, 80, 0, 5.0, 1.5, 0, 0, 5},
         0.002636,
         0.002757,
         "0.3 %",
         2,
         2},
        {"young man, 2 years",
         {1, 35, 130, 85, 0, 5.0, 1.2, 0, 0, 2},
         0.001858,
         0.001663,
         "0.2 %",
         2,
         2},
        {"highest accepted risk",
         {1, 74, 250, 160, 1, 12, 0.3, 1, 1, 10},
         0.902166,
         0.907273,
         "90.7 %",
         3,
         3},
        {"tenths digit just below a whole number",
         {1, 59, 152, 90, 1, 6.0, 1.0, 0, 0, 10},
         0.289863,
         -1,
         "29. %",
         3,
         -1},
        {"below 0.05 %", {0, 35, 120, 80, 0, 5.0, 1.6, 0, 0, 2}, 0.000119, 0.000101, "0 %", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RiskState s = Evaluate(c.patient);
        EXPECT_NEAR(s.pSys, c.pSys, 5e-7);
        if (c.pDia >= 0) {
            EXPECT_NEAR(s.pDia, c.pDia, 5e-7);
        }
        EXPECT_STREQ(s.text, c.text);
        EXPECT_EQ(s.digitsSys, c.digitsSys);
        if (c.digitsDia >= 0) {
            EXPECT_EQ(s.digitsDia, c.digitsDia);
        }
    }
}

TEST(RiskEquations, IndicatorsAreNormalisedToOne) {
    Patient p = kDefaultMale;
    p.sex = 7;
    p.smoker = -1;
    p.diabetes = 0.5;
    p.lvh = 2;
    const RiskState odd = Evaluate(p);
    EXPECT_EQ(odd.sex, 1.0);
    EXPECT_EQ(odd.smoker, 1.0);
    EXPECT_EQ(odd.diabetes, 1.0);
    EXPECT_EQ(odd.lvh, 1.0);
    const RiskState ones = Evaluate({1, 50, 150, 90, 1, 2.30 * 2.58, 0.50 * 2.58, 1, 1, 10});
    EXPECT_EQ(odd.pSys, ones.pSys);
    EXPECT_EQ(odd.pDia, ones.pDia);
    EXPECT_STREQ(odd.text, ones.text);
}

TEST(RiskEquations, WomanOfSeventyFourUsesOnlyTheFemaleConstants) {
    const RiskState s = Evaluate({0, 74, 150, 90, 0, 6, 1.5, 0, 0, 10});
    EXPECT_EQ(s.mSys, s.baseSys - 5.8549);
    EXPECT_EQ(s.mDia, s.baseDia - 6.5306);
}

TEST(RiskEquations, OnlyTheRatioOfTheCholesterolValuesMatters) {
    const RiskState mmol = Evaluate({1, 50, 150, 90, 0, 5.934, 1.29, 0, 0, 10});
    const RiskState grams = Evaluate({1, 50, 150, 90, 0, 2.30, 0.50, 0, 0, 10});
    EXPECT_NEAR(mmol.pSys, grams.pSys, 1e-15);
    EXPECT_STREQ(mmol.text, grams.text);
}

// ComputeRisk remembers the texts it has written; every byte of its buffer must still be
// what the conversion itself leaves there, on first and later use, in every thread.
TEST(RiskEquations, RememberedTextsAreTheConversionsOwn) {
    std::vector<Patient> patients;
    for (int i = 0; i < 3000; ++i) {
        patients.push_back({double(i % 2), 30.0 + i % 45, 100.0 + i * 7 % 150, 40.0 + i * 3 % 50,
                            double(i / 2 % 2), 3.0 + i % 90 / 10.0, 0.4 + i % 23 / 10.0,
                            double(i / 3 % 2), double(i / 5 % 2), 2.0 + i % 9});
    }
    const auto check = [&patients](int pass) {
        for (const Patient& p : patients) {
            RiskState s = Inputs(p);
            std::memset(s.text, 'x', sizeof s.text);
            ComputeRisk(s);
            char expected[sizeof s.text];
            std::memset(expected, 'x', sizeof expected);
            const bool dia = s.pDia > s.pSys;
            FormatResultText(Percentage(dia ? s.pDia : s.pSys), dia ? s.digitsDia : s.digitsSys,
                             expected, sizeof expected);
            ASSERT_EQ(std::memcmp(s.text, expected, sizeof expected), 0)
                << "pass " << pass << ": " << s.text << " instead of " << expected;
        }
    };
    check(1);
    check(2);
#ifdef _GLIBCXX_HAS_GTHREADS  // MinGW-w64's win32 thread model has no std::thread
    std::thread other(check, 3);
    check(4);
    other.join();
#endif
}

TEST(RiskState, ProcessWideInstanceComputes) {
    g_riskState = Inputs(kDefaultMale);
    ComputeRisk();
    EXPECT_STREQ(g_riskState.text, "10.3 %");
}

}  // namespace
}  // namespace vessane
