#include "main_dialog.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <string>

#include "about_box.h"
#include "accessible_description.h"
#include "coronary_form.h"
#include "digits_note.h"
#include "event_table.h"
#include "form_texts.h"
#include "on_calcul.h"
#include "resource.h"
#include "win32_controls.h"

namespace vessane {
namespace {

// What the main window keeps between messages; lives on RunMainDialog's stack.
struct MainDialog {
    HINSTANCE instance;
    HICON m_hIcon;
    Win32Controls controls;
    CholesterolExchange exchange;  // m_strTotal and m_strHdl, empty at construction
    HWND reasonTip = nullptr;      // the result field's tooltip: why it shows ERREUR
    AccessibleDescription reason;  // and its accessible description; empty unless ERREUR
};

// The result field's tooltip, empty until a form gives ERREUR.
HWND MakeReasonTip(HWND window, HINSTANCE instance) {
    HWND tip = ::CreateWindowExW(
        0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
    if (!tip) return nullptr;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(window, IDC_RESULT));
    tool.lpszText = const_cast<LPWSTR>(L"");
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 400);
    return tip;
}

// A disabled progress bar is drawn as an enabled one; this one is also greyed, without
// the visual style that would ignore its colour, so that it shows it is no result.
void EnableBar(HWND bar, bool enabled) {
    if ((::IsWindowEnabled(bar) != FALSE) == enabled) return;  // a theme change repaints
    ::EnableWindow(bar, enabled);
    ::SetWindowTheme(bar, enabled ? nullptr : L" ", enabled ? nullptr : L" ");
    // Without a visual style the bar takes a static edge: its frame is drawn again.
    ::SetWindowPos(bar, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(bar, PBM_SETBARCOLOR, 0,
                   enabled ? CLR_DEFAULT : static_cast<LPARAM>(::GetSysColor(COLOR_GRAYTEXT)));
}

// After a recomputation: on ERREUR the bar keeps its place but is disabled (it is no
// result of this form), and the result field's tooltip and accessible description say
// why.
void ShowFailure(HWND window, MainDialog& dialog, ValidationCheck failed) {
    const bool erreur = failed != ValidationCheck::kNone;
    EnableBar(::GetDlgItem(window, IDC_RISK_BAR), !erreur);
    const char* reason = erreur ? DescribeFormFailure(dialog.controls, failed) : "";
    wchar_t text[256] = L"";
    ::MultiByteToWideChar(CP_UTF8, 0, reason, -1, text, 255);
    HWND result = ::GetDlgItem(window, IDC_RESULT);
    dialog.reason.Set(text);
    if (!dialog.reasonTip) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(result);
    tool.lpszText = text;
    ::SendMessageW(dialog.reasonTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

MainDialog* FromWindow(HWND window) {
    return reinterpret_cast<MainDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
}

void FillSelector(HWND window, int id, const char* const (&items)[2], int selected) {
    for (const char* item : items) {
        ::SendDlgItemMessageA(window, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    ::SendDlgItemMessageA(window, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

BOOL OnInitDialog(HWND window, MainDialog& dialog) {
    dialog.controls.Attach(window);
    // The first data exchange: the two empty members go into the cholesterol fields.
    dialog.exchange.UpdateData(dialog.controls, false);
    AddAboutItemToSystemMenu(window, dialog.instance);
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(dialog.m_hIcon));
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(dialog.m_hIcon));
    FillSelector(window, IDC_SEX, kSexItems, kDefaultSexIndex);
    FillSelector(window, IDC_UNIT, kUnitItems, kDefaultUnitIndex);
    dialog.reasonTip = MakeReasonTip(window, dialog.instance);
    dialog.reason.Attach(::GetDlgItem(window, IDC_RESULT));
    AttachDigitsNote(window, dialog.instance);
    SetDefaultTexts(dialog.controls);  // each field set recomputes, nested
    return TRUE;                       // focus to the first tab stop, the sex selector
}

// A control's notification as the form's event table names the change; false for the
// notifications the table has no entry for.
bool ChangeOf(int code, ControlChange& change) {
    switch (code) {
        case EN_CHANGE:
            change = ControlChange::kText;
            return true;
        case CBN_SELCHANGE:
            change = ControlChange::kSelection;
            return true;
        case BN_CLICKED:
            change = ControlChange::kClick;
            return true;
        default:
            return false;
    }
}

// WM_COMMAND: the controls' changes through the form's event table, then the menu's
// commands. Returns whether a handler ran.
bool OnCommand(HWND window, MainDialog& dialog, WPARAM wParam, LPARAM lParam) {
    // Enter sends the OK command (identifier 1, code 0): made command 0, which has no
    // handler, so Enter never closes the window.
    if (wParam == IDOK) wParam = 0;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    const bool fromControl = lParam != 0;
    // During a data exchange, control notifications reach no handler at all.
    if (fromControl && dialog.controls.NotificationsHeld()) return true;

    ControlChange change;
    if (ChangeOf(code, change) && ActionFor(id, change) != FormAction::kNone) {
        const Dispatched done = Dispatch(dialog.controls, dialog.exchange, id, change, false);
        if (done.action == FormAction::kRecompute) ShowFailure(window, dialog, done.failed);
    } else if (id == ID_OPTIONS_INFOS && code == 0) {
        RunAboutBox(window, dialog.instance);
    } else if (id == ID_OPTIONS_QUITTER && code == 0) {
        ::EndDialog(window, 0);
    } else if (id == IDCANCEL && code == 0) {
        ::EndDialog(window, IDCANCEL);  // Escape, the close box, Alt+F4
    } else {
        return false;
    }
    return true;
}

// Draws the icon centred in the minimised window.
void PaintIcon(HWND window, HICON icon) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    ::SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(window, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, icon);
    ::EndPaint(window, &paint);
}

INT_PTR CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        return OnInitDialog(window, *reinterpret_cast<MainDialog*>(lParam));
    }
    MainDialog* dialog = FromWindow(window);
    if (!dialog) return FALSE;  // messages before WM_INITDIALOG

    switch (message) {
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUT) {
                RunAboutBox(window, dialog->instance);
                return TRUE;
            }
            return FALSE;  // move, minimise, close: default processing
        case WM_PAINT:
            if (!::IsIconic(window)) return FALSE;
            PaintIcon(window, dialog->m_hIcon);
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(dialog->m_hIcon);
        case WM_COMMAND:
            return OnCommand(window, *dialog, wParam, lParam) ? TRUE : FALSE;
        case WM_DESTROY:
            dialog->reason.Detach();
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR RunMainDialog(HINSTANCE instance) {
    MainDialog dialog{instance,        ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME_ICON)),
                      Win32Controls(), CholesterolExchange(),
                      nullptr,         {}};
    return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainProc,
                             reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace vessane
