// One input column of vessane_risk() as R holds it: absent, texts, or numbers (double,
// integer or logical), either one value for every row or one value for all rows.
#pragma once

#include <Rinternals.h>

#include <string>
#include <string_view>

#include "form_entries.h"

namespace vessane::r {

class InputColumn {
public:
    InputColumn() = default;  // absent: the window's default
    // values must be a character, double, integer or logical vector; otherwise throws.
    explicit InputColumn(SEXP values, const char* name);

    bool Present() const { return kind_ != Kind::kAbsent; }
    bool HoldsText() const { return kind_ == Kind::kText; }

    // A row's value for the form's reader: a text, a number (NA as NaN: missing), or
    // absent when the column was not given.
    FieldEntry EntryAt(R_xlen_t row) const {
        switch (kind_) {
            case Kind::kAbsent:
                return {};
            case Kind::kDouble:
                return FieldEntry::Number(doubles_[Index(row)]);
            case Kind::kInteger: {
                const int value = integers_[Index(row)];
                return FieldEntry::Number(value == NA_INTEGER ? R_NaN : value);
            }
            case Kind::kText:
                break;
        }
        const SEXP element = STRING_ELT(values_, Index(row));
        if (element == NA_STRING) return FieldEntry::Number(R_NaN);
        return FieldEntry::Text({CHAR(element), static_cast<std::size_t>(LENGTH(element))});
    }

    // A row's value as R prints it, for a reason, when that differs from the bytes or the
    // shortest number the reader quotes: infinities, NaN, and bytes of no declared
    // encoding. False when the reader's spelling stands (missing values included).
    bool Shown(R_xlen_t row, std::string& shown) const;

private:
    enum class Kind { kAbsent, kText, kDouble, kInteger };

    R_xlen_t Index(R_xlen_t row) const { return row * stride_; }

    Kind kind_ = Kind::kAbsent;
    SEXP values_ = R_NilValue;  // kept alive by the caller's argument list
    const double* doubles_ = nullptr;
    const int* integers_ = nullptr;
    R_xlen_t stride_ = 0;  // 0 when one value stands for every row
};

}  // namespace vessane::r
