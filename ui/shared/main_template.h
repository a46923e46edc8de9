// Template IDD_MAIN: the main window's controls, in template (and tab) order.
#pragma once

#include "dialog_template.h"
#include "form_texts.h"
#include "resource.h"
#include "texts.h"

namespace vessane::ui {

inline constexpr int kMainWidth = 142;  // client area, dialog units
inline constexpr int kMainHeight = 210;

// clang-format off
inline constexpr ControlTemplate kMainControls[] = {
    {IDC_SEX, "IDC_SEX", ControlKind::DropDownList, nullptr, 6, 13, 49, 34},
    {IDC_AGE, "IDC_AGE", ControlKind::EditDigits, nullptr, 69, 13, 34, 12},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_AGE, 72, 3, 15, 9},
    {IDC_SYSTOLIC, "IDC_SYSTOLIC", ControlKind::EditDigits, nullptr, 10, 55, 34, 12},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_SYSTOLIC, 10, 45, 33, 9},
    {IDC_DIASTOLIC, "IDC_DIASTOLIC", ControlKind::EditDigits, nullptr, 50, 55, 34, 12},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_DIASTOLIC, 50, 45, 37, 9},
    {IDC_TOTAL_CHOL, "IDC_TOTAL_CHOL", ControlKind::EditFree, nullptr, 11, 105, 34, 12},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_TOTAL, 11, 95, 17, 9},
    {IDC_HDL_CHOL, "IDC_HDL_CHOL", ControlKind::EditFree, nullptr, 49, 105, 34, 12},
    // 32 units wide, not 17: at 17 "HDL chol" wraps and its second word is cut off.
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_HDL, 51, 95, 32, 9},
    {IDC_SMOKER, "IDC_SMOKER", ControlKind::CheckBox, TXT_SMOKER, 95, 40, 38, 10},
    {IDC_DIABETES, "IDC_DIABETES", ControlKind::CheckBox, TXT_DIABETES, 95, 55, 39, 10},
    {IDC_LVH, "IDC_LVH", ControlKind::CheckBox, TXT_LVH, 95, 70, 39, 10},
    {IDC_YEARS, "IDC_YEARS", ControlKind::EditDigits, nullptr, 99, 150, 22, 12},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_YEARS, 123, 151, 15, 9},
    {IDC_RESULT, "IDC_RESULT", ControlKind::EditReadOnly, nullptr, 50, 175, 48, 12},
    {IDC_STATIC, "IDC_STATIC", ControlKind::LabelFramed, TXT_RISK_LABEL, 10, 150, 86, 12, "SS_CENTERIMAGE, WS_EX_STATICEDGE"},
    {IDC_CALCUL, "IDC_CALCUL", ControlKind::HiddenButton, TXT_CALCUL, 10, 165, 25, 12},
    {IDC_UNIT, "IDC_UNIT", ControlKind::DropDownList, nullptr, 91, 105, 44, 34},
    {IDC_STATIC, "IDC_STATIC", ControlKind::GroupBox, TXT_CHOLESTEROL_GROUP, 4, 85, 136, 45},
    {IDC_STATIC, "IDC_STATIC", ControlKind::GroupBox, TXT_RISK_GROUP, 4, 135, 136, 70},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_SYSTOLIC_RANGE, 12, 69, 29, 9},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_DIASTOLIC_RANGE, 54, 69, 29, 9},
    {IDC_TOTAL_RANGE, "IDC_TOTAL_RANGE", ControlKind::LabelCentred, kRangeLabels[kDefaultUnitIndex].total, 9, 118, 35, 8},
    {IDC_HDL_RANGE, "IDC_HDL_RANGE", ControlKind::LabelCentred, kRangeLabels[kDefaultUnitIndex].hdl, 49, 118, 37, 8},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_AGE_RANGE, 74, 26, 27, 9},
    {IDC_STATIC, "IDC_STATIC", ControlKind::GroupBox, TXT_PRESSURE_GROUP, 4, 34, 86, 46},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_YEARS_RANGE, 101, 162, 20, 10},
    {IDC_RISK_BAR, "IDC_RISK_BAR", ControlKind::ProgressBar, nullptr, 30, 192, 90, 10},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_YEARS, 105, 15, 15, 10},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_LOW, 8, 192, 20, 10},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_HIGH, 123, 192, 15, 10},
};
// clang-format on

// Accessible names and descriptions of the controls that carry no text of their own,
// from the labels beside them, so that a screen reader can say what each one asks for.
// The cholesterol fields take their description from their range labels, which
// change with the unit.
struct AccessibleText {
    int id;
    const char* name;
    const char* description;
};
inline constexpr AccessibleText kMainAccessibleTexts[] = {
    {IDC_SEX, TXT_SEX_NAME, nullptr},
    {IDC_AGE, TXT_AGE, TXT_AGE_RANGE},
    {IDC_SYSTOLIC, TXT_SYSTOLIC, TXT_SYSTOLIC_RANGE},
    {IDC_DIASTOLIC, TXT_DIASTOLIC, TXT_DIASTOLIC_RANGE},
    {IDC_TOTAL_CHOL, TXT_CHOLESTEROL_GROUP " " TXT_TOTAL, nullptr},
    {IDC_HDL_CHOL, TXT_HDL, nullptr},
    {IDC_YEARS, TXT_HORIZON_NAME, TXT_YEARS_RANGE},
    {IDC_RESULT, TXT_RESULT_NAME, nullptr},
    {IDC_UNIT, TXT_UNIT_NAME, nullptr},
    {IDC_RISK_BAR, TXT_BAR_NAME, nullptr},
};

}  // namespace vessane::ui
