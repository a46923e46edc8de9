// The columns vessane_risk() returns, filled row by row without allocating anything per
// row in R: the shown percentage takes at most 1,001 texts, each made into an R string
// once and shared by every row that shows it.
#pragma once

#include <Rcpp.h>

#include <array>
#include <cstdint>
#include <string_view>

#include "risk_state.h"
#include "validation.h"

namespace vessane::r {

class ResultColumns {
public:
    explicit ResultColumns(R_xlen_t rows);

    // The row shows the result computed into state.
    void Shown(R_xlen_t row, const RiskState& state);
    // The row shows ERREUR because of a failed check.
    void Failed(R_xlen_t row, ValidationCheck check);
    // The row shows ERREUR for a value that cannot be taken, given in UTF-8.
    void Refused(R_xlen_t row, std::string_view reason);

    // A named list of result, bar, p_sys, p_dia and error.
    Rcpp::List List() const;

private:
    struct ShownText {
        SEXP text;
        int bar;
    };
    const ShownText& Lookup(const char (&text)[kTextBufferSize]);
    void Erreur(R_xlen_t row, SEXP reason);

    static constexpr std::size_t kSlots = 2048;  // twice the texts there can be

    Rcpp::CharacterVector result_, error_;  // every element "" until set
    Rcpp::IntegerVector bar_;
    Rcpp::NumericVector pSys_, pDia_;
    int* bars_;  // the vectors' elements, written directly
    double* pSyss_;
    double* pDias_;
    Rcpp::RObject erreur_;
    // Result texts met so far with their bar positions, by their bytes (0 for a free
    // slot); each string is kept alive by result_.
    std::array<std::uint64_t, kSlots> keys_{};
    std::array<ShownText, kSlots> shown_{};
    std::size_t shownCount_ = 0;
    // The reason of each failed check, made once (kept alive by error_).
    std::array<SEXP, static_cast<std::size_t>(ValidationCheck::kCholesterolMargin) + 1> failures_{};
};

}  // namespace vessane::r
