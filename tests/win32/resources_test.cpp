// The resources of vessane.exe, read from the file as Windows reads them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "resource.h"

namespace {

const WORD kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);

std::wstring WindowsPath(const std::string& path) {
    std::wstring wide = path[0] == '/' ? L"Z:" : L"";
    for (char c : path) wide += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return wide;
}

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(module, nullptr); }
    void TearDown() override { ::FreeLibrary(module); }

    const BYTE* Find(LPCWSTR type, int id, DWORD* size = nullptr) {
        HRSRC found = ::FindResourceExW(module, type, MAKEINTRESOURCEW(id), kFrench);
        if (!found) return nullptr;
        if (size) *size = ::SizeofResource(module, found);
        return static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    }

    const std::wstring path = WindowsPath(VESSANE_EXE);
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
};

TEST_F(ResourcesTest, EveryResourceIsFrench) {
    const struct {
        LPCWSTR type;
        int id;
    } resources[] = {{RT_DIALOG, IDD_ABOUT},
                     {RT_DIALOG, IDD_MAIN},
                     {RT_MENU, IDR_MAIN_MENU},
                     {RT_STRING, IDS_ABOUT_ITEM / 16 + 1},
                     {RT_GROUP_ICON, IDR_MAINFRAME_ICON},
                     {RT_VERSION, 1},
                     {RT_MANIFEST, 1}};
    for (const auto& r : resources) {
        EXPECT_NE(Find(r.type, r.id), nullptr) << reinterpret_cast<UINT_PTR>(r.type) << "/" << r.id;
    }
}

TEST_F(ResourcesTest, AboutItemText) {
    wchar_t text[64] = L"";
    ::LoadStringW(module, IDS_ABOUT_ITEM, text, 64);
    EXPECT_STREQ(text, L"&A propos de Vessane...");
}

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(ResourcesTest, IconHas24PixelsIn16ColoursAndLargerSizes) {
    const BYTE* group = Find(RT_GROUP_ICON, IDR_MAINFRAME_ICON);
    ASSERT_NE(group, nullptr);
    const WORD count = reinterpret_cast<const WORD*>(group)[2];
    const auto* entries = reinterpret_cast<const IconDirEntry*>(group + 6);
    bool sixteenColours24 = false;
    int largest = 0;
    for (WORD i = 0; i < count; ++i) {
        const int size = entries[i].width ? entries[i].width : 256;
        if (size == 24 && entries[i].bitCount == 4) sixteenColours24 = true;
        largest = std::max(largest, size);
    }
    EXPECT_TRUE(sixteenColours24);
    EXPECT_GE(largest, 48);
}

TEST_F(ResourcesTest, DialogTemplates) {
    // The main window's template is extended, the About box's classic.
    const BYTE* main = Find(RT_DIALOG, IDD_MAIN);
    ASSERT_NE(main, nullptr);
    const WORD* ex = reinterpret_cast<const WORD*>(main);
    EXPECT_EQ(ex[0], 1);       // version
    EXPECT_EQ(ex[1], 0xFFFF);  // signature
    const DWORD style = *reinterpret_cast<const DWORD*>(main + 12);
    const DWORD expected = DS_MODALFRAME | DS_3DLOOK | DS_CENTER | DS_SETFONT | WS_POPUP |
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    EXPECT_EQ(style, expected);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(main + 8), static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(*reinterpret_cast<const WORD*>(main + 16), 33);  // controls
    EXPECT_EQ(*reinterpret_cast<const short*>(main + 22), 142);
    EXPECT_EQ(*reinterpret_cast<const short*>(main + 24), 210);

    const BYTE* about = Find(RT_DIALOG, IDD_ABOUT);
    ASSERT_NE(about, nullptr);
    const auto* classic = reinterpret_cast<const DLGTEMPLATE*>(about);
    EXPECT_EQ(classic->style,
              static_cast<DWORD>(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(classic->cdit, 8);
    EXPECT_EQ(classic->cx, 235);
    EXPECT_EQ(classic->cy, 90);
}

std::wstring VersionString(const BYTE* block, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040C04B0\\") + name;
    if (!::VerQueryValueW(block, key.c_str(), &value, &length)) return L"(missing)";
    return length ? static_cast<const wchar_t*>(value) : L"";
}

TEST_F(ResourcesTest, VersionBlock) {
    const BYTE* block = Find(RT_VERSION, 1);
    ASSERT_NE(block, nullptr);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block, L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } strings[] = {{L"CompanyName", L""},
                   {L"FileDescription", L"Application MFC vessane"},
                   {L"FileVersion", L"1, 0, 0, 1"},
                   {L"InternalName", L"vessane"},
                   {L"LegalTrademarks", L""},
                   {L"OriginalFilename", L"vessane.EXE"},
                   {L"ProductName", L"Application vessane"},
                   {L"ProductVersion", L"1, 0, 0, 1"}};
    for (const auto& s : strings) EXPECT_EQ(VersionString(block, s.name), s.value) << s.name;
    EXPECT_EQ(VersionString(block, L"LegalCopyright").rfind(L"Copyright", 0), 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block, L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(translation[0], 0x040C);
    EXPECT_EQ(translation[1], 1200);
}

// Windows reads the manifest's DPI settings: per-monitor awareness (version 2) and,
// for Windows before 10 1607, the older per-monitor setting.
TEST_F(ResourcesTest, ManifestDeclaresPerMonitorDpiAwareness) {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE context = ::CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE);
    const auto setting = [&](const wchar_t* space, const wchar_t* name) {
        wchar_t value[64] = L"";
        SIZE_T written = 0;
        ::QueryActCtxSettingsW(0, context, space, name, value, 64, &written);
        return std::wstring(value);
    };
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
              L"true/pm");
    ::ReleaseActCtx(context);
}

}  // namespace
