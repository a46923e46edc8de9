// The form's control operations on a live Win32 dialog, addressed by control identifier.
#pragma once

#include <windows.h>

#include "dialog_controls.h"

namespace vessane {

class Win32Controls final : public DialogControls {
public:
    explicit Win32Controls(HWND dialog = nullptr) : dialog_(dialog) {}
    void Attach(HWND dialog) { dialog_ = dialog; }

    int GetDlgItemText(int id, char* buffer, int maxCount) override;
    int GetDlgItemTextLength(int id) override;
    void SetDlgItemText(int id, const char* text) override;
    int GetCurSel(int id) override;
    int GetCheck(int id) override;
    void SetBarPos(int id, int position) override;
    void HoldChangeNotifications(bool hold) override { holdDepth_ += hold ? 1 : -1; }

    // True while a data exchange runs: control notifications must reach no handler.
    bool NotificationsHeld() const { return holdDepth_ > 0; }

private:
    HWND dialog_;
    int holdDepth_ = 0;
};

}  // namespace vessane
