// vessane.exe replaces the library's std::to_chars with PrintfToChars to stay small;
// here the two must agree on every double, in both formats, at every precision used.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "printf_to_chars.h"

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
    for (int i = 0; i < 100000; ++i) {
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

}  // namespace
