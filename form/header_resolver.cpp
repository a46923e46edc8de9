#include "header_resolver.h"

#include <algorithm>

namespace vessane {
namespace {

// A column name folded for comparison: ASCII lower case, French accented letters to
// their base letter, '_', '-' and '.' as spaces, runs of spaces as one, a last group in
// brackets ("(mm Hg)", "[g/L]") dropped, surrounding spaces dropped. Empty when it is too
// long to be a name.
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
    std::string folded;
    if (name.size() > 64) return folded;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c == '_' || c == '-' || c == '.' || c == '\t') c = ' ';
        for (const auto& accent : kAccents) {
            if (name.substr(i, 2) == accent.accented) {
                c = accent.base;
                ++i;
                break;
            }
        }
        if (c == ' ' && (folded.empty() || folded.back() == ' ')) continue;
        folded += c;
    }
    while (!folded.empty() && folded.back() == ' ') folded.pop_back();
    // A unit or note in brackets at the end: "pas (mm hg)".
    if (!folded.empty() && (folded.back() == ')' || folded.back() == ']')) {
        const std::size_t open = folded.find_last_of(folded.back() == ')' ? '(' : '[');
        if (open != std::string::npos && open > 0) {
            folded.erase(open);
            while (!folded.empty() && folded.back() == ' ') folded.pop_back();
        }
    }
    return folded;
}

// The French names of the inputs, folded.
constexpr struct {
    FormColumn column;
    const char* name;
} kFrenchColumnNames[] = {
    {kColumnSex, "sexe"},
    {kColumnSystolic, "systolique"},
    {kColumnSystolic, "pas"},
    {kColumnSystolic, "tas"},
    {kColumnSystolic, "pression systolique"},
    {kColumnSystolic, "pression arterielle systolique"},
    {kColumnSystolic, "tension systolique"},
    {kColumnSystolic, "ta systolique"},
    {kColumnDiastolic, "diastolique"},
    {kColumnDiastolic, "pad"},
    {kColumnDiastolic, "tad"},
    {kColumnDiastolic, "pression diastolique"},
    {kColumnDiastolic, "pression arterielle diastolique"},
    {kColumnDiastolic, "tension diastolique"},
    {kColumnDiastolic, "ta diastolique"},
    {kColumnTotal, "cholesterol total"},
    {kColumnTotal, "ct"},
    {kColumnHdl, "cholesterol hdl"},
    {kColumnHdl, "hdl cholesterol"},
    {kColumnHdl, "hdl chol"},
    {kColumnHdl, "hdl c"},
    {kColumnHdl, "hdlc"},
    {kColumnUnit, "unite"},
    {kColumnUnit, "unites"},
    {kColumnUnit, "unite du cholesterol"},
    {kColumnUnit, "unite cholesterol"},
    {kColumnYears, "horizon"},
    {kColumnYears, "annees"},
    {kColumnSmoker, "fumeur"},
    {kColumnSmoker, "tabac"},
    {kColumnSmoker, "tabagisme"},
    {kColumnDiabetes, "diabete"},
    {kColumnDiabetes, "diabetique"},
    {kColumnLvh, "hvg"},
    {kColumnLvh, "hvg ecg"},
    {kColumnLvh, "hvg a l'ecg"},
};

constexpr const char* kFrenchLabels[kFormColumnCount] = {
    "sexe",  "\xC3\xA2ge",  "pression systolique", "pression diastolique", "cholest\xC3\xA9rol total",
    "cholest\xC3\xA9rol HDL", "unit\xC3\xA9", "horizon", "fumeur", "diab\xC3\xA8te", "HVG"};

int EnglishColumn(std::string_view folded) {
    for (int c = 0; c < kFormColumnCount; ++c) {
        if (folded == kFormColumnNames[c]) return c;
    }
    return -1;
}

int FrenchColumn(std::string_view folded) {
    for (const auto& french : kFrenchColumnNames) {
        if (folded == french.name) return french.column;
    }
    return -1;
}

}  // namespace

int FormColumnOfName(std::string_view name) {
    const std::string folded = FoldName(name);
    const int english = EnglishColumn(folded);
    return english >= 0 ? english : FrenchColumn(folded);
}

bool IsFrenchColumnName(std::string_view name) {
    const std::string folded = FoldName(name);
    return EnglishColumn(folded) < 0 && FrenchColumn(folded) >= 0;
}

const char* FrenchColumnLabel(FormColumn column) {
    return kFrenchLabels[column];
}

int ColumnsFound::Add(std::string_view name) {
    const std::string folded = FoldName(name);
    const int english = EnglishColumn(folded);
    const int column = english >= 0 ? english : FrenchColumn(folded);
    // The first column of an input is read; later ones are carried through unread.
    if (column < 0 || present_[column]) {
        if (unreadCount_++ < kUnreadNamed) unreadNames_.emplace_back(name);
        return -1;
    }
    present_[column] = true;
    names_[column] = name;
    // "age" and "horizon"-like names common to both languages count for neither.
    if (english >= 0 && folded != "age") ++english_;
    if (english < 0) ++french_;
    return column;
}

std::string_view ColumnsFound::NameOf(int column) const {
    return present_[column] ? std::string_view(names_[column]) : kFormColumnNames[column];
}

std::string ColumnsFound::UnreadList() const {
    std::string names;
    for (const std::string& name : unreadNames_) {
        names.append(names.empty() ? "\xC2\xAB " : ", \xC2\xAB ").append(name).append(" \xC2\xBB");
    }
    if (unreadCount_ > unreadNames_.size()) {
        names.append(" et ").append(std::to_string(unreadCount_ - unreadNames_.size()));
        names.append(" autres");
    }
    return names;
}

std::string ColumnsFound::MissingRequired(const std::array<bool, kFormColumnCount>& supplied) const {
    std::string absent;
    for (int c = 0; c < kFormColumnCount; ++c) {
        if (!kRequiredColumns[c] || present_[c] || supplied[c]) continue;
        absent.append(absent.empty() ? "" : ", ").append(kFrenchLabels[c]);
        absent.append(" (").append(kFormColumnNames[c]).append(")");
    }
    if (absent.empty()) return absent;
    std::string message = "colonnes n\xC3\xA9" "cessaires absentes : " + absent;
    message.append(unreadCount_ > 0 ? " ; colonnes non lues : " + UnreadList()
                                    : " ; toutes les colonnes ont \xC3\xA9t\xC3\xA9 lues");
    message.append(" : aucune ligne n'est calcul\xC3\xA9" "e");
    return message;
}

std::string ColumnsFound::DefaultsTaken(const std::array<bool, kFormColumnCount>& supplied) const {
    std::string defaults;
    for (int c = 0; c < kFormColumnCount; ++c) {
        if (present_[c] || supplied[c]) continue;
        defaults.append(defaults.empty() ? "" : ", ").append(kFormColumnNames[c]).append(" = ");
        defaults.append(DefaultColumnText(static_cast<FormColumn>(c)));
    }
    return defaults;
}

}  // namespace vessane
