// The shared test cases through the window's own path: the form filled as a user fills
// it, the result field compared with the table's.
#include <gtest/gtest.h>

#include "control_ids.h"
#include "form_fields.h"
#include "memory_form.h"
#include "shared_cases.h"

namespace vessane {
namespace {

TEST(SharedCases, TheWindowShowsTheirResults) {
    const auto cases = testing::SharedCases();
    ASSERT_GE(cases.size(), 10u);
    constexpr int kTextIds[kFormColumnCount] = {0, IDC_AGE, IDC_SYSTOLIC, IDC_DIASTOLIC,
                                                IDC_TOTAL_CHOL, IDC_HDL_CHOL, 0, IDC_YEARS};
    constexpr int kBoxIds[] = {IDC_SMOKER, IDC_DIABETES, IDC_LVH};
    for (const auto& c : cases) {
        ASSERT_EQ(c.fields.size(), std::size_t{kFormColumnCount}) << c.name;
        MemoryForm form(true);
        form.Initialise();
        form.SetCurSel(IDC_SEX, ParseSexSelector(c.fields[kColumnSex]));
        form.SetCurSel(IDC_UNIT, ParseUnitSelector(c.fields[kColumnUnit]));
        for (int k = 0; k < 3; ++k) form.SetCheck(kBoxIds[k], ParseFlag(c.fields[kColumnSmoker + k]));
        for (int column = 0; column < kFormColumnCount; ++column) {
            if (column < 8 && kTextIds[column] != 0) {
                form.SetDlgItemText(kTextIds[column], c.fields[column].c_str());
            }
        }
        EXPECT_EQ(form.Text(IDC_RESULT), c.result) << c.name;
    }
}

}  // namespace
}  // namespace vessane
