// The real Nimbrel.scr started on a desktop of its own, "Screen-saver", as
// winlogon starts a password-protected saver on Windows NT 4.0 to Server
// 2003. Wine's capture works on any desktop, so it cannot show the blank
// capture itself; what it shows is the choice: reported as Windows XP, the
// saver draws the desktop's wallpaper where a window of that desktop stood.
// Reported as a later Windows, as in every other scenario, it captures.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "tests/e2e/e2e_support.h"

namespace nimbrel::e2e {
namespace {

constexpr wchar_t kDesktopName[] = L"Screen-saver";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr Colour kWallpaper = MakeColour(200, 10, 20), kWindow = MakeColour(250, 128, 5);

// Runs on a thread of its own moved to the saver's desktop: the test's
// thread has windows on the default desktop, and such a thread cannot move.
DWORD WINAPI RunOnDesktop(void* desktop)
{
    if (!SetThreadDesktop(static_cast<HDESK>(desktop))) {
        ADD_FAILURE() << "the test thread could not move to the desktop";
        return 0;
    }
    // The window that stands on the saver's desktop when it starts.
    Surface window(64, 64);
    FillArea(window, {0, 0, 64, 64}, kWindow);
    std::optional<TestWindow> standing(std::in_place, RECT{0, 0, 64, 64}, &window);
    const auto shows = [](Colour colour) {
        return [colour](const Surface& on) { return on.ColourAt(0, 0) == colour && on.ColourAt(9, 9) == colour; };
    };
    EXPECT_TRUE(WaitForScreen(shows(kWindow))) << "the desktop's window did not show";
    Process saver(L"/s", kDesktopName);
    HWND form = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (form = saver.FindWindowOfClass(L"TMainForm")) && IsWindowVisible(form); }));
    standing.reset();
    EXPECT_TRUE(WaitForScreen(shows(kWallpaper))) << "the saver does not show the wallpaper";
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.WaitForExit(), 0u);
    return 0;
}

TEST(PasswordDesktopTest, ReportedAsXpTheSaverDrawsTheWallpaperInsteadOfTheDesktopsWindows)
{
    // Wave with 3650 ms between frames: the snapshot shows unmoved at first.
    ScopedSettings settings("[Main]\r\nWave=1\r\nMelt=0\r\nNoise=0\r\n[Wave]\r\nPitch=1\r\nSpeed=-30\r\n");
    // A 1 x 1 wallpaper as a 24-bit bitmap file, tiled over the screen.
    char directory[MAX_PATH] = {};
    const std::string file = std::string(directory, GetTempPathA(MAX_PATH, directory)) + "nimbrel-e2e-wallpaper.bmp";
    std::string bitmap = "BM";
    for (const std::uint32_t field : {58u, 0u, 54u, 40u, 1u, 1u, 1u | (24u << 16), 0u, 4u, 2835u, 2835u, 0u, 0u,
                                      PixelFromColour(kWallpaper)}) {
        for (int i = 0; i < 4; ++i) bitmap += static_cast<char>(field >> (8 * i));
    }
    std::ofstream(file, std::ios::binary) << bitmap;
    ScopedUserValue wallpaper(kDesktopKey, L"Wallpaper", std::wstring(file.begin(), file.end()).c_str());
    ScopedUserValue tiled(kDesktopKey, L"TileWallpaper", L"1");
    ScopedUserValue xp(L"Software\\Wine\\AppDefaults\\Nimbrel.scr", L"Version", L"winxp");

    HDESK desktop = CreateDesktopW(kDesktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    ASSERT_NE(desktop, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, RunOnDesktop, desktop, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 4 * kPatience), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseDesktop(desktop);
    DeleteFileA(file.c_str());
}

} // namespace
} // namespace nimbrel::e2e
