// The package's entry points: every row of a set of columns evaluated as the window
// evaluates one form.
#include <Rcpp.h>

#include <array>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>

#include "coded_texts.h"
#include "form_entries.h"
#include "form_fields.h"
#include "form_texts.h"
#include "input_column.h"
#include "number_parse.h"
#include "on_calcul.h"
#include "result_columns.h"

namespace vessane::r {
namespace {

class FormRows {
public:
    explicit FormRows(const Rcpp::List& columns) {
        if (columns.size() != kFormColumnCount) throw std::invalid_argument("11 columns expected");
        for (int c = 0; c < kFormColumnCount; ++c) {
            const SEXP values = columns[c];
            if (values != R_NilValue) columns_[c] = InputColumn(values, kFormColumnNames[c]);
        }
    }

    void Evaluate(R_xlen_t row, ResultColumns& out) {
        FormEntries entries;
        for (int c = 0; c < kFormColumnCount; ++c) entries[c] = columns_[c].EntryAt(row);
        const EntriesOutcome outcome = EvaluateEntries(entries, state_, reason_);
        if (outcome.refused()) {
            // The value as R would print it, where it differs from the reader's spelling.
            const int column = outcome.refusedColumn;
            if (columns_[column].Shown(row, shown_)) {
                DescribeInvalidValue(reason_, kFormColumnNames[column], shown_,
                                     AcceptedChoices(static_cast<FormColumn>(column)));
            }
            out.Refused(row, reason_);
        } else if (outcome.failed == ValidationCheck::kNone) {
            out.Shown(row, state_);
        } else {
            out.Failed(row, outcome.failed);
        }
    }

private:
    std::array<InputColumn, kFormColumnCount> columns_;
    RiskState state_{};           // this call's own: calls never share a state
    std::string shown_, reason_;  // reused: no allocation per row
};

}  // namespace
}  // namespace vessane::r

// [[Rcpp::init]]
void RegisterColumnClasses(DllInfo* dll) {
    vessane::r::RegisterCodedTexts(dll);
}

// Evaluates every row of columns (a list in the order of .form_column_names(), NULL for
// a column not given; each of length 1 or rows).
// [[Rcpp::export(.evaluate_forms)]]
Rcpp::List EvaluateForms(Rcpp::List columns, double rows) {
    const auto count = static_cast<R_xlen_t>(rows);
    vessane::r::FormRows forms(columns);
    vessane::r::ResultColumns out(count);
    for (R_xlen_t row = 0; row < count; ++row) {
        // A long call can be interrupted (Ctrl-C): checked every 2^20 rows, a few ms.
        if ((row & 0xFFFFF) == 0xFFFFF) Rcpp::checkUserInterrupt();
        forms.Evaluate(row, out);
    }
    return out.List();
}

// The names of the input columns, as the batch's header names them.
// [[Rcpp::export(.form_column_names)]]
Rcpp::CharacterVector FormColumnNames() {
    return Rcpp::CharacterVector(vessane::kFormColumnNames.begin(),
                                 vessane::kFormColumnNames.end());
}

// Decimal texts read to the nearest double. R's own reading (as.numeric) scales in long
// double and can miss the last bit; the tests compare the batch's probabilities
// through this.
// [[Rcpp::export(.read_decimal)]]
Rcpp::NumericVector ReadDecimal(Rcpp::CharacterVector texts) {
    Rcpp::NumericVector values(texts.size());
    for (R_xlen_t i = 0; i < texts.size(); ++i) {
        const SEXP text = STRING_ELT(texts, i);
        values[i] = text == NA_STRING ? NA_REAL : vessane::ParseNumber(CHAR(text));
    }
    return values;
}
