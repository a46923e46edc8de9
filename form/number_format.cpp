#include "number_format.h"

#include <charconv>
#include <cmath>

#include "char_conv.h"

namespace vessane {

void FormatFixed2(float value, std::string& out) {
    out.clear();
    // Infinities and NaN (never reached by the unit switch) come out as to_chars writes
    // them, "inf" or "nan", which the form reads as no number.
    char buffer[64];
    const auto result = ToChars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                std::chars_format::fixed, 2);
    out.assign(buffer, result.ptr);

    // to_chars breaks exact ties to even; the classic runtime rounds them away from
    // zero. A float times 100 is exact in a double, so ties are found exactly.
    const double hundredths = std::fabs(static_cast<double>(value)) * 100.0;
    const double whole = std::floor(hundredths);
    if (hundredths - whole == 0.5 && std::fmod(whole, 2.0) == 0.0) {
        // to_chars kept the even digit, so adding one never carries.
        ++out.back();
    }
    if (out.size() < 2) out.insert(0, 2 - out.size(), ' ');
}

}  // namespace vessane
