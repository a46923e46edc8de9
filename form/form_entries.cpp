#include "form_entries.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "form_texts.h"
#include "number_parse.h"
#include "validation.h"

namespace vessane {
namespace {

constexpr const char* kNumberAccepted = "un nombre";
constexpr const char* kMissing = " : valeur manquante";

// The spaces a cell may have around its value: spreadsheets keep a typed one, and write
// no-break ones.
std::string_view Trimmed(std::string_view text) {
    static constexpr std::string_view kSpaces[] = {" ", "\t", "\xC2\xA0", "\xE2\x80\xAF",
                                                   "\xE2\x80\x89"};
    // The usual cell, "150" or "Homme": no space can start or end it.
    const auto plain = [](char c) { return c != ' ' && c != '\t' && c != '\xC2' && c != '\xE2'; };
    const auto plainEnd = [](char c) {
        return c != ' ' && c != '\t' && c != '\xA0' && c != '\xAF' && c != '\x89';
    };
    if (text.empty() || (plain(text.front()) && plainEnd(text.back()))) return text;
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        for (const std::string_view space : kSpaces) {
            if (text.starts_with(space)) text.remove_prefix(space.size()), trimmed = true;
            if (text.ends_with(space)) text.remove_suffix(space.size()), trimmed = true;
        }
    }
    return text;
}

bool IsBlank(std::string_view text) {
    return Trimmed(text).empty();
}

// A unit as a cell writes it, compared in lower case without spaces: "mm Hg", "mmHg".
std::string FoldedUnit(std::string_view text) {
    std::string folded;
    for (char c : text) {
        if (c == ' ' || c == '\t') continue;
        folded += c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    }
    return folded;
}

constexpr std::string_view kCholesterolUnits[] = {"mmol/l", "g/l", "mg/dl"};
// The unit a number of this column may carry, folded; unit is the row's cholesterol unit.
std::string_view ColumnUnit(FormColumn column, int unit, bool milligrams) {
    switch (column) {
        case kColumnSystolic:
        case kColumnDiastolic:
            return "mmhg";
        case kColumnAge:
        case kColumnYears:
            return "ans";
        default:
            return kCholesterolUnits[milligrams ? 2 : unit == 0 ? 0 : 1];
    }
}

// The cell quoted for a reason, cut at 40 bytes but never inside a UTF-8 sequence.
std::string Quoted(std::string_view value) {
    std::size_t cut = value.size() > 40 ? 40 : value.size();
    while (cut > 0 && cut < value.size() &&
           (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    std::string quoted("\xC2\xAB ");
    quoted.append(value.substr(0, cut)).append(cut < value.size() ? "... \xC2\xBB" : " \xC2\xBB");
    return quoted;
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
        return choice.parse(Trimmed(entry.text));
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
                const ColumnNames* names, const CholesterolHeader* header) {
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
    if (header != nullptr && header->unit >= 0) {
        if (entries[kColumnUnit].kind == FieldEntry::kAbsent) {
            values.unit = header->unit;
        } else if (values.unit != header->unit) {
            reason.assign(NameOf(names, kColumnUnit)).append(" : ").append(kUnitItems[values.unit]);
            reason.append(", mais l'en-t\xC3\xAAte \xC2\xAB ").append(header->source);
            reason.append(" \xC2\xBB dit ")
                .append(header->milligrams ? "mg/dL" : kUnitItems[header->unit]);
            return kColumnUnit;
        }
    }
    const bool milligrams = header != nullptr && header->milligrams;
    for (const NumberField& field : kNumberFields) {
        const FieldEntry& entry = entries[field.column];
        const bool cholesterol = field.column == kColumnTotal || field.column == kColumnHdl;
        if (entry.kind == FieldEntry::kNumber) {
            values.*field.value = entry.number / (cholesterol && milligrams ? 100 : 1);
        } else if (entry.kind == FieldEntry::kText) {
            // Read in full: a missing value fails its range check, and is said so below.
            const std::string_view text = Trimmed(entry.text);
            if (text.empty()) {
                values.*field.value = std::nan("");
                continue;
            }
            const ParsedNumber parsed = ParseNumberPrefix(text);
            const std::string unit = FoldedUnit(text.substr(parsed.consumed));
            const std::string_view expected = ColumnUnit(field.column, values.unit, milligrams);
            if (parsed.consumed == 0 || entry.text.size() > kMaxNumberText ||
                (!unit.empty() && unit != expected)) {
                reason.assign(NameOf(names, field.column)).append(" : ").append(Quoted(text));
                const bool otherUnit =
                    cholesterol && parsed.consumed > 0 &&
                    std::find(std::begin(kCholesterolUnits), std::end(kCholesterolUnits), unit) !=
                        std::end(kCholesterolUnits);
                reason.append(otherUnit ? " n'est pas dans l'unit\xC3\xA9 de la ligne"
                                        : " n'est pas un nombre");
                return field.column;
            }
            values.*field.value = parsed.value / (cholesterol && milligrams ? 100 : 1);
        }
    }
    return kNoColumnRefused;
}

EntriesOutcome EvaluateEntries(const FormEntries& entries, RiskState& state, std::string& reason,
                               const ColumnNames* names, const CholesterolHeader* header,
                               bool otherCellsGiven, FormValues* read) {
    bool anyGiven = false, allMissing = true;
    for (const FieldEntry& entry : entries) {
        if (entry.kind == FieldEntry::kAbsent) continue;
        anyGiven = true;
        if (!IsMissing(entry)) {
            allMissing = false;
            break;
        }
    }
    if (anyGiven && allMissing) {
        if (!otherCellsGiven) return {kNoColumnRefused, ValidationCheck::kNone, true};
        reason.assign("valeurs manquantes");
        EntriesOutcome outcome{kColumnSex};
        outcome.missingValue = true;
        return outcome;
    }
    FormValues values;
    const int refused = ReadEntries(entries, values, reason, names, header);
    if (refused != kNoColumnRefused) {
        EntriesOutcome outcome{refused};
        outcome.missingValue = reason.ends_with(kMissing);
        return outcome;
    }
    if (read != nullptr) *read = values;
    const ValidationCheck failed = EvaluateValues(values, state);
    if (failed != ValidationCheck::kNone) {
        reason.assign(DescribeFailure(failed));
        // The value the check reads was missing: say so rather than give its range.
        for (const NumberField& field : kNumberFields) {
            if (field.check == failed && IsMissing(entries[field.column])) {
                reason.assign(NameOf(names, field.column)).append(kMissing);
                EntriesOutcome outcome{kNoColumnRefused, failed};
                outcome.missingValue = true;
                outcome.valuesRead = true;
                return outcome;
            }
        }
    }
    EntriesOutcome outcome{kNoColumnRefused, failed};
    outcome.valuesRead = true;
    return outcome;
}

}  // namespace vessane
