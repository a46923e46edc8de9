// A field's accessible description, which screen readers read after its name and
// value: the standard accessible object of the field, with that one property added.
#pragma once

#include <windows.h>

#include <string>

namespace vessane {

// IAccessible's interface identifier. Defined here: MinGW's import library gives
// IID_IAccessible as a DLL import, which a static reference would read as a thunk.
inline constexpr IID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Subclasses `field` so that assistive technologies read `*description` as its
// accessible description (none while empty). The text is read at each request, so it
// is never stale; it must outlive the field. Returns false if the field could not be
// subclassed.
bool AttachAccessibleDescription(HWND field, const std::wstring* description);

// Tells assistive technologies that the field's description changed.
void NotifyDescriptionChanged(HWND field);

}  // namespace vessane
