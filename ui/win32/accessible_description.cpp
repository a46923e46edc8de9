#include "accessible_description.h"

#include <oleacc.h>

namespace vessane {
namespace {

// The annotation service and the description property, as oleacc.h names them: defined
// here for the reason kIAccessible is.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kDescriptionProperty = {
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};

}  // namespace

void AccessibleDescription::Detach() {
    if (!services_) return;
    MSAAPROPID property = kDescriptionProperty;
    services_->ClearHwndProps(field_, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &property, 1);
    services_->Release();
    services_ = nullptr;
}

HRESULT AccessibleDescription::Attach(HWND field) {
    field_ = field;
    return ::CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                              reinterpret_cast<void**>(&services_));
}

HRESULT AccessibleDescription::Set(const std::wstring& text) {
    if (!services_) return E_FAIL;
    if (text == text_) return S_OK;
    text_ = text;
    MSAAPROPID property = kDescriptionProperty;
    const HRESULT done = text.empty()
                             ? services_->ClearHwndProps(field_, static_cast<DWORD>(OBJID_CLIENT),
                                                         CHILDID_SELF, &property, 1)
                             : services_->SetHwndPropStr(field_, static_cast<DWORD>(OBJID_CLIENT),
                                                         CHILDID_SELF, property, text.c_str());
    ::NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, field_, OBJID_CLIENT, CHILDID_SELF);
    return done;
}

}  // namespace vessane
