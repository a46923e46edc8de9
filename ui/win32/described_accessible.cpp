#include "described_accessible.h"

#include <commctrl.h>
#include <oleacc.h>

namespace vessane {
namespace {

constexpr UINT_PTR kSubclassId = 1;
// Asked of the field from the accessible object: the description's address. Sent, so
// it is answered only while the field exists.
const UINT kDescriptionRequest = WM_APP + 0x41;

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The standard object of the field, every call passed on, but the description.
class DescribedAccessible final : public IAccessible {
public:
    DescribedAccessible(HWND field, IAccessible* standard) : field_(field), standard_(standard) {}

    // IUnknown. Only this object's own interfaces: a standard one answered for
    // another interface would lose the description.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = ::InterlockedDecrement(&references_);
        if (left == 0) {
            standard_->Release();
            delete this;
        }
        return left;
    }

    // IDispatch: clients of accessibility call the interface's methods directly; no
    // type information is offered, so no late-bound call can miss the description.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (!description) return E_POINTER;
        const auto* text = IsSelf(child) && ::IsWindow(field_)
                               ? reinterpret_cast<const std::wstring*>(
                                     ::SendMessageW(field_, kDescriptionRequest, 0, 0))
                               : nullptr;
        if (!text || text->empty()) return standard_->get_accDescription(child, description);
        *description = ::SysAllocString(text->c_str());
        return *description ? S_OK : E_OUTOFMEMORY;
    }

    // The rest, as the standard object answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return standard_->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return standard_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~DescribedAccessible() = default;

    LONG references_ = 1;
    HWND field_;
    IAccessible* standard_;
};

LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR description) {
    if (message == kDescriptionRequest) return static_cast<LRESULT>(description);
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        IAccessible* standard = nullptr;
        if (SUCCEEDED(::CreateStdAccessibleObject(field, OBJID_CLIENT, kIAccessible,
                                                  reinterpret_cast<void**>(&standard)))) {
            auto* described = new DescribedAccessible(field, standard);
            const LRESULT result = ::LresultFromObject(kIAccessible, wParam, described);
            described->Release();  // the result holds its own reference
            return result;
        }
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(field, FieldProc, kSubclassId);
    return ::DefSubclassProc(field, message, wParam, lParam);
}

}  // namespace

bool AttachAccessibleDescription(HWND field, const std::wstring* description) {
    return ::SetWindowSubclass(field, FieldProc, kSubclassId,
                               reinterpret_cast<DWORD_PTR>(description)) != FALSE;
}

void NotifyDescriptionChanged(HWND field) {
    ::NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, field, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace vessane
