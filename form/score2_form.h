// SCORE2 and SCORE2-OP for a form: which of the form's values the models read, when they
// give no number and why (in French), and what is shown: the percentage with one decimal,
// the ESC 2021 category for its age band, the model and region, and the notes. The 1991
// result and this one are independent: a form may give either, both or neither.
#pragma once

#include <string>
#include <string_view>

#include "dialog_controls.h"
#include "form_entries.h"
#include "on_calcul.h"
#include "score2.h"

namespace vessane {

// 1 g/L of cholesterol in mmol/L for SCORE2: mg/dL x 0.02586, as the SCORE2 authors convert
// (the 1991 equations keep their own 2.58).
inline constexpr double kScore2GramsToMmol = 2.586;

// The regions as the French interface names them, in Score2Region's order.
inline constexpr const char* kScore2RegionNames[kScore2RegionCount] = {
    "bas", "mod\u00e9r\u00e9", "\u00e9lev\u00e9", "tr\u00e8s \u00e9lev\u00e9"};
// A region from its French or English name (bas, faible, low, modéré, moderate, élevé,
// high, très élevé, very high), ignoring case, accents, spaces and hyphens; false otherwise.
bool ParseScore2Region(std::string_view text, Score2Region& region);

// Texts shown with the result.
inline constexpr const char* kScore2Outcome =
    "risque \u00e0 10 ans d'\u00e9v\u00e9nement cardiovasculaire fatal ou non fatal (infarctus du "
    "myocarde, AVC, d\u00e9c\u00e8s cardiovasculaire)";
inline constexpr const char* kScore2TenYears =
    "SCORE2 est un risque \u00e0 10 ans : l'horizon choisi ne s'y applique pas";
inline constexpr const char* kScore2IsolatedFactor =
    "Facteur isol\u00e9 tr\u00e8s \u00e9lev\u00e9 : risque au moins \u00e9lev\u00e9 (ESC)";
inline constexpr const char* kScore2Scope =
    "Ne s'applique pas en cas de maladie cardiovasculaire connue, de diab\u00e8te, "
    "d'insuffisance r\u00e9nale chronique ou d'hypercholest\u00e9rol\u00e9mie familiale";
inline constexpr const char* kScore2KnownDisease =
    "SCORE2 ne s'applique pas en cas de maladie cardiovasculaire connue";

// The ESC 2021 categories, from the lowest.
inline constexpr std::string_view kScore2Categories[] = {
    "faible \u00e0 mod\u00e9r\u00e9", "\u00e9lev\u00e9", "tr\u00e8s \u00e9lev\u00e9"};

struct Score2Outcome {
    bool computed = false;
    Score2Model model = Score2Model::kScore2;
    Score2Region region = Score2Region::kLow;
    double probability = 0;       // when computed
    char text[8] = "";            // "5.9 %", "100.0 %"
    std::size_t textLength = 0;   // the batch writes it on every row: no strlen
    const char* category = "";    // one of kScore2Categories, when computed
    bool isolatedFactor = false;  // total > 8 mmol/L (3.09 g/L), or 180/110 mm Hg or more
    // Why there is no number: a fixed text, or one made for this outcome (reason() reads
    // either); fixed texts cost a row no allocation.
    std::string_view fixedReason;
    std::string madeReason;
    std::string_view reason() const {
        return madeReason.empty() ? fixedReason : std::string_view(madeReason);
    }
    bool modelKnown = false;                 // the age chose a model (even with no number)
    std::string_view categoryText() const {  // no strlen: the batch writes it on every row
        for (const std::string_view known : kScore2Categories) {
            if (known.data() == category) return known;
        }
        return category;
    }
    const char* modelName() const { return model == Score2Model::kScore2 ? "SCORE2" : "SCORE2-OP"; }
};

// The form's values as the form holds them (cholesterol in its unit; NaN for a missing
// value; the diastolic pressure is read only for the isolated-factor note).
Score2Outcome EvaluateScore2(const FormValues& values, Score2Region region);

// SCORE2 for a form given as data (a batch's row, a data frame's), after EvaluateEntries:
// its values when read, else its reason; the row's region text, "" taking region; whether
// the data give a diastolic pressure (read only for the isolated-factor note). An empty
// row (read.allMissing) gives an outcome with no number and no reason.
Score2Outcome EvaluateScore2Entries(const EntriesOutcome& read, const FormValues& values,
                                    const std::string& reason, std::string_view regionText,
                                    Score2Region region, bool diastolicGiven);

// The form's values as a window holds them, an empty field missing (NaN): SCORE2 says
// "valeur manquante" rather than read it as 0.
FormValues Score2ValuesOfForm(DialogControls& controls);

// "SCORE2 : 5.9 % (risque élevé)", or "SCORE2 : pas de résultat (reason)".
std::string Score2Line(const Score2Outcome& outcome);

}  // namespace vessane
