// The one reader of forms given as data: texts, numbers, missing values and absent
// columns, and every spelling of every choice.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "form_entries.h"
#include "validation.h"

namespace vessane {
namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

struct Given {
    FormColumn column;
    FieldEntry entry;
};

// What a form given as data shows: its result text, or the reason it is refused.
std::string Shown(const std::vector<Given>& given) {
    FormEntries entries;
    for (const Given& g : given) entries[g.column] = g.entry;
    RiskState state{};
    std::string reason;
    const EntriesOutcome outcome = EvaluateEntries(entries, state, reason);
    if (outcome.refused()) return reason;
    if (outcome.failed != ValidationCheck::kNone) return DescribeFailure(outcome.failed);
    return state.text;
}

FieldEntry T(const char* text) {
    return FieldEntry::Text(text);
}
FieldEntry N(double number) {
    return FieldEntry::Number(number);
}

TEST(ReadEntries, TextsNumbersMissingAndAbsent) {
    const std::string age = "âge hors de l'intervalle [30-74] ans";
    const std::string sex = "valeur de sex invalide : ";
    const std::string sexes = " (attendu : Femme, Homme, 0 ou 1)";
    const std::string units = " (attendu : mmol/L, g/L, 0 ou 1)";
    const std::string flags = " (attendu : 0, 1 ou vide)";
    const struct {
        std::vector<Given> given;
        std::string shown;
    } cases[] = {
        {{}, "10.3 %"},  // every column absent: the window's defaults
        // Fields: texts through the window's six characters, numbers as they are.
        {{{kColumnAge, T("50")}}, "10.3 %"},
        {{{kColumnAge, T("0000050")}}, age},
        {{{kColumnAge, N(50)}}, "10.3 %"},
        {{{kColumnAge, T(" 5e1x")}}, "10.3 %"},
        {{{kColumnTotal, T("2,30")}}, "10.3 %"},
        {{{kColumnTotal, T("2.300001")}}, "10.3 %"},
        {{{kColumnAge, T("")}}, age},
        {{{kColumnAge, N(kMissing)}}, age},
        {{{kColumnAge, N(INFINITY)}}, age},
        {{{kColumnUnit, N(0)}, {kColumnTotal, N(5.934)}, {kColumnHdl, T("1.29")}}, "10.3 %"},
        // Selectors: every spelling, a number only when exactly 0 or 1; missing as empty.
        {{{kColumnSex, T("Femme")}}, "6.9 %"},
        {{{kColumnSex, T("fEMME")}}, "6.9 %"},
        {{{kColumnSex, T("0")}}, "6.9 %"},
        {{{kColumnSex, N(0)}}, "6.9 %"},
        {{{kColumnSex, T("HOMME")}}, "10.3 %"},
        {{{kColumnSex, N(1)}}, "10.3 %"},
        {{{kColumnSex, N(2)}}, sex + "\"2\"" + sexes},
        {{{kColumnSex, N(0.5)}}, sex + "\"0.5\"" + sexes},
        {{{kColumnSex, T("2")}}, sex + "\"2\"" + sexes},
        {{{kColumnSex, T("")}}, sex + "\"\"" + sexes},
        {{{kColumnSex, N(kMissing)}}, sex + "\"\"" + sexes},
        {{{kColumnUnit, T("mmol/l")}, {kColumnTotal, T("5.93")}, {kColumnHdl, T("1.29")}},
         "10.3 %"},
        {{{kColumnUnit, T("G/L")}}, "10.3 %"},
        {{{kColumnUnit, T("mg/dL")}}, "valeur de unit invalide : \"mg/dL\"" + units},
        {{{kColumnUnit, N(kMissing)}}, "valeur de unit invalide : \"\"" + units},
        // Check boxes: 0, 1 or empty; a missing value is unchecked.
        {{{kColumnSmoker, T("1")}}, "16.2 %"},
        {{{kColumnSmoker, N(1)}}, "16.2 %"},
        {{{kColumnSmoker, T("")}}, "10.3 %"},
        {{{kColumnSmoker, N(kMissing)}}, "10.3 %"},
        {{{kColumnDiabetes, T("oui")}}, "valeur de diabetes invalide : \"oui\"" + flags},
        {{{kColumnLvh, N(-INFINITY)}}, "valeur de lvh invalide : \"-inf\"" + flags},
        // The first choice refused, in the columns' order, before any field's check.
        {{{kColumnLvh, N(3)}, {kColumnSex, T("x")}, {kColumnAge, T("29")}},
         sex + "\"x\"" + sexes},
    };
    for (const auto& c : cases) EXPECT_EQ(Shown(c.given), c.shown) << c.shown;
}

}  // namespace
}  // namespace vessane
