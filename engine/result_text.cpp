#include "result_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "char_conv.h"

namespace vessane {
namespace {

constexpr int kMaxDigits = 17;  // beyond this a double has no more digits to give

// value rounded to `digits` significant digits: its digits and decimal exponent.
struct Significand {
    bool negative = false;
    char digits[kMaxDigits + 1] = {};
    int count = 0;
    int exponent = 0;
};

Significand Parse(const char* text, const char* end) {
    Significand s;
    const char* p = text;
    if (*p == '-') {
        s.negative = true;
        ++p;
    }
    for (; p < end && *p != 'e'; ++p) {
        if (*p != '.' && s.count < kMaxDigits + 1) s.digits[s.count++] = *p;
    }
    ++p;  // 'e'
    const bool negativeExponent = *p == '-';
    ++p;  // sign
    int exponent = 0;
    std::from_chars(p, end, exponent);  // integers: every library has them
    s.exponent = negativeExponent ? -exponent : exponent;
    return s;
}

// True when value lies exactly halfway between two numbers of `digits` significant
// digits. Such values are rare, so the exact expansion is only written when the digit
// after the last kept one is a 5.
bool IsExactTie(double value, int digits) {
    char text[64];
    const auto next =
        ToChars(text, text + sizeof text, value, std::chars_format::scientific, digits);
    const char* e = std::find(text, next.ptr, 'e');
    if (e[-1] != '5') return false;
    char exact[1100];  // a double's exact expansion has at most 767 significant digits
    const auto full =
        ToChars(exact, exact + sizeof exact, value, std::chars_format::scientific, 800);
    const char* fullE = std::find(exact, full.ptr, 'e');
    const char* fifth = exact + (e - text) - 1;  // the same position in the exact text
    return *fifth == '5' && std::all_of(fifth + 1, fullE, [](char c) { return c == '0'; });
}

// value rounded to `digits` significant digits, exact halves away from zero as the
// classic runtime does (to_chars breaks them to even).
Significand Decompose(double value, int digits) {
    char text[64];
    const auto result =
        ToChars(text, text + sizeof text, value, std::chars_format::scientific, digits - 1);
    Significand s = Parse(text, result.ptr);
    // Up to 14 digits, a relative nudge of 1e-15 moves a half past the midpoint and
    // no further than the next candidate; the carry into a new digit comes for free.
    if (digits > 14 || !IsExactTie(value, digits)) return s;
    const double away = value + (value < 0 ? -1 : 1) * std::fabs(value) * 1e-15;
    const auto up =
        ToChars(text, text + sizeof text, away, std::chars_format::scientific, digits - 1);
    return Parse(text, up.ptr);
}

class Writer {
public:
    Writer(char* buffer, std::size_t size) : buffer_(buffer), size_(size) {}
    void Put(char c) {
        if (length_ + 1 < size_) {
            buffer_[length_] = c;
        } else {
            overflow_ = true;
        }
        ++length_;
    }
    void Put(const char* text) {
        while (*text) Put(*text++);
    }
    // Drops the zeros written after a decimal point, keeping the point.
    void TrimTrailingZeros() {
        while (length_ > 0 && !overflow_ && buffer_[length_ - 1] == '0') --length_;
    }
    std::size_t Finish() {
        if (size_ == 0) return 0;
        if (overflow_) {
            buffer_[0] = '\0';
            return 0;
        }
        buffer_[length_] = '\0';
        return length_;
    }

private:
    char* buffer_;
    std::size_t size_;
    std::size_t length_ = 0;
    bool overflow_ = false;
};

}  // namespace

double RoundDecimals(double x, unsigned n) {
    const double factor = std::pow(10.0, static_cast<double>(n));
    return std::floor(factor * x + 0.5) / factor;
}

double RoundedThousandths(double probability) {
    return std::floor(1000.0 * probability + 0.5);  // RoundDecimals' numerator for n = 3
}

double PercentageOfThousandths(double thousandths) {
    return thousandths / 1000.0 * 100;  // RoundDecimals' quotient, as a percentage
}

double Percentage(double probability) {
    return PercentageOfThousandths(RoundedThousandths(probability));
}

int DigitCount(double probability) {
    return DigitCountOfPercentage(Percentage(probability));
}

int DigitCountOfPercentage(double percentage) {
    const int whole = static_cast<int>(percentage);
    int digits = percentage - whole < 0.05 ? 2 : 3;
    if (percentage < 10) --digits;
    return digits;
}

std::size_t FormatSignificant(double value, int digits, char* buffer, std::size_t size) {
    if (digits < 1) digits = 1;
    if (digits > kMaxDigits) digits = kMaxDigits;
    Writer out(buffer, size);
    if (!std::isfinite(value)) {
        out.Put(std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf"));
        return out.Finish();
    }
    const Significand s = Decompose(value, digits);
    if (s.negative) out.Put('-');

    if (s.exponent < -1 || s.exponent > digits - 1) {
        out.Put(s.digits[0]);
        out.Put('.');
        for (int i = 1; i < s.count; ++i) out.Put(s.digits[i]);
        out.TrimTrailingZeros();
        char exponent[8];
        const int magnitude = s.exponent < 0 ? -s.exponent : s.exponent;
        exponent[0] = 'e';
        exponent[1] = s.exponent < 0 ? '-' : '+';
        exponent[2] = static_cast<char>('0' + magnitude / 100);
        exponent[3] = static_cast<char>('0' + magnitude / 10 % 10);
        exponent[4] = static_cast<char>('0' + magnitude % 10);
        exponent[5] = '\0';
        out.Put(exponent);
        return out.Finish();
    }

    const int decimals = digits - s.exponent - 1;
    if (s.exponent < 0) {
        out.Put('0');
        out.Put('.');
        for (int i = 0; i < s.count; ++i) out.Put(s.digits[i]);
    } else {
        for (int i = 0; i <= s.exponent; ++i) out.Put(s.digits[i]);
        if (decimals > 0) {
            out.Put('.');
            for (int i = s.exponent + 1; i < s.count; ++i) out.Put(s.digits[i]);
        }
    }
    if (decimals > 0) out.TrimTrailingZeros();
    return out.Finish();
}

std::size_t FormatResultText(double percentage, int digits, char* buffer, std::size_t size) {
    const std::size_t length = FormatSignificant(percentage, digits, buffer, size);
    if (length == 0 || length + 3 > size) {
        if (size > 0) buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer + length, " %", 3);
    return length + 2;
}

}  // namespace vessane
