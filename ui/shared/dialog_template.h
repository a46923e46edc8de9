// The controls of a dialog template, as data: kind, identifier, text and place in
// dialog units, described once for every window: the Qt windows build their widgets
// from these tables, the Win32 resource script's dialogs are written from them and the
// web page is laid out from them, in table order, which is also the tab order.
#pragma once

namespace vessane::ui {

enum class ControlKind {
    DropDownList,   // not sorted, vertical scroll bar, tab stop
    EditDigits,     // border, tab stop, right-aligned, auto-scroll, digits only
    EditFree,       // the same without the digits-only filter
    EditReadOnly,   // the digits edit, read-only
    Label,          // left-aligned
    LabelCentred,   // centred horizontally
    LabelFramed,    // centred both ways, sunken edge
    CheckBox,       // automatic check box, tab stop
    HiddenButton,   // push button, tab stop, never visible
    DefaultButton,  // default push button, tab stop
    GroupBox,       // frame with a title, drawn behind the other controls
    ProgressBar,    // bordered bar, 0 to 100, no text
    Icon,           // the application icon
};

struct ControlTemplate {
    int id;            // IDC_STATIC (-1) for the controls without one
    const char* name;  // the identifier's name, the widget's object name
    ControlKind kind;
    const char* text;  // UTF-8; nullptr for none
    int x, y, cx, cy;  // dialog units
    // A framed label's edge in the Win32 resource script (style[, extended style]); the
    // other windows draw every framed label alike.
    const char* win32Frame = nullptr;
};

}  // namespace vessane::ui
