// Template IDD_ABOUT: the About box's controls, in template (and tab) order.
#pragma once

#include "dialog_template.h"
#include "resource.h"
#include "texts.h"

namespace vessane::ui {

inline constexpr int kAboutWidth = 235;  // dialog units
inline constexpr int kAboutHeight = 90;
inline constexpr int kIdOk = 1;

// clang-format off
inline constexpr ControlTemplate kAboutControls[] = {
    {IDR_MAINFRAME_ICON, "IDR_MAINFRAME_ICON", ControlKind::Icon, nullptr, 5, 5, 20, 20},
    {IDC_STATIC, "IDC_STATIC", ControlKind::LabelFramed, TXT_ABOUT_VERSION, 30, 5, 119, 15, "SS_NOPREFIX | SS_SUNKEN | SS_CENTERIMAGE"},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_ABOUT_NOTICE, 30, 25, 160, 8},
    {kIdOk, "IDOK", ControlKind::DefaultButton, TXT_OK, 195, 75, 33, 14},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_ABOUT_CONTACT, 5, 80, 145, 10},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_ABOUT_FRAMINGHAM, 5, 35, 160, 10},
    {IDC_STATIC, "IDC_STATIC", ControlKind::Label, TXT_ABOUT_CITATION, 5, 45, 225, 15},
    {IDC_STATIC, "IDC_STATIC", ControlKind::LabelFramed, TXT_ABOUT_TERMS, 5, 65, 180, 15, "SS_CENTERIMAGE | SS_SUNKEN | WS_BORDER"},
};
// clang-format on

}  // namespace vessane::ui
