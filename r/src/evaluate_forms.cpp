// The package's entry points: every row of a set of columns evaluated as the window
// evaluates one form.
#include <Rcpp.h>

#include <array>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>

#include "coded_texts.h"
#include "form_fields.h"
#include "form_texts.h"
#include "input_column.h"
#include "number_parse.h"
#include "on_calcul.h"
#include "result_columns.h"

namespace vessane::r {
namespace {

// Where each field column goes in a form given as texts and in one given as numbers,
// and where the window stores what it read.
struct FieldColumn {
    FormColumn name;
    std::string_view FormFields::*text;
    double FormValues::*value;
    double RiskState::*read;
};
constexpr FieldColumn kFieldColumns[] = {
    {kColumnAge, &FormFields::age, &FormValues::age, &RiskState::age},
    {kColumnSystolic, &FormFields::systolic, &FormValues::systolic, &RiskState::systolic},
    {kColumnDiastolic, &FormFields::diastolic, &FormValues::diastolic, &RiskState::diastolic},
    {kColumnTotal, &FormFields::total, &FormValues::total, &RiskState::totalChol},
    {kColumnHdl, &FormFields::hdl, &FormValues::hdl, &RiskState::hdlChol},
    {kColumnYears, &FormFields::years, &FormValues::years, &RiskState::years},
};

// The selectors and check boxes: how a text is read, what is accepted, where it goes.
struct ChoiceColumn {
    FormColumn name;
    int (*parse)(std::string_view);
    const char* accepted;
    int FormFields::*index;
    int FormValues::*value;
};
constexpr ChoiceColumn kChoiceColumns[] = {
    {kColumnSex, ParseSexSelector, kSexAccepted, &FormFields::sex, &FormValues::sex},
    {kColumnUnit, ParseUnitSelector, kUnitAccepted, &FormFields::unit, &FormValues::unit},
    {kColumnSmoker, ParseFlag, kFlagAccepted, &FormFields::smoker, &FormValues::smoker},
    {kColumnDiabetes, ParseFlag, kFlagAccepted, &FormFields::diabetes, &FormValues::diabetes},
    {kColumnLvh, ParseFlag, kFlagAccepted, &FormFields::lvh, &FormValues::lvh},
};

// The numbers the window reads from fields' texts, cholesterol as written (the
// conversion to mmol/L is EvaluateValues' job). Uses state's text buffer.
FormValues ReadAsWritten(FormFields fields, RiskState& state) {
    fields.unit = kUnitMmolPerL;  // no conversion while reading
    FieldControls controls(fields);
    ReadForm(controls, state);
    FormValues values{};
    for (const FieldColumn& field : kFieldColumns) values.*field.value = state.*field.read;
    return values;
}

class FormRows {
public:
    explicit FormRows(const Rcpp::List& columns) {
        if (columns.size() != kFormColumnCount) throw std::invalid_argument("11 columns expected");
        for (int c = 0; c < kFormColumnCount; ++c) {
            const SEXP values = columns[c];
            if (values != R_NilValue) columns_[c] = InputColumn(values, kFormColumnNames[c]);
        }
        // Only the columns given are visited for each row.
        for (const FieldColumn& field : kFieldColumns) {
            const InputColumn& column = columns_[field.name];
            if (!column.Present()) continue;
            fields_[fieldCount_++] = {&column, &field};
            anyText_ = anyText_ || column.HoldsText();
        }
        for (const ChoiceColumn& choice : kChoiceColumns) {
            if (columns_[choice.name].Present()) {
                choices_[choiceCount_++] = {&columns_[choice.name], &choice};
            }
        }
        defaults_ = ReadAsWritten(kDefaultFields, state_);
        for (const ChoiceColumn& choice : kChoiceColumns) {
            defaults_.*choice.value = kDefaultFields.*choice.index;
        }
    }

    void Evaluate(R_xlen_t row, ResultColumns& out) {
        if (!anyText_) {
            EvaluateNumbers(row, out);
            return;
        }
        FormFields fields = kDefaultFields;
        if (!ReadChoices<&ChoiceColumn::index>(row, fields)) {
            out.Refused(row, reason_);
            return;
        }
        // Texts are read as the window reads them, numbers taken as they are; a missing
        // text counts as a missing number. A row of texts alone goes the window's way.
        bool anyNumber = false;
        for (const Given<FieldColumn>& field : Fields()) {
            if (!field.column->HoldsText() || !field.column->TextAt(row, fields.*field.how->text)) {
                anyNumber = true;
            }
        }
        Report(row,
               anyNumber ? EvaluateValues(Values(row, fields), state_)
                         : EvaluateFields(fields, state_),
               out);
    }

private:
    template <typename How>
    struct Given {
        const InputColumn* column;
        const How* how;
    };
    std::span<const Given<FieldColumn>> Fields() const { return {fields_.data(), fieldCount_}; }

    // No field column holds texts: each number is used as it is, without the texts'
    // form in between.
    void EvaluateNumbers(R_xlen_t row, ResultColumns& out) {
        FormValues values = defaults_;
        if (!ReadChoices<&ChoiceColumn::value>(row, values)) {
            out.Refused(row, reason_);
            return;
        }
        for (const Given<FieldColumn>& field : Fields()) {
            values.*field.how->value = field.column->NumberAt(row);
        }
        Report(row, EvaluateValues(values, state_), out);
    }

    void Report(R_xlen_t row, ValidationCheck failed, ResultColumns& out) const {
        if (failed == ValidationCheck::kNone) {
            out.Shown(row, state_);
        } else {
            out.Failed(row, failed);
        }
    }

    // The selectors and check boxes of a row into a form given as texts (index) or as
    // numbers (value); false, with reason_ written, for the first value that cannot be
    // taken.
    template <auto kIndex, typename Form>
    bool ReadChoices(R_xlen_t row, Form& form) {
        for (std::size_t i = 0; i < choiceCount_; ++i) {
            const Given<ChoiceColumn>& choice = choices_[i];
            const int index = choice.column->ChoiceAt(row, choice.how->parse, shown_);
            if (index < 0) {
                DescribeInvalidValue(reason_, kFormColumnNames[choice.how->name], shown_,
                                     choice.how->accepted);
                return false;
            }
            form.*(choice.how->*kIndex) = index;
        }
        return true;
    }

    // The row as numbers: its texts read as the window reads them, its numbers as given.
    FormValues Values(R_xlen_t row, const FormFields& fields) {
        FormValues values = ReadAsWritten(fields, state_);
        for (const Given<FieldColumn>& field : Fields()) {
            std::string_view text;
            if (!field.column->HoldsText() || !field.column->TextAt(row, text)) {
                values.*field.how->value = field.column->NumberAt(row);
            }
        }
        for (const ChoiceColumn& choice : kChoiceColumns) {
            values.*choice.value = fields.*choice.index;
        }
        return values;
    }

    std::array<InputColumn, kFormColumnCount> columns_;
    std::array<Given<FieldColumn>, std::size(kFieldColumns)> fields_{};
    std::size_t fieldCount_ = 0;
    std::array<Given<ChoiceColumn>, std::size(kChoiceColumns)> choices_{};
    std::size_t choiceCount_ = 0;
    bool anyText_ = false;        // some field column holds texts
    FormValues defaults_;         // the window's default form as numbers
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
