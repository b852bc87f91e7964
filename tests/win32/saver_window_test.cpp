// The saver window of this process on the virtual display: its window as the
// system sees it, the animation it shows, the input that ends it, a preview
// inside another window, and the registry and library requests of its exit.
#include "platform/win32/saver_window.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>

#include "effects/wave.h"
#include "platform/headless/memory_profile_store.h"
#include "platform/win32/application.h"
#include "platform/win32/handles.h"
#include "platform/win32/saver_platform_win32.h"
#include "platform/win32/screen.h"
#include "saver/saver_run.h"
#include "settings/settings_file.h"
#include "tests/win32/saver_test_picture.h"

namespace nimbrel::win32 {
namespace {

using testing::ColumnOf;
using testing::ColumnPicture;
using testing::WavePhaseOnScreen;

constexpr DWORD kLimitMs = 10000;

// The cursor display counter now, left as it was.
int CursorCounter()
{
    ShowCursor(FALSE);
    return ShowCursor(TRUE);
}

void DrainQuitMessage()
{
    // Destroying the main window asks the loop to quit; a test that ended
    // its window outside the loop must not leave that request to the next.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Runs the application's message loop while the saver window lives, calling
// onTick from the loop every 20 ms. A window still there after the limit is
// closed by force; the result says whether the window ended by itself.
std::function<void()> g_onTick;
void CALLBACK TickProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_onTick) g_onTick();
}

bool RunUntilClosed(HWND window, std::function<void()> onTick)
{
    const DWORD start = GetTickCount();
    bool forced = false;
    g_onTick = [&] {
        if (!IsWindow(window)) return;
        if (GetTickCount() - start > kLimitMs) {
            forced = true;
            DestroyWindow(window);
            return;
        }
        onTick();
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, TickProc);
    Application::Get().Run();
    KillTimer(nullptr, timer);
    g_onTick = nullptr;
    DrainQuitMessage();
    return !forced && !IsWindow(window);
}

// Whether a close request is waiting for the window.
bool ClosePending(HWND window)
{
    MSG message;
    return PeekMessageW(&message, window, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != 0;
}

// A plain popup of the test, painted with a picture at its top-left corner.
class PictureWindow {
public:
    PictureWindow(const Surface& picture, int width, int height, DWORD style = WS_POPUP)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"NimbrelSaverTestPicture";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", style | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, wc.hInstance, nullptr);
        PumpMessages();
        WindowDc dc(window_);
        PresentSurface(dc.get(), picture, width, height);
    }
    ~PictureWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

class SaverWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CapturePlatformId();
        // On the NT family an exit request closes the window without asking
        // the registry, which is what these tests rely on.
        ASSERT_EQ(CapturedPlatformId(), 2u) << "the test prefix must report an NT-family Windows";
        settings_.SetFileText(kSettingsFileName,
                              "[Main]\nWave=1\nMelt=0\nNoise=0\n[Wave]\nPitch=1\nSpeed=6\n");
        SetCurrentProfileStore(&settings_);
    }
    void TearDown() override
    {
        SetCurrentProfileStore(nullptr);
        DrainQuitMessage();
    }

    static int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
    static int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

    MemoryProfileStore settings_;
};

TEST_F(SaverWindowTest, IsATopmostBorderlessPopupCoveringTheScreen)
{
    HWND window = CreateSaverWindow(nullptr);
    ASSERT_NE(window, nullptr);

    std::array<wchar_t, 64> text{};
    GetClassNameW(window, text.data(), static_cast<int>(text.size()));
    EXPECT_STREQ(text.data(), L"TMainForm");
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    EXPECT_STREQ(text.data(), L"Nimbrel");

    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CHILD | WS_BORDER | WS_THICKFRAME | WS_CAPTION));
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND)), GetStockObject(BLACK_BRUSH));
    // Shown only by the loop that runs it.
    EXPECT_FALSE(IsWindowVisible(window));

    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, ScreenWidth());
    EXPECT_EQ(rect.bottom, ScreenHeight());

    // The focus holder: a button of no size at the corner.
    HWND button = FindWindowExW(window, nullptr, L"Button", L"TBarOffBtn");
    ASSERT_NE(button, nullptr);
    GetWindowRect(button, &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);

    DestroyWindow(window);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverWindowTest, HidesTheCursorForTheRunAndShowsItOnceAfterwards)
{
    const int before = CursorCounter();
    ASSERT_GE(before, 0);
    HWND window = CreateSaverWindow(nullptr);
    EXPECT_EQ(CursorCounter(), -1);  // hidden just far enough
    DestroyWindow(window);
    EXPECT_EQ(CursorCounter(), 0);
    // Put back what the test found.
    while (CursorCounter() < before) ShowCursor(TRUE);
}

TEST_F(SaverWindowTest, AnimatesTheSnapshotAsWaveRows)
{
    // Pitch 1 and the shortest ticks: every row is a band, and a frame comes
    // every 50 ms.
    PictureWindow picture(ColumnPicture(ScreenWidth(), ScreenHeight()), ScreenWidth(), ScreenHeight());
    Surface screen(ScreenWidth(), ScreenHeight());
    ASSERT_TRUE([&] {
        for (int attempt = 0; attempt < 100; ++attempt, Sleep(50)) {
            PumpMessages();
            Win32Screen().CaptureScreen(screen);
            if (ColumnOf(screen.ColourAt(700, 300)) == 700) return true;
        }
        return false;
    }());

    const int base = WaveBaseOffset();
    HWND window = CreateSaverWindow(nullptr);
    std::optional<int> firstPhase;
    bool moved = false;
    RunUntilClosed(window, [&] {
        Win32Screen().CaptureScreen(screen);
        const std::optional<int> phase = WavePhaseOnScreen(screen, base);
        if (!phase) return;  // the capture may catch a frame half drawn
        if (!firstPhase) firstPhase = phase;
        if (phase != firstPhase) {
            moved = true;
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
    });
    EXPECT_TRUE(firstPhase.has_value()) << "no capture showed the rows shifted as the wave shifts them";
    EXPECT_TRUE(moved) << "the wave did not travel";
}

TEST_F(SaverWindowTest, KeyToTheFocusedButtonEndsTheRun)
{
    HWND window = CreateSaverWindow(nullptr);
    HWND button = FindWindowExW(window, nullptr, L"Button", L"TBarOffBtn");
    bool focused = false;
    bool sent = false;
    const bool closed = RunUntilClosed(window, [&] {
        if (sent) return;
        focused = GetFocus() == button;
        PostMessageW(button, WM_KEYDOWN, 'A', 1);
        sent = true;
    });
    EXPECT_TRUE(focused);
    EXPECT_TRUE(closed);
}

TEST_F(SaverWindowTest, SixthMouseMoveInOnePeriodEndsTheRun)
{
    HWND window = CreateSaverWindow(nullptr);
    bool done = false;
    EXPECT_TRUE(RunUntilClosed(window, [&] {
        if (done) return;
        done = true;
        // All within one tick of the test, so no Timer1 tick falls between.
        SendMessageW(window, WM_TIMER, kTimer1Id, 0);  // a fresh period
        for (int move = 1; move <= 5; ++move) SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(move, move));
        EXPECT_FALSE(ClosePending(window)) << "five moves asked to close";
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
        EXPECT_TRUE(ClosePending(window)) << "the sixth move did not ask to close";
    }));
}

TEST_F(SaverWindowTest, ScreenSaveCommandIsAnsweredByTheWindow)
{
    HWND window = CreateSaverWindow(nullptr);
    EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
    EXPECT_TRUE(IsWindow(window));
    DestroyWindow(window);
}

TEST_F(SaverWindowTest, PreviewIsAChildThatInputDoesNotEnd)
{
    PictureWindow parent(Surface(1, 1), 200, 150);
    const int cursor = CursorCounter();
    HWND window = CreateSaverWindow(parent.get());
    SetSaverClosesOnInput(window, false);

    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_POPUP);
    EXPECT_EQ(GetParent(window), parent.get());
    EXPECT_EQ(ProcessSaverRun().PreviewParent, static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(parent.get())));
    // The surfaces keep the screen's size; only the window is smaller.
    EXPECT_EQ(ProcessSaverRun().Surfaces.SnapshotBitmap.Width(), ScreenWidth());
    EXPECT_EQ(CursorCounter(), cursor);

    HWND button = FindWindowExW(window, nullptr, L"Button", L"TBarOffBtn");
    int tick = 0;
    bool stayed = false;
    RunUntilClosed(window, [&] {
        if (++tick == 1) {
            PostMessageW(button, WM_KEYDOWN, 'A', 1);
            PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            for (int move = 0; move < 10; ++move) PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(move, 1));
        } else {
            // Posted input comes before the next timer message, so it has
            // all been handled by now.
            stayed = IsWindow(window);
            DestroyWindow(window);
        }
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(CursorCounter(), cursor);
}

// A key of the current user, removed again with everything in it.
class ScratchKey {
public:
    static constexpr const char* kPath = "Software\\NimbrelSaverTest";
    ScratchKey() { RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr); }
    ~ScratchKey()
    {
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, kPath);
    }
    void Set(const char* name, DWORD type, const void* data, DWORD size)
    {
        RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size);
    }

private:
    HKEY key_ = nullptr;
};

TEST(Win32SaverPlatformTest, ReadsADwordOrSaysWhyItCannot)
{
    ScratchKey scratch;
    const DWORD one = 1, minusOne = 0xFFFFFFFF;
    scratch.Set("Dword", REG_DWORD, &one, sizeof(one));
    scratch.Set("AllBits", REG_DWORD, &minusOne, sizeof(minusOne));
    scratch.Set("ShortText", REG_SZ, "1", 2);
    scratch.Set("LongText", REG_SZ, "12345678", 9);
    scratch.Set("FourBytes", REG_BINARY, &one, sizeof(one));

    Win32SaverPlatform platform;
    std::unique_ptr<RegistryKey> key = platform.OpenCurrentUserKey(ScratchKey::kPath);
    ASSERT_NE(key, nullptr);
    using Status = RegistryDword::Status;
    EXPECT_EQ(key->ReadDword("Dword").Result, Status::Read);
    EXPECT_EQ(key->ReadDword("Dword").Value, 1u);
    EXPECT_EQ(key->ReadDword("AllBits").Value, 0xFFFFFFFFu);
    EXPECT_EQ(key->ReadDword("Missing").Result, Status::NotRead);
    // Data that fit into four bytes but are no 32-bit integer have the wrong
    // type; data that do not fit cannot be read at all.
    EXPECT_EQ(key->ReadDword("ShortText").Result, Status::WrongType);
    EXPECT_EQ(key->ReadDword("FourBytes").Result, Status::WrongType);
    EXPECT_EQ(key->ReadDword("LongText").Result, Status::NotRead);
}

TEST(Win32SaverPlatformTest, MissingKeyAndMissingLibraryGiveNothing)
{
    Win32SaverPlatform platform;
    EXPECT_EQ(platform.OpenCurrentUserKey("Software\\NimbrelSaverTest\\Nowhere"), nullptr);
    const std::string directory = platform.SystemDirectory();
    EXPECT_FALSE(directory.empty());
    EXPECT_EQ(platform.LoadPasswordLibrary(directory + "\\NIMBREL-NO-SUCH.CPL"), nullptr);
}

} // namespace
} // namespace nimbrel::win32
