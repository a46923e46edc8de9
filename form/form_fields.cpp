#include "form_fields.h"

#include <algorithm>
#include <cstring>

#include "control_ids.h"
#include "form_entries.h"
#include "form_texts.h"

namespace vessane {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        // Cells usually spell the entry as the selector does: fold case only where needed.
        if (a[i] != b[i] && lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

template <std::size_t N>
constexpr std::array<std::string_view, N> Names(const char* const (&items)[N]) {
    std::array<std::string_view, N> names;
    for (std::size_t i = 0; i < N; ++i) names[i] = items[i];
    return names;
}
// The selectors' entries with their lengths, measured once.
constexpr auto kSexNames = Names(kSexItems);
constexpr auto kUnitNames = Names(kUnitItems);

template <std::size_t N>
int ParseSelector(std::string_view text, const std::array<std::string_view, N>& names) {
    if (text.size() == 1) {  // an index; no entry is one character long
        const unsigned index = static_cast<unsigned char>(text[0]) - unsigned{'0'};
        return index < N ? static_cast<int>(index) : -1;
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (EqualsIgnoringCase(text, names[i])) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

int ParseSexSelector(std::string_view text) {
    return ParseSelector(text, kSexNames);
}
int ParseUnitSelector(std::string_view text) {
    return ParseSelector(text, kUnitNames);
}

namespace {

// A column name folded for comparison: ASCII lower case, French accented letters to
// their base letter, surrounding spaces dropped. Empty when it is too long to be a name.
std::string FoldName(std::string_view name) {
    static constexpr struct {
        const char* accented;
        char base;
    } kAccents[] = {{"\xC3\xA0", 'a'}, {"\xC3\xA2", 'a'}, {"\xC3\xA4", 'a'}, {"\xC3\x80", 'a'},
                    {"\xC3\x82", 'a'}, {"\xC3\xA9", 'e'}, {"\xC3\xA8", 'e'}, {"\xC3\xAA", 'e'},
                    {"\xC3\xAB", 'e'}, {"\xC3\x89", 'e'}, {"\xC3\x88", 'e'}, {"\xC3\x8A", 'e'},
                    {"\xC3\xAE", 'i'}, {"\xC3\xAF", 'i'}, {"\xC3\x8E", 'i'}, {"\xC3\xB4", 'o'},
                    {"\xC3\x94", 'o'}, {"\xC3\xB9", 'u'}, {"\xC3\xBB", 'u'}, {"\xC3\xBC", 'u'},
                    {"\xC3\x99", 'u'}, {"\xC3\x9B", 'u'}, {"\xC3\xA7", 'c'}, {"\xC3\x87", 'c'}};
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    std::string folded;
    if (name.size() > 40) return folded;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        for (const auto& accent : kAccents) {
            if (name.substr(i, 2) == accent.accented) {
                c = accent.base;
                ++i;
                break;
            }
        }
        folded += c;
    }
    return folded;
}

// The French names of the inputs, folded.
constexpr struct {
    FormColumn column;
    const char* name;
} kFrenchColumnNames[] = {
    {kColumnSex, "sexe"},         {kColumnSystolic, "systolique"},
    {kColumnSystolic, "pas"},     {kColumnDiastolic, "diastolique"},
    {kColumnDiastolic, "pad"},    {kColumnTotal, "cholesterol total"},
    {kColumnTotal, "ct"},         {kColumnUnit, "unite"},
    {kColumnYears, "horizon"},    {kColumnYears, "annees"},
    {kColumnSmoker, "fumeur"},    {kColumnSmoker, "tabac"},
    {kColumnDiabetes, "diabete"}, {kColumnLvh, "hvg"},
};

}  // namespace

int FormColumnOfName(std::string_view name) {
    const std::string folded = FoldName(name);
    for (int c = 0; c < kFormColumnCount; ++c) {
        if (folded == kFormColumnNames[c]) return c;
    }
    for (const auto& french : kFrenchColumnNames) {
        if (folded == french.name) return french.column;
    }
    return -1;
}

std::string_view DefaultColumnText(FormColumn column) {
    switch (column) {
        case kColumnSex:
            return kSexItems[kDefaultFields.sex];
        case kColumnAge:
            return kDefaultFields.age;
        case kColumnSystolic:
            return kDefaultFields.systolic;
        case kColumnDiastolic:
            return kDefaultFields.diastolic;
        case kColumnTotal:
            return kDefaultFields.total;
        case kColumnHdl:
            return kDefaultFields.hdl;
        case kColumnUnit:
            return kUnitItems[kDefaultFields.unit];
        case kColumnYears:
            return kDefaultFields.years;
        default:
            return "0";  // a box unchecked
    }
}

int ParseFlag(std::string_view text) {
    if (text.empty() || text == "0") return 0;
    if (text == "1") return 1;
    return -1;
}

void DescribeInvalidValue(std::string& reason, std::string_view column, std::string_view value,
                          std::string_view accepted) {
    reason.assign("valeur de ").append(column).append(" invalide : \"");
    std::size_t cut = value.size() > 40 ? 40 : value.size();
    while (cut > 0 && cut < value.size() &&
           (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    reason.append(value.substr(0, cut)).append(cut < value.size() ? "...\"" : "\"");
    reason.append(" (attendu : ").append(accepted).append(")");
}

}  // namespace vessane
