// A change of the display during a saver run of the real Nimbrel.scr: the
// screen grows, as when a monitor comes or the resolution goes up, and
// shrinks back. Wine can change the size of its virtual desktops only (the
// virtual X display has one fixed mode), and the change holds for every
// program of the Wine session, so this scenario runs in a session of its own
// (tests/e2e/CMakeLists.txt) and on a virtual desktop.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "tests/e2e/e2e_support.h"

namespace nimbrel::e2e {
namespace {

constexpr wchar_t kOnDesktop[] = L"NIMBREL_E2E_VIRTUAL_DESKTOP";

// The exit code of this test run again by a copy of this driver on a
// virtual desktop of 640 x 480; programs the copy starts share its desktop.
std::optional<DWORD> RunOnVirtualDesktop()
{
    const ScopedUserValue size(L"Software\\Wine\\Explorer\\Desktops", L"NimbrelDisplayChange", L"640x480");
    const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(test.test_suite_name()) + "." + test.name();
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    SetEnvironmentVariableW(kOnDesktop, L"1");
    const Process copy(std::wstring(L"\"") + self + L"\" --gtest_brief=1 --gtest_filter=" +
                           std::wstring(name.begin(), name.end()),
                       L"NimbrelDisplayChange");
    SetEnvironmentVariableW(kOnDesktop, nullptr);
    return copy.WaitForExit(3 * kPatience);
}

bool ChangeScreenSize(int width, int height)
{
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

bool Covers(HWND window, LONG width, LONG height)
{
    RECT rect{};
    return GetWindowRect(window, &rect) && rect.left == 0 && rect.top == 0 && rect.right == width &&
           rect.bottom == height;
}

// The picture's 640 x 480 at the top-left corner as the wave shows it (each
// row, read at column 320, from a column at most five away: blue 200, the
// column in red and green) and black everywhere else, where the wave cannot
// shift picture pixels.
bool ShowsThePictureInItsCornerAndBlackAround(const Surface& screen)
{
    for (int y = 0; y < screen.Height(); ++y) {
        const Colour colour = screen.ColourAt(320, y);
        if (y < 480 && (((colour >> 16) & 0xFF) != 200 || std::abs(320 - static_cast<int>(colour & 0xFFFF)) > 5)) {
            return false;
        }
        for (int x = y < 480 ? 646 : 0; x < screen.Width(); ++x) {
            if (screen.ColourAt(x, y) != kBlack) return false;
        }
    }
    return true;
}

// The saver takes a known picture of 640 x 480 and the screen grows to
// 800 x 600: the window covers the new screen, the picture stays in its
// place with black around it, and the wave goes on at the new size. When the
// screen shrinks back, the window follows.
TEST(DisplayChangeTest, TheSaverCoversAGrownScreenWithThePictureInPlaceAndBlackAround)
{
    if (GetEnvironmentVariableW(kOnDesktop, nullptr, 0) == 0) {
        EXPECT_EQ(RunOnVirtualDesktop(), 0u) << "the scenario failed on the virtual desktop";
        return;
    }
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    // Wave with one-row bands, a tick every 50 ms.
    ScopedSettings settings("[Main]\r\nWave=1\r\nMelt=0\r\nNoise=0\r\n[Wave]\r\nPitch=1\r\nSpeed=6\r\n");
    Surface picture(640, 480);
    for (int x = 0; x < picture.Width(); ++x) {
        const Colour colour = MakeColour(static_cast<std::uint8_t>(x % 256), static_cast<std::uint8_t>(x / 256), 200);
        FillArea(picture, PixelRect{x, 0, x + 1, picture.Height()}, colour);
    }
    std::optional<TestWindow> pictureWindow(std::in_place, RECT{0, 0, 640, 480}, &picture);
    ASSERT_TRUE(WaitForScreen([&](const Surface& shown) { return shown == picture; })) << "the picture did not show";
    Process saver(L"/s");
    const HWND window = saver.WaitForWindow(L"TMainForm");
    ASSERT_NE(window, nullptr);
    pictureWindow.reset();
    EXPECT_TRUE(Covers(window, 640, 480));
    EXPECT_TRUE(WaitForScreen(ShowsThePictureInItsCornerAndBlackAround)) << "the saver did not show the picture";

    ASSERT_TRUE(ChangeScreenSize(800, 600));
    EXPECT_TRUE(WaitUntil([&] { return Covers(window, 800, 600); })) << "the window did not grow";
    const std::optional<Surface> grown = WaitForScreen(ShowsThePictureInItsCornerAndBlackAround);
    ASSERT_TRUE(grown && grown->Width() == 800) << "the grown screen did not show the picture in place, black around";
    const auto moved = [&](const Surface& shown) {
        return !(shown == *grown) && ShowsThePictureInItsCornerAndBlackAround(shown);
    };
    EXPECT_TRUE(WaitForScreen(moved)) << "the wave did not go on at the new size";

    ASSERT_TRUE(ChangeScreenSize(640, 480));
    EXPECT_TRUE(WaitUntil([&] { return Covers(window, 640, 480); })) << "the window did not shrink back";
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(), 0u);
}

} // namespace
} // namespace nimbrel::e2e
