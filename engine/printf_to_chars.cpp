#include "char_conv.h"

#include <cmath>
#include <cstdio>
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

}  // namespace vessane
