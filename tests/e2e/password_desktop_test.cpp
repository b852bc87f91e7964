// The real Nimbrel.scr started on a desktop of its own, "Screen-saver", as
// winlogon starts a password-protected saver on Windows NT 4.0 to Server
// 2003. Wine's capture works on any desktop, so it cannot show the blank
// capture itself; what it shows is the choice: reported as Windows XP, the
// saver draws the desktop's wallpaper where a window of that desktop stood,
// and reported as a later Windows it captures that window as usual.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "tests/e2e/e2e_support.h"
#include "tests/win32/bitmap_file.h"

namespace nimbrel::e2e {
namespace {

constexpr wchar_t kDesktopName[] = L"Screen-saver";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

// What a thread moved to the desktop runs.
struct DesktopRun {
    HDESK desktop;
    const std::function<void()>* body;
    bool moved = false;
};

DWORD WINAPI RunOnDesktop(void* parameter)
{
    auto* run = static_cast<DesktopRun*>(parameter);
    run->moved = SetThreadDesktop(run->desktop) != FALSE;
    if (run->moved) (*run->body)();
    return 0;
}

// The body runs on a thread of its own moved to the desktop: a thread that
// has windows on another desktop cannot move.
void OnDesktop(HDESK desktop, const std::function<void()>& body)
{
    DesktopRun run{desktop, &body};
    HANDLE thread = CreateThread(nullptr, 0, RunOnDesktop, &run, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 4 * kPatience), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_TRUE(run.moved) << "the test thread could not move to the desktop";
}

TEST(PasswordDesktopTest, ReportedAsXpTheSaverDrawsTheWallpaperLaterSystemsCaptureTheScreen)
{
    // Wave with 3650 ms between frames: the snapshot shows unmoved at first.
    ScopedSettings settings("[Main]\r\nWave=1\r\nMelt=0\r\nNoise=0\r\n[Wave]\r\nPitch=1\r\nSpeed=-30\r\n");
    // A tiled 2 x 2 wallpaper of four colours.
    const Colour tile[] = {MakeColour(200, 10, 20), MakeColour(30, 200, 40), MakeColour(50, 60, 200),
                           MakeColour(210, 220, 70)};
    Surface wallpaper(2, 2);
    for (int i = 0; i < 4; ++i) wallpaper.SetColourAt(i % 2, i / 2, tile[i]);
    char directory[MAX_PATH] = {};
    const std::string file = std::string(directory, GetTempPathA(MAX_PATH, directory)) + "nimbrel-e2e-wallpaper.bmp";
    test::WriteBitmapFile(file, wallpaper);
    ScopedUserValue wallpaperFile(kDesktopKey, L"Wallpaper", std::wstring(file.begin(), file.end()).c_str());
    ScopedUserValue tiled(kDesktopKey, L"TileWallpaper", L"1");
    // The window that stands on the saver's desktop when it starts.
    constexpr Colour kWindowColour = MakeColour(250, 128, 5);
    Surface shown(64, 64);
    FillArea(shown, {0, 0, 64, 64}, kWindowColour);
    const auto showsWallpaper = [&](const Surface& screen) {
        return screen.ColourAt(0, 0) == tile[0] && screen.ColourAt(1, 0) == tile[1] &&
               screen.ColourAt(0, 1) == tile[2] && screen.ColourAt(1, 1) == tile[3];
    };
    const auto showsWindow = [&](const Surface& screen) { return screen.ColourAt(0, 0) == kWindowColour; };

    HDESK desktop = CreateDesktopW(kDesktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    ASSERT_NE(desktop, nullptr);
    OnDesktop(desktop, [&] {
        for (const bool xp : {true, false}) {
            SCOPED_TRACE(xp ? "as Windows XP" : "as a later Windows");
            std::optional<ScopedUserValue> version;
            if (xp) version.emplace(L"Software\\Wine\\AppDefaults\\Nimbrel.scr", L"Version", L"winxp");
            std::optional<TestWindow> window(std::in_place, RECT{0, 0, 64, 64}, &shown);
            ASSERT_TRUE(WaitForScreen(showsWindow)) << "the desktop's window did not show";
            Process saver(L"/s", kDesktopName);
            HWND form = nullptr;
            ASSERT_TRUE(WaitUntil([&] {
                form = saver.FindWindowOfClass(L"TMainForm");
                return form && IsWindowVisible(form);
            }));
            window.reset();
            EXPECT_TRUE(WaitForScreen(xp ? std::function(showsWallpaper) : std::function(showsWindow)))
                << "the saver shows neither the wallpaper nor the window";
            PostMessageW(form, WM_CLOSE, 0, 0);
            EXPECT_EQ(saver.WaitForExit(), 0u);
        }
    });
    CloseDesktop(desktop);
    DeleteFileA(file.c_str());
}

} // namespace
} // namespace nimbrel::e2e
