// Stands between the accessibility protocol and the window's controls: an assistive
// technology (or any program speaking its protocol) may read them as ever, but may
// change the fields only as a user at the keyboard could, ticks a box only by a click
// that the window routes, and cannot reach the hidden button at all.
#pragma once

class QWidget;

namespace vessane::qt {

enum class AccessibleGuard {
    Field,     // a line edit: edits pass its validator and its read-only flag
    CheckBox,  // a check box: its accessible actions are clicks
    Inert,     // a control never shown: reported invisible, offering no action
};

// Gives widget the guarded accessible interface of that kind, now and whenever it is
// asked for, replacing one the toolkit may have made while the widget was built.
void GuardAccessibility(QWidget* widget, AccessibleGuard guard);

// Whether a modal window other than widget's own (the About box over the main window)
// keeps the mouse and the keyboard away from widget: requests that reach it another way
// are refused then.
bool BlockedByModalWindow(const QWidget* widget);

}  // namespace vessane::qt
