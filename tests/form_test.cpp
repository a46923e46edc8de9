// Recomputation from the form's controls: what the result field and the bar show.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "control_ids.h"
#include "coronary_form.h"
#include "form_entries.h"
#include "form_fields.h"
#include "memory_form.h"
#include "on_calcul.h"
#include "validation.h"

namespace vessane {
namespace {

struct Edit {
    int id;
    const char* text;
};

// A window just opened, then the edits typed one after the other.
MemoryForm FormAfter(const std::vector<Edit>& edits, int unit = 1) {
    MemoryForm form(true);
    form.Initialise();
    form.SetCurSel(IDC_UNIT, unit);
    for (const Edit& e : edits) form.SetDlgItemText(e.id, e.text);
    return form;
}

TEST(OnCalcul, OpensOnTheDefaultResult) {
    MemoryForm form(true);
    form.Initialise();
    EXPECT_EQ(form.Text(IDC_RESULT), "10.3 %");
    EXPECT_EQ(form.BarPos(), 10);
    EXPECT_EQ(form.RecomputeCount(), 6);  // one per default text of an input field
    EXPECT_EQ(form.Text(IDC_TOTAL_RANGE), "[0.78-4.68]");
    EXPECT_EQ(form.Text(IDC_HDL_RANGE), "[0.12-1.95]");
}

TEST(OnCalcul, SelectorsAndCheckBoxesOnTheDefaultForm) {
    struct Case {
        const char* name;
        int control;
        int value;
        const char* text;
        int bar;
    };
    const Case cases[] = {
        {"smoker", IDC_SMOKER, 1, "16.2 %", 16},
        {"diabetes", IDC_DIABETES, 1, "13.9 %", 13},
        {"LVH", IDC_LVH, 1, "27.1 %", 27},
        {"woman", IDC_SEX, 0, "6.9 %", 6},
        {"no sex selected is never computed as either", IDC_SEX, -1, "ERREUR", 10},
    };
    for (const Case& c : cases) {
        MemoryForm form = FormAfter({});
        if (c.control == IDC_SEX) {
            form.SetCurSel(IDC_SEX, c.value);
        } else {
            form.SetCheck(c.control, c.value);
        }
        OnCalcul(form);
        EXPECT_EQ(form.Text(IDC_RESULT), c.text) << c.name;
        EXPECT_EQ(form.BarPos(), c.bar) << c.name;
    }
}

TEST(OnCalcul, FieldTexts) {
    struct Case {
        const char* name;
        std::vector<Edit> edits;
        int unit;
        const char* text;
    };
    const char* const error = "ERREUR";
    const Case cases[] = {
        {"only six characters are read", {{IDC_TOTAL_CHOL, "2.300001"}}, 1, "10.3 %"},
        {"seventh digit of a long age is lost", {{IDC_AGE, "0000050"}}, 1, error},
        {"decimal comma reads as a point", {{IDC_TOTAL_CHOL, "2,30"}}, 1, "10.3 %"},
        {"decimal comma in mmol/L", {{IDC_TOTAL_CHOL, "5,93"}, {IDC_HDL_CHOL, "1,29"}}, 0, "10.3 %"},
        {"same as 2 g/L", {{IDC_TOTAL_CHOL, "2"}}, 1, "8.6 %"},
        {"exponent", {{IDC_AGE, "5e1"}}, 1, "10.3 %"},
        {"leading spaces", {{IDC_AGE, "  50"}}, 1, "10.3 %"},
        {"empty years", {{IDC_YEARS, ""}}, 1, error},
        {"age 30", {{IDC_AGE, "30"}}, 1, "2 %"},
        {"age 29", {{IDC_AGE, "29"}}, 1, error},
        {"age 74", {{IDC_AGE, "74"}}, 1, "24.7 %"},
        {"age 75", {{IDC_AGE, "75"}}, 1, error},
        {"years 2", {{IDC_YEARS, "2"}}, 1, "1.5 %"},
        {"years 1", {{IDC_YEARS, "1"}}, 1, error},
        {"years 11", {{IDC_YEARS, "11"}}, 1, error},
        {"systolic 250", {{IDC_SYSTOLIC, "250"}}, 1, "21.2 %"},
        {"systolic 251", {{IDC_SYSTOLIC, "251"}}, 1, error},
        {"systolic 80", {{IDC_DIASTOLIC, "70"}, {IDC_SYSTOLIC, "80"}}, 1, "6.1 %"},
        {"systolic 79", {{IDC_DIASTOLIC, "60"}, {IDC_SYSTOLIC, "79"}}, 1, error},
        {"diastolic 30", {{IDC_DIASTOLIC, "30"}}, 1, "10.3 %"},
        {"diastolic 29", {{IDC_DIASTOLIC, "29"}}, 1, error},
        {"diastolic 160", {{IDC_SYSTOLIC, "170"}, {IDC_DIASTOLIC, "160"}}, 1, "20.6 %"},
        {"diastolic 161", {{IDC_SYSTOLIC, "180"}, {IDC_DIASTOLIC, "161"}}, 1, error},
        {"pressures 150/140", {{IDC_DIASTOLIC, "140"}}, 1, "17.5 %"},
        {"pressures 150/141", {{IDC_DIASTOLIC, "141"}}, 1, error},
        {"total 0.78 g/L", {{IDC_HDL_CHOL, "0.12"}, {IDC_TOTAL_CHOL, "0.78"}}, 1, "15.5 %"},
        {"total 0.77 g/L", {{IDC_HDL_CHOL, "0.12"}, {IDC_TOTAL_CHOL, "0.77"}}, 1, error},
        {"total 4.65 g/L", {{IDC_TOTAL_CHOL, "4.65"}}, 1, "22.3 %"},
        {"total 4.66 g/L, under its label's bound", {{IDC_TOTAL_CHOL, "4.66"}}, 1, error},
        {"HDL 0.12 g/L", {{IDC_HDL_CHOL, "0.12"}}, 1, "39 %"},
        {"HDL 0.11 g/L", {{IDC_HDL_CHOL, "0.11"}}, 1, error},
        {"HDL 1.93 g/L", {{IDC_HDL_CHOL, "1.93"}}, 1, "1.1 %"},
        {"HDL 1.94 g/L, under its label's bound", {{IDC_HDL_CHOL, "1.94"}}, 1, error},
        {"mmol/L total 5.00, HDL 4.51",
         {{IDC_TOTAL_CHOL, "5.00"}, {IDC_HDL_CHOL, "4.51"}},
         0,
         "1 %"},
        {"mmol/L total 5.00, HDL 4.52",
         {{IDC_TOTAL_CHOL, "5.00"}, {IDC_HDL_CHOL, "4.52"}},
         0,
         error},
        {"mmol/L total 12", {{IDC_HDL_CHOL, "1"}, {IDC_TOTAL_CHOL, "12"}}, 0, "27.8 %"},
        {"mmol/L total 12.01", {{IDC_HDL_CHOL, "1"}, {IDC_TOTAL_CHOL, "12.01"}}, 0, error},
        {"no unit selected: no conversion",
         {{IDC_TOTAL_CHOL, "6"}, {IDC_HDL_CHOL, "1.5"}},
         -1,
         "8.6 %"},
        {"infinite age", {{IDC_AGE, "1e999"}}, 1, error},
        {"negative age", {{IDC_AGE, "-50"}}, 1, error},
        {"hexadecimal age reads 0", {{IDC_AGE, "0x32"}}, 1, error},
        {"the highest risk",
         {{IDC_SYSTOLIC, "250"},
          {IDC_DIASTOLIC, "160"},
          {IDC_AGE, "74"},
          {IDC_TOTAL_CHOL, "12"},
          {IDC_HDL_CHOL, "0.3"}},
         0,
         "80.9 %"},
    };
    for (const Case& c : cases) {
        const MemoryForm form = FormAfter(c.edits, c.unit);
        MemoryForm recomputed = form;
        OnCalcul(recomputed);
        EXPECT_EQ(recomputed.Text(IDC_RESULT), c.text) << c.name;
    }
}

TEST(OnCalcul, ErrorKeepsTheBarAndACorrectionRestoresTheResult) {
    MemoryForm form = FormAfter({{IDC_SMOKER, ""}});
    form.SetCheck(IDC_SMOKER, 1);
    OnCalcul(form);
    ASSERT_EQ(form.BarPos(), 16);
    form.SetDlgItemText(IDC_AGE, "5");
    EXPECT_EQ(form.Text(IDC_RESULT), "ERREUR");
    EXPECT_EQ(form.BarPos(), 16);
    form.SetDlgItemText(IDC_AGE, "50");
    EXPECT_EQ(form.Text(IDC_RESULT), "16.2 %");
}

TEST(OnCalcul, ResultTextChangesRouteNowhere) {
    MemoryForm form = FormAfter({});
    const int before = form.RecomputeCount();
    form.SetDlgItemText(IDC_RESULT, "99 %");
    EXPECT_EQ(form.RecomputeCount(), before);
    EXPECT_EQ(form.Text(IDC_RESULT), "99 %");
}

// Asked about a control it does not have, the in-memory form answers as a window does
// (no selection, unchecked) and keeps its own controls untouched.
TEST(MemoryForm, ControlsItDoesNotHave) {
    MemoryForm form = FormAfter({});
    form.SetCheck(IDC_SMOKER, 1);
    for (int id : {IDC_AGE, IDC_RESULT, IDC_CALCUL, 4242}) {
        form.SetCurSel(id, 1);
        form.SetCheck(id, 1);
        form.SetBarPos(id, 77);
        EXPECT_EQ(form.GetCurSel(id), -1) << id;
        EXPECT_EQ(form.GetCheck(id), 0) << id;
    }
    EXPECT_EQ(form.GetCurSel(IDC_SEX), 1);
    EXPECT_EQ(form.GetCheck(IDC_SMOKER), 1);
    EXPECT_EQ(form.BarPos(), 10);
    EXPECT_EQ(form.Text(IDC_AGE), "50");
}

TEST(ValidateInputs, ChecksInOrderAndRejectsNotANumber) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    RiskState valid{};
    valid.age = 50;
    valid.systolic = 150;
    valid.diastolic = 90;
    valid.totalChol = 5.0;
    valid.hdlChol = 1.29;
    valid.years = 10;
    ASSERT_EQ(ValidateInputs(valid), ValidationCheck::kNone);

    struct Case {
        double RiskState::*field;
        double value;
        ValidationCheck failed;
    };
    const Case cases[] = {
        {&RiskState::age, nan, ValidationCheck::kAge},
        {&RiskState::systolic, nan, ValidationCheck::kSystolic},
        {&RiskState::diastolic, nan, ValidationCheck::kDiastolic},
        {&RiskState::totalChol, nan, ValidationCheck::kTotalChol},
        {&RiskState::hdlChol, nan, ValidationCheck::kHdlChol},
        {&RiskState::years, nan, ValidationCheck::kYears},
        {&RiskState::age, std::numeric_limits<double>::infinity(), ValidationCheck::kAge},
        {&RiskState::diastolic, 140.2, ValidationCheck::kPulsePressure},
        {&RiskState::hdlChol, 4.52, ValidationCheck::kCholesterolMargin},
        {&RiskState::hdlChol, 4.51, ValidationCheck::kNone},
        {&RiskState::diastolic, 140, ValidationCheck::kNone},
        {&RiskState::age, 0, ValidationCheck::kAge},
    };
    for (const Case& c : cases) {
        RiskState s = valid;
        s.*(c.field) = c.value;
        EXPECT_EQ(ValidateInputs(s), c.failed) << c.value;
        EXPECT_EQ(DescribeFailure(c.failed)[0] == '\0', c.failed == ValidationCheck::kNone);
    }
    // The first failing check wins.
    RiskState both = valid;
    both.years = 0;
    both.age = 0;
    EXPECT_EQ(ValidateInputs(both), ValidationCheck::kAge);
}

// Forms given as data: numbers taken as they are, texts through the window's reading,
// both agreeing with the window for the same form.
TEST(FormData, NumbersAndTextsGiveTheWindowsResult) {
    const struct {
        FormValues values;
        const char* texts[6];  // age, systolic, diastolic, total, hdl, years
        int sex, unit, smoker, diabetes, lvh;
        const char* shown;  // "" for ERREUR
    } cases[] = {
        {{50, 150, 90, 2.3, 0.5, 10, 1, 1, 0, 0, 0},
         {"50", "150", "90", "2.30", "0.50", "10"}, 1, 1, 0, 0, 0, "10.3 %"},
        {{50, 150, 90, 5.934, 1.29, 10, 0, 0, 1, 0, 0},
         {"50", "150", "90", "5.934", "1.29", "10"}, 0, 0, 1, 0, 0, "11.5 %"},
        {{59, 152, 90, 6, 1, 10, 1, 0, 1, 0, 0},
         {"59", "152", "90", "6.0", "1.0", "10"}, 1, 0, 1, 0, 0, "29. %"},
        {{4.66, 1, 1, 4.66, 0.5, 10, 1, 1, 0, 0, 0},  // 4.66 g/L is above 12 mmol/L
         {"4.66", "1", "1", "4.66", "0.50", "10"}, 1, 1, 0, 0, 0, ""},
        {{std::nan(""), 150, 90, 2.3, 0.5, 10, 1, 1, 0, 0, 0},
         {"", "150", "90", "2.30", "0.50", "10"}, 1, 1, 0, 0, 0, ""},
    };
    for (const auto& c : cases) {
        RiskState byValues{}, byFields{};
        const ValidationCheck valuesCheck = EvaluateValues(c.values, byValues);
        FormEntries entries;
        const int textColumns[] = {kColumnAge,   kColumnSystolic, kColumnDiastolic,
                                   kColumnTotal, kColumnHdl,      kColumnYears};
        for (int i = 0; i < 6; ++i) entries[textColumns[i]] = FieldEntry::Text(c.texts[i]);
        entries[kColumnSex] = FieldEntry::Number(c.sex);
        entries[kColumnUnit] = FieldEntry::Number(c.unit);
        entries[kColumnSmoker] = FieldEntry::Number(c.smoker);
        entries[kColumnDiabetes] = FieldEntry::Number(c.diabetes);
        entries[kColumnLvh] = FieldEntry::Number(c.lvh);
        std::string reason;
        const ValidationCheck fieldsCheck = EvaluateEntries(entries, byFields, reason).failed;
        EXPECT_EQ(valuesCheck == ValidationCheck::kNone, *c.shown != '\0') << c.shown;
        EXPECT_EQ(fieldsCheck == ValidationCheck::kNone, *c.shown != '\0') << c.shown;
        if (*c.shown == '\0') continue;
        EXPECT_STREQ(byValues.text, c.shown);
        EXPECT_STREQ(byFields.text, c.shown);
        EXPECT_EQ(byValues.pSys, byFields.pSys);
        EXPECT_EQ(byValues.pDia, byFields.pDia);
    }
}

}  // namespace
}  // namespace vessane
