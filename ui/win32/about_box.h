// The About box (template IDD_ABOUT) and the two ways the main window opens it.
#pragma once

#include <windows.h>

namespace vessane {

// Appends a separator and the "&A propos de Vessane..." item (IDM_ABOUT) to the
// window's system menu, when it has one and the string resource is not empty.
void AddAboutItemToSystemMenu(HWND window, HINSTANCE instance);

// Runs the About box modally above owner.
void RunAboutBox(HWND owner, HINSTANCE instance);

}  // namespace vessane
