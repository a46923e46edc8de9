#include "input_column.h"

#include <R_ext/Memory.h>

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace vessane::r {
namespace {

// A number as the user would recognise it in a reason: R's spellings for the values
// that are not numbers, otherwise the shortest text that reads back to it.
void ShowNumber(double value, std::string& shown) {
    if (ISNA(value)) {
        shown = "NA";
    } else if (std::isnan(value)) {
        shown = "NaN";
    } else if (std::isinf(value)) {
        shown = value > 0 ? "Inf" : "-Inf";
    } else {
        char text[32];
        shown.assign(text, std::to_chars(text, text + sizeof text, value).ptr);
    }
}

// A text in UTF-8 for a reason. Bytes of no declared encoding are written as R prints
// them (\xNN), so that the reason stays valid UTF-8.
void ShowText(SEXP text, std::string& shown) {
    if (Rf_getCharCE(text) != CE_BYTES) {
        const void* const mark = vmaxget();
        shown = Rf_translateCharUTF8(text);
        vmaxset(mark);
        return;
    }
    shown.clear();
    for (const char* p = CHAR(text); *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte < 0x80) {
            shown.push_back(*p);
        } else {
            constexpr char kHex[] = "0123456789abcdef";
            shown.append({'\\', 'x', kHex[byte >> 4], kHex[byte & 15]});
        }
    }
}

}  // namespace

InputColumn::InputColumn(SEXP values, const char* name) : values_(values) {
    switch (TYPEOF(values)) {
        case STRSXP:
            kind_ = Kind::kText;
            break;
        case REALSXP:
            kind_ = Kind::kDouble;
            doubles_ = REAL_RO(values);
            break;
        case INTSXP:
        case LGLSXP:  // the same representation, NA included
            kind_ = Kind::kInteger;
            integers_ = TYPEOF(values) == INTSXP ? INTEGER_RO(values) : LOGICAL_RO(values);
            break;
        default:
            throw std::invalid_argument(std::string("'") + name +
                                        "' must be a character, numeric or logical vector");
    }
    stride_ = XLENGTH(values) == 1 ? 0 : 1;
}

int InputColumn::OtherChoiceAt(R_xlen_t row, int (*parse)(std::string_view),
                               std::string& shown) const {
    if (kind_ == Kind::kText) {
        const SEXP element = STRING_ELT(values_, Index(row));
        if (element == NA_STRING) {
            shown = "NA";
            return -1;
        }
        const int index = parse({CHAR(element), static_cast<std::size_t>(LENGTH(element))});
        if (index < 0) ShowText(element, shown);
        return index;
    }
    double value;
    if (kind_ == Kind::kDouble) {
        value = doubles_[Index(row)];
    } else {
        const int integer = integers_[Index(row)];
        if (integer == NA_INTEGER) {
            shown = "NA";
            return -1;
        }
        value = integer;
    }
    ShowNumber(value, shown);
    return -1;
}

}  // namespace vessane::r
