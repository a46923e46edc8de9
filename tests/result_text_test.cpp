// Rounding to a tenth of a percent and the text of the result field.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "number_parse.h"
#include "on_calcul.h"
#include "result_text.h"

namespace vessane {
namespace {

std::string ResultText(double percentage, int digits) {
    char text[7];
    FormatResultText(percentage, digits, text, sizeof text);
    return text;
}

TEST(RoundDecimals, RoundsHalvesUpwardsAfterScaling) {
    struct Case {
        double x;
        unsigned n;
        double expected;
    };
    const Case cases[] = {
        {0.103389, 3, 0.103}, {0.0935, 3, 0.094}, {0.1035, 3, 0.104}, {-0.0005, 3, 0.0},
        {2.5, 0, 3.0},        {0.000119, 3, 0.0}, {0.9995, 3, 1.0},   {1.25, 1, 1.3},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(RoundDecimals(c.x, c.n), c.expected) << c.x << " to " << c.n;
    }
}

TEST(ResultText, KnownPercentages) {
    struct Case {
        double percentage;
        int digits;
        const char* text;
    };
    const Case cases[] = {
        {10.299999999999999, 3, "10.3 %"},
        {62.2, 3, "62.2 %"},
        {12.0, 2, "12 %"},
        {9.5, 2, "9.5 %"},
        {7.0, 1, "7 %"},
        {0.3, 2, "0.3 %"},
        {0.0, 1, "0 %"},
        {90.7, 3, "90.7 %"},
        {28.999999999999996, 3, "29. %"},
        {56.99999999999999, 3, "57. %"},
        {57.99999999999999, 3, "58. %"},
        {6.8999999999999995, 2, "6.9 %"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResultText(c.percentage, c.digits), c.text) << c.percentage;
    }
}

// Every risk a tenth of a percent apart shows its tenths only when they are not zero,
// except the three products that fall just below a whole number in double arithmetic.
TEST(ResultText, EveryTenthOfAPercent) {
    for (int k = 0; k < 1000; ++k) {
        const double p = k / 1000.0;
        const bool justBelowWhole = k == 290 || k == 570 || k == 580;
        int plainDigits = k % 10 != 0 || justBelowWhole ? 3 : 2;
        if (k < 100) --plainDigits;
        EXPECT_EQ(DigitCount(p), plainDigits) << k;

        std::string expected = std::to_string(k / 10);
        if (justBelowWhole) {
            expected += ".";
        } else if (k % 10 != 0) {
            expected += '.';
            expected += static_cast<char>('0' + k % 10);
        }
        expected += " %";
        const std::string text = ResultText(Percentage(p), DigitCount(p));
        EXPECT_EQ(text, expected) << k;
        EXPECT_EQ(BarPosition(text.c_str()), k / 10) << k;
    }
}

TEST(FormatSignificant, ClassicRuntimeLayout) {
    struct Case {
        double value;
        int digits;
        const char* text;
    };
    const Case cases[] = {
        {0.05, 1, "5.e-002"},
        {0.049, 2, "4.9e-002"},
        {123.0, 3, "123"},
        {99.96, 3, "100"},
        {0.25, 1, "0.3"},
        {0.5, 1, "0.5"},
        {100.0, 2, "1.e+002"},
        {0.001, 2, "1.e-003"},
        {-2.5, 2, "-2.5"},
        {1e20, 3, "1.e+020"},
        {1.5e-7, 2, "1.5e-007"},
        // Not numbers: written as words, never parsed as if they had an exponent.
        {HUGE_VAL, 3, "inf"},
        {-HUGE_VAL, 2, "-inf"},
        {std::nan(""), 1, "nan"},
    };
    for (const Case& c : cases) {
        char buffer[32];
        FormatSignificant(c.value, c.digits, buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.text) << c.value;
    }
}

// The bar's position is the result's number read as the form reads numbers, truncated:
// the quick reading of result texts must agree with the general one on any text.
TEST(BarPosition, AgreesWithTheNumberGrammar) {
    const char* const texts[] = {"10.3 %", "29. %", "0 %",   "90.7 %",    "7 %",         "",
                                 "ERREUR", " 12 %", "1e1 %", "+5 %",      "-3.5 %",      "12",
                                 "9.99 %", "12.%",  ".5 %",  "1234567 %", "99.9999999 %"};
    for (const char* text : texts) {
        EXPECT_EQ(BarPosition(text), static_cast<int>(ParseNumber(text))) << '"' << text << '"';
    }
}

TEST(FormatResultText, TextTooLongForTheBufferIsLeftEmpty) {
    char text[7] = "xxxxxx";
    EXPECT_EQ(FormatResultText(100.0, 2, text, sizeof text), 0u);  // "1.e+002 %"
    EXPECT_STREQ(text, "");
    EXPECT_EQ(FormatResultText(90.7, 3, text, sizeof text), 6u);
    EXPECT_STREQ(text, "90.7 %");
}

}  // namespace
}  // namespace vessane
