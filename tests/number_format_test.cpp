// "%2.2f" as the classic runtime writes it.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "number_format.h"
#include "number_parse.h"

namespace vessane {
namespace {

TEST(FormatFixed2, TwoDecimalsWithAPoint) {
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        {0.0f, "0.00"},
        {5.934f, "5.93"},
        {2.2999999f, "2.30"},
        {1.94f, "1.94"},
        {-0.0f, "-0.00"},
        {-1.5f, "-1.50"},
        {1234.5f, "1234.50"},
        {0.004f, "0.00"},
        {0.125f, "0.13"},
        {0.375f, "0.38"},
        {0.625f, "0.63"},
        {-0.125f, "-0.13"},
        {9.995f, "9.99"},     // the float lies below the half
        {99.995f, "100.00"},  // a float above the half carries into a new digit
        {FLT_MAX, "340282346638528859811704183484516925440.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatFixed2(c.value), c.text) << c.value;
    }
}

TEST(FormatFixed2, ExactHalvesCarryAcrossNines) {
    // 0.995 is not a float; 1048575.875 is, and its last kept digit carries.
    EXPECT_EQ(FormatFixed2(1048575.875f), "1048575.88");
    EXPECT_EQ(FormatFixed2(1048575.625f), "1048575.63");
    EXPECT_EQ(FormatFixed2(999.875f), "999.88");
}

TEST(FormatFixed2, NonFiniteValuesReadAsNoNumber) {
    for (float value : {INFINITY, -INFINITY, NAN}) {
        const std::string text = FormatFixed2(value);
        EXPECT_EQ(ParseNumberPrefix(text).consumed, 0u) << text;
    }
}

}  // namespace
}  // namespace vessane
