// Evaluating every row of a CSV file of forms.
#pragma once

#include <cstdio>

namespace vessane::cli {

// Reads CSV from in, writes the rows with their results to out, reports problems on
// err under the given input name. Returns the process exit status: 0 when every
// complete row was written, 1 when the input ended inside a quoted cell or output
// failed.
int RunBatch(std::FILE* in, std::FILE* out, std::FILE* err, const char* inputName);

}  // namespace vessane::cli
