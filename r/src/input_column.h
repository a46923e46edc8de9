// One input column of vessane_risk() as R holds it: absent, texts, or numbers (double,
// integer or logical), either one value for every row or one value for all rows.
#pragma once

#include <Rinternals.h>

#include <string>
#include <string_view>

namespace vessane::r {

class InputColumn {
public:
    InputColumn() = default;  // absent: the window's default
    // values must be a character, double, integer or logical vector; otherwise throws.
    explicit InputColumn(SEXP values, const char* name);

    bool Present() const { return kind_ != Kind::kAbsent; }
    bool HoldsText() const { return kind_ == Kind::kText; }

    // The text of a row of a character column; a missing text (NA) is treated as a
    // missing number: TextAt returns false and NumberAt gives NaN.
    bool TextAt(R_xlen_t row, std::string_view& text) const {
        const SEXP element = STRING_ELT(values_, Index(row));
        if (element == NA_STRING) return false;
        text = {CHAR(element), static_cast<std::size_t>(LENGTH(element))};
        return true;
    }
    // The number of a row; NA gives NaN, as does a missing text.
    double NumberAt(R_xlen_t row) const {
        if (kind_ == Kind::kDouble) return doubles_[Index(row)];
        if (kind_ != Kind::kInteger || integers_[Index(row)] == NA_INTEGER) return R_NaN;
        return integers_[Index(row)];
    }

    // A selector or check box: the index parse(text) gives for a text, 0 or 1 for a
    // number that is exactly 0 or 1 (FALSE, TRUE). Otherwise -1, with the value as the
    // user wrote it in shown (UTF-8; "NA" when missing).
    int ChoiceAt(R_xlen_t row, int (*parse)(std::string_view), std::string& shown) const {
        if (kind_ == Kind::kInteger) {  // the common case first: FALSE, TRUE, 0L, 1L
            const int value = integers_[Index(row)];
            if (value == 0 || value == 1) return value;
        } else if (kind_ == Kind::kDouble) {
            const double value = doubles_[Index(row)];
            if (value == 0 || value == 1) return static_cast<int>(value);
        }
        return OtherChoiceAt(row, parse, shown);
    }

private:
    enum class Kind { kAbsent, kText, kDouble, kInteger };

    R_xlen_t Index(R_xlen_t row) const { return row * stride_; }
    int OtherChoiceAt(R_xlen_t row, int (*parse)(std::string_view), std::string& shown) const;

    Kind kind_ = Kind::kAbsent;
    SEXP values_ = R_NilValue;  // kept alive by the caller's argument list
    const double* doubles_ = nullptr;
    const int* integers_ = nullptr;
    R_xlen_t stride_ = 0;  // 0 when one value stands for every row
};

}  // namespace vessane::r
