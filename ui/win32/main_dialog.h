// The main window, dialog template IDD_MAIN, run modally.
#pragma once

#include <windows.h>

namespace vessane {

// Runs the main window until "&Quitter" (result 0), Escape or the close box (IDCANCEL).
INT_PTR RunMainDialog(HINSTANCE instance);

}  // namespace vessane
