#include "input_column.h"

#include <R_ext/Memory.h>

#include <cmath>
#include <stdexcept>

namespace vessane::r {
namespace {

// An infinity as R prints it.
void ShowNumber(double value, std::string& shown) {
    shown = value > 0 ? "Inf" : "-Inf";
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

bool InputColumn::Shown(R_xlen_t row, std::string& shown) const {
    if (kind_ == Kind::kText) {
        const SEXP element = STRING_ELT(values_, Index(row));
        const cetype_t encoding = element == NA_STRING ? CE_UTF8 : Rf_getCharCE(element);
        if (encoding != CE_BYTES && encoding != CE_LATIN1) return false;
        ShowText(element, shown);
        return true;
    }
    if (kind_ != Kind::kDouble) return false;
    const double value = doubles_[Index(row)];
    if (!std::isinf(value)) return false;
    ShowNumber(value, shown);
    return true;
}

}  // namespace vessane::r
