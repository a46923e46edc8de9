// Drives a running vessane.exe from another process, through the messages a user's
// actions would send: the end-to-end view of the Win32 window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vessane::test {

// A path for Windows: a Unix one (from the build, under Wine) names drive Z:.
std::wstring WindowsPath(const std::string& path);

// Whether this system sets accessible properties by Dynamic Annotation (Wine 8's oleacc
// answers E_NOTIMPL), tried on a window of this process.
bool SystemAnnotatesAccessibleObjects();

// The vessane.exe this build made, or the one named by VESSANE_EXE_UNDER_TEST (an
// installed copy, for the installer's tests).
std::string ProgramUnderTest();

class AppWindow {
public:
    // Starts the program and waits for its main dialog; check Running() afterwards.
    explicit AppWindow(const std::string& exePath);
    ~AppWindow();  // ends the program if a test left it running
    AppWindow(const AppWindow&) = delete;
    AppWindow& operator=(const AppWindow&) = delete;

    HWND Dialog() const { return dialog_; }
    HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
    bool Running() const;
    // The error of CreateProcess's last failed try, 0 if none failed.
    DWORD StartError() const { return startError_; }
    // The dialog's own controls, in template (and tab) order.
    std::vector<HWND> Controls() const;

    // WM_SETTEXT: the field reports EN_CHANGE as typing would.
    void SetText(int id, const std::string& text);
    std::string Text(int id) const;
    std::wstring WideText(HWND window) const;
    // BM_CLICK on a check box.
    void Click(int id);
    // CB_SETCURSEL, then the CBN_SELCHANGE a user's choice sends.
    void Select(int id, int index);
    int Selected(int id) const;
    int Checked(int id) const;
    int BarPos() const;
    // A field's accessible description as screen readers get it (through the
    // accessibility object the field gives another process); "?" if it gives none.
    std::wstring AccessibleDescription(int id) const;
    // The window the field's accessible object says it belongs to (its IOleWindow, as
    // WindowFromAccessibleObject asks it); null if it answers none.
    HWND WindowOfAccessibleObject(int id) const;
    // Typing one character into a field, after selecting all its text.
    void TypeOver(int id, const std::string& characters);
    // A key pressed in a field, through the dialog's own message loop.
    void PostKey(int id, UINT virtualKey);

    // A window of the program other than the main dialog, with this caption; waits
    // up to timeoutMs for it.
    HWND WaitForWindow(const wchar_t* caption, DWORD timeoutMs = 60000) const;  // bounds for a hang
    // Waits for the program to end; returns its exit code, or -1 on timeout.
    long WaitForExit(DWORD timeoutMs = 60000);

private:
    PROCESS_INFORMATION process_{};
    HWND dialog_ = nullptr;
    DWORD startError_ = 0;
};

}  // namespace vessane::test
