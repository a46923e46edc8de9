#include "number_format.h"

#include <charconv>
#include <cmath>

namespace vessane {
namespace {

// Adds one unit in the last place to a decimal text of digits and one point.
void IncrementLastDigit(std::string& text, std::size_t firstDigit) {
    for (std::size_t i = text.size(); i-- > firstDigit;) {
        if (text[i] == '.') continue;
        if (text[i] != '9') {
            ++text[i];
            return;
        }
        text[i] = '0';
    }
    text.insert(firstDigit, 1, '1');
}

}  // namespace

void FormatFixed2(float value, std::string& out) {
    out.clear();
    if (!std::isfinite(value)) {  // never reached by the unit switch; kept safe anyway
        out = std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::fixed, 2);
    out.assign(buffer, result.ptr);

    // to_chars breaks exact ties to even; the classic runtime rounds them away from
    // zero. A float times 100 is exact in a double, so ties are found exactly.
    const double hundredths = std::fabs(static_cast<double>(value)) * 100.0;
    const double whole = std::floor(hundredths);
    if (hundredths - whole == 0.5 && std::fmod(whole, 2.0) == 0.0) {
        IncrementLastDigit(out, out[0] == '-' ? 1 : 0);
    }
    if (out.size() < 2) out.insert(0, 2 - out.size(), ' ');
}

}  // namespace vessane
