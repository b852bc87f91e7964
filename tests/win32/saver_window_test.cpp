// The saver window of this process as the system sees it: the error box of
// a creation refused its surfaces, the window's styles and place, the
// cursor and the screen-saver-running flag, the clicks that end it, and the
// registry reads of its exit. A preview inside another window is shown end
// to end.
#include "platform/win32/saver_window.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/win32/saver_platform_win32.h"
#include "settings/errors.h"

namespace nimbrel::win32 {
namespace {

// The cursor display counter now, left as it was.
int CursorCounter()
{
    ShowCursor(FALSE);
    return ShowCursor(TRUE);
}

bool ScreenSaverRunning()
{
    BOOL running = FALSE;
    SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running != FALSE;
}

// What a message box of this thread showed, read by a thread timer that the
// box's own modal loop runs; its OK button is pressed once it has been read.
std::wstring g_boxText;
HICON g_boxIcon = nullptr;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = FindWindowW(L"#32770", nullptr);
    if (!box || !IsWindowVisible(box) || GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) return;
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    g_boxText = text;
    for (HWND control = nullptr; (control = FindWindowExW(box, control, L"Static", nullptr));) {
        if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        g_boxIcon = reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0));
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// The screen's size, but no memory for surfaces.
class RefusingScreen final : public ScreenAccess {
public:
    std::int32_t ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
    std::int32_t ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN); }
    Surface CreateSurface(std::int32_t, std::int32_t) override { throw Error(kSurfaceOutOfResources); }
    void CaptureScreen(Surface&, std::int32_t, std::int32_t) override {}
};

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

TEST(SaverWindowTest, ACreationRefusedItsSurfacesIsReportedAndTheWindowGoesOnBlackUntilAClickOnIt)
{
    // On the NT family a request closes at once, without the registry.
    CapturePlatformId();
    ASSERT_EQ(CapturedPlatformId(), 2u) << "the test prefix must report an NT-family Windows";
    const int cursor = CursorCounter();
    RefusingScreen refusing;
    SubstituteScreenForTesting(&refusing);
    // A quit request waiting does not close the box before it is read.
    PostQuitMessage(7);
    const UINT_PTR answer = SetTimer(nullptr, 0, 50, AnswerBox);
    HWND saver = nullptr;
    EXPECT_NO_THROW(saver = CreateSaverWindow(nullptr));
    KillTimer(nullptr, answer);
    SubstituteScreenForTesting(nullptr);
    EXPECT_EQ(g_boxText, L"ｼｽﾃﾑ ﾘｿｰｽが足りません.");
    EXPECT_EQ(g_boxIcon, LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_HAND)));
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit request was lost";
    EXPECT_EQ(quit.wParam, 7u);

    // A hidden topmost borderless popup over the screen, which answers the
    // screen-save command itself so that no other saver starts.
    ASSERT_TRUE(IsWindow(saver));
    const LONG style = GetWindowLongW(saver, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD | WS_BORDER | WS_THICKFRAME | WS_CAPTION | WS_VISIBLE), WS_POPUP);
    EXPECT_TRUE(GetWindowLongW(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rect{};
    GetWindowRect(saver, &rect);
    EXPECT_EQ((std::array{rect.left, rect.top, rect.right, rect.bottom}),
              (std::array<LONG, 4>{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    EXPECT_EQ(SendMessageW(saver, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
    EXPECT_EQ(CursorCounter(), -1);
    EXPECT_TRUE(ScreenSaverRunning());

    // Without surfaces it shows its black background. A press on it released
    // outside it, which the capture still reports, and a release that no
    // press began leave it running; a whole click on it ends it.
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrW(saver, GCLP_HBRBACKGROUND)), GetStockObject(BLACK_BRUSH));
    const auto send = [&](UINT message, short at) { SendMessageW(saver, message, 0, MAKELPARAM(at, at)); };
    send(WM_LBUTTONDOWN, 5);
    send(WM_LBUTTONUP, -3);
    send(WM_LBUTTONUP, 5);
    PumpMessages();
    EXPECT_TRUE(IsWindow(saver));
    send(WM_LBUTTONDOWN, 5);
    send(WM_LBUTTONUP, 5);
    PumpMessages();
    EXPECT_FALSE(IsWindow(saver)) << "the whole click did not end it";
    DestroyWindow(saver);
    PumpMessages();  // with the quit request that the main window's end posts
    EXPECT_EQ(CursorCounter(), cursor);
    EXPECT_FALSE(ScreenSaverRunning());
}

TEST(Win32SaverPlatformTest, ReadsADwordOrSaysWhyItCannot)
{
    constexpr const char* kPath = "Software\\NimbrelSaverTest";
    HKEY scratch = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch, nullptr);
    // Data that fit into four bytes but are no 32-bit integer have the wrong
    // type; data that do not fit cannot be read at all. A missing value is
    // shown end to end.
    using Status = RegistryDword::Status;
    const std::tuple<const char*, DWORD, std::string_view, RegistryDword> rows[] = {
        {"Dword", REG_DWORD, {"\1\0\0\0", 4}, {Status::Read, 1}},
        {"AllBits", REG_DWORD, "\xFF\xFF\xFF\xFF", {Status::Read, 0xFFFFFFFF}},
        {"ShortText", REG_SZ, {"1", 2}, {Status::WrongType, 0}},
        {"FourBytes", REG_BINARY, {"\1\0\0\0", 4}, {Status::WrongType, 0}},
        {"LongText", REG_SZ, {"12345678", 9}, {Status::NotRead, 0}},
    };
    for (const auto& [name, type, data, expected] : rows) {
        RegSetValueExA(scratch, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), data.size());
    }
    Win32SaverPlatform platform;
    std::unique_ptr<RegistryKey> key = platform.OpenCurrentUserKey(kPath);
    ASSERT_NE(key, nullptr);
    for (const auto& [name, type, data, expected] : rows) {
        const RegistryDword read = key->ReadDword(name);
        EXPECT_EQ(read.Result, expected.Result) << name;
        EXPECT_EQ(read.Value, expected.Value) << name;
    }
    RegCloseKey(scratch);
    RegDeleteKeyA(HKEY_CURRENT_USER, kPath);
    EXPECT_EQ(platform.OpenCurrentUserKey("Software\\NimbrelSaverTest\\Nowhere"), nullptr);
    EXPECT_EQ(platform.LoadPasswordLibrary(platform.SystemDirectory() + "\\NIMBREL-NO-SUCH.CPL"), nullptr);
}

} // namespace
} // namespace nimbrel::win32
