#include "portable_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vessane {
namespace {

// std::bit_cast, which not every standard library here has yet.
template <typename To, typename From>
To BitCast(const From& from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;

// 2^k exactly, for -1022 <= k <= 1023, from its bits.
double PowerOfTwo(int k) {
    return BitCast<double>(static_cast<std::uint64_t>(k + 1023) << 52);
}

}  // namespace

double PortableExp(double x) {
    if (std::isnan(x)) return x;
    if (x > 709.78) return std::numeric_limits<double>::infinity();
    if (x < -745.2) return 0.0;
    // x = k ln2 + r, |r| <= ln2 / 2.
    // Rounded to the nearest as fdlibm does, by truncating: no library call.
    const double scaled = x * kInvLn2;
    const int k = static_cast<int>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
    const double hi = x - k * kLn2Hi;
    const double lo = k * kLn2Lo;
    const double r = hi - lo;
    constexpr double P1 = 1.66666666666666019037e-01, P2 = -2.77777777770155933842e-03,
                     P3 = 6.61375632143793436117e-05, P4 = -1.65339022054652515390e-06,
                     P5 = 4.13813679705723846039e-08;
    const double t = r * r;
    const double c = r - t * (P1 + t * (P2 + t * (P3 + t * (P4 + t * P5))));
    const double y = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
    // Scaled in two steps near the ends of the range, where 2^k alone would overflow.
    return k > 1000 || k < -1000 ? y * PowerOfTwo(k / 2) * PowerOfTwo(k - k / 2)
                                 : y * PowerOfTwo(k);
}

double PortableLog(double x) {
    if (!(x > 0) || std::isinf(x))
        return x == 0  ? -std::numeric_limits<double>::infinity()
               : x > 0 ? x
                       : std::numeric_limits<double>::quiet_NaN();
    // x = 2^k m, sqrt(2)/2 < m < sqrt(2), from the bits (subnormals first made normal).
    int k = 0;
    if (x < 2.2250738585072014e-308) x *= 18014398509481984.0, k = -54;  // 2^54
    const std::uint64_t bits = BitCast<std::uint64_t>(x);
    k += static_cast<int>(bits >> 52) - 1023;
    double m = BitCast<double>((bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
    if (m > 1.4142135623730951) m *= 0.5, ++k;
    const double f = m - 1.0;
    const double s = f / (2.0 + f);
    const double z = s * s;
    const double w = z * z;
    constexpr double Lg1 = 6.666666666666735130e-01, Lg2 = 3.999999999940941908e-01,
                     Lg3 = 2.857142874366239149e-01, Lg4 = 2.222219843214978396e-01,
                     Lg5 = 1.818357216161805012e-01, Lg6 = 1.531383769920937332e-01,
                     Lg7 = 1.479819860511658591e-01;
    const double t1 = w * (Lg2 + w * (Lg4 + w * Lg6));
    const double t2 = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
    const double R = t2 + t1;
    const double hfsq = 0.5 * f * f;
    const double dk = k;
    return dk * kLn2Hi - ((hfsq - (s * (hfsq + R) + dk * kLn2Lo)) - f);
}

}  // namespace vessane
