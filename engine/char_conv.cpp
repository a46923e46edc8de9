#include "char_conv.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vessane {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int Print(char* buffer, std::size_t size, const char* pattern, int precision, double value) {
#if defined(__MINGW32__)
    // MinGW-w64's own printf is exact (gdtoa); the Windows runtime's is not.
    return __mingw_snprintf(buffer, size, pattern, precision, value);
#else
    return std::snprintf(buffer, size, pattern, precision, value);
#endif
}

// printf writes the locale's decimal point (a comma in French, several bytes in some
// locales); the core's texts always have a point. Returns the new length.
std::size_t UseDecimalPoint(char* text, std::size_t length) {
    std::size_t point = text[0] == '-' ? 1 : 0;
    while (point < length && IsDigit(text[point])) ++point;
    if (point == length || text[point] == 'e') return length;
    std::size_t next = point;
    while (next < length && !IsDigit(text[next])) ++next;
    text[point] = '.';
    std::memmove(text + point + 1, text + next, length - next);
    return length - (next - point - 1);
}

}  // namespace

std::to_chars_result PrintfToChars(char* first, char* last, double value, std::chars_format format,
                                   int precision) {
    const std::size_t room = static_cast<std::size_t>(last - first);
    const auto copy = [&](const char* text, std::size_t length) -> std::to_chars_result {
        if (length > room) return {last, std::errc::value_too_large};
        std::memcpy(first, text, length);
        return {first + length, std::errc{}};
    };
    if (!std::isfinite(value)) {
        // printf's spelling of these is not to_chars's.
        const char* text = std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan")
                                             : (value < 0 ? "-inf" : "inf");
        return copy(text, std::strlen(text));
    }
    const char* pattern;
    if (format == std::chars_format::fixed) {
        pattern = "%.*f";
    } else if (format == std::chars_format::scientific) {
        pattern = "%.*e";
    } else {
        return {first, std::errc::invalid_argument};
    }
    const int length = Print(nullptr, 0, pattern, precision, value);
    if (length < 0) return {first, std::errc::invalid_argument};
    // printf also writes a NUL, which to_chars never does, and its decimal point may
    // need rewriting: the text goes through a buffer of ours.
    char small[128];
    std::string large;
    char* text = small;
    if (static_cast<std::size_t>(length) >= sizeof small) {
        large.resize(static_cast<std::size_t>(length) + 1);
        text = large.data();
    }
    Print(text, static_cast<std::size_t>(length) + 1, pattern, precision, value);
    return copy(text, UseDecimalPoint(text, static_cast<std::size_t>(length)));
}

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
