// Floating-point conversions between doubles and decimal text for the core. Where the
// C++ library has std::to_chars and std::from_chars for doubles, ToChars and FromChars are
// those; elsewhere (emscripten's library) they are the C library's printf and strtod, which
// are exact too, with the text made independent of the process locale. Both paths are
// compiled on every platform (one file for each direction, so that a program links only
// the one it uses) and the tests compare them; defining VESSANE_PORTABLE_CHARCONV picks
// the C library's path everywhere, and the tests run the whole core that way too.
#pragma once

#include <charconv>
#include <system_error>

namespace vessane {

// std::to_chars(first, last, value, format, precision) for the fixed and scientific
// formats, through the C library's printf; any other format gives errc::invalid_argument.
std::to_chars_result PrintfToChars(char* first, char* last, double value, std::chars_format format,
                                   int precision);

// std::from_chars(first, last, value) in the general format for an unsigned decimal text
// (digits, an optional point and fraction, an optional exponent), through the C library's
// strtod. A value that rounds to zero or to infinity is errc::result_out_of_range and
// leaves value untouched, as std::from_chars does.
std::from_chars_result StrtodFromChars(const char* first, const char* last, double& value);

inline std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                                    int precision) {
#if defined(__cpp_lib_to_chars) && !defined(VESSANE_PORTABLE_CHARCONV)
    return std::to_chars(first, last, value, format, precision);
#else
    return PrintfToChars(first, last, value, format, precision);
#endif
}

inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
#if defined(__cpp_lib_to_chars) && !defined(VESSANE_PORTABLE_CHARCONV)
    return std::from_chars(first, last, value, std::chars_format::general);
#else
    return StrtodFromChars(first, last, value);
#endif
}

}  // namespace vessane
