// The digits-only fields say when a typed character is refused: a note below the field,
// "chiffres seulement", until the next digit or until the field is left.
#pragma once

#include <windows.h>

namespace vessane {

// Gives the dialog's digits-only fields (age, pressures, horizon) their note. Returns the
// note's tooltip window, destroyed with the dialog.
HWND AttachDigitsNote(HWND dialog, HINSTANCE instance);

}  // namespace vessane
