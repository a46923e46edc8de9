// Start-up and shutdown: the main window runs modally and its end ends the program.
// A GUI program: no console, and the command line is not looked at.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "main_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The progress bar's window class lives in the common controls library.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    // The result field's accessible description is set through COM's annotation
    // service, which this thread must have joined.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    vessane::RunMainDialog(instance);
    ::CoUninitialize();
    return 0;
}
