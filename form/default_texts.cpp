#include "coronary_form.h"
#include "form_texts.h"

namespace vessane {

void SetDefaultTexts(DialogControls& controls) {
    for (const DefaultText& field : kDefaultTexts) controls.SetDlgItemText(field.id, field.text);
    controls.SetBarPos(IDC_RISK_BAR, kDefaultBarPosition);
}

}  // namespace vessane
