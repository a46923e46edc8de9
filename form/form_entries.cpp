#include "form_entries.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "form_texts.h"
#include "number_parse.h"
#include "validation.h"

namespace vessane {
namespace {

constexpr const char* kNumberAccepted = "un nombre";
constexpr const char* kMissing = " : valeur manquante";

bool IsBlank(std::string_view text) {
    for (const char c : text) {
        if (c != ' ' && c != '\t') return false;
    }
    return true;
}

bool IsMissing(const FieldEntry& entry) {
    return (entry.kind == FieldEntry::kText && IsBlank(entry.text)) ||
           (entry.kind == FieldEntry::kNumber && std::isnan(entry.number));
}

std::string_view NameOf(const ColumnNames* names, int column) {
    return names != nullptr && !(*names)[column].empty() ? (*names)[column]
                                                         : kFormColumnNames[column];
}

struct NumberField {
    FormColumn column;
    double FormValues::*value;
    ValidationCheck check;  // the range check that reads it
};
constexpr NumberField kNumberFields[] = {
    {kColumnAge, &FormValues::age, ValidationCheck::kAge},
    {kColumnSystolic, &FormValues::systolic, ValidationCheck::kSystolic},
    {kColumnDiastolic, &FormValues::diastolic, ValidationCheck::kDiastolic},
    {kColumnTotal, &FormValues::total, ValidationCheck::kTotalChol},
    {kColumnHdl, &FormValues::hdl, ValidationCheck::kHdlChol},
    {kColumnYears, &FormValues::years, ValidationCheck::kYears},
};

// The selectors and check boxes in the columns' order: the first refused is named.
struct ChoiceField {
    FormColumn column;
    int FormValues::*value;
    int (*parse)(std::string_view);
    const char* accepted;
};
constexpr ChoiceField kChoiceFields[] = {
    {kColumnSex, &FormValues::sex, ParseSexSelector, kSexAccepted},
    {kColumnUnit, &FormValues::unit, ParseUnitSelector, kUnitAccepted},
    {kColumnSmoker, &FormValues::smoker, ParseFlag, kFlagAccepted},
    {kColumnDiabetes, &FormValues::diabetes, ParseFlag, kFlagAccepted},
    {kColumnLvh, &FormValues::lvh, ParseFlag, kFlagAccepted},
};

FormValues MakeDefaultValues() {
    FormValues values{};
    values.age = ParseNumber(kDefaultFields.age);
    values.systolic = ParseNumber(kDefaultFields.systolic);
    values.diastolic = ParseNumber(kDefaultFields.diastolic);
    values.total = ParseNumber(kDefaultFields.total);
    values.hdl = ParseNumber(kDefaultFields.hdl);
    values.years = ParseNumber(kDefaultFields.years);
    values.sex = kDefaultFields.sex;
    values.unit = kDefaultFields.unit;
    values.smoker = kDefaultFields.smoker;
    values.diabetes = kDefaultFields.diabetes;
    values.lvh = kDefaultFields.lvh;
    return values;
}

// The shortest text that reads back to value, for a reason.
std::string_view ShortestText(double value, char (&digits)[32]) {
#if defined(__cpp_lib_to_chars)
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return {digits, static_cast<std::size_t>(end - digits)};
#else  // a library without it (the web page's, which reads no choice as a number)
    const int length = std::snprintf(digits, sizeof digits, "%.17g", value);
    return {digits, static_cast<std::size_t>(length)};
#endif
}

// A choice's index from an entry; -1 when it cannot be taken, with shown set to the
// value as the reason quotes it.
int ReadChoice(const ChoiceField& choice, const FieldEntry& entry, std::string_view& shown,
               char (&digits)[32]) {
    if (entry.kind == FieldEntry::kText) {
        shown = entry.text;
        return choice.parse(entry.text);
    }
    // A number stands for an index or a state only when it is exactly 0 or 1; a missing
    // one reads as an empty cell.
    if (entry.number == 0 || entry.number == 1) return entry.number == 1;
    if (std::isnan(entry.number)) {
        shown = {};
        return choice.parse({});
    }
    shown = ShortestText(entry.number, digits);
    return -1;
}

}  // namespace

const char* AcceptedChoices(FormColumn column) {
    for (const ChoiceField& choice : kChoiceFields) {
        if (choice.column == column) return choice.accepted;
    }
    return kNumberAccepted;
}

const FormValues& DefaultValues() {
    static const FormValues values = MakeDefaultValues();
    return values;
}

int ReadEntries(const FormEntries& entries, FormValues& values, std::string& reason,
                const ColumnNames* names) {
    values = DefaultValues();
    for (const ChoiceField& choice : kChoiceFields) {
        const FieldEntry& entry = entries[choice.column];
        if (entry.kind == FieldEntry::kAbsent) continue;
        // The usual number first, without the refusal's preparations.
        if (entry.kind == FieldEntry::kNumber && (entry.number == 0 || entry.number == 1)) {
            values.*choice.value = entry.number == 1;
            continue;
        }
        // A selector is never left at a default the data do not hold.
        if (choice.parse != ParseFlag && IsMissing(entry)) {
            reason.assign(NameOf(names, choice.column)).append(kMissing);
            return choice.column;
        }
        std::string_view shown;
        char digits[32];
        const int index = ReadChoice(choice, entry, shown, digits);
        if (index < 0) {
            DescribeInvalidValue(reason, NameOf(names, choice.column), shown, choice.accepted);
            return choice.column;
        }
        values.*choice.value = index;
    }
    for (const NumberField& field : kNumberFields) {
        const FieldEntry& entry = entries[field.column];
        if (entry.kind == FieldEntry::kNumber) {
            values.*field.value = entry.number;
        } else if (entry.kind == FieldEntry::kText) {
            // Read in full: a missing value fails its range check, and is said so below.
            const ParsedNumber parsed = ParseNumberPrefix(entry.text);
            const bool blank = parsed.consumed == 0 && IsBlank(entry.text);
            if (!blank && (parsed.consumed == 0 || entry.text.size() > kMaxNumberText)) {
                DescribeInvalidValue(reason, NameOf(names, field.column), entry.text,
                                     kNumberAccepted);
                return field.column;
            }
            values.*field.value = blank ? std::nan("") : parsed.value;
        }
    }
    return kNoColumnRefused;
}

EntriesOutcome EvaluateEntries(const FormEntries& entries, RiskState& state, std::string& reason,
                               const ColumnNames* names) {
    bool anyGiven = false, allMissing = true;
    for (const FieldEntry& entry : entries) {
        if (entry.kind == FieldEntry::kAbsent) continue;
        anyGiven = true;
        if (!IsMissing(entry)) {
            allMissing = false;
            break;
        }
    }
    if (anyGiven && allMissing) return {kNoColumnRefused, ValidationCheck::kNone, true};
    FormValues values;
    const int refused = ReadEntries(entries, values, reason, names);
    if (refused != kNoColumnRefused) return {refused};
    const ValidationCheck failed = EvaluateValues(values, state);
    if (failed != ValidationCheck::kNone) {
        reason.assign(DescribeFailure(failed));
        // The value the check reads was missing: say so rather than give its range.
        for (const NumberField& field : kNumberFields) {
            if (field.check == failed && IsMissing(entries[field.column])) {
                reason.assign(NameOf(names, field.column)).append(kMissing);
            }
        }
    }
    return {kNoColumnRefused, failed};
}

}  // namespace vessane
