// The cholesterol unit switch, fed arbitrary field texts and switched both ways.
// Input: one byte for the first unit chosen, three bytes for a two-decimal g/L value,
// then the total and HDL texts separated by '|'. Checks, for every switch:
// - no undefined behaviour (the build runs under the sanitizers);
// - each new text reads back, through the form's parser, as the value converted through
//   single precision, or, for a value beyond single precision, as out of range; the
//   form's six-character window takes the same range decision as the whole text;
// - the result, the bar and the recomputation count do not move, the labels follow the
//   unit;
// - a g/L text with two decimals from 0.00 to 999.99 comes back unchanged after a
//   switch to mmol/L and back.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>

#include "coronary_form.h"
#include "form_texts.h"
#include "fuzz_support.h"
#include "memory_form.h"
#include "number_parse.h"
#include "control_ids.h"

namespace vessane::fuzz {
namespace {

bool InRange(double v, double low, double high) {
    return v >= low && v <= high;
}

// The text a field got from a switch to unit, given the text it had.
void CheckConverted(std::string_view before, const std::string& after, int unit) {
    const double typed = ReferenceNumber(before);
    bool beyond = !(std::fabs(typed) <= FLT_MAX);
    double converted = 0;
    if (!beyond) {
        const float single = static_cast<float>(typed);
        const double scaled = unit == 0 ? single * 2.58 : single / 2.58;
        beyond = !(std::fabs(scaled) <= FLT_MAX);
        if (!beyond) converted = static_cast<float>(scaled);
    }
    const double read = ParseNumber(after);
    if (beyond) {
        // Out of range for both cholesterol fields, in either unit.
        if (InRange(read, 0.3 / 2.58, 12) || std::isnan(read))
            Fail("huge value reads in range", after);
    } else {
        // Two decimals: the text is the converted value to within half a hundredth.
        const double tolerance = 0.005 + std::fabs(converted) * 0x1p-50;
        if (!(std::fabs(read - converted) <= tolerance)) Fail("text does not read back", after);
    }
    // The form sees six characters; they must take the same decision as the whole text.
    const double factor = unit == 1 ? 2.58 : 1.0;
    const double windowed = ParseNumber(std::string_view(after).substr(0, 6));
    if (InRange(read * factor, 2, 12) != InRange(windowed * factor, 2, 12) ||
        InRange(read * factor, 0.3, 5) != InRange(windowed * factor, 0.3, 5)) {
        Fail("six characters take another range decision", after);
    }
}

void Switch(MemoryForm& form, CholesterolExchange& exchange, int unit) {
    const std::string total = form.Text(IDC_TOTAL_CHOL);
    const std::string hdl = form.Text(IDC_HDL_CHOL);
    const std::string result = form.Text(IDC_RESULT);
    const int bar = form.BarPos();
    const int recomputed = form.RecomputeCount();

    form.SetCurSel(IDC_UNIT, unit);
    OnSelchangeUnit(form, exchange);

    CheckConverted(total, form.Text(IDC_TOTAL_CHOL), unit);
    CheckConverted(hdl, form.Text(IDC_HDL_CHOL), unit);
    if (form.Text(IDC_RESULT) != result || form.BarPos() != bar ||
        form.RecomputeCount() != recomputed) {
        Fail("the switch recomputed the result");
    }
    const RangeLabels& labels = kRangeLabels[unit == 0 ? 0 : 1];
    if (form.Text(IDC_TOTAL_RANGE) != labels.total || form.Text(IDC_HDL_RANGE) != labels.hdl) {
        Fail("range labels do not follow the unit");
    }
}

}  // namespace
}  // namespace vessane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vessane;
    using namespace vessane::fuzz;
    if (size < 4) return 0;
    const int first = static_cast<int>(data[0] % 4) - 1;  // -1, 0, 1, 2: any index divides but 0
    const std::uint32_t hundredths = (data[1] | data[2] << 8 | data[3] << 16) % 100000;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 4, size - 4);
    const auto texts = Split(rest, '|', 2);

    MemoryForm form(true);
    form.Initialise();
    CholesterolExchange exchange;
    form.SetText(IDC_TOTAL_CHOL, texts[0]);
    form.SetText(IDC_HDL_CHOL, texts[1]);
    Switch(form, exchange, first);
    Switch(form, exchange, first == 0 ? 1 : 0);
    Switch(form, exchange, first);

    // Round trip of a two-decimal g/L value.
    char grams[16];
    std::snprintf(grams, sizeof grams, "%u.%02u", hundredths / 100, hundredths % 100);
    form.SetText(IDC_HDL_CHOL, grams);
    Switch(form, exchange, 0);
    Switch(form, exchange, 1);
    if (form.Text(IDC_HDL_CHOL) != grams) Fail("g/L value moved in a round trip", grams);
    return 0;
}
