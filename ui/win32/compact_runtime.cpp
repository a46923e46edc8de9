// Replacements for two pieces of the static C++ runtime that would triple the size of
// vessane.exe: linked into the program only, so the tests keep the originals to
// compare against.
#include <cstdlib>

#include "printf_to_chars.h"

namespace std {
// The library's version carries about 170 KB of tables for every floating type; the
// program formats only doubles, in the two formats PrintfToChars gives identically.
to_chars_result to_chars(char* first, char* last, double value, chars_format format,
                         int precision) {
    return vessane::PrintfToChars(first, last, value, format, precision);
}
}  // namespace std

namespace __gnu_cxx {
// The default handler prints the demangled type of an uncaught exception, which pulls
// in the 45 KB demangler. A GUI program has nowhere to print it.
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
