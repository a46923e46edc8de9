// Independent oracles shared by the fuzz targets: what the form should read from a text
// and what a result text may look like. Written apart from the code under test, on top
// of the C library's strtod (the process stays in the "C" locale).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace vessane::fuzz {

// Stops the run with a message; libFuzzer saves the input that got here.
[[noreturn]] inline void Fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "invariant broken: %s [%.*s]\n", what, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

inline bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a text under the classic strtod grammar without "inf", "nan" and
// hexadecimal forms (those read as 0), a decimal comma read as a point. The text ends at
// its first NUL.
inline double ReferenceNumber(std::string_view text) {
    std::string s(text.substr(0, text.find('\0')));
    for (char& c : s) c = c == ',' ? '.' : c;
    std::size_t i = 0;
    while (i < s.size() && IsCSpace(s[i])) ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (i == s.size() || !(IsDigit(s[i]) || s[i] == '.')) return 0.0;  // also inf, nan
    if (s[i] == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) return 0.0;
    return std::strtod(s.c_str(), nullptr);
}

// What the form sees of a field: its first six characters.
inline double ReferenceField(std::string_view text) {
    return ReferenceNumber(text.substr(0, 6));
}

// "digits, optional point and at most one decimal, then ' %', at most 6 characters".
// Returns the number's value, or -1 if the text has another shape.
inline double ResultTextValue(std::string_view text) {
    if (text.size() > 6 || text.size() < 3 || text.substr(text.size() - 2) != " %") return -1;
    const std::string_view number = text.substr(0, text.size() - 2);
    std::size_t i = 0;
    while (i < number.size() && IsDigit(number[i])) ++i;
    if (i == 0) return -1;
    if (i < number.size()) {
        if (number[i] != '.') return -1;
        ++i;
        if (i < number.size() && IsDigit(number[i])) ++i;
        if (i != number.size()) return -1;
    }
    return std::strtod(std::string(number).c_str(), nullptr);
}

// Splits data at each separator byte into at most count pieces (the last takes the rest).
inline std::vector<std::string_view> Split(std::string_view data, char separator,
                                           std::size_t count) {
    std::vector<std::string_view> pieces;
    while (pieces.size() + 1 < count) {
        const std::size_t at = data.find(separator);
        if (at == std::string_view::npos) break;
        pieces.push_back(data.substr(0, at));
        data.remove_prefix(at + 1);
    }
    pieces.push_back(data);
    pieces.resize(count);
    return pieces;
}

}  // namespace vessane::fuzz
