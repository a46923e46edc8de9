// Writing a cholesterol value as the classic runtime's "%2.2f" does, whatever the
// process locale: two decimals, a point, at least two characters, and exact halves
// rounded away from zero.
#pragma once

#include <string>

namespace vessane {

// Appends the text of value to out (out is cleared first).
void FormatFixed2(float value, std::string& out);

inline std::string FormatFixed2(float value) {
    std::string text;
    FormatFixed2(value, text);
    return text;
}

}  // namespace vessane
