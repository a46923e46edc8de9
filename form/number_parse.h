// Reading numbers the way the classic C runtime's strtod does in the "C" locale,
// whatever the process locale: leading white space, an optional sign, digits with an
// optional decimal separator, an optional exponent. The separator is a point or a comma
// ("2,30" reads as 2.30): French users type a comma, and reading it as the end of the
// number would silently compute from another value. Reading stops at the first character
// that cannot continue the number; text without a number reads as 0. "inf", "nan"
// and hexadecimal forms are not numbers here ("0x1A" reads as 0).
#pragma once

#include <string_view>

namespace vessane {

struct ParsedNumber {
    double value;
    std::size_t consumed;  // characters that form the number, 0 when there is none
};

ParsedNumber ParseNumberPrefix(std::string_view text);

inline double ParseNumber(std::string_view text) {
    return ParseNumberPrefix(text).value;
}

}  // namespace vessane
