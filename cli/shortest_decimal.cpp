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

// Writes the eight decimal digits of value (below 10^8, leading zeros included) at out,
// all at once: the digits are computed in the lanes of one integer, each step splitting
// every lane in two with a multiplication that divides exactly in its range.
void PutEightDigits(std::uint32_t value, char* out) {
    // Two lanes of 32 bits: the first four digits, the last four.
    const std::uint64_t fours = value / 10000 | std::uint64_t{value % 10000} << 32;
    // x * 10486 >> 20 is x / 100 for x below 10^4, and x * 103 >> 10 is x / 10 below 100.
    const std::uint64_t hundreds = (fours * 10486 >> 20) & 0x0000007F0000007F;
    const std::uint64_t twos = hundreds | (fours - hundreds * 100) << 16;
    const std::uint64_t tens = (twos * 103 >> 10) & 0x000F000F000F000F;
    const std::uint64_t ones = (tens | (twos - tens * 10) << 8) + 0x3030303030303030;
    // First digit in the lowest byte: one store where bytes are little-endian (the
    // compiler does not merge the byte loop into one).
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &ones, 8);
    } else {
        for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(ones >> (8 * i));
    }
}

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

    // "0.", then the q decimals: digits < 10^q with q at most 22, written as 24 digits
    // with leading zeros, of which the last q are kept.
    char padded[48] = {};  // the second half is copied past the end, where out has room
    const std::uint64_t top = digits / 10000000000000000;
    const std::uint64_t bottom = digits % 10000000000000000;
    // Most probabilities need 17 decimals: one digit in the first eight, or none.
    if (q == 17) {
        padded[7] = static_cast<char>('0' + top);
    } else if (q > 17) {
        PutEightDigits(static_cast<std::uint32_t>(top), padded);
    }
    PutEightDigits(static_cast<std::uint32_t>(bottom / 100000000), padded + 8);
    PutEightDigits(static_cast<std::uint32_t>(bottom % 100000000), padded + 16);
    out[0] = '0';
    out[1] = '.';
    // A copy of fixed size, done in a few moves rather than by a call.
    std::memcpy(out + 2, padded + 24 - q, 24);
    return out + 2 + q;
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
