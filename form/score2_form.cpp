#include "score2_form.h"

#include <cmath>

#include "accepted_ranges.h"
#include "control_ids.h"
#include "form_texts.h"

namespace vessane {
namespace {

// ESC 2021 categories for people without cardiovascular disease or diabetes, from the
// percentage as shown (in thousandths), by age band: below 50, 50 to 69, 70 and over.
struct Band {
    double fromAge;
    int high, veryHigh;  // thousandths from which the risk is high, very high
};
constexpr Band kBands[] = {{0, 25, 75}, {50, 50, 100}, {70, 75, 150}};

// x / 10 as a multiplication, exact for the thousandths of a probability (x <= 1000).
constexpr unsigned Tenth(unsigned x) {
    return x * 205 >> 11;
}
static_assert([] {
    for (unsigned x = 0; x <= 1000; ++x) {
        if (Tenth(x) != x / 10) return false;
    }
    return true;
}());

constexpr const AcceptedRange& RangeOf(ValidationCheck check) {
    for (const AcceptedRange& range : kAcceptedRanges) {
        if (range.check == check) return range;
    }
    return kAcceptedRanges[0];
}

// A value in the form's own range, read as the form reads it (g/L converted with the
// form's factor); the reason when it is not.
bool InRange(double value, const AcceptedRange& range, bool grams, std::string_view& reason) {
    if (std::isnan(value)) {
        reason = range.missing;
        return false;
    }
    const double read = grams ? value * kCholesterolFactor : value;
    if (read >= range.low && read <= range.high) return true;
    reason = range.reason;
    return false;
}

std::string Lower(std::string_view text) {
    static constexpr struct {
        const char* accented;
        char base;
    } kAccents[] = {{"\xC3\xA9", 'e'}, {"\xC3\xA8", 'e'}, {"\xC3\x89", 'e'}, {"\xC3\x88", 'e'}};
    std::string folded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == ' ' || c == '-' || c == '_' || c == '\t') continue;
        bool accent = false;
        for (const auto& a : kAccents) {
            if (text.substr(i, 2) == a.accented) {
                folded += a.base;
                ++i;
                accent = true;
                break;
            }
        }
        if (!accent) folded += c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    }
    return folded;
}

}  // namespace

bool ParseScore2Region(std::string_view text, Score2Region& region) {
    static constexpr struct {
        const char* name;
        Score2Region region;
    } kNames[] = {{"bas", Score2Region::kLow},           {"faible", Score2Region::kLow},
                  {"low", Score2Region::kLow},           {"modere", Score2Region::kModerate},
                  {"moderate", Score2Region::kModerate}, {"eleve", Score2Region::kHigh},
                  {"high", Score2Region::kHigh},         {"treseleve", Score2Region::kVeryHigh},
                  {"veryhigh", Score2Region::kVeryHigh}};
    const std::string folded = Lower(text);
    for (const auto& name : kNames) {
        if (folded == name.name) {
            region = name.region;
            return true;
        }
    }
    return false;
}

Score2Outcome EvaluateScore2(const FormValues& v, Score2Region region) {
    Score2Outcome out;
    out.region = region;
    if (std::isnan(v.age)) {
        out.fixedReason = RangeOf(ValidationCheck::kAge).missing;
        return out;
    }
    if (!(v.age >= 40 && v.age < 90)) {
        out.fixedReason = "SCORE2 et SCORE2-OP couvrent les \u00e2ges de 40 \u00e0 moins de 90 ans";
        return out;
    }
    out.model = Score2ModelFor(v.age);
    out.modelKnown = true;
    if (v.diabetes != 0) {
        out.fixedReason =
            out.model == Score2Model::kScore2
                ? "SCORE2 ne s'applique pas au diab\u00e8te ; SCORE2-Diabetes (ESC 2023) "
                  "n'est pas calcul\u00e9 ici"
                : "SCORE2-OP n'est pas calcul\u00e9 ici en cas de diab\u00e8te";
        return out;
    }
    const bool grams = v.unit == kUnitGramPerL;
    static constexpr const AcceptedRange& kSystolic = RangeOf(ValidationCheck::kSystolic);
    static constexpr const AcceptedRange& kTotal = RangeOf(ValidationCheck::kTotalChol);
    static constexpr const AcceptedRange& kHdl = RangeOf(ValidationCheck::kHdlChol);
    if (!InRange(v.systolic, kSystolic, false, out.fixedReason) ||
        !InRange(v.total, kTotal, grams, out.fixedReason) ||
        !InRange(v.hdl, kHdl, grams, out.fixedReason)) {
        return out;
    }
    const double factor = grams ? kScore2GramsToMmol : 1;
    const Score2Inputs inputs{v.sex == 1,     v.age,         v.systolic, v.total * factor,
                              v.hdl * factor, v.smoker != 0, false};
    const AcceptedMargin& margin = kAcceptedMargins[1];
    if (inputs.totalMmol < inputs.hdlMmol + margin.margin) {
        out.fixedReason = margin.reason;
        return out;
    }
    out.computed = true;
    out.probability = Score2Risk(inputs, region);
    // floor(1000 p + 0.5) for p >= 0: truncation is the same, without a library call.
    const int thousandths = static_cast<int>(out.probability * 1000 + 0.5);
    // The percentage with one decimal, written without a conversion call, its digits by
    // multiplications (the compiler may divide here, off its hot path).
    const unsigned whole = Tenth(static_cast<unsigned>(thousandths));
    char* t = out.text;
    if (thousandths >= 1000) *t++ = '1';
    if (thousandths >= 100) *t++ = char('0' + (Tenth(whole) - Tenth(Tenth(whole)) * 10));
    *t++ = char('0' + (whole - Tenth(whole) * 10));
    *t++ = '.';
    *t++ = char('0' + (static_cast<unsigned>(thousandths) - whole * 10));
    *t++ = ' ';
    *t++ = '%';
    *t = '\0';
    out.textLength = static_cast<std::size_t>(t - out.text);
    const Band* band = &kBands[0];
    for (const Band& b : kBands) {
        if (v.age >= b.fromAge) band = &b;
    }
    out.category = kScore2Categories[thousandths >= band->veryHigh ? 2
                                     : thousandths >= band->high   ? 1
                                                                   : 0]
                       .data();
    out.isolatedFactor = (grams ? v.total > 3.09 : v.total > 8) || v.systolic >= 180 ||
                         (!std::isnan(v.diastolic) && v.diastolic >= 110);
    return out;
}

Score2Outcome EvaluateScore2Entries(const EntriesOutcome& read, const FormValues& values,
                                    const std::string& reason, std::string_view regionText,
                                    Score2Region region, bool diastolicGiven) {
    // Most rows reach the model: no outcome is made before it is known which.
    if (read.allMissing) return Score2Outcome{};
    if (!read.valuesRead) {
        Score2Outcome out;
        out.madeReason = reason;
        return out;
    }
    if (!regionText.empty() && regionText.find_first_not_of(" \t") != std::string_view::npos &&
        !ParseScore2Region(regionText, region)) {
        Score2Outcome out;
        out.modelKnown = values.age >= 40 && values.age < 90;
        out.model = Score2ModelFor(values.age);
        out.madeReason =
            "r\u00e9gion invalide : \u00ab " + std::string(regionText) +
            " \u00bb (bas, mod\u00e9r\u00e9, \u00e9lev\u00e9, tr\u00e8s \u00e9lev\u00e9)";
        return out;
    }
    if (diastolicGiven) return EvaluateScore2(values, region);
    FormValues withoutDiastolic = values;
    withoutDiastolic.diastolic = std::nan("");
    return EvaluateScore2(withoutDiastolic, region);
}

FormValues Score2ValuesOfForm(DialogControls& controls) {
    RiskState scratch{};
    FormValues values = ReadFormValues(controls, scratch);
    const struct {
        int control;
        double FormValues::*value;
    } fields[] = {{IDC_AGE, &FormValues::age},
                  {IDC_SYSTOLIC, &FormValues::systolic},
                  {IDC_DIASTOLIC, &FormValues::diastolic},
                  {IDC_TOTAL_CHOL, &FormValues::total},
                  {IDC_HDL_CHOL, &FormValues::hdl}};
    for (const auto& field : fields) {
        if (controls.GetDlgItemTextLength(field.control) == 0) values.*field.value = std::nan("");
    }
    return values;
}

std::string Score2Line(const Score2Outcome& outcome) {
    std::string line = std::string(outcome.modelName()) + " : ";
    if (!outcome.computed) {
        return line.append("pas de r\u00e9sultat (").append(outcome.reason()).append(")");
    }
    return line + outcome.text + " (risque " + outcome.category + ")";
}

}  // namespace vessane
