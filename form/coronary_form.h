// The form logic of the main window: recomputing the result from the controls,
// switching the cholesterol unit, and filling in the defaults at start.
#pragma once

#include <string>

#include "dialog_controls.h"
#include "validation.h"

namespace vessane {

// Reads every input control, validates, and shows either the result text and bar
// position or "ERREUR" (bar left alone). Returns the failed check, for a front end that
// says why.
ValidationCheck OnCalcul(DialogControls& controls);

// The two cholesterol texts bound to fields 105 and 106 by the dialog's data exchange.
struct CholesterolExchange {
    std::string m_strTotal;
    std::string m_strHdl;

    // saveAndValidate: true copies the fields' whole texts into the members, false
    // writes the members into the fields. Change notifications are held back meanwhile.
    void UpdateData(DialogControls& controls, bool saveAndValidate);
};

// Rewrites both cholesterol texts in the unit now selected and swaps the range labels;
// the result is left as it was.
void OnSelchangeUnit(DialogControls& controls, CholesterolExchange& exchange);

// Sets the default texts one by one (each set may recompute, as in the window), then
// the bar's default position.
void SetDefaultTexts(DialogControls& controls);

}  // namespace vessane
