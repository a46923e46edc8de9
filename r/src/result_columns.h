// The columns vessane_risk() returns, filled row by row without allocating anything per
// row in R: a row's result text and reason are one code, standing for one of the at most
// 1,001 shown percentages (each made into an R string once) or for the reason of its
// ERREUR.
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
    void Shown(R_xlen_t row, const RiskState& state) {
        const ShownText& shown = Lookup(ShownTextNumber(state));
        codes_[row] = shown.code;
        bars_[row] = shown.bar;
        pSyss_[row] = state.pSys;
        pDias_[row] = state.pDia;
    }
    // The row shows ERREUR because of a failed check.
    void Failed(R_xlen_t row, ValidationCheck check);
    // The row shows ERREUR for a value that cannot be taken, given in UTF-8.
    void Refused(R_xlen_t row, std::string_view reason);
    // The row holds nothing: an empty result, no error.
    void Empty(R_xlen_t row);

    // A named list of result, bar, p_sys, p_dia and error.
    Rcpp::List List() const;

private:
    struct ShownText {
        int code = -1;  // -1 until the text is met
        int bar;
    };
    // By the text's number (a valid form shows one of them).
    const ShownText& Lookup(int number) {
        ShownText& shown = shown_[static_cast<std::size_t>(number)];
        if (shown.code < 0) Add(shown, number);
        return shown;
    }
    void Add(ShownText& shown, int number);
    int AddReason(std::string_view reason);  // its code
    void Erreur(R_xlen_t row, int code);

    Rcpp::IntegerVector code_, bar_;
    Rcpp::NumericVector pSys_, pDia_;
    int* codes_;
    int* bars_;  // the vectors' elements, written directly
    double* pSyss_;
    double* pDias_;
    // Result texts met so far by code, and their codes and bar positions by number.
    Rcpp::CharacterVector shownTexts_;
    std::array<ShownText, kShownTextCount> shown_{};
    int shownCount_ = 0;
    int emptyCode_ = -1;  // the empty result's code once met
    // The reasons of ERREUR by code, -1 - code (the first reasonCount_ of reasons_).
    Rcpp::CharacterVector reasons_;
    R_xlen_t reasonCount_ = 0;
    // The code of each failed check's reason once met, 0 before (codes of reasons are
    // negative).
    std::array<int, static_cast<std::size_t>(ValidationCheck::kSex) + 1> failures_{};
};

}  // namespace vessane::r
