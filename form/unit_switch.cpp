#include "unit_switch.h"

#include <cfloat>
#include <cmath>

#include "coronary_form.h"
#include "form_texts.h"
#include "number_format.h"
#include "number_parse.h"
#include "on_calcul.h"
#include "control_ids.h"

namespace vessane {
namespace {

bool FitsFloat(double value) {
    return std::fabs(value) <= FLT_MAX;
}

}  // namespace

void ConvertCholesterolText(const std::string& text, int unitIndex, std::string& out) {
    const double typed = ParseNumber(text);
    // Narrowing a double beyond the float range is undefined: such a value never gets
    // there, and its field gets a text the form rejects.
    if (!FitsFloat(typed)) {
        out = kErrorText;
        return;
    }
    float value = static_cast<float>(typed);
    const double converted =
        unitIndex == kUnitMmolPerL ? value * kCholesterolFactor : value / kCholesterolFactor;
    if (!FitsFloat(converted)) {
        out = kErrorText;
        return;
    }
    value = static_cast<float>(converted);
    FormatFixed2(value, out);
}

void CholesterolExchange::UpdateData(DialogControls& controls, bool saveAndValidate) {
    NotificationHold hold(controls);
    const struct {
        int id;
        std::string& member;
    } bindings[] = {{IDC_TOTAL_CHOL, m_strTotal}, {IDC_HDL_CHOL, m_strHdl}};
    for (const auto& binding : bindings) {
        if (saveAndValidate) {
            const int length = controls.GetDlgItemTextLength(binding.id);
            binding.member.assign(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
            const int copied = controls.GetDlgItemText(binding.id, binding.member.data(),
                                                       static_cast<int>(binding.member.size()));
            binding.member.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        } else {
            controls.SetDlgItemText(binding.id, binding.member.c_str());
        }
    }
}

void OnSelchangeUnit(DialogControls& controls, CholesterolExchange& exchange) {
    const int unit = controls.GetCurSel(IDC_UNIT);
    exchange.UpdateData(controls, true);
    std::string converted;
    ConvertCholesterolText(exchange.m_strTotal, unit, converted);
    exchange.m_strTotal.swap(converted);
    ConvertCholesterolText(exchange.m_strHdl, unit, converted);
    exchange.m_strHdl.swap(converted);
    exchange.UpdateData(controls, false);

    const RangeLabels& labels = kRangeLabels[unit == kUnitMmolPerL ? 0 : 1];
    controls.SetDlgItemText(IDC_TOTAL_RANGE, labels.total);
    controls.SetDlgItemText(IDC_HDL_RANGE, labels.hdl);
}

}  // namespace vessane
