// One form as the command line receives it, evaluated exactly as the window would.
#pragma once

#include <string>
#include <string_view>

#include "memory_form.h"

namespace vessane::cli {

// One form's texts and choices, borrowed from the caller (the batch's cells).
struct FormFields {
    std::string_view age, systolic, diastolic, total, hdl, years;
    int sex;   // 0 Femme, 1 Homme
    int unit;  // 0 mmol/L, 1 g/L
    int smoker, diabetes, lvh;
};

// The window's defaults.
inline constexpr FormFields kDefaultFields{"50", "150", "90", "2.30", "0.50", "10", 1, 1, 0, 0, 0};

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
    const char* failure = "";  // French reason when not valid
};

// A selector's index from its text (case-insensitive) or from "0"/"1"; -1 if neither.
int ParseSexSelector(std::string_view text);
int ParseUnitSelector(std::string_view text);
// A check box from "0", "1" or "" (unchecked); -1 otherwise.
int ParseFlag(std::string_view text);

// Fills form with input and runs the window's recomputation on it.
FormOutcome Evaluate(const FormInput& input, MemoryForm& form);

// The window's controls holding one form borrowed from the caller: what the batch
// evaluates each row with, without copying its cells. Change notifications route
// nowhere, as with a MemoryForm that does not route changes.
class FieldControls final : public DialogControls {
public:
    FieldControls() = default;
    explicit FieldControls(const FormFields& fields) : fields_(fields) {}

    // Holds the texts and choices of the next form (the texts are not copied).
    void Set(const FormFields& fields) { fields_ = fields; }
    // What the last recomputation showed.
    std::string_view Result() const { return {result_, resultLength_}; }
    int BarPos() const { return barPosition_; }

    int GetDlgItemText(int id, char* buffer, int maxCount) override;
    int GetDlgItemTextLength(int id) override;
    void SetDlgItemText(int id, const char* text) override;
    int GetCurSel(int id) override;
    int GetCheck(int id) override;
    void SetBarPos(int id, int position) override;
    void HoldChangeNotifications(bool) override {}

private:
    std::string_view Field(int id) const;

    FormFields fields_ = kDefaultFields;
    char result_[16] = {};  // the result texts are at most 6 characters
    std::size_t resultLength_ = 0;
    int barPosition_ = 0;
};

// Runs the window's recomputation on the form controls hold: true when a result is
// shown (controls.Result() and BarPos(); the probabilities are in g_riskState).
bool EvaluateFields(FieldControls& controls);

// Shortest text that reads back to the same double, always with a decimal point.
std::string ShortestDecimal(double value);
void AppendShortestDecimal(double value, std::string& out);
// The same written at out, which has room for kMaxShortestDecimal characters; returns
// the end of the text.
inline constexpr std::size_t kMaxShortestDecimal = 400;  // fixed notation of 5e-324
char* WriteShortestDecimal(double value, char* out);

}  // namespace vessane::cli
