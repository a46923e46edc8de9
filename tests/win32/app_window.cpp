#include "app_window.h"

#include <commctrl.h>
#include <oleacc.h>

#include <cstdlib>
#include <functional>

#include "accessible_description.h"

namespace vessane::test {
namespace {

struct Search {
    DWORD processId;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = L"", caption[64] = L"";
    ::GetClassNameW(window, className, 16);
    ::GetWindowTextW(window, caption, 64);
    if (owner == search.processId && ::IsWindowVisible(window) &&
        std::wstring(className) == L"#32770" && std::wstring(caption) == search.caption) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* caption, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    do {
        Search search{processId, caption, nullptr};
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        ::Sleep(20);
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM data) {
    if (::GetParent(child) == ::GetAncestor(child, GA_ROOT)) {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
    }
    return TRUE;
}

}  // namespace

std::wstring WindowsPath(const std::string& path) {
    // A Unix path from the build (under Wine) names drive Z:.
    std::wstring wide = path[0] == '/' ? L"Z:" : L"";
    for (char c : path) wide += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return wide;
}

std::string ProgramUnderTest() {
    const char* installed = std::getenv("VESSANE_EXE_UNDER_TEST");
    return installed && *installed ? installed : VESSANE_EXE;
}

AppWindow::AppWindow(const std::string& exePath) {
    std::wstring commandLine = L"\"" + WindowsPath(exePath) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Under Wine, starting a process fails on rare occasions that say nothing of the
    // program: it is tried again, and the last error kept for the failure message.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process_)) {
            ::WaitForInputIdle(process_.hProcess, 60000);
            dialog_ = FindProcessWindow(process_.dwProcessId, L"Vessane", 60000);
            return;
        }
        startError_ = ::GetLastError();
        process_ = {};
        ::Sleep(500);
    }
}

AppWindow::~AppWindow() {
    if (!process_.hProcess) return;
    if (Running()) {
        ::TerminateProcess(process_.hProcess, 99);
        ::WaitForSingleObject(process_.hProcess, 5000);
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

bool AppWindow::Running() const {
    return dialog_ && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> AppWindow::Controls() const {
    std::vector<HWND> children;
    ::EnumChildWindows(dialog_, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

void AppWindow::SetText(int id, const std::string& text) {
    ::SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string AppWindow::Text(int id) const {
    char buffer[256] = "";
    ::SendMessageA(Item(id), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::wstring AppWindow::WideText(HWND window) const {
    wchar_t buffer[256] = L"";
    ::SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

void AppWindow::Click(int id) {
    ::SendMessageA(Item(id), BM_CLICK, 0, 0);
}

void AppWindow::Select(int id, int index) {
    ::SendMessageA(Item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Item(id)));
}

int AppWindow::Selected(int id) const {
    return static_cast<int>(::SendMessageA(Item(id), CB_GETCURSEL, 0, 0));
}

int AppWindow::Checked(int id) const {
    return static_cast<int>(::SendMessageA(Item(id), BM_GETCHECK, 0, 0));
}

int AppWindow::BarPos() const {
    return static_cast<int>(::SendMessageA(Item(1012), PBM_GETPOS, 0, 0));
}

namespace {

// The field's accessible object, as a screen reader in another process gets it, given to
// use, on a thread that has joined COM for the call.
void WithAccessibleObject(HWND field, const std::function<void(IAccessible&)>& use) {
    const HRESULT joined = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* object = nullptr;
    if (SUCCEEDED(::AccessibleObjectFromWindow(field, static_cast<DWORD>(OBJID_CLIENT),
                                               vessane::kIAccessible,
                                               reinterpret_cast<void**>(&object)))) {
        use(*object);
        object->Release();
    }
    if (SUCCEEDED(joined)) ::CoUninitialize();
}

}  // namespace

bool SystemAnnotatesAccessibleObjects() {
    const HRESULT joined = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HWND window =
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HRESULT set = E_FAIL;
    {
        vessane::AccessibleDescription description;
        if (SUCCEEDED(description.Attach(window))) set = description.Set(L"essai");
    }
    ::DestroyWindow(window);
    if (SUCCEEDED(joined)) ::CoUninitialize();
    return set == S_OK;
}

std::wstring AppWindow::AccessibleDescription(int id) const {
    std::wstring text = L"?";
    WithAccessibleObject(Item(id), [&](IAccessible& object) {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR description = nullptr;
        const HRESULT got = object.get_accDescription(self, &description);
        text = got == S_OK && description ? description : L"";
        ::SysFreeString(description);
    });
    return text;
}

HWND AppWindow::WindowOfAccessibleObject(int id) const {
    HWND window = nullptr;
    WithAccessibleObject(Item(id), [&](IAccessible& object) {
        if (FAILED(::WindowFromAccessibleObject(&object, &window))) window = nullptr;
    });
    return window;
}

void AppWindow::TypeOver(int id, const std::string& characters) {
    ::SendMessageA(Item(id), EM_SETSEL, 0, -1);
    for (char c : characters) ::SendMessageA(Item(id), WM_CHAR, static_cast<WPARAM>(c), 1);
}

void AppWindow::PostKey(int id, UINT virtualKey) {
    ::PostMessageA(Item(id), WM_KEYDOWN, virtualKey, 1);
    ::PostMessageA(Item(id), WM_KEYUP, virtualKey, 0xC0000001);
}

HWND AppWindow::WaitForWindow(const wchar_t* caption, DWORD timeoutMs) const {
    return FindProcessWindow(process_.dwProcessId, caption, timeoutMs);
}

long AppWindow::WaitForExit(DWORD timeoutMs) {
    if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}

}  // namespace vessane::test
