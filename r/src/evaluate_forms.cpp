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
#include "header_resolver.h"
#include "input_column.h"
#include "number_parse.h"
#include "on_calcul.h"
#include "result_columns.h"
#include "score2_form.h"

namespace vessane::r {
namespace {

class FormRows {
public:
    FormRows(const Rcpp::List& columns, const Rcpp::CharacterVector& names,
             const Rcpp::List& cholesterol, SEXP others) {
        if (cholesterol.size() == 3) {
            header_.unit = Rcpp::as<int>(cholesterol[0]);
            header_.milligrams = Rcpp::as<bool>(cholesterol[1]);
            header_.source = Rcpp::as<std::string>(cholesterol[2]);
        }
        if (others != R_NilValue) others_ = Rcpp::LogicalVector(others);
        if (columns.size() != kFormColumnCount || names.size() != kFormColumnCount) {
            throw std::invalid_argument("11 columns and 11 names expected");
        }
        for (int c = 0; c < kFormColumnCount; ++c) {
            const SEXP values = columns[c];
            if (values != R_NilValue) columns_[c] = InputColumn(values, kFormColumnNames[c]);
            if (names[c] != NA_STRING) {
                nameTexts_[c] = Rf_translateCharUTF8(names[c]);
                names_[c] = nameTexts_[c];
            }
        }
    }

    void Evaluate(R_xlen_t row, ResultColumns& out) {
        FormEntries entries;
        for (int c = 0; c < kFormColumnCount; ++c) entries[c] = columns_[c].EntryAt(row);
        const bool others = others_.size() > row && others_[row] == TRUE;
        const EntriesOutcome outcome =
            EvaluateEntries(entries, state_, reason_, &names_, &header_, others);
        if (outcome.allMissing) {
            out.Empty(row);
        } else if (outcome.refused()) {
            // The value as R would print it, where it differs from the reader's spelling.
            const int column = outcome.refusedColumn;
            if (columns_[column].Shown(row, shown_)) {
                DescribeInvalidValue(
                    reason_, names_[column].empty() ? kFormColumnNames[column] : names_[column],
                    shown_, AcceptedChoices(static_cast<FormColumn>(column)));
            }
            out.Refused(row, reason_);
        } else if (outcome.failed == ValidationCheck::kNone) {
            out.Shown(row, state_);
        } else if (outcome.missingValue) {
            out.Refused(row, reason_);  // a missing value, said so
        } else {
            out.Failed(row, outcome.failed);
        }
    }

    // SCORE2 for a row: its region text ("" takes region).
    Score2Outcome Score2(R_xlen_t row, std::string_view regionText, Score2Region region) {
        FormEntries entries;
        for (int c = 0; c < kFormColumnCount; ++c) entries[c] = columns_[c].EntryAt(row);
        const bool others = others_.size() > row && others_[row] == TRUE;
        FormValues values{};
        const EntriesOutcome read =
            EvaluateEntries(entries, state_, reason_, &names_, &header_, others, &values);
        return EvaluateScore2Entries(read, values, reason_, regionText, region,
                                     entries[kColumnDiastolic].kind != FieldEntry::kAbsent);
    }

private:
    std::array<InputColumn, kFormColumnCount> columns_;
    std::array<std::string, kFormColumnCount> nameTexts_;
    ColumnNames names_{};
    CholesterolHeader header_;
    Rcpp::LogicalVector others_;  // per row: a column not read holds something
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
// a column not given; each of length 1 or rows); names: each column's name in the data
// (NA for its English name), for reasons.
// [[Rcpp::export(.evaluate_forms)]]
Rcpp::List EvaluateForms(Rcpp::List columns, double rows, Rcpp::CharacterVector names,
                         Rcpp::List cholesterol, SEXP others) {
    const auto count = static_cast<R_xlen_t>(rows);
    vessane::r::FormRows forms(columns, names, cholesterol, others);
    vessane::r::ResultColumns out(count);
    for (R_xlen_t row = 0; row < count; ++row) {
        // A long call can be interrupted (Ctrl-C): checked every 2^20 rows, a few ms.
        if ((row & 0xFFFFF) == 0xFFFFF) Rcpp::checkUserInterrupt();
        forms.Evaluate(row, out);
    }
    return out.List();
}

// SCORE2 for every row of columns (as .evaluate_forms); region: the rows' default region,
// regions: each row's region text (NA or "" takes region), or NULL.
// [[Rcpp::export(.evaluate_score2)]]
Rcpp::List EvaluateScore2(Rcpp::List columns, double rows, Rcpp::CharacterVector names,
                          Rcpp::List cholesterol, SEXP others, std::string region, SEXP regions) {
    vessane::Score2Region defaultRegion;
    if (!vessane::ParseScore2Region(region, defaultRegion)) {
        Rcpp::stop("region : r\u00e9gion invalide \"" + region +
                   "\" (bas, mod\u00e9r\u00e9, \u00e9lev\u00e9, tr\u00e8s \u00e9lev\u00e9)");
    }
    const auto count = static_cast<R_xlen_t>(rows);
    vessane::r::FormRows forms(columns, names, cholesterol, others);
    Rcpp::CharacterVector perRow =
        regions == R_NilValue ? Rcpp::CharacterVector() : Rcpp::CharacterVector(regions);
    if (perRow.size() != 0 && perRow.size() != count) Rcpp::stop("'region' has one value per row");
    Rcpp::CharacterVector text(count), model(count), category(count), error(count);
    Rcpp::NumericVector probability(count);
    const auto utf8 = [](const std::string& t) { return Rcpp::String(t, CE_UTF8); };
    for (R_xlen_t row = 0; row < count; ++row) {
        if ((row & 0xFFFFF) == 0xFFFFF) Rcpp::checkUserInterrupt();
        const std::string regionText =
            perRow.size() == 0 || perRow[row] == NA_STRING ? "" : Rf_translateCharUTF8(perRow[row]);
        const vessane::Score2Outcome o = forms.Score2(row, regionText, defaultRegion);
        text[row] = o.computed ? o.text : "";
        probability[row] = o.computed ? o.probability : NA_REAL;
        model[row] = o.modelKnown ? o.modelName() : "";
        category[row] = utf8(o.computed ? o.category : "");
        error[row] = utf8(o.computed ? std::string() : std::string(o.reason()));
    }
    return Rcpp::List::create(Rcpp::Named("score2") = text, Rcpp::Named("p_score2") = probability,
                              Rcpp::Named("model") = model, Rcpp::Named("category") = category,
                              Rcpp::Named("error") = error);
}

// The names of the input columns, as the batch's header names them.
// [[Rcpp::export(.form_column_names)]]
Rcpp::CharacterVector FormColumnNames() {
    return Rcpp::CharacterVector(vessane::kFormColumnNames.begin(),
                                 vessane::kFormColumnNames.end());
}

// Reads a data frame's names as the batch reads a header: the input each name stands for
// (0-based, -1 when not read), why nothing can be computed ("" if it can), the notices,
// and the cholesterol unit the names give (unit index or -1, in mg/dL, the name saying it).
// [[Rcpp::export(.read_columns)]]
Rcpp::List ReadColumns(Rcpp::CharacterVector names, Rcpp::LogicalVector supplied,
                       Rcpp::LogicalVector defaults, bool score2) {
    vessane::ColumnsFound found;
    Rcpp::IntegerVector columns(names.size());
    for (R_xlen_t i = 0; i < names.size(); ++i) {
        columns[i] = names[i] == NA_STRING ? -1 : found.Add(Rf_translateCharUTF8(names[i]));
    }
    const auto fields = [](const Rcpp::LogicalVector& flags) {
        vessane::FieldSet set{};
        for (R_xlen_t c = 0; c < flags.size() && c < vessane::kFormColumnCount; ++c) {
            set[static_cast<std::size_t>(c)] = flags[c] == TRUE;
        }
        return set;
    };
    vessane::FieldSet given = fields(supplied);
    // SCORE2 reads neither the horizon nor LVH: nothing is said of their absence.
    if (score2) given[vessane::kColumnYears] = given[vessane::kColumnLvh] = true;
    const vessane::HeaderVerdict verdict =
        found.Conclude(given, fields(defaults),
                       score2 ? vessane::kScore2RequiredColumns : vessane::kRequiredColumns);
    const auto utf8 = [](const std::string& text) { return Rcpp::String(text, CE_UTF8); };
    Rcpp::CharacterVector notices;
    for (const vessane::HeaderNotice& notice : verdict.notices)
        notices.push_back(utf8(notice.text));
    const vessane::CholesterolHeader& unit = verdict.cholesterol;
    return Rcpp::List::create(
        Rcpp::Named("columns") = columns, Rcpp::Named("refusal") = utf8(verdict.refusal),
        Rcpp::Named("notices") = notices,
        Rcpp::Named("cholesterol") =
            Rcpp::List::create(unit.unit, unit.milligrams, utf8(unit.source)));
}

// The fields a comma-separated list names, as a header names them; "" is every field.
// [[Rcpp::export(.field_list)]]
Rcpp::LogicalVector FieldList(std::string names) {
    vessane::FieldSet fields;
    std::string unknown;
    if (!vessane::ParseFieldList(names, fields, unknown)) {
        Rcpp::stop("defaults : champ inconnu \"" + unknown + "\"");
    }
    return Rcpp::LogicalVector(fields.begin(), fields.end());
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
