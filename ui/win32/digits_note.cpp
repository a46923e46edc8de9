#include "digits_note.h"

#include <commctrl.h>

#include "control_ids.h"
#include "texts.h"

namespace vessane {
namespace {

constexpr UINT_PTR kSubclassId = 2;
constexpr int kDigitFields[] = {IDC_AGE, IDC_SYSTOLIC, IDC_DIASTOLIC, IDC_YEARS};

TTTOOLINFOW ToolOf(HWND field) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = ::GetParent(field);
    tool.uId = reinterpret_cast<UINT_PTR>(field);
    return tool;
}

void ShowNote(HWND tip, HWND field, bool shown) {
    TTTOOLINFOW tool = ToolOf(field);
    if (shown) {
        RECT rect;
        ::GetWindowRect(field, &rect);
        ::SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(rect.left, rect.bottom));
    }
    ::SendMessageW(tip, TTM_TRACKACTIVATE, shown, reinterpret_cast<LPARAM>(&tool));
}

// The field refuses what is not a digit itself (ES_NUMBER); this says so.
LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR data) {
    const HWND tip = reinterpret_cast<HWND>(data);
    if (message == WM_CHAR && wParam >= 0x20) {
        ShowNote(tip, field, wParam < '0' || wParam > '9');
    } else if (message == WM_KILLFOCUS) {
        ShowNote(tip, field, false);
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(field, FieldProc, kSubclassId);
    }
    return ::DefSubclassProc(field, message, wParam, lParam);
}

}  // namespace

HWND AttachDigitsNote(HWND dialog, HINSTANCE instance) {
    HWND tip =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, instance, nullptr);
    if (!tip) return nullptr;
    static wchar_t text[64] = L"";
    ::MultiByteToWideChar(CP_UTF8, 0, TXT_DIGITS_ONLY, -1, text, 63);
    for (const int id : kDigitFields) {
        HWND field = ::GetDlgItem(dialog, id);
        TTTOOLINFOW tool = ToolOf(field);
        tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
        tool.lpszText = text;
        ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SetWindowSubclass(field, FieldProc, kSubclassId, reinterpret_cast<DWORD_PTR>(tip));
    }
    return tip;
}

}  // namespace vessane
