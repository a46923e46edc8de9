// One form as the command line receives it, evaluated exactly as the window would.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "form_fields.h"
#include "memory_form.h"

namespace vessane::cli {

struct FormInput {
    // Field texts, as typed; the window's defaults until set.
    std::string age{kDefaultFields.age};
    std::string systolic{kDefaultFields.systolic};
    std::string diastolic{kDefaultFields.diastolic};
    std::string total{kDefaultFields.total};
    std::string hdl{kDefaultFields.hdl};
    std::string years{kDefaultFields.years};
    int sex = kDefaultFields.sex;
    int unit = kDefaultFields.unit;
    int smoker = kDefaultFields.smoker;
    int diabetes = kDefaultFields.diabetes;
    int lvh = kDefaultFields.lvh;
};

struct FormOutcome {
    bool valid = false;
    std::string result;  // the result field's text: "10.3 %" or "ERREUR"
    int bar = 0;
    double pSys = 0;
    double pDia = 0;
    int digitsSys = 0;
    int digitsDia = 0;
    bool diastolicShown = false;
    const char* failure = "";         // French reason when not valid
    std::vector<std::string> whatIf;  // "Et si…" lines when valid
    FormValues values{};              // the form as the window read it, for SCORE2
};

// Fills form with input and evaluates it as the window reads its controls.
FormOutcome Evaluate(const FormInput& input, MemoryForm& form);

// Shortest text that reads back to the same double, always with a decimal point.
std::string ShortestDecimal(double value);
void AppendShortestDecimal(double value, std::string& out);
// The same written at out, which has room for kMaxShortestDecimal characters; returns
// the end of the text.
inline constexpr std::size_t kMaxShortestDecimal = 400;  // fixed notation of 5e-324
char* WriteShortestDecimal(double value, char* out);

}  // namespace vessane::cli
