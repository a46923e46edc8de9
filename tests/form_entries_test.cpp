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
    if (outcome.allMissing) return "(vide)";
    if (!outcome.ok()) return reason;
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
    const std::string sexes = " (attendu : Femme, Homme, F, H, M, female, male, 0 ou 1)";
    const std::string units = " (attendu : mmol/L, g/L, 0 ou 1)";
    const std::string flags = " (attendu : 1, oui, vrai, x ; 0, non, faux ou vide)";
    const Given man = {kColumnSex, T("Homme")};
    const struct {
        std::vector<Given> given;
        std::string shown;
    } cases[] = {
        {{}, "10.3 %"},  // every column absent: the window's defaults
        // Fields: texts read in full, numbers as they are.
        {{{kColumnAge, T("50")}}, "10.3 %"},
        {{{kColumnAge, T("0000050")}}, "10.3 %"},
        {{{kColumnAge, N(50)}}, "10.3 %"},
        {{{kColumnTotal, T("2,30")}}, "10.3 %"},
        {{{kColumnTotal, T("2.300001")}}, "10.3 %"},
        // A cell is a number with spaces around it, perhaps with its column's own unit.
        {{{kColumnAge, T(" 50\t")}}, "10.3 %"},
        {{{kColumnAge, T("\xC2\xA0"
                         "50\xE2\x80\xAF")}},
         "10.3 %"},
        {{{kColumnAge, T("50 ans")}, {kColumnYears, T("10ans")}}, "10.3 %"},
        {{{kColumnSystolic, T("150 mm Hg")}, {kColumnDiastolic, T("90mmHg")}}, "10.3 %"},
        {{{kColumnTotal, T("2,30 g/L")}, {kColumnHdl, T("0.50g/l")}}, "10.3 %"},
        {{{kColumnAge, T(" 5e1x")}}, "age : \xC2\xAB 5e1x \xC2\xBB n'est pas un nombre"},
        {{{kColumnSystolic, T("120/80")}},
         "systolic : \xC2\xAB 120/80 \xC2\xBB n'est pas un nombre"},
        {{{kColumnAge, T("1 245")}}, "age : \xC2\xAB 1 245 \xC2\xBB n'est pas un nombre"},
        {{{kColumnAge, T("50 mm Hg")}}, "age : \xC2\xAB 50 mm Hg \xC2\xBB n'est pas un nombre"},
        {{{kColumnTotal, T("4.5 mmol/L")}},
         "total : \xC2\xAB 4.5 mmol/L \xC2\xBB n'est pas dans l'unit\xC3\xA9 de la ligne"},
        {{{kColumnAge, T("abc")}}, "age : \xC2\xAB abc \xC2\xBB n'est pas un nombre"},
        {{{kColumnAge, T("50.000000000000000000000000000000000000001")}},
         "age : \xC2\xAB 50.0000000000000000000000000000000000000... \xC2\xBB n'est pas un nombre"},
        {{{kColumnAge, N(INFINITY)}}, age},
        {{{kColumnUnit, N(0)}, {kColumnTotal, N(5.934)}, {kColumnHdl, T("1.29")}}, "10.3 %"},
        // A missing value says so, unless the whole row is missing: then nothing at all.
        {{{kColumnAge, T("")}}, "(vide)"},
        {{{kColumnAge, T(" ")}, {kColumnSmoker, N(kMissing)}}, "(vide)"},
        {{man, {kColumnAge, T("")}}, "age : valeur manquante"},
        {{man, {kColumnAge, N(kMissing)}}, "age : valeur manquante"},
        {{man, {kColumnSystolic, T("")}, {kColumnAge, T("")}}, "age : valeur manquante"},
        // Selectors: every spelling, a number only when exactly 0 or 1; never missing.
        {{{kColumnSex, T("Femme")}}, "6.9 %"},
        {{{kColumnSex, T("Femme ")}, {kColumnSmoker, T(" oui ")}}, "11.5 %"},
        {{{kColumnSex, T("fEMME")}}, "6.9 %"},
        {{{kColumnSex, T("0")}}, "6.9 %"},
        {{{kColumnSex, N(0)}}, "6.9 %"},
        {{{kColumnSex, T("F")}}, "6.9 %"},
        {{{kColumnSex, T("female")}}, "6.9 %"},
        {{{kColumnSex, T("HOMME")}}, "10.3 %"},
        {{{kColumnSex, T("h")}}, "10.3 %"},
        {{{kColumnSex, T("M")}}, "10.3 %"},
        {{{kColumnSex, N(1)}}, "10.3 %"},
        {{{kColumnSex, N(2)}}, sex + "\"2\"" + sexes},
        {{{kColumnSex, N(0.5)}}, sex + "\"0.5\"" + sexes},
        {{{kColumnSex, T("2")}}, sex + "\"2\"" + sexes},
        {{{kColumnSex, T("")}, {kColumnAge, T("50")}}, "sex : valeur manquante"},
        {{{kColumnSex, N(kMissing)}, {kColumnAge, T("50")}}, "sex : valeur manquante"},
        {{{kColumnUnit, T("mmol/l")}, {kColumnTotal, T("5.93")}, {kColumnHdl, T("1.29")}},
         "10.3 %"},
        {{{kColumnUnit, T("G/L")}}, "10.3 %"},
        {{{kColumnUnit, T("mg/dL")}}, "valeur de unit invalide : \"mg/dL\"" + units},
        {{{kColumnUnit, N(kMissing)}, {kColumnAge, T("50")}}, "unit : valeur manquante"},
        // Check boxes: every spelling in any case; a missing value is unchecked.
        {{{kColumnSmoker, T("1")}}, "16.2 %"},
        {{{kColumnSmoker, N(1)}}, "16.2 %"},
        {{{kColumnSmoker, T("VRAI")}}, "16.2 %"},
        {{{kColumnSmoker, T("Oui")}}, "16.2 %"},
        {{{kColumnSmoker, T("x")}}, "16.2 %"},
        {{{kColumnSmoker, T("o")}}, "16.2 %"},
        {{{kColumnSmoker, T("TRUE")}}, "16.2 %"},
        {{{kColumnSmoker, T("FAUX")}, man}, "10.3 %"},
        {{{kColumnSmoker, T("non")}, man}, "10.3 %"},
        {{{kColumnSmoker, T("")}, man}, "10.3 %"},
        {{{kColumnSmoker, N(kMissing)}, man}, "10.3 %"},
        {{{kColumnDiabetes, T("peut-être")}},
         "valeur de diabetes invalide : \"peut-être\"" + flags},
        {{{kColumnLvh, N(-INFINITY)}}, "valeur de lvh invalide : \"-inf\"" + flags},
        // The first choice refused, in the columns' order, before any field's check.
        {{{kColumnLvh, N(3)}, {kColumnSex, T("x")}, {kColumnAge, T("29")}}, sex + "\"x\"" + sexes},
    };
    for (const auto& c : cases) EXPECT_EQ(Shown(c.given), c.shown) << c.shown;
}

// What a table's header adds: the unit its cholesterol names give, and whether a row
// whose form cells are all empty holds anything else.
TEST(ReadEntries, HeaderUnitAndRowsWithoutValues) {
    const CholesterolHeader mmol{0, false, "Cholest\xC3\xA9rol total (mmol/L)"};
    const CholesterolHeader milligrams{1, true, "CT (mg/dL)"};
    const struct {
        const char* name;
        std::vector<Given> given;
        const CholesterolHeader* header;
        bool others;
        std::string shown;
    } cases[] = {
        {"the header's unit is the row's",
         {{kColumnTotal, T("5.93")}, {kColumnHdl, T("1.29")}},
         &mmol,
         false,
         "10.3 %"},
        {"mg/dL read as g/L / 100",
         {{kColumnTotal, T("230")}, {kColumnHdl, N(50)}},
         &milligrams,
         false,
         "10.3 %"},
        {"a unit column that agrees",
         {{kColumnUnit, T("mmol/L")}, {kColumnTotal, T("5.93")}, {kColumnHdl, T("1.29")}},
         &mmol,
         false,
         "10.3 %"},
        {"a unit column that contradicts",
         {{kColumnUnit, T("g/L")}},
         &mmol,
         false,
         "unit : g/L, mais l'en-t\xC3\xAAte \xC2\xAB Cholest\xC3\xA9rol total (mmol/L) \xC2\xBB "
         "dit "
         "mmol/L"},
        {"nothing at all: no result",
         {{kColumnAge, T("")}, {kColumnSex, T(" ")}},
         nullptr,
         false,
         "(vide)"},
        {"an identifier only: values missing",
         {{kColumnAge, T("")}},
         nullptr,
         true,
         "valeurs manquantes"},
    };
    for (const auto& c : cases) {
        FormEntries entries;
        for (const Given& g : c.given) entries[g.column] = g.entry;
        RiskState state{};
        std::string reason;
        const EntriesOutcome outcome =
            EvaluateEntries(entries, state, reason, nullptr, c.header, c.others);
        EXPECT_EQ(outcome.allMissing ? "(vide)"
                  : outcome.ok()     ? state.text
                                     : reason,
                  c.shown)
            << c.name;
    }
}

}  // namespace
}  // namespace vessane
