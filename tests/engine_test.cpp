#include <gtest/gtest.h>

#include "memory_form.h"
#include "resource.h"

TEST(DefaultForm, ShowsTenPointThree) {
    vessane::MemoryForm form(true);
    form.Initialise();
    EXPECT_EQ(form.Text(IDC_RESULT), "10.3 %");
    EXPECT_EQ(form.BarPos(), 10);
}
