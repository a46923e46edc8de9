#include "form_fields.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

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

// Other spellings of a choice that data use, any case, with the index they stand for.
struct Spelling {
    std::string_view text;
    int index;
};
int ParseSpelling(std::string_view text, std::initializer_list<Spelling> spellings) {
    for (const Spelling& s : spellings) {
        if (EqualsIgnoringCase(text, s.text)) return s.index;
    }
    return -1;
}

}  // namespace

int ParseSexSelector(std::string_view text) {
    const int index = ParseSelector(text, kSexNames);
    if (index >= 0) return index;
    return ParseSpelling(text, {{"F", 0},
                                {"H", 1},
                                {"M", 1},
                                {"female", 0},
                                {"male", 1},
                                {"f\xC3\xA9minin", 0},
                                {"feminin", 0},
                                {"masculin", 1}});
}
int ParseUnitSelector(std::string_view text) {
    return ParseSelector(text, kUnitNames);
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
    return ParseSpelling(text, {{"non", 0},
                                {"oui", 1},
                                {"faux", 0},
                                {"vrai", 1},
                                {"n", 0},
                                {"o", 1},
                                {"no", 0},
                                {"yes", 1},
                                {"false", 0},
                                {"true", 1},
                                {"x", 1}});
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
