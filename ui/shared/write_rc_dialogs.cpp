// Writes the Win32 resource script's two dialog templates from the shared description
// of the windows (main_template.h, about_template.h), so that the Win32 window and the
// others cannot drift apart. Run at build time on the building machine:
//   write_rc_dialogs OUTPUT   (included by ui/win32/vessane.rc)
#include <cstdio>
#include <string>

#include "about_template.h"
#include "main_template.h"
#include "texts.h"

namespace {

using vessane::ui::ControlKind;
using vessane::ui::ControlTemplate;

// A resource script string: UTF-8 (the script says so), quotes doubled.
std::string Quoted(const char* text) {
    std::string quoted = "\"";
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '"') quoted += '"';
        quoted += *p;
    }
    return quoted + "\"";
}

std::string Place(const ControlTemplate& c) {
    return std::to_string(c.x) + ", " + std::to_string(c.y) + ", " + std::to_string(c.cx) + ", " +
           std::to_string(c.cy);
}

// One control statement, as the resource compiler reads it.
std::string Statement(const ControlTemplate& c) {
    const std::string id = c.name;
    const std::string place = Place(c);
    switch (c.kind) {
        case ControlKind::DropDownList:
            return "COMBOBOX " + id + ", " + place + ", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP";
        case ControlKind::EditDigits:
            return "EDITTEXT " + id + ", " + place + ", ES_RIGHT | ES_AUTOHSCROLL | ES_NUMBER";
        case ControlKind::EditFree:
            return "EDITTEXT " + id + ", " + place + ", ES_RIGHT | ES_AUTOHSCROLL";
        case ControlKind::EditReadOnly:
            return "EDITTEXT " + id + ", " + place +
                   ", ES_RIGHT | ES_AUTOHSCROLL | ES_READONLY | ES_NUMBER";
        case ControlKind::Label:
            return "LTEXT " + Quoted(c.text) + ", " + id + ", " + place;
        case ControlKind::LabelCentred:
            return "CTEXT " + Quoted(c.text) + ", " + id + ", " + place;
        case ControlKind::LabelFramed:
            return "CTEXT " + Quoted(c.text) + ", " + id + ", " + place + ", " +
                   (c.win32Frame ? c.win32Frame : "SS_CENTERIMAGE | SS_SUNKEN");
        case ControlKind::CheckBox:
            return "CONTROL " + Quoted(c.text) + ", " + id +
                   ", \"Button\", BS_AUTOCHECKBOX | WS_TABSTOP, " + place;
        case ControlKind::HiddenButton:
            return "PUSHBUTTON " + Quoted(c.text) + ", " + id + ", " + place + ", NOT WS_VISIBLE";
        case ControlKind::DefaultButton:
            return "DEFPUSHBUTTON " + Quoted(c.text) + ", " + id + ", " + place + ", WS_GROUP";
        case ControlKind::GroupBox:
            return "GROUPBOX " + Quoted(c.text) + ", " + id + ", " + place;
        case ControlKind::ProgressBar:
            return "CONTROL \"\", " + id + ", \"msctls_progress32\", WS_BORDER, " + place;
        case ControlKind::Icon:
            return "ICON " + id + ", IDC_STATIC, " + place;
    }
    return {};
}

template <std::size_t N>
void WriteDialog(std::FILE* out, const char* header, const ControlTemplate (&controls)[N]) {
    std::fprintf(out, "%s\nBEGIN\n", header);
    for (const ControlTemplate& control : controls) {
        std::fprintf(out, "    %s\n", Statement(control).c_str());
    }
    std::fprintf(out, "END\n\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_rc_dialogs OUTPUT\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    using namespace vessane::ui;
    std::fprintf(out, "// Written by ui/shared/write_rc_dialogs.cpp from the windows' description.\n\n");
    const std::string main =
        "IDD_MAIN DIALOGEX 0, 0, " + std::to_string(kMainWidth) + ", " +
        std::to_string(kMainHeight) +
        "\nSTYLE DS_MODALFRAME | DS_3DLOOK | DS_CENTER | WS_POPUP | WS_VISIBLE | WS_CAPTION | "
        "WS_SYSMENU | WS_MINIMIZEBOX\nEXSTYLE WS_EX_APPWINDOW\nCAPTION " +
        Quoted(TXT_MAIN_CAPTION) + "\nMENU IDR_MAIN_MENU\nFONT 8, \"MS Sans Serif\", 0, 0, 0x0";
    WriteDialog(out, main.c_str(), kMainControls);
    const std::string about = "IDD_ABOUT DIALOG 0, 0, " + std::to_string(kAboutWidth) + ", " +
                              std::to_string(kAboutHeight) +
                              "\nSTYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU\nCAPTION " +
                              Quoted(TXT_ABOUT_CAPTION) + "\nFONT 8, \"MS Sans Serif\"";
    WriteDialog(out, about.c_str(), kAboutControls);
    return std::fclose(out) == 0 ? 0 : 1;
}
