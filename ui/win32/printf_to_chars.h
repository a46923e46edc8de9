// Shortest-path floating-point formatting through MinGW-w64's own printf, which is
// exact (gdtoa) and rounds exact ties to even just as std::to_chars does.
#pragma once

#include <charconv>

namespace vessane {

// std::to_chars(first, last, value, format, precision) for the fixed and scientific
// formats; any other format gives errc::invalid_argument.
std::to_chars_result PrintfToChars(char* first, char* last, double value, std::chars_format format,
                                   int precision);

}  // namespace vessane
