#include "memory_form.h"

#include <algorithm>
#include <cstring>

#include "coronary_form.h"
#include "event_table.h"
#include "form_texts.h"
#include "control_ids.h"

namespace vessane {

MemoryForm::MemoryForm(bool routeChanges) : routeChanges_(routeChanges) {}

void MemoryForm::Initialise() {
    {
        // The dialog's first data exchange puts two empty texts into the cholesterol fields.
        CholesterolExchange empty;
        empty.UpdateData(*this, false);
    }
    sexIndex_ = kDefaultSexIndex;
    unitIndex_ = kDefaultUnitIndex;
    SetDefaultTexts(*this);
    const RangeLabels& labels = kRangeLabels[kDefaultUnitIndex];
    SetText(IDC_TOTAL_RANGE, labels.total);
    SetText(IDC_HDL_RANGE, labels.hdl);
}

std::string& MemoryForm::Field(int id) {
    switch (id) {
        case IDC_AGE:
            return texts_[0];
        case IDC_SYSTOLIC:
            return texts_[1];
        case IDC_DIASTOLIC:
            return texts_[2];
        case IDC_TOTAL_CHOL:
            return texts_[3];
        case IDC_HDL_CHOL:
            return texts_[4];
        case IDC_YEARS:
            return texts_[5];
        case IDC_RESULT:
            return texts_[6];
        case IDC_TOTAL_RANGE:
            return texts_[7];
        case IDC_HDL_RANGE:
            return texts_[8];
        default:
            return texts_[10];
    }
}

int MemoryForm::GetDlgItemText(int id, char* buffer, int maxCount) {
    if (maxCount <= 0) return 0;
    const std::string& text = Field(id);
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int MemoryForm::GetDlgItemTextLength(int id) {
    return static_cast<int>(Field(id).size());
}

void MemoryForm::SetDlgItemText(int id, const char* text) {
    Field(id).assign(text);
    if (!routeChanges_) return;
    CholesterolExchange noExchange;  // a text change never switches the unit
    if (Dispatch(*this, noExchange, id, ControlChange::kText, holdDepth_ > 0).action ==
        FormAction::kRecompute) {
        ++recomputeCount_;
    }
}

int MemoryForm::GetCurSel(int id) {
    if (id == IDC_SEX) return sexIndex_;
    if (id == IDC_UNIT) return unitIndex_;
    return -1;
}

int MemoryForm::GetCheck(int id) {
    switch (id) {
        case IDC_SMOKER:
            return smoker_;
        case IDC_DIABETES:
            return diabetes_;
        case IDC_LVH:
            return lvh_;
        default:
            return 0;
    }
}

void MemoryForm::SetBarPos(int id, int position) {
    if (id == IDC_RISK_BAR) barPosition_ = std::clamp(position, 0, 100);
}

void MemoryForm::HoldChangeNotifications(bool hold) {
    holdDepth_ += hold ? 1 : -1;
}

void MemoryForm::SetText(int id, std::string_view text) {
    Field(id).assign(text);
}

const std::string& MemoryForm::Text(int id) const {
    return const_cast<MemoryForm*>(this)->Field(id);
}

void MemoryForm::SetCurSel(int id, int index) {
    if (id == IDC_SEX) sexIndex_ = index;
    if (id == IDC_UNIT) unitIndex_ = index;
}

void MemoryForm::SetCheck(int id, int state) {
    switch (id) {
        case IDC_SMOKER:
            smoker_ = state;
            break;
        case IDC_DIABETES:
            diabetes_ = state;
            break;
        case IDC_LVH:
            lvh_ = state;
            break;
        default:
            break;
    }
}

}  // namespace vessane
