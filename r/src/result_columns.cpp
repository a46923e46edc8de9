#include "result_columns.h"


#include "coded_texts.h"
#include "form_texts.h"
#include "on_calcul.h"
#include "page_mapping.h"

namespace vessane::r {

ResultColumns::ResultColumns(R_xlen_t rows)
    : code_(Rcpp::no_init(rows)),
      bar_(Rcpp::no_init(rows)),
      pSys_(Rcpp::no_init(rows)),
      pDia_(Rcpp::no_init(rows)),
      codes_(code_.begin()),
      bars_(bar_.begin()),
      pSyss_(pSys_.begin()),
      pDias_(pDia_.begin()),
      shownTexts_(kShownTextCount + 1),
      reasons_(16) {
    MapForWriting(codes_, rows * sizeof *codes_);
    MapForWriting(bars_, rows * sizeof *bars_);
    MapForWriting(pSyss_, rows * sizeof *pSyss_);
    MapForWriting(pDias_, rows * sizeof *pDias_);
}

void ResultColumns::Add(ShownText& shown, int number) {
    const char* const text = vessane::ShownText(number);
    shown = {shownCount_, BarPosition(text)};
    SET_STRING_ELT(shownTexts_, shownCount_++, Rf_mkCharCE(text, CE_UTF8));
}

int ResultColumns::AddReason(std::string_view reason) {
    if (reasonCount_ == reasons_.size()) {  // room for twice as many
        Rcpp::CharacterVector larger(2 * reasonCount_);
        for (R_xlen_t i = 0; i < reasonCount_; ++i)
            SET_STRING_ELT(larger, i, STRING_ELT(reasons_, i));
        reasons_ = larger;
    }
    // Stored at once: nothing is allocated between making the string and protecting it.
    SET_STRING_ELT(reasons_, reasonCount_,
                   Rf_mkCharLenCE(reason.data(), static_cast<int>(reason.size()), CE_UTF8));
    return static_cast<int>(-1 - reasonCount_++);
}

void ResultColumns::Erreur(R_xlen_t row, int code) {
    codes_[row] = code;
    bars_[row] = NA_INTEGER;
    pSyss_[row] = NA_REAL;
    pDias_[row] = NA_REAL;
}

void ResultColumns::Failed(R_xlen_t row, ValidationCheck check) {
    int& code = failures_[static_cast<std::size_t>(check)];
    if (code == 0) code = AddReason(DescribeFailure(check));
    Erreur(row, code);
}

void ResultColumns::Refused(R_xlen_t row, std::string_view reason) {
    Erreur(row, AddReason(reason));
}

void ResultColumns::Empty(R_xlen_t row) {
    if (emptyCode_ < 0) {
        emptyCode_ = shownCount_;
        SET_STRING_ELT(shownTexts_, shownCount_++, R_BlankString);
    }
    codes_[row] = emptyCode_;
    bars_[row] = NA_INTEGER;
    pSyss_[row] = NA_REAL;
    pDias_[row] = NA_REAL;
}

Rcpp::List ResultColumns::List() const {
    Rcpp::RObject erreur = Rf_mkChar(kErrorText);
    Rcpp::RObject result = MakeCodedTexts(code_, shownTexts_, erreur);
    Rcpp::RObject error = MakeCodedTexts(code_, R_BlankString, reasons_);
    return Rcpp::List::create(Rcpp::Named("result") = result, Rcpp::Named("bar") = bar_,
                              Rcpp::Named("p_sys") = pSys_, Rcpp::Named("p_dia") = pDia_,
                              Rcpp::Named("error") = error);
}

}  // namespace vessane::r
