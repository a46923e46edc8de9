#include "about_box.h"

#include "resource.h"

namespace vessane {
namespace {

void CenterOver(HWND window, HWND owner) {
    RECT box, frame;
    if (!owner || !::GetWindowRect(window, &box) || !::GetWindowRect(owner, &frame)) return;
    const int x = frame.left + ((frame.right - frame.left) - (box.right - box.left)) / 2;
    const int y = frame.top + ((frame.bottom - frame.top) - (box.bottom - box.top)) / 2;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            // The template has no position of its own: show it over the main window.
            CenterOver(window, ::GetWindow(window, GW_OWNER));
            return TRUE;
        case WM_COMMAND:
            // OK, Enter, Escape and the close box all end it.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(window, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void AddAboutItemToSystemMenu(HWND window, HINSTANCE instance) {
    HMENU systemMenu = ::GetSystemMenu(window, FALSE);
    if (!systemMenu) return;
    wchar_t item[64];
    if (::LoadStringW(instance, IDS_ABOUT_ITEM, item, sizeof item / sizeof item[0]) <= 0) return;
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUT, item);
}

void RunAboutBox(HWND owner, HINSTANCE instance) {
    ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc, 0);
}

}  // namespace vessane
