// vessane.exe at the screen's DPI. It declares itself DPI-aware, so Windows lays its
// dialog out from the font at the real DPI instead of stretching a 96-DPI bitmap. Run
// at 96 DPI with the other window tests, and at 144 DPI by scripts/test-packages.sh.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app_window.h"
#include "resource.h"

namespace vessane::test {
namespace {

struct TemplateItem {
    RECT units;     // x, y, cx, cy in dialog units (left, top, right, bottom)
    bool comboBox;  // its window has the closed height, not the template's
};

// The controls of vessane.exe's main dialog template (DLGTEMPLATEEX), in order.
class MainTemplate {
public:
    explicit MainTemplate(const std::wstring& exe) {
        module_ = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HRSRC found = ::FindResourceW(module_, MAKEINTRESOURCEW(IDD_MAIN),
                                      reinterpret_cast<LPCWSTR>(RT_DIALOG));
        if (!found) return;
        data_ = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module_, found)));
        Parse();
    }
    ~MainTemplate() { ::FreeLibrary(module_); }
    MainTemplate(const MainTemplate&) = delete;
    MainTemplate& operator=(const MainTemplate&) = delete;

    HMODULE Module() const { return module_; }
    const DLGTEMPLATE* Template() const { return reinterpret_cast<const DLGTEMPLATE*>(data_); }
    RECT Size() const { return size_; }
    const std::vector<TemplateItem>& Items() const { return items_; }

private:
    const std::uint8_t* SkipText(const std::uint8_t* p) {  // sz_Or_Ord
        const auto* w = reinterpret_cast<const WORD*>(p);
        if (*w == 0xFFFF) return p + 4;
        while (*w) ++w;
        return reinterpret_cast<const std::uint8_t*>(w + 1);
    }
    static const std::uint8_t* AlignDword(const std::uint8_t* p, const std::uint8_t* base) {
        return base + ((p - base + 3) & ~3);
    }
    template <typename T>
    static T Read(const std::uint8_t* p) {
        T value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }

    void Parse() {
        const std::uint8_t* p = data_;
        const WORD count = Read<WORD>(p + 16);
        size_ = {0, 0, Read<short>(p + 22), Read<short>(p + 24)};
        p = SkipText(SkipText(SkipText(p + 26)));  // menu, class, caption
        p = SkipText(p + 6);                       // point size, weight, italic, charset; face
        for (WORD i = 0; i < count; ++i) {
            p = AlignDword(p, data_);
            const short x = Read<short>(p + 12), y = Read<short>(p + 14);
            const short cx = Read<short>(p + 16), cy = Read<short>(p + 18);
            const std::uint8_t* windowClass = p + 24;
            const bool combo =
                Read<WORD>(windowClass) == 0xFFFF && Read<WORD>(windowClass + 2) == 0x0085;
            items_.push_back({{x, y, cx, cy}, combo});
            p = SkipText(SkipText(windowClass));  // class, text
            p += 2 + Read<WORD>(p);               // creation data
        }
    }

    HMODULE module_ = nullptr;
    const std::uint8_t* data_ = nullptr;
    RECT size_{};
    std::vector<TemplateItem> items_;
};

INT_PTR CALLBACK ReferenceProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class DpiLayout : public ::testing::Test {
protected:
    void SetUp() override {
        // This process sees the screen as vessane.exe does: at its real DPI.
        ::SetProcessDPIAware();
        ::InitCommonControls();
        ASSERT_TRUE(app.Running()) << "vessane.exe did not show its window (CreateProcess error "
                                   << app.StartError() << ")";
        ASSERT_FALSE(layout.Items().empty()) << "no main dialog template in " << program;
        // The same template, made here: MapDialogRect on it converts dialog units at
        // this DPI, from the font's metrics, as Windows did for vessane.exe's dialog.
        reference = ::CreateDialogIndirectParamW(layout.Module(), layout.Template(), nullptr,
                                                 ReferenceProc, 0);
        ASSERT_NE(reference, nullptr);
        ::ShowWindow(reference, SW_HIDE);
    }
    void TearDown() override {
        if (reference) ::DestroyWindow(reference);
    }

    // Like the dialog manager, the place and the size each converted on their own.
    RECT Pixels(RECT units) const {
        ::MapDialogRect(reference, &units);
        return units;
    }

    std::string program = ProgramUnderTest();
    AppWindow app{program};
    MainTemplate layout{WindowsPath(program)};
    HWND reference = nullptr;
};

TEST_F(DpiLayout, ClientAreaGrowsWithTheDpi) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    // The DPI the caller set the screen to, when it says so.
    if (const char* expected = std::getenv("VESSANE_EXPECTED_DPI")) {
        ASSERT_EQ(dpi, std::atoi(expected));
    }
    const double scale = dpi / 96.0;

    RECT client;
    ::GetClientRect(app.Dialog(), &client);
    const RECT expected = Pixels(layout.Size());
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    // 213 x 341 pixels at 96 DPI (8-point MS Sans Serif: 6 x 13 base units).
    EXPECT_NEAR(client.right / 213.0, scale, 0.1) << client.right << " px across";
    EXPECT_NEAR(client.bottom / 341.0, scale, 0.1) << client.bottom << " px down";
}

TEST_F(DpiLayout, EveryControlSitsWhereMapDialogRectPutsIt) {
    const std::vector<HWND> children = app.Controls();
    ASSERT_EQ(children.size(), layout.Items().size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        const RECT expected = Pixels(layout.Items()[i].units);
        RECT r;
        ::GetWindowRect(children[i], &r);
        ::MapWindowPoints(nullptr, app.Dialog(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, expected.left) << "control " << i;
        EXPECT_EQ(r.top, expected.top) << "control " << i;
        EXPECT_EQ(r.right - r.left, expected.right) << "control " << i;
        if (!layout.Items()[i].comboBox) {
            EXPECT_EQ(r.bottom - r.top, expected.bottom) << "control " << i;
        }
    }
}

}  // namespace
}  // namespace vessane::test
