// The number grammar of the form fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "number_parse.h"

namespace vessane {
namespace {

TEST(ParseNumber, ClassicGrammar) {
    struct Case {
        const char* text;
        double value;
        std::size_t consumed;
    };
    const Case cases[] = {
        {"50", 50, 2},
        {"  \t\n\v\f\r42", 42, 9},
        {"+7", 7, 2},
        {"-7", -7, 2},
        {"2.30", 2.30, 4},
        {".5", 0.5, 2},
        {"5.", 5, 2},
        {"1e1", 10, 3},
        {"1E+2", 100, 4},
        {"25e-1", 2.5, 5},
        {"1e", 1, 1},  // exponent marker without digits is not part of the number
        {"1e+", 1, 1},
        {"1.5e-x", 1.5, 3},
        {"2,30", 2.30, 4},  // a decimal comma reads as a point
        {",5", 0.5, 2},
        {"2,3,4", 2.3, 3},
        {"2.3,4", 2.3, 3},
        {"1e3,5", 1000, 3},
        {"-1,5e1", -15, 6},
        {"12345678901234567,5", 12345678901234567.5, 19},  // the general conversion
        {",", 0, 0},
        {"10 %", 10, 2},
        {"12abc", 12, 2},
        {"", 0, 0},
        {"   ", 0, 0},
        {"abc", 0, 0},
        {".", 0, 0},
        {"+", 0, 0},
        {"-.", 0, 0},
        {"+-1", 0, 0},
        {"inf", 0, 0},
        {"-INFINITY", 0, 0},
        {"nan", 0, 0},
        {"NAN(123)", 0, 0},
        {"0x1A", 0, 1},  // hexadecimal is not a number: only the 0 is read
        {"0X10p2", 0, 1},
        {"1.2.3", 1.2, 3},
        {"007", 7, 3},
        {"\xc2\xa0"
         "5",
         0, 0},  // a no-break space is not white space in the C locale
    };
    for (const Case& c : cases) {
        const ParsedNumber parsed = ParseNumberPrefix(c.text);
        EXPECT_EQ(parsed.value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(parsed.consumed, c.consumed) << '"' << c.text << '"';
    }
}

TEST(ParseNumber, OutOfRangeSaturatesLikeStrtod) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"1e999", inf},          {"-1e999", -inf},  {"1e-999", 0.0},
        {"0.0001e-330", 0.0},    {"1000e306", inf}, {"1e99999999999999999999", inf},
        {"123456789e-400", 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
    }
    EXPECT_TRUE(std::signbit(ParseNumber("-1e-999")));
}

TEST(ParseNumber, StopsAtEmbeddedNul) {
    const std::string text(
        "12\0"
        "34",
        5);
    EXPECT_EQ(ParseNumber(text), 12);
}

TEST(ParseNumber, IsExactlyRounded) {
    EXPECT_EQ(ParseNumber("0.1"), 0.1);
    EXPECT_EQ(ParseNumber("2.58"), 2.58);
    EXPECT_EQ(ParseNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
    EXPECT_EQ(ParseNumber("4.9e-324"), std::numeric_limits<double>::denorm_min());
}

// Short texts take a shortcut (one exact multiplication or division); it must give the
// very bits of the general conversion, on both sides of every limit of the shortcut.
TEST(ParseNumber, ShortcutAgreesWithTheGeneralConversion) {
    std::vector<std::string> texts = {
        "9007199254740992",
        "9007199254740993",
        "9007199254740991.5",
        "18014398509481985",
        "1e22",
        "1e23",
        "9e22",
        "123456789e-22",
        "1e-22",
        "1e-23",
        "0.1e-21",
        "4.35",
        "0.000001",
        "0.0000000000000000000000001",
        "1234567890123456789",
        "12345678901234567890",
        "00000000000000000000001.5",
        "7.38",
        "2.58e0",
        "100000000000000000000000",
        "3.0000000000000000001",
        "0.3e1",
        "5.e-1",
    };
    // Every text of at most six characters that the fields could hold, by construction.
    std::uint64_t state = 88172645463325252ULL;
    const char alphabet[] = "0123456789.e-";
    for (int i = 0; i < 200000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::string text;
        for (int n = 1 + static_cast<int>(state % 6), j = 0; j < n; ++j) {
            text += alphabet[(state >> (8 + 4 * j)) % (sizeof alphabet - 1)];
        }
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        const ParsedNumber parsed = ParseNumberPrefix(text);
        // The same text typed with decimal commas reads to the same bits.
        std::string withCommas = text;
        std::replace(withCommas.begin(), withCommas.end(), '.', ',');
        const ParsedNumber commaParsed = ParseNumberPrefix(withCommas);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(commaParsed.value),
                  std::bit_cast<std::uint64_t>(parsed.value))
            << withCommas;
        EXPECT_EQ(commaParsed.consumed, parsed.consumed) << withCommas;
        if (parsed.consumed == 0) continue;
        const char* const begin = text.data() + (text[0] == '-' ? 1 : 0);
        double expected = 0;
        const auto result = std::from_chars(begin, text.data() + parsed.consumed, expected);
        if (result.ec == std::errc::result_out_of_range) continue;  // saturation, tested above
        if (text[0] == '-') expected = -expected;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(parsed.value),
                  std::bit_cast<std::uint64_t>(expected))
            << text;
    }
}

}  // namespace
}  // namespace vessane

namespace vessane {
namespace {

// Under a French locale the C library reads "2.30" as 2 and writes 2,30; the form must not.
TEST(ParseNumber, IgnoresTheProcessLocale) {
    const char* const previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "fr_FR.UTF-8")) GTEST_SKIP() << "fr_FR.UTF-8 is not installed";
    char written[16];
    std::snprintf(written, sizeof written, "%.2f", 2.30);
    EXPECT_STREQ(written, "2,30");  // the locale is really in force
    EXPECT_EQ(ParseNumber("2.30"), 2.30);
    EXPECT_EQ(ParseNumber("2,30"), 2.30);
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace vessane
