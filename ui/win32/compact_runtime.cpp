// Replacements for pieces of the static C++ runtime that would more than double the
// size of vessane.exe. Linked into the program and into the text sweep, which must
// format as the program does; the other tests keep the library's own to compare against.
#include <cstdlib>

#include "char_conv.h"

namespace std {
// The library's exceptions for impossible requests (a string of gigabytes, an index
// past the end) would pull in their classes, their strings and, on i686, the DWARF
// unwinder. Nothing in the program catches them, so they ended it anyway.
void __throw_bad_alloc() {
    abort();
}
void __throw_bad_array_new_length() {
    abort();
}
void __throw_length_error(const char*) {
    abort();
}
void __throw_logic_error(const char*) {
    abort();
}
void __throw_out_of_range(const char*) {
    abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    abort();
}
void __throw_invalid_argument(const char*) {
    abort();
}

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
