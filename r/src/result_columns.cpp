#include "result_columns.h"

#include <bit>
#include <cstring>
#include <stdexcept>

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
      shownTexts_(kSlots / 2),
      reasons_(16) {
    MapForWriting(codes_, rows * sizeof *codes_);
    MapForWriting(bars_, rows * sizeof *bars_);
    MapForWriting(pSyss_, rows * sizeof *pSyss_);
    MapForWriting(pDias_, rows * sizeof *pDias_);
}

// A result text's bytes up to its NUL, packed into one integer (never 0: no text is
// empty); length is set to the number of bytes.
std::uint64_t ResultColumns::PackText(const char (&text)[kTextBufferSize], std::size_t& length) {
    static_assert(kTextBufferSize <= sizeof(std::uint64_t));
    std::uint64_t bytes = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // The first zero byte found without a loop: its top bit is the lowest one set.
        std::memcpy(&bytes, text, kTextBufferSize);
        constexpr std::uint64_t kOnes = 0x0101010101010101u;
        const std::uint64_t zeros = (bytes - kOnes) & ~bytes & (kOnes << 7);
        length = static_cast<std::size_t>(std::countr_zero(zeros)) / 8;
        return bytes & (((zeros & -zeros) >> 7) - 1);
    }
    for (length = 0; length < kTextBufferSize && text[length] != '\0'; ++length) {
        bytes |= std::uint64_t{static_cast<unsigned char>(text[length])} << (8 * length);
    }
    return bytes;
}

void ResultColumns::Add(std::size_t slot, std::uint64_t key, const char* text, std::size_t length) {
    // At most 1,001 texts: the table never fills up, so probing always ends.
    if (shownCount_ == static_cast<int>(shownTexts_.size()))
        throw std::logic_error("more result texts than expected");
    keys_[slot] = key;
    shown_[slot] = {shownCount_, BarPosition(text)};
    SET_STRING_ELT(shownTexts_, shownCount_++,
                   Rf_mkCharLenCE(text, static_cast<int>(length), CE_UTF8));
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

Rcpp::List ResultColumns::List() const {
    Rcpp::RObject erreur = Rf_mkChar(kErrorText);
    Rcpp::RObject result = MakeCodedTexts(code_, shownTexts_, erreur);
    Rcpp::RObject error = MakeCodedTexts(code_, R_BlankString, reasons_);
    return Rcpp::List::create(Rcpp::Named("result") = result, Rcpp::Named("bar") = bar_,
                              Rcpp::Named("p_sys") = pSys_, Rcpp::Named("p_dia") = pDia_,
                              Rcpp::Named("error") = error);
}

}  // namespace vessane::r
