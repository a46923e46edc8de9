// The core's own conversions (PrintfToChars, StrtodFromChars) stand in for the library's
// where it lacks them (the web build), and vessane.exe uses PrintfToChars to stay small:
// here they must agree with std::to_chars and std::from_chars on every double, in every
// format and precision used, in whatever locale the tests run.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "char_conv.h"

namespace {

std::string Library(double value, std::chars_format format, int precision) {
    char buffer[1200];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}

std::string Printf(double value, std::chars_format format, int precision) {
    char buffer[1200];
    const auto result =
        vessane::PrintfToChars(buffer, buffer + sizeof buffer, value, format, precision);
    EXPECT_EQ(result.ec, std::errc{});
    return std::string(buffer, result.ptr);
}

constexpr std::chars_format kFormats[] = {std::chars_format::fixed, std::chars_format::scientific};

TEST(PrintfToChars, AgreesOnRandomBitPatterns) {
    std::mt19937_64 random(20260101);
    for (int i = 0; i < 300000; ++i) {
        double value;
        const std::uint64_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        const int precision = static_cast<int>(random() % 20);
        // Fixed notation of huge values is long: keep to the magnitudes the program sees.
        const auto format = std::fabs(value) < 1e20 ? kFormats[i % 2] : kFormats[1];
        ASSERT_EQ(Printf(value, format, precision), Library(value, format, precision))
            << std::hexfloat << value << " precision " << precision;
    }
}

TEST(PrintfToChars, AgreesOnExactTiesAndEdgeValues) {
    const double values[] = {0.5,
                             1.5,
                             2.5,
                             0.125,
                             0.375,
                             1.005,
                             2.675,
                             0.045,
                             10.25,
                             16.25,
                             99.95,
                             0.0,
                             -0.0,
                             -2.5,
                             1e-300,
                             5e-324,
                             std::numeric_limits<double>::max()};
    for (double value : values) {
        for (auto format : kFormats) {
            for (int precision : {0, 1, 2, 3, 17, 800}) {
                if (format == std::chars_format::fixed && std::fabs(value) > 1e20) continue;
                EXPECT_EQ(Printf(value, format, precision), Library(value, format, precision))
                    << value << " precision " << precision;
            }
        }
    }
}

TEST(PrintfToChars, SpellsNonFiniteValuesAsTheLibraryDoes) {
    for (double value :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()}) {
        for (auto format : kFormats) EXPECT_EQ(Printf(value, format, 2), Library(value, format, 2));
    }
}

TEST(PrintfToChars, ReportsATooSmallBufferAndFillsAnExactOne) {
    char buffer[4];
    auto result = vessane::PrintfToChars(buffer, buffer + 3, 12.5, std::chars_format::fixed, 1);
    EXPECT_EQ(result.ec, std::errc::value_too_large);
    EXPECT_EQ(result.ptr, buffer + 3);
    result = vessane::PrintfToChars(buffer, buffer + 4, 12.5, std::chars_format::fixed, 1);
    EXPECT_EQ(result.ec, std::errc{});
    EXPECT_EQ(std::string(buffer, result.ptr), "12.5");
}

// Parses text both ways: the same value bits, the same end and the same error.
void ExpectSameParse(const std::string& text) {
    const char* const first = text.data();
    const char* const last = first + text.size();
    double library = -1.0, strtod = -1.0;
    const auto expected = std::from_chars(first, last, library, std::chars_format::general);
    const auto actual = vessane::StrtodFromChars(first, last, strtod);
    ASSERT_EQ(actual.ec, expected.ec) << text;
    ASSERT_EQ(actual.ptr, expected.ptr) << text;
    std::uint64_t a, b;
    std::memcpy(&a, &library, sizeof a);
    std::memcpy(&b, &strtod, sizeof b);
    ASSERT_EQ(b, a) << text;
}

TEST(StrtodFromChars, AgreesOnRandomDecimalTexts) {
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 300000; ++i) {
        std::string text;
        const int digits = 1 + static_cast<int>(random() % 40);
        const int point = static_cast<int>(random() % (digits + 2)) - 1;  // -1: none
        for (int d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        if (random() % 2) text += 'e' + std::to_string(static_cast<int>(random() % 700) - 350);
        ExpectSameParse(text);
    }
}

TEST(StrtodFromChars, AgreesOnDoublesWrittenInFull) {
    // Every double written with its shortest digits and with all of them: the texts
    // that sit nearest to the rounding boundaries.
    std::mt19937_64 random(7);
    for (int i = 0; i < 100000; ++i) {
        double value;
        const std::uint64_t bits = random() >> 1;  // positive
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        ExpectSameParse(Library(value, std::chars_format::scientific, 17));
        char shortest[64];
        ExpectSameParse(std::string(shortest, std::to_chars(shortest, shortest + 64, value).ptr));
    }
}

TEST(StrtodFromChars, AgreesOnTiesAndEdges) {
    std::vector<std::string> texts = {"0",
                                      "000",
                                      "0.0e5",
                                      "1",
                                      "1.",
                                      ".5",
                                      "1e",
                                      "1e+",
                                      "1e-",
                                      "2.5e-3x",
                                      "1E5",
                                      "9007199254740993",
                                      "9007199254740995",
                                      "18014398509481986",
                                      "1.7976931348623157e308",
                                      "1.7976931348623159e308",
                                      "1e309",
                                      "1e-400",
                                      "4.9406564584124654e-324",
                                      "2.4703282292062328e-324",
                                      "2.2250738585072011e-308",
                                      "123456789012345678901234567890",
                                      "0.000000000000000000000000000001e30",
                                      "1e99999999999999999999",
                                      "1e-99999999999999999999",
                                      std::string(2000, '9'),
                                      "0." + std::string(400, '0') + "1",
                                      "."};
    // Exact halves between neighbouring doubles, where the rounding rule alone decides.
    for (double value : {1.0, 0.1, 3.0e-310, 1e300, 123.456}) {
        const long double next = std::nextafter(value, 2 * value + 1);
        const long double half = (static_cast<long double>(value) + next) / 2;
        if (half == value || half == next) continue;  // long double too narrow here
        char buffer[1200];
        const auto end =
            std::to_chars(buffer, buffer + sizeof buffer, half, std::chars_format::scientific, 800);
        texts.emplace_back(buffer, end.ptr);
    }
    for (const auto& text : texts) ExpectSameParse(text);
}

TEST(CharConv, KeepTheirPointInAFrenchLocale) {
    const char* const previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "fr_FR.UTF-8")) GTEST_SKIP() << "fr_FR.UTF-8 is not installed";
    EXPECT_EQ(Printf(2.5, std::chars_format::fixed, 2), "2.50");
    EXPECT_EQ(Printf(-0.125, std::chars_format::scientific, 1), "-1.2e-01");
    double value = 0;
    const std::string text = "2.30e1";
    const auto result = vessane::StrtodFromChars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(result.ptr, text.data() + text.size());
    EXPECT_EQ(value, 23.0);
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
