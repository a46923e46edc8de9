#include "coded_texts.h"

#include <R_ext/Altrep.h>

namespace vessane::r {
namespace {

R_altrep_class_t codedTexts;

// data1 is the list (codes, shown, refused); data2 the full vector once made.
SEXP Codes(SEXP x) {
    return VECTOR_ELT(R_altrep_data1(x), 0);
}

SEXP TextOf(SEXP data, int code) {
    const SEXP table = VECTOR_ELT(data, code >= 0 ? 1 : 2);
    if (TYPEOF(table) == CHARSXP) return table;
    return STRING_ELT(table, code >= 0 ? code : -1 - code);
}

SEXP Full(SEXP x) {
    SEXP full = R_altrep_data2(x);
    if (full != R_NilValue) return full;
    const SEXP data = R_altrep_data1(x);
    const R_xlen_t length = XLENGTH(Codes(x));
    full = PROTECT(Rf_allocVector(STRSXP, length));
    const int* codes = INTEGER_RO(Codes(x));
    for (R_xlen_t i = 0; i < length; ++i) SET_STRING_ELT(full, i, TextOf(data, codes[i]));
    R_set_altrep_data2(x, full);
    UNPROTECT(1);
    return full;
}

R_xlen_t Length(SEXP x) {
    return XLENGTH(Codes(x));
}

SEXP Elt(SEXP x, R_xlen_t i) {
    const SEXP full = R_altrep_data2(x);
    if (full != R_NilValue) return STRING_ELT(full, i);
    return TextOf(R_altrep_data1(x), INTEGER_RO(Codes(x))[i]);
}

void SetElt(SEXP x, R_xlen_t i, SEXP text) {
    SET_STRING_ELT(Full(x), i, text);
}

void* Dataptr(SEXP x, Rboolean /*writeable*/) {
    return const_cast<SEXP*>(STRING_PTR_RO(Full(x)));  // as R itself hands it out
}

const void* DataptrOrNull(SEXP x) {
    const SEXP full = R_altrep_data2(x);
    return full == R_NilValue ? nullptr : STRING_PTR_RO(full);
}

int NoNA(SEXP x) {  // no table holds NA, unless an element was replaced since
    return R_altrep_data2(x) == R_NilValue;
}

}  // namespace

void RegisterCodedTexts(DllInfo* dll) {
    codedTexts = R_make_altstring_class("coded_texts", "vessane", dll);
    R_set_altrep_Length_method(codedTexts, Length);
    R_set_altvec_Dataptr_method(codedTexts, Dataptr);
    R_set_altvec_Dataptr_or_null_method(codedTexts, DataptrOrNull);
    R_set_altstring_Elt_method(codedTexts, Elt);
    R_set_altstring_Set_elt_method(codedTexts, SetElt);
    R_set_altstring_No_NA_method(codedTexts, NoNA);
}

SEXP MakeCodedTexts(SEXP codes, SEXP shown, SEXP refused) {
    const SEXP data = PROTECT(Rf_allocVector(VECSXP, 3));
    SET_VECTOR_ELT(data, 0, codes);
    SET_VECTOR_ELT(data, 1, shown);
    SET_VECTOR_ELT(data, 2, refused);
    const SEXP x = R_new_altrep(codedTexts, data, R_NilValue);
    UNPROTECT(1);
    return x;
}

}  // namespace vessane::r
