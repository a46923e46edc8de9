#include "printf_to_chars.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace vessane {

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
    const int length = __mingw_snprintf(nullptr, 0, pattern, precision, value);
    if (length < 0) return {first, std::errc::invalid_argument};
    // printf also writes a NUL, which to_chars never does: go through a copy when the
    // text alone would fill the caller's buffer.
    if (static_cast<std::size_t>(length) < room) {
        __mingw_snprintf(first, room, pattern, precision, value);
        return {first + length, std::errc{}};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    __mingw_snprintf(text.data(), text.size(), pattern, precision, value);
    return copy(text.data(), static_cast<std::size_t>(length));
}

}  // namespace vessane
