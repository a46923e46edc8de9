// A character column held as one integer code a row and the few texts the codes stand
// for (an ALTREP class): four bytes a row instead of a pointer to a string, and nothing
// to write for a row but its code. A full character vector is made only when something
// asks for the column's memory.
#pragma once

#include <Rinternals.h>

#include <R_ext/Rdynload.h>

namespace vessane::r {

// Called once, when the package's library is loaded.
void RegisterCodedTexts(DllInfo* dll);

// A character vector whose element i is the text of codes[i] (an integer vector): a code
// of 0 or more stands for shown[code], a negative one for refused[-1 - code]. A table
// given as a single string (CHARSXP) rather than a character vector stands for every
// code of its sign.
SEXP MakeCodedTexts(SEXP codes, SEXP shown, SEXP refused);

}  // namespace vessane::r
