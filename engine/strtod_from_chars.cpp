#include "char_conv.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace vessane {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::from_chars_result StrtodFromChars(const char* first, const char* last, double& value) {
    // Rewritten as digits and an exponent, with no decimal point: the one part of
    // strtod's syntax that depends on the locale.
    std::string text;
    const char* p = first;
    while (p < last && IsDigit(*p)) text += *p++;
    long fractionDigits = 0;
    if (p < last && *p == '.') {
        const char* const fraction = ++p;
        while (p < last && IsDigit(*p)) text += *p++;
        fractionDigits = p - fraction;
    }
    if (text.empty()) return {first, std::errc::invalid_argument};
    const bool nonZero = text.find_first_not_of('0') != std::string::npos;

    // An exponent counts only when at least one digit follows its marker and sign.
    long exponent = 0;
    if (p < last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        const bool negative = q < last && *q == '-';
        if (q < last && (*q == '+' || *q == '-')) ++q;
        if (q < last && IsDigit(*q)) {
            constexpr long kCap = 100000000;  // far beyond any double; keeps the sums in range
            for (; q < last && IsDigit(*q); ++q) {
                if (exponent < kCap) exponent = exponent * 10 + (*q - '0');
            }
            if (negative) exponent = -exponent;
            p = q;
        }
    }
    text += 'e';
    text += std::to_string(exponent - fractionDigits);

    const double result = std::strtod(text.c_str(), nullptr);
    if (std::isinf(result) || (result == 0.0 && nonZero))
        return {p, std::errc::result_out_of_range};
    value = result;
    return {p, std::errc{}};
}

}  // namespace vessane
