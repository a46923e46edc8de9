#include "result_columns.h"

#include <bit>
#include <cstring>
#include <stdexcept>

#include "form_texts.h"
#include "on_calcul.h"

namespace vessane::r {

ResultColumns::ResultColumns(R_xlen_t rows)
    : result_(rows),
      error_(rows),
      bar_(Rcpp::no_init(rows)),
      pSys_(Rcpp::no_init(rows)),
      pDia_(Rcpp::no_init(rows)),
      bars_(bar_.begin()),
      pSyss_(pSys_.begin()),
      pDias_(pDia_.begin()),
      erreur_(Rf_mkChar(kErrorText)) {}

namespace {

// A result text's bytes up to its NUL, packed into one integer (never 0: no text is
// empty); length is set to the number of bytes.
std::uint64_t PackText(const char (&text)[kTextBufferSize], std::size_t& length) {
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

}  // namespace

const ResultColumns::ShownText& ResultColumns::Lookup(const char (&text)[kTextBufferSize]) {
    std::size_t length;
    const std::uint64_t key = PackText(text, length);
    std::size_t slot = (key * 0x9E3779B97F4A7C15u) >> 53;  // 11 bits: kSlots
    while (keys_[slot] != 0 && keys_[slot] != key) slot = (slot + 1) % kSlots;
    ShownText& entry = shown_[slot];
    if (keys_[slot] == 0) {
        // At most 1,001 texts: the table never fills up, so probing always ends.
        if (++shownCount_ > kSlots / 2) throw std::logic_error("more result texts than expected");
        keys_[slot] = key;
        entry = {Rf_mkCharLenCE(text, static_cast<int>(length), CE_UTF8), BarPosition(text)};
    }
    return entry;
}

void ResultColumns::Shown(R_xlen_t row, const RiskState& state) {
    const ShownText& shown = Lookup(state.text);
    // Stored at once: result_ keeps the string alive for the later rows that reuse it.
    SET_STRING_ELT(result_, row, shown.text);
    bars_[row] = shown.bar;
    pSyss_[row] = state.pSys;
    pDias_[row] = state.pDia;
}

void ResultColumns::Erreur(R_xlen_t row, SEXP reason) {
    SET_STRING_ELT(result_, row, erreur_);
    SET_STRING_ELT(error_, row, reason);
    bars_[row] = NA_INTEGER;
    pSyss_[row] = NA_REAL;
    pDias_[row] = NA_REAL;
}

void ResultColumns::Failed(R_xlen_t row, ValidationCheck check) {
    SEXP& reason = failures_[static_cast<std::size_t>(check)];
    if (reason == nullptr) reason = Rf_mkCharCE(DescribeFailure(check), CE_UTF8);
    Erreur(row, reason);  // error_ keeps it alive from here on
}

void ResultColumns::Refused(R_xlen_t row, std::string_view reason) {
    Erreur(row, Rf_mkCharLenCE(reason.data(), static_cast<int>(reason.size()), CE_UTF8));
}

Rcpp::List ResultColumns::List() const {
    return Rcpp::List::create(Rcpp::Named("result") = result_, Rcpp::Named("bar") = bar_,
                              Rcpp::Named("p_sys") = pSys_, Rcpp::Named("p_dia") = pDia_,
                              Rcpp::Named("error") = error_);
}

}  // namespace vessane::r
