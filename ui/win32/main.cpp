// Start-up and shutdown: the main window runs modally and its end ends the program.
// A GUI program: no console, and the command line is not looked at.
#include <windows.h>

#include <commctrl.h>

#include "main_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The progress bar's window class lives in the common controls library.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    vessane::RunMainDialog(instance);
    return 0;
}
