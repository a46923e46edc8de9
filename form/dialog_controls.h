// The few window operations the form logic needs, addressed by control identifier.
// The Qt window, the Win32 window, the in-memory form of the tests and the command
// line each provide them; the form logic never sees a toolkit.
#pragma once

namespace vessane {

class DialogControls {
public:
    virtual ~DialogControls() = default;

    // Copies at most maxCount - 1 characters of the control's text into buffer and
    // NUL-terminates it (when maxCount > 0). Returns the number of characters copied.
    virtual int GetDlgItemText(int id, char* buffer, int maxCount) = 0;
    // Length of the control's whole text, in characters.
    virtual int GetDlgItemTextLength(int id) = 0;
    // Sets a control's text. A field whose text is set this way reports the change
    // (and so recomputes) unless change notifications are held back.
    virtual void SetDlgItemText(int id, const char* text) = 0;
    // Selected index of a drop-down list, -1 when nothing is selected.
    virtual int GetCurSel(int id) = 0;
    // Check state of a check box: 0 unchecked, 1 checked.
    virtual int GetCheck(int id) = 0;
    // Position of a progress bar.
    virtual void SetBarPos(int id, int position) = 0;
    // While held, text changes of the fields reach no handler (data exchange).
    virtual void HoldChangeNotifications(bool hold) = 0;
};

// Holds change notifications back for its lifetime.
class NotificationHold {
public:
    explicit NotificationHold(DialogControls& controls) : controls_(controls) {
        controls_.HoldChangeNotifications(true);
    }
    ~NotificationHold() { controls_.HoldChangeNotifications(false); }
    NotificationHold(const NotificationHold&) = delete;
    NotificationHold& operator=(const NotificationHold&) = delete;

private:
    DialogControls& controls_;
};

}  // namespace vessane
