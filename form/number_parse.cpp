#include "number_parse.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "char_conv.h"

namespace vessane {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
// A French user types a decimal comma: it reads exactly as a decimal point.
bool IsDecimalSeparator(char c) {
    return c == '.' || c == ',';
}

// Decimal exponent of the leading significant digit of a number ("123.4" is 2,
// "0.0012" is -3), given its digits with an optional point and its explicit exponent.
// Tells overflow from underflow when from_chars reports a value out of range.
long LeadingExponent(std::string_view mantissa, long exponent) {
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::size_t firstNonZero = whole.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos) {
        return exponent + static_cast<long>(whole.size() - firstNonZero) - 1;
    }
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
    const std::size_t zeros = fraction.find_first_not_of('0');
    return exponent - static_cast<long>(zeros) - 1;
}

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;
constexpr std::uint64_t kMaxExactInteger = std::uint64_t{1} << 53;

// The digits of a number as an integer, counted as they are read.
struct Significand {
    std::uint64_t value = 0;
    int digits = 0;           // significant digits (leading zeros left out)
    long fractionDigits = 0;  // digits after the point
    void Take(char c) {
        if (digits == 0 && c == '0') return;
        if (++digits <= 19) value = value * 10 + static_cast<unsigned>(c - '0');
    }
};

// significand times 10^exponent when one rounding gives it: the integer and the power
// of ten are both exact doubles, so the single product or quotient is the correctly
// rounded value that from_chars would return (Clinger's fast path). Returns false when
// the text needs the general conversion.
bool FastMagnitude(const Significand& s, long exponent, double& magnitude) {
    if (s.value == 0 && s.digits == 0) {
        magnitude = 0.0;
        return true;
    }
    const long scale = exponent - s.fractionDigits;
    if (s.digits > 19 || s.value > kMaxExactInteger || scale < -kMaxExactPower ||
        scale > kMaxExactPower) {
        return false;
    }
    const double value = static_cast<double>(s.value);
    magnitude = scale < 0 ? value / kExactPowersOfTen[-scale] : value * kExactPowersOfTen[scale];
    return true;
}

}  // namespace

ParsedNumber ParseNumberPrefix(std::string_view text) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;

    // What the fields usually hold, "150" or "2.30": at most 15 digits (an exact double)
    // and one point, no sign, no exponent. One exact division at most: the correctly
    // rounded value, as the general path below would find it.
    {
        std::uint64_t digits = 0;
        const char* point = nullptr;
        for (; p < end; ++p) {
            const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
            if (digit < 10) {
                digits = digits * 10 + digit;
            } else if (IsDecimalSeparator(*p) && point == nullptr) {
                point = p;
            } else {
                break;
            }
        }
        // Counted once at the end rather than at every digit.
        const std::ptrdiff_t count = (p - begin) - (point != nullptr);
        const std::ptrdiff_t decimals = point != nullptr ? p - point - 1 : 0;
        if (count > 0 && count <= 15 && (p == end || (*p != 'e' && *p != 'E'))) {
            const double value = static_cast<double>(digits);
            return {decimals > 0 ? value / kExactPowersOfTen[decimals] : value,
                    static_cast<std::size_t>(p - begin)};
        }
        p = begin;
    }
    while (p < end && IsSpace(*p)) ++p;

    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }

    const char* const mantissaBegin = p;
    Significand significand;
    std::size_t digitCount = 0;
    for (; p < end && IsDigit(*p); ++p, ++digitCount) significand.Take(*p);
    const char* comma = nullptr;
    if (p < end && IsDecimalSeparator(*p)) {
        if (*p == ',') comma = p;
        const char* const fraction = ++p;
        for (; p < end && IsDigit(*p); ++p, ++digitCount) significand.Take(*p);
        significand.fractionDigits = p - fraction;
    }
    if (digitCount == 0) return {0.0, 0};
    const char* const mantissaEnd = p;

    // An exponent counts only when at least one digit follows its marker and sign.
    long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (q < end && (*q == '+' || *q == '-')) {
            negativeExponent = *q == '-';
            ++q;
        }
        if (q < end && IsDigit(*q)) {
            constexpr long kCap = 100000;  // far beyond any double; keeps the sum in range
            while (q < end && IsDigit(*q)) {
                if (exponent < kCap) exponent = exponent * 10 + (*q - '0');
                ++q;
            }
            if (negativeExponent) exponent = -exponent;
            p = q;
        }
    }

    double magnitude = 0.0;
    if (FastMagnitude(significand, exponent, magnitude)) {
        return {negative ? -magnitude : magnitude, static_cast<std::size_t>(p - begin)};
    }
    // The general conversion knows only the point: a comma is handed over as one.
    std::string withPoint;
    const char* numberBegin = mantissaBegin;
    const char* numberEnd = p;
    if (comma != nullptr) {
        withPoint.assign(mantissaBegin, p);
        withPoint[static_cast<std::size_t>(comma - mantissaBegin)] = '.';
        numberBegin = withPoint.data();
        numberEnd = numberBegin + withPoint.size();
    }
    const auto result = FromChars(numberBegin, numberEnd, magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        const std::string_view mantissa(numberBegin,
                                        static_cast<std::size_t>(mantissaEnd - mantissaBegin));
        magnitude =
            LeadingExponent(mantissa, exponent) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return {negative ? -magnitude : magnitude, static_cast<std::size_t>(p - begin)};
}

}  // namespace vessane
