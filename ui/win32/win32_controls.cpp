#include "win32_controls.h"

#include <commctrl.h>

namespace vessane {

int Win32Controls::GetDlgItemText(int id, char* buffer, int maxCount) {
    if (maxCount <= 0) return 0;
    return static_cast<int>(::GetDlgItemTextA(dialog_, id, buffer, maxCount));
}

int Win32Controls::GetDlgItemTextLength(int id) {
    return ::GetWindowTextLengthA(::GetDlgItem(dialog_, id));
}

void Win32Controls::SetDlgItemText(int id, const char* text) {
    // An edit box reports EN_CHANGE from inside this call: the recomputation runs nested.
    ::SetDlgItemTextA(dialog_, id, text);
}

int Win32Controls::GetCurSel(int id) {
    return static_cast<int>(::SendDlgItemMessageA(dialog_, id, CB_GETCURSEL, 0, 0));
}

int Win32Controls::GetCheck(int id) {
    return static_cast<int>(::SendDlgItemMessageA(dialog_, id, BM_GETCHECK, 0, 0));
}

void Win32Controls::SetBarPos(int id, int position) {
    ::SendDlgItemMessageA(dialog_, id, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

}  // namespace vessane
