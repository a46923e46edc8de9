#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "form_input.h"

namespace vessane::cli {
namespace {

#ifdef __SIZEOF_INT128__
using Uint128 = unsigned __int128;

constexpr auto kPowersOfFive = [] {
    std::uint64_t powers[28] = {};
    powers[0] = 1;
    for (int i = 1; i < 28; ++i) powers[i] = powers[i - 1] * 5;
    return std::to_array(powers);
}();

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The shortest decimal of a probability, without the general algorithm: for x in
// [2^-20, 1) every quantity below is an exact integer of at most 128 bits.
//
// x = m 2^E reads back from any decimal inside the half-unit interval around it.
// Scaled by 10^q the interval is [(2m-1) 5^q, (2m+1) 5^q] / 2^s with s = 1 - E - q.
// The fewest decimals q whose interval holds an integer give the shortest text; of
// those integers, the one nearest x 10^q (ties to even) is written: the rule
// std::to_chars follows.
// Returns nullptr when x is outside that range, or a power of two (whose interval is
// not symmetric); the caller then uses std::to_chars.
char* WriteProbability(double x, char* out) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    const int biased = static_cast<int>(bits >> 52);  // sign bit included: negatives fail
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased < 1023 - 20 || biased >= 1023 || fraction == 0) return nullptr;
    const std::uint64_t m = fraction | (std::uint64_t{1} << 52);
    const int e = biased - 1075;

    // With q above -e log10 2 the interval is wider than one unit, and its bounds are
    // never whole numbers ((2m +- 1) 5^q is odd and s > 0): it holds an integer, and
    // whether a bound is included does not matter.
    // Then x 10^q < m 10 < 2^57: the integers below fit in 64 bits.
    int q = ((-e * 78913) >> 18) + 1;  // floor(-e log10 2) + 1, at most 22
    const int scale = 1 - e - q;
    const Uint128 l = Uint128{2 * m - 1} * kPowersOfFive[q];
    const Uint128 h = Uint128{2 * m + 1} * kPowersOfFive[q];
    std::uint64_t low = static_cast<std::uint64_t>(l >> scale) + 1;
    std::uint64_t high = static_cast<std::uint64_t>(h >> scale);
    // Fewer decimals while the interval still holds a whole number of tens.
    while ((low + 9) / 10 <= high / 10) {
        if (q == 1) return nullptr;  // would be a whole number: not a probability below 1
        low = (low + 9) / 10;
        high /= 10;
        --q;
    }
    const int s = 1 - e - q;
    const Uint128 v = Uint128{2 * m} * kPowersOfFive[q];
    std::uint64_t digits = static_cast<std::uint64_t>(v >> s);
    const Uint128 rest = v & ((Uint128{1} << s) - 1);
    const Uint128 half = Uint128{1} << (s - 1);
    if (rest > half || (rest == half && (digits & 1) != 0)) ++digits;
    if (digits < low) digits = low;
    if (digits > high) digits = high;

    // "0.", zeros, then the digits, written from the end two at a time.
    char* const end = out + 2 + q;
    char* p = end;
    while (digits >= 100) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * (digits % 100), 2);
        digits /= 100;
    }
    if (digits >= 10) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * digits, 2);
    } else {
        *--p = static_cast<char>('0' + digits);
    }
    while (p > out + 2) *--p = '0';
    out[0] = '0';
    out[1] = '.';
    return end;
}
#else
char* WriteProbability(double, char*) {
    return nullptr;
}
#endif

}  // namespace

char* WriteShortestDecimal(double value, char* out) {
    if (char* const end = WriteProbability(value, out)) return end;
    // Two characters are kept for ".0".
    char* end =
        std::to_chars(out, out + kMaxShortestDecimal - 2, value, std::chars_format::fixed).ptr;
    if (std::memchr(out, '.', static_cast<std::size_t>(end - out)) == nullptr) {
        *end++ = '.';
        *end++ = '0';
    }
    return end;
}

}  // namespace vessane::cli
