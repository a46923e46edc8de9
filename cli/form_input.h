// One form as the command line receives it, evaluated exactly as the window would.
#pragma once

#include <string>
#include <string_view>

#include "memory_form.h"

namespace vessane::cli {

struct FormInput {
    // Field texts, as typed; the window's defaults until set.
    std::string age = "50";
    std::string systolic = "150";
    std::string diastolic = "90";
    std::string total = "2.30";
    std::string hdl = "0.50";
    std::string years = "10";
    int sex = 1;   // 0 Femme, 1 Homme
    int unit = 1;  // 0 mmol/L, 1 g/L
    int smoker = 0;
    int diabetes = 0;
    int lvh = 0;
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
    const char* failure = "";  // French reason when not valid
};

// A selector's index from its text (case-insensitive) or from "0"/"1"; -1 if neither.
int ParseSexSelector(std::string_view text);
int ParseUnitSelector(std::string_view text);
// A check box from "0", "1" or "" (unchecked); -1 otherwise.
int ParseFlag(std::string_view text);

// Fills form with input and runs the window's recomputation on it.
FormOutcome Evaluate(const FormInput& input, MemoryForm& form);

// Shortest text that reads back to the same double, always with a decimal point.
std::string ShortestDecimal(double value);
void AppendShortestDecimal(double value, std::string& out);

}  // namespace vessane::cli
