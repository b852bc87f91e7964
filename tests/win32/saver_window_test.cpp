// The saver window of this process as the system sees it: its class, styles
// and place, the system command it answers, a preview inside another window,
// a creation refused its surfaces, the error box, and the registry and
// library requests of its exit.
#include "platform/win32/saver_window.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/headless/memory_profile_store.h"
#include "platform/win32/application.h"
#include "platform/win32/error_display.h"
#include "platform/win32/saver_platform_win32.h"
#include "settings/errors.h"
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

bool ScreenSaverRunning()
{
    BOOL running = FALSE;
    SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running != FALSE;
}

// What a message box of this thread showed; its OK button is pressed once
// it has been read.
struct SeenBox {
    std::wstring caption, text;
    HICON icon = nullptr;
};
std::optional<SeenBox> g_box;

BOOL CALLBACK ReadBoxControl(HWND control, LPARAM)
{
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        g_box->icon = reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0));
    } else if (GetDlgCtrlID(control) == 0xFFFF) {
        g_box->text = text;
    }
    return TRUE;
}

// A thread timer: the box's own modal loop runs it.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = FindWindowW(L"#32770", nullptr);
    if (!box || !IsWindowVisible(box) || GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) return;
    g_box.emplace();
    wchar_t caption[64] = {};
    GetWindowTextW(box, caption, 64);
    g_box->caption = caption;
    EnumChildWindows(box, ReadBoxControl, 0);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(SaverWindowTest, TheErrorBoxOutlastsAWaitingQuitRequestAndShowsAStopIcon)
{
    g_box.reset();
    PostQuitMessage(7);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerBox);
    RunHandler([] { throw Error("abc"); });
    KillTimer(nullptr, timer);
    ASSERT_TRUE(g_box) << "the quit request closed the box before it could be read";
    EXPECT_EQ(g_box->caption, L"Nimbrel");
    EXPECT_EQ(g_box->text, L"abc.");
    EXPECT_EQ(g_box->icon, LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_HAND)));
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit request was lost";
    EXPECT_EQ(quit.wParam, 7u);
}

// The screen of the system, except that it has no memory for surfaces.
class RefusingScreen final : public ScreenAccess {
public:
    std::int32_t ScreenWidth() override { return screen_.ScreenWidth(); }
    std::int32_t ScreenHeight() override { return screen_.ScreenHeight(); }
    PixelRect VirtualScreen() override { return screen_.VirtualScreen(); }
    Surface CreateSurface(std::int32_t, std::int32_t) override { throw Error(kSurfaceOutOfResources); }
    void CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top) override
    {
        screen_.CaptureScreen(surface, left, top);
    }

private:
    Win32Screen screen_;
};

HWND g_saver = nullptr;
bool g_sawBlack = false;
bool g_stayedAfterHalfClicks = false;
int g_ticks = 0;
// Once the window shows black (or after five seconds): a press on it released
// outside it, which the capture still reports, and a release that no press
// began; then, at tick 100 and on, a whole click per tick.
void CALLBACK WatchSaver(HWND, UINT, UINT_PTR, DWORD)
{
    if (!IsWindow(g_saver) || !IsWindowVisible(g_saver)) return;
    if (g_ticks >= 100) {
        g_stayedAfterHalfClicks = IsWindow(g_saver);
        PostMessageW(g_saver, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(g_saver, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        if (++g_ticks == 200) DestroyWindow(g_saver);
        return;
    }
    HDC screen = GetDC(nullptr);
    g_sawBlack = GetPixel(screen, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2) == 0;
    ReleaseDC(nullptr, screen);
    if (g_sawBlack || ++g_ticks == 100) {
        g_ticks = 100;
        PostMessageW(g_saver, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(g_saver, WM_LBUTTONUP, 0, MAKELPARAM(-3, -3));
        PostMessageW(g_saver, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
}

TEST_F(SaverWindowTest, ACreationRefusedItsSurfacesIsReportedAndGoesOnBlackUntilAClickOnItEndsIt)
{
    const int cursor = CursorCounter();
    ASSERT_GE(cursor, 0);
    RefusingScreen refusing;
    SubstituteScreenForTesting(&refusing);
    g_box.reset();
    const UINT_PTR answer = SetTimer(nullptr, 0, 50, AnswerBox);
    EXPECT_NO_THROW(g_saver = CreateSaverWindow(nullptr));
    KillTimer(nullptr, answer);
    SubstituteScreenForTesting(nullptr);
    ASSERT_TRUE(g_box) << "no error box";
    EXPECT_EQ(g_box->text, L"ｼｽﾃﾑ ﾘｿｰｽが足りません.");
    ASSERT_TRUE(IsWindow(g_saver));
    EXPECT_EQ(CursorCounter(), -1);
    EXPECT_TRUE(ScreenSaverRunning());

    g_sawBlack = g_stayedAfterHalfClicks = false;
    g_ticks = 0;
    const UINT_PTR watch = SetTimer(nullptr, 0, 50, WatchSaver);
    Application::Get().Run();
    KillTimer(nullptr, watch);
    EXPECT_TRUE(g_sawBlack);
    EXPECT_TRUE(g_stayedAfterHalfClicks);
    EXPECT_EQ(g_ticks, 101) << "the first whole click did not end it";
    EXPECT_EQ(CursorCounter(), cursor);
    EXPECT_FALSE(ScreenSaverRunning());
}

// That input does not end a preview is shown end to end.
TEST_F(SaverWindowTest, PreviewIsAChildThatLeavesTheCursorAlone)
{
    HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr,
                                  nullptr, nullptr);
    const int cursor = CursorCounter();
    HWND preview = CreateSaverWindow(parent);
    const LONG style = GetWindowLongW(preview, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_POPUP);
    EXPECT_EQ(GetParent(preview), parent);
    EXPECT_EQ(CursorCounter(), cursor);
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_EQ(CursorCounter(), cursor);
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
