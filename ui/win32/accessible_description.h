// A field's accessible description, which screen readers read after its name and value,
// set through Windows' Dynamic Annotation: the field keeps its standard accessible object,
// with every interface that object answers, and that one property added.
#pragma once

#include <windows.h>

#include <string>

struct IAccPropServices;

namespace vessane {

// IAccessible's interface identifier. Defined here: MinGW's import library gives
// IID_IAccessible as a DLL import, which a static reference would read as a thunk.
inline constexpr IID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

class AccessibleDescription {
public:
    AccessibleDescription() = default;
    ~AccessibleDescription() { Detach(); }
    AccessibleDescription(const AccessibleDescription&) = delete;
    AccessibleDescription& operator=(const AccessibleDescription&) = delete;

    // Annotates `field` from now on, on a thread that has joined COM. Returns the
    // annotation service's answer: E_NOTIMPL where the system offers none.
    HRESULT Attach(HWND field);
    // The description (none while empty); assistive technologies are told it changed.
    HRESULT Set(const std::wstring& text);
    // Clears the annotation and releases the service: while the field still exists (its
    // parent's WM_DESTROY), since the system keeps annotations with the window.
    void Detach();

private:
    HWND field_ = nullptr;
    IAccPropServices* services_ = nullptr;
    std::wstring text_;
};

}  // namespace vessane
