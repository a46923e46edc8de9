#include "header_resolver.h"

#include <algorithm>

#include "form_texts.h"

namespace vessane {
namespace {

// Letters with a French accent, in UTF-8, and their base letter.
constexpr struct {
    const char* accented;
    char base;
} kAccents[] = {{"\xC3\xA0", 'a'}, {"\xC3\xA2", 'a'}, {"\xC3\xA4", 'a'}, {"\xC3\x80", 'a'},
                {"\xC3\x82", 'a'}, {"\xC3\xA9", 'e'}, {"\xC3\xA8", 'e'}, {"\xC3\xAA", 'e'},
                {"\xC3\xAB", 'e'}, {"\xC3\x89", 'e'}, {"\xC3\x88", 'e'}, {"\xC3\x8A", 'e'},
                {"\xC3\xAE", 'i'}, {"\xC3\xAF", 'i'}, {"\xC3\x8E", 'i'}, {"\xC3\xB4", 'o'},
                {"\xC3\x94", 'o'}, {"\xC3\xB9", 'u'}, {"\xC3\xBB", 'u'}, {"\xC3\xBC", 'u'},
                {"\xC3\x99", 'u'}, {"\xC3\x9B", 'u'}, {"\xC3\xA7", 'c'}, {"\xC3\x87", 'c'}};

// Spaces and marks a name may hold that say nothing: every kind of space, the
// typographic apostrophe.
constexpr const char* kIgnoredSequences[] = {
    "\xC2\xA0",  // no-break space
    "\xE2\x80\xAF", "\xE2\x80\x80", "\xE2\x80\x81", "\xE2\x80\x82", "\xE2\x80\x83",
    "\xE2\x80\x84", "\xE2\x80\x85", "\xE2\x80\x86", "\xE2\x80\x87", "\xE2\x80\x88",
    "\xE2\x80\x89", "\xE2\x80\x8A", "\xE2\x80\x8B", "\xE3\x80\x80",
    "\xE2\x80\x99",  // ’
    "\xEF\xBB\xBF",  // a byte order mark left in a name
};
constexpr std::string_view kIgnoredChars = " \t\r\n_-.'?";

// Folds name, appending the text of each bracketed group (folded) to groups if given.
std::string Fold(std::string_view name, std::vector<std::string>* groups) {
    std::string folded, group;
    int depth = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c == '(' || c == '[') {
            ++depth;
            continue;
        }
        if ((c == ')' || c == ']') && depth > 0) {
            if (--depth == 0 && groups != nullptr) groups->push_back(group);
            group.clear();
            continue;
        }
        bool skipped = false;
        for (const char* sequence : kIgnoredSequences) {
            if (name.substr(i).starts_with(sequence)) {
                i += std::string_view(sequence).size() - 1;
                skipped = true;
                break;
            }
        }
        if (skipped || kIgnoredChars.find(c) != std::string_view::npos) continue;
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        for (const auto& accent : kAccents) {
            if (name.substr(i, 2) == accent.accented) {
                c = accent.base;
                ++i;
                break;
            }
        }
        (depth > 0 ? group : folded) += c;
    }
    while (!folded.empty() && folded.back() == ':') folded.pop_back();
    return folded;
}

// The names each input is known by, folded. The first of each input is its English name
// (kFormColumnNames); those marked French count toward naming the added columns in French.
struct KnownName {
    FormColumn column;
    const char* name;
    bool french;
};
constexpr KnownName kKnownNames[] = {
    {kColumnSex, "sex", false},
    {kColumnSex, "gender", false},
    {kColumnSex, "sexe", true},
    {kColumnSex, "genre", true},
    {kColumnAge, "age", false},  // both languages: counts for neither
    {kColumnSystolic, "systolic", false},
    {kColumnSystolic, "sbp", false},
    {kColumnSystolic, "systolicbp", false},
    {kColumnSystolic, "systolicbloodpressure", false},
    {kColumnSystolic, "systolique", true},
    {kColumnSystolic, "pas", true},
    {kColumnSystolic, "tas", true},
    {kColumnSystolic, "pressionsystolique", true},
    {kColumnSystolic, "pressionarteriellesystolique", true},
    {kColumnSystolic, "tensionsystolique", true},
    {kColumnSystolic, "tensionarteriellesystolique", true},
    {kColumnSystolic, "tasystolique", true},
    {kColumnSystolic, "pasystolique", true},
    {kColumnDiastolic, "diastolic", false},
    {kColumnDiastolic, "dbp", false},
    {kColumnDiastolic, "diastolicbp", false},
    {kColumnDiastolic, "diastolicbloodpressure", false},
    {kColumnDiastolic, "diastolique", true},
    {kColumnDiastolic, "pad", true},
    {kColumnDiastolic, "tad", true},
    {kColumnDiastolic, "pressiondiastolique", true},
    {kColumnDiastolic, "pressionarteriellediastolique", true},
    {kColumnDiastolic, "tensiondiastolique", true},
    {kColumnDiastolic, "tensionarteriellediastolique", true},
    {kColumnDiastolic, "tadiastolique", true},
    {kColumnDiastolic, "padiastolique", true},
    {kColumnTotal, "total", false},
    {kColumnTotal, "totalcholesterol", false},
    {kColumnTotal, "cholesteroltotal", true},
    {kColumnTotal, "choltotal", true},
    {kColumnTotal, "ct", true},
    {kColumnHdl, "hdl", false},
    {kColumnHdl, "hdlcholesterol", false},
    {kColumnHdl, "hdlc", false},
    {kColumnHdl, "cholesterolhdl", true},
    {kColumnHdl, "hdlchol", true},
    {kColumnHdl, "cholhdl", true},
    {kColumnUnit, "unit", false},
    {kColumnUnit, "units", false},
    {kColumnUnit, "unite", true},
    {kColumnUnit, "unites", true},
    {kColumnUnit, "unitecholesterol", true},
    {kColumnUnit, "uniteducholesterol", true},
    {kColumnYears, "years", false},
    {kColumnYears, "horizon", true},
    {kColumnYears, "annees", true},
    {kColumnSmoker, "smoker", false},
    {kColumnSmoker, "smoking", false},
    {kColumnSmoker, "currentsmoker", false},
    {kColumnSmoker, "fumeur", true},
    {kColumnSmoker, "fumeuse", true},
    {kColumnSmoker, "fumeuractuel", true},
    {kColumnSmoker, "tabac", true},
    {kColumnSmoker, "tabagisme", true},
    {kColumnSmoker, "tabagismeactif", true},
    {kColumnDiabetes, "diabetes", false},
    {kColumnDiabetes, "diabetic", false},
    {kColumnDiabetes, "diabete", true},
    {kColumnDiabetes, "diabetique", true},
    {kColumnDiabetes, "diabetetype2", true},
    {kColumnDiabetes, "diabetedetype2", true},
    {kColumnLvh, "lvh", false},
    {kColumnLvh, "ecglvh", false},
    {kColumnLvh, "hvg", true},
    {kColumnLvh, "hvgecg", true},
    {kColumnLvh, "hvgalecg", true},
    {kColumnLvh, "ecghvg", true},
    {kColumnLvh, "hypertrophievg", true},
    {kColumnLvh, "hypertrophieventriculairegauche", true},
};

constexpr const char* kFrenchLabels[kFormColumnCount] = {"sexe",
                                                         "\xC3\xA2ge",
                                                         "pression systolique",
                                                         "pression diastolique",
                                                         "cholest\xC3\xA9rol total",
                                                         "cholest\xC3\xA9rol HDL",
                                                         "unit\xC3\xA9",
                                                         "horizon",
                                                         "fumeur",
                                                         "diab\xC3\xA8te",
                                                         "HVG"};

// A cholesterol unit written in a name's brackets.
constexpr int kNoUnitInName = 0, kMmolInName = 1, kGramsInName = 2, kMilligramsInName = 3;
constexpr const char* kUnitInNameTexts[] = {"", "mmol/L", "g/L", "mg/dL"};
int UnitInName(const std::vector<std::string>& groups) {
    for (const std::string& group : groups) {
        if (group == "mmol/l") return kMmolInName;
        if (group == "g/l") return kGramsInName;
        if (group == "mg/dl") return kMilligramsInName;
    }
    return kNoUnitInName;
}

constexpr std::string_view kNoRow =
    " : aucune ligne n'est calcul\xC3\xA9"
    "e";

}  // namespace

std::string FoldColumnName(std::string_view name) {
    return name.size() > 96 ? std::string() : Fold(name, nullptr);
}

NamedColumn ColumnOfName(std::string_view name) {
    const std::string folded = FoldColumnName(name);
    for (const KnownName& known : kKnownNames) {
        if (!folded.empty() && folded == known.name) return {known.column, known.french};
    }
    return {};
}

std::vector<std::string_view> KnownNames(FormColumn column) {
    std::vector<std::string_view> names;
    for (const KnownName& known : kKnownNames) {
        if (known.column == column) names.emplace_back(known.name);
    }
    return names;
}

bool ParseFieldList(std::string_view list, FieldSet& fields, std::string& unknown) {
    fields.fill(list.find_first_not_of(" ,") == std::string_view::npos);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        if (FoldColumnName(item).empty()) continue;
        const int column = ColumnOfName(item).column;
        if (column < 0) {
            unknown = item;
            return false;
        }
        fields[column] = true;
    }
    return true;
}

int ColumnsFound::Add(std::string_view name) {
    std::vector<std::string> groups;
    const std::string folded = name.size() > 96 ? std::string() : Fold(name, &groups);
    NamedColumn named;
    for (const KnownName& known : kKnownNames) {
        if (!folded.empty() && folded == known.name) named = {known.column, known.french};
    }
    if (folded == "region" && !regionPresent_) {
        regionPresent_ = true;
        return kRegionColumn;
    }
    const int column = named.column;
    // The first column of an input is read; later ones are carried through unread.
    if (column < 0 || present_[column]) {
        if (unreadCount_++ < kUnreadNamed) unreadNames_.emplace_back(name);
        return -1;
    }
    present_[column] = true;
    names_[column] = name;
    if (column == kColumnTotal || column == kColumnHdl) unitOfName_[column] = UnitInName(groups);
    if (named.french) ++french_;
    if (!named.french && folded != "age") ++english_;
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

std::string ColumnsFound::Absent(const FieldSet& needed, const FieldSet& supplied,
                                 const FieldSet& defaults) const {
    std::string absent;
    for (int c = 0; c < kFormColumnCount; ++c) {
        if (!needed[c] || present_[c] || supplied[c] || defaults[c]) continue;
        if (c == kColumnUnit && (unitOfName_[kColumnTotal] || unitOfName_[kColumnHdl])) continue;
        absent.append(absent.empty() ? "" : ", ").append(kFrenchLabels[c]);
        absent.append(" (").append(kFormColumnNames[c]).append(")");
    }
    return absent;
}

std::string ColumnsFound::MissingRequired(const FieldSet& supplied, const FieldSet& defaults,
                                          const FieldSet& required) const {
    const std::string absent = Absent(required, supplied, defaults);
    if (absent.empty()) return absent;
    std::string message =
        "colonnes n\xC3\xA9"
        "cessaires absentes : " +
        absent;
    message.append(unreadCount_ > 0 ? " ; colonnes non lues : " + UnreadList()
                                    : " ; toutes les colonnes ont \xC3\xA9t\xC3\xA9 lues");
    return message.append(kNoRow);
}

HeaderVerdict ColumnsFound::Conclude(const FieldSet& supplied, const FieldSet& defaults,
                                     const FieldSet& required) const {
    HeaderVerdict verdict;
    const int totalUnit = unitOfName_[kColumnTotal], hdlUnit = unitOfName_[kColumnHdl];
    if (totalUnit && hdlUnit && totalUnit != hdlUnit) {
        verdict.refusal = std::string("cholest\xC3\xA9rol total en ") +
                          kUnitInNameTexts[totalUnit] + " (\xC2\xAB " + names_[kColumnTotal] +
                          " \xC2\xBB) mais cholest\xC3\xA9rol HDL en " + kUnitInNameTexts[hdlUnit] +
                          " (\xC2\xAB " + names_[kColumnHdl] + " \xC2\xBB)" + std::string(kNoRow);
        return verdict;
    }
    verdict.refusal = MissingRequired(supplied, defaults, required);
    if (!verdict.refusal.empty()) return verdict;

    if (const int unit = totalUnit ? totalUnit : hdlUnit) {
        CholesterolHeader& header = verdict.cholesterol;
        header.unit = unit == kMmolInName ? 0 : 1;
        header.milligrams = unit == kMilligramsInName;
        header.source = names_[totalUnit ? kColumnTotal : kColumnHdl];
        if (header.milligrams) {
            verdict.notices.push_back({"cholest\xC3\xA9rol en mg/dL (\xC2\xAB " + header.source +
                                           " \xC2\xBB) : lu en g/L, divis\xC3\xA9 par 100",
                                       true});
        }
    }
    if (unreadCount_ > 0) verdict.notices.push_back({"colonnes non lues : " + UnreadList(), false});
    std::string defaulted, optional;
    for (int c = 0; c < kFormColumnCount; ++c) {
        if (present_[c] || supplied[c]) continue;
        if (c == kColumnUnit && verdict.cholesterol.unit >= 0) continue;
        if (kRequiredColumns[c] && !required[c] && !defaults[c]) continue;  // said per row
        std::string& list = kRequiredColumns[c] || defaults[c] ? defaulted : optional;
        list.append(list.empty() ? "" : ", ").append(kFrenchLabels[c]).append(" = ");
        if (c == kColumnLvh || c == kColumnSmoker || c == kColumnDiabetes) {
            list.append("non");
        } else if (c == kColumnYears) {
            list.append(DefaultColumnText(kColumnYears)).append(" ans");
        } else {
            list.append(DefaultColumnText(static_cast<FormColumn>(c)));
        }
    }
    if (!defaulted.empty()) {
        verdict.notices.push_back(
            {"sans colonne, valeur par d\xC3\xA9"
             "faut : " +
                 defaulted,
             false});
    }
    if (!optional.empty()) verdict.notices.push_back({"sans colonne : " + optional, true});
    return verdict;
}

}  // namespace vessane
