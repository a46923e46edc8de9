// Rounding of the probabilities and the text the result field shows.
#pragma once

#include <cstddef>

namespace vessane {

// floor(10^n * x + 0.5) / 10^n: rounds halves upwards, as seen after the multiplication.
double RoundDecimals(double x, unsigned n);

// The percentage shown for a probability: RoundDecimals(p, 3) * 100.
double Percentage(double probability);
// Its parts: floor(1000 p + 0.5), the whole thousandths RoundDecimals(p, 3) keeps, and
// the percentage of a number of thousandths.
double RoundedThousandths(double probability);
double PercentageOfThousandths(double thousandths);
// The digit count of a shown percentage (DigitCount of its probability).
int DigitCountOfPercentage(double percentage);

// Significant digits the percentage of a probability is shown with: 3, or 2 when its
// tenths look zero, one fewer under 10 %.
int DigitCount(double probability);

// Writes value with the given number of significant digits the way the classic
// runtime's _gcvt does: fixed notation for decimal exponents from -1 up to
// digits - 1, trailing zeros after the point removed (the point itself kept),
// exponent notation otherwise. Returns the length written, or 0 if it does not fit
// (the buffer is then left empty when size > 0).
std::size_t FormatSignificant(double value, int digits, char* buffer, std::size_t size);

// The result text: FormatSignificant(value, digits) followed by " %".
std::size_t FormatResultText(double percentage, int digits, char* buffer, std::size_t size);

}  // namespace vessane
