// Switching the cholesterol unit: texts converted through single precision, labels
// swapped, the result left alone.
#include <gtest/gtest.h>

#include <string>

#include "coronary_form.h"
#include "memory_form.h"
#include "number_parse.h"
#include "control_ids.h"
#include "unit_switch.h"

namespace vessane {
namespace {

std::string Convert(const std::string& text, int unit) {
    std::string out;
    ConvertCholesterolText(text, unit, out);
    return out;
}

TEST(ConvertCholesterolText, SinglePrecisionPath) {
    struct Case {
        const char* text;
        int unit;
        const char* converted;
    };
    const Case cases[] = {
        {"2.30", 0, "5.93"},
        {"0.50", 0, "1.29"},
        {"5.93", 1, "2.30"},
        {"1.29", 1, "0.50"},
        {"0.25", 0, "0.64"},  // in double throughout it would be 0.65
        {"3.75", 0, "9.68"},  // with a float factor it would be 9.67
        {"6.00", 1, "2.33"},
        {"5.00", 1, "1.94"},
        {"1.94", 0, "5.01"},
        {"4.50", 1, "1.74"},
        {"1.74", 0, "4.49"},
        {"abc", 0, "0.00"},
        {"", 1, "0.00"},
        {"2,30", 0, "5.93"},  // a decimal comma, written back with a point
        {"0.3225", 1, "0.13"},  // an exact half, rounded away from zero
        {"  1e1", 0, "25.80"},
        {"-1", 0, "-2.58"},
        {"2.3000000000001", 0, "5.93"},  // the whole text counts, not only six characters
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Convert(c.text, c.unit), c.converted) << c.text << " to unit " << c.unit;
    }
}

TEST(ConvertCholesterolText, BeyondSinglePrecisionGivesATextTheFormRejects) {
    const char* const huge[] = {"1e39", "-1e39", "1e999", "3.4e38", "3.0000000000000e50"};
    for (const char* text : huge) {
        for (int unit : {0, 1}) {
            const std::string converted = Convert(text, unit);
            const double read = ParseNumber(converted.substr(0, 6));
            EXPECT_FALSE(read >= 0.3 && read <= 12) << text << " became " << converted;
        }
    }
    // 3.4e38 still fits a float in g/L, but not once multiplied by 2.58.
    EXPECT_EQ(Convert("3.4e38", 1).substr(0, 7), "1317829");
    EXPECT_EQ(Convert("3.4e38", 0), "ERREUR");
}

TEST(ConvertCholesterolText, TwoDecimalGramsComeBackUnchanged) {
    for (int hundredths = 0; hundredths <= 99999; ++hundredths) {
        const std::string grams = std::to_string(hundredths / 100) + "." +
                                  std::to_string(hundredths / 10 % 10) +
                                  std::to_string(hundredths % 10);
        ASSERT_EQ(Convert(Convert(grams, 0), 1), grams);
    }
}

MemoryForm OpenWindow() {
    MemoryForm form(true);
    form.Initialise();
    return form;
}

void SelectUnit(MemoryForm& form, CholesterolExchange& exchange, int unit) {
    form.SetCurSel(IDC_UNIT, unit);
    OnSelchangeUnit(form, exchange);
}

TEST(OnSelchangeUnit, ConvertsBothWaysWithoutRecomputing) {
    MemoryForm form = OpenWindow();
    CholesterolExchange exchange;
    const int recomputed = form.RecomputeCount();

    SelectUnit(form, exchange, 0);
    EXPECT_EQ(form.Text(IDC_TOTAL_CHOL), "5.93");
    EXPECT_EQ(form.Text(IDC_HDL_CHOL), "1.29");
    EXPECT_EQ(form.Text(IDC_TOTAL_RANGE), "[2-12]");
    EXPECT_EQ(form.Text(IDC_HDL_RANGE), "[0.3-5]");
    EXPECT_EQ(form.Text(IDC_RESULT), "10.3 %");
    EXPECT_EQ(form.RecomputeCount(), recomputed);

    SelectUnit(form, exchange, 1);
    EXPECT_EQ(form.Text(IDC_TOTAL_CHOL), "2.30");
    EXPECT_EQ(form.Text(IDC_HDL_CHOL), "0.50");
    EXPECT_EQ(form.Text(IDC_TOTAL_RANGE), "[0.78-4.68]");
    EXPECT_EQ(form.Text(IDC_HDL_RANGE), "[0.12-1.95]");
    EXPECT_EQ(form.RecomputeCount(), recomputed);
}

TEST(OnSelchangeUnit, ResultStaysUntilTheNextChange) {
    MemoryForm form = OpenWindow();
    CholesterolExchange exchange;
    SelectUnit(form, exchange, 0);
    form.SetDlgItemText(IDC_TOTAL_CHOL, "6.00");
    form.SetDlgItemText(IDC_HDL_CHOL, "5.00");
    const std::string shown = form.Text(IDC_RESULT);
    ASSERT_NE(shown, "ERREUR");

    SelectUnit(form, exchange, 1);
    EXPECT_EQ(form.Text(IDC_TOTAL_CHOL), "2.33");
    EXPECT_EQ(form.Text(IDC_HDL_CHOL), "1.94");
    EXPECT_EQ(form.Text(IDC_RESULT), shown);

    form.SetDlgItemText(IDC_AGE, "51");  // 1.94 g/L is 5.0052 mmol/L
    EXPECT_EQ(form.Text(IDC_RESULT), "ERREUR");
}

TEST(OnSelchangeUnit, EachReportedChangeConvertsOnceMore) {
    MemoryForm form = OpenWindow();
    CholesterolExchange exchange;
    SelectUnit(form, exchange, 0);
    SelectUnit(form, exchange, 0);  // the same unit reported again converts again
    EXPECT_EQ(form.Text(IDC_TOTAL_CHOL), "15.30");
}

TEST(OnSelchangeUnit, HugeValueLeadsToErrorAtTheNextChange) {
    MemoryForm form = OpenWindow();
    CholesterolExchange exchange;
    form.SetDlgItemText(IDC_TOTAL_CHOL, "3.0000000000000000000000000000000000000000e50");
    const std::string shown = form.Text(IDC_RESULT);  // only "3.0000" is read
    ASSERT_NE(shown, "ERREUR");
    SelectUnit(form, exchange, 0);
    EXPECT_EQ(form.Text(IDC_TOTAL_CHOL), "ERREUR");
    EXPECT_EQ(form.Text(IDC_RESULT), shown);
    form.SetDlgItemText(IDC_AGE, "50");
    EXPECT_EQ(form.Text(IDC_RESULT), "ERREUR");
}

}  // namespace
}  // namespace vessane
