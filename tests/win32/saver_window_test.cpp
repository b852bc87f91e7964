// The saver window of this process as the system sees it: its class, styles
// and place, the system command it answers, a preview inside another window
// that input does not end, and the registry and library requests of its exit.
#include "platform/win32/saver_window.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <utility>

#include "platform/headless/memory_profile_store.h"
#include "platform/win32/application.h"
#include "platform/win32/saver_platform_win32.h"
#include "settings/settings_file.h"

namespace nimbrel::win32 {
namespace {

// The cursor display counter now, left as it was.
int CursorCounter()
{
    ShowCursor(FALSE);
    return ShowCursor(TRUE);
}

class SaverWindowTest : public ::testing::Test {
protected:
    SaverWindowTest()
    {
        // On the NT family a request closes at once, without the registry.
        CapturePlatformId();
        EXPECT_EQ(CapturedPlatformId(), 2u) << "the test prefix must report an NT-family Windows";
        SetCurrentProfileStore(&settings_);
    }
    ~SaverWindowTest() override
    {
        SetCurrentProfileStore(nullptr);
        // Destroying the main window asks the loop to quit; that request must
        // not reach the next test.
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    MemoryProfileStore settings_;
};

TEST_F(SaverWindowTest, IsAHiddenTopmostBorderlessPopupCoveringTheScreenThatAnswersScreenSave)
{
    const int cursor = CursorCounter();
    ASSERT_GE(cursor, 0);
    HWND window = CreateSaverWindow(nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CursorCounter(), -1);

    std::array<wchar_t, 64> text{};
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    EXPECT_STREQ(text.data(), L"Nimbrel");
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CHILD | WS_BORDER | WS_THICKFRAME | WS_CAPTION));
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND)), GetStockObject(BLACK_BRUSH));
    EXPECT_FALSE(IsWindowVisible(window));  // shown only by the loop that runs it
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ((std::array{rect.left, rect.top, rect.right, rect.bottom}),
              (std::array<LONG, 4>{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    // The focus holder: a button of no size at the corner.
    HWND button = FindWindowExW(window, nullptr, L"Button", L"TBarOffBtn");
    ASSERT_NE(button, nullptr);
    GetWindowRect(button, &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);

    EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
    EXPECT_TRUE(IsWindow(window));
    DestroyWindow(window);
    EXPECT_EQ(CursorCounter(), 0);
    while (CursorCounter() < cursor) ShowCursor(TRUE);
}

HWND g_preview = nullptr;
bool g_previewStayed = false;
void CALLBACK EndPreview(HWND, UINT, UINT_PTR, DWORD)
{
    g_previewStayed = IsWindow(g_preview);
    DestroyWindow(g_preview);
}

TEST_F(SaverWindowTest, PreviewIsAChildThatInputDoesNotEnd)
{
    HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr,
                                  nullptr, nullptr);
    const int cursor = CursorCounter();
    g_preview = CreateSaverWindow(parent);
    SetSaverClosesOnInput(g_preview, false);
    const LONG style = GetWindowLongW(g_preview, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_POPUP);
    EXPECT_EQ(GetParent(g_preview), parent);
    EXPECT_EQ(CursorCounter(), cursor);

    // Posted input comes before the timer message, which ends the preview.
    PostMessageW(FindWindowExW(g_preview, nullptr, L"Button", L"TBarOffBtn"), WM_KEYDOWN, 'A', 1);
    PostMessageW(g_preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(g_preview, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    for (int move = 0; move < 10; ++move) PostMessageW(g_preview, WM_MOUSEMOVE, 0, MAKELPARAM(move, 1));
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, EndPreview);
    Application::Get().Run();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_previewStayed);
    EXPECT_EQ(CursorCounter(), cursor);
    DestroyWindow(parent);
}

TEST(Win32SaverPlatformTest, ReadsADwordOrSaysWhyItCannot)
{
    constexpr const char* kPath = "Software\\NimbrelSaverTest";
    HKEY scratch = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch, nullptr);
    const auto set = [&](const char* name, DWORD type, const void* data, DWORD size) {
        RegSetValueExA(scratch, name, 0, type, static_cast<const BYTE*>(data), size);
    };
    const DWORD one = 1, allBits = 0xFFFFFFFF;
    set("Dword", REG_DWORD, &one, 4);
    set("AllBits", REG_DWORD, &allBits, 4);
    set("ShortText", REG_SZ, "1", 2);
    set("LongText", REG_SZ, "12345678", 9);
    set("FourBytes", REG_BINARY, &one, 4);

    Win32SaverPlatform platform;
    std::unique_ptr<RegistryKey> key = platform.OpenCurrentUserKey(kPath);
    ASSERT_NE(key, nullptr);
    using Status = RegistryDword::Status;
    // Data that fit into four bytes but are no 32-bit integer have the wrong
    // type; data that do not fit cannot be read at all.
    const std::pair<const char*, RegistryDword> rows[] = {
        {"Dword", {Status::Read, 1}},          {"AllBits", {Status::Read, 0xFFFFFFFF}},
        {"Missing", {Status::NotRead, 0}},     {"ShortText", {Status::WrongType, 0}},
        {"FourBytes", {Status::WrongType, 0}}, {"LongText", {Status::NotRead, 0}},
    };
    for (const auto& [name, expected] : rows) {
        EXPECT_EQ(key->ReadDword(name).Result, expected.Result) << name;
        EXPECT_EQ(key->ReadDword(name).Value, expected.Value) << name;
    }
    key.reset();
    RegCloseKey(scratch);
    RegDeleteKeyA(HKEY_CURRENT_USER, kPath);

    EXPECT_EQ(platform.OpenCurrentUserKey("Software\\NimbrelSaverTest\\Nowhere"), nullptr);
    EXPECT_EQ(platform.LoadPasswordLibrary(platform.SystemDirectory() + "\\NIMBREL-NO-SUCH.CPL"), nullptr);
}

} // namespace
} // namespace nimbrel::win32
