// The saver run of the real Nimbrel.scr: the whole screen, what it shows,
// the input that ends it, and the password check of the Windows 95 family
// through a test PASSWORD.CPL whose answer the test sets.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "tests/e2e/e2e_support.h"

namespace nimbrel::e2e {
namespace {

constexpr wchar_t kCplKey[] = L"Software\\NimbrelTest\\PasswordCpl";

// Whether every row of the screen, read at the middle column, is shifted
// right against the picture as `shift` says.
bool RowsShifted(const Surface& screen, const std::function<int(int)>& shift)
{
    const int column = screen.Width() / 2;
    for (int y = 0; y < screen.Height(); ++y) {
        const Colour colour = screen.ColourAt(column, y);
        if (((colour >> 16) & 0xFF) != 200 || column - static_cast<int>(colour & 0xFFFF) != shift(y)) return false;
    }
    return true;
}

bool ShowsThePicture(const Surface& screen)
{
    return RowsShifted(screen, [](int) { return 0; });
}

// With Pitch 1 every row is a band, and a frame of the wave at phase q shifts
// row y by the sum of the first (q + y) % 22 wave steps. The phase of the
// frame on the screen, or nothing when it shows no such frame.
std::optional<int> WavePhaseOnScreen(const Surface& screen)
{
    constexpr std::array<int, 22> kSums = {0, 2, 3, 4, 5, 5, 5, 5, 4, 3, 2, 0, -2, -3, -4, -5, -5, -5, -5, -4, -3, -2};
    for (int phase = 0; phase < 22; ++phase) {
        if (RowsShifted(screen, [&](int y) { return kSums[(phase + y) % 22]; })) return phase;
    }
    return std::nullopt;
}

DWORD CplCalls()
{
    DWORD value = 0, size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kCplKey, L"Calls", RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

// The Windows 95 family asks the registry whether a password is in use and
// lets PASSWORD.CPL decide; the NT family closes on the first input even
// with a password in use and the library refusing, as every scenario here
// has them unless it says otherwise.
class SaverTest : public ::testing::Test {
protected:
    // Wave only, Pitch 1: settings first, then the picture for the saver to
    // take; then the saver, once its window shows and has the keyboard.
    void StartSaver(int speed)
    {
        settings_.emplace("[Main]\r\nWave=1\r\nMelt=0\r\nNoise=0\r\n[Wave]\r\nPitch=1\r\nSpeed=" +
                          std::to_string(speed) + "\r\n");
        pictureWindow_.emplace(RECT{0, 0, picture_.Width(), picture_.Height()}, &picture_);
        EXPECT_TRUE(WaitForScreen(ShowsThePicture)) << "the test's picture did not show";
        saver_.emplace(L"/s");
        window_ = saver_->WaitForWindow(L"TMainForm");
    }

    ScopedSystemFile cpl_{NIMBREL_PASSWORD_CPL_UNIX_PATH, L"PASSWORD.CPL"};
    ScopedUserValue usePassword_{L"Control Panel\\desktop", L"ScreenSaveUsePassword", 1};
    ScopedUserValue calls_{kCplKey, L"Calls", 0};
    HWND window_ = nullptr;
    std::optional<ScopedSettings> settings_;
    const Surface picture_ = ColumnPicture(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    std::optional<TestWindow> pictureWindow_;
    std::optional<Process> saver_;
};

// The snapshot shows at once and then travels as the wave; a key, a burst
// of mouse moves (more than the default of four in one second), a click or
// an Alt combination ends the run. An Alt combination comes as system keys,
// which only the key preview sees; Alt+Shift has no system command of its
// own to hide behind.
TEST_F(SaverTest, ShowsTheSnapshotAsTheWaveUntilAKeyMouseMovesAClickOrAnAltCombination)
{
    const std::function<void()> inputs[] = {
        [] { PressKey('A'); },
        [] {
            // A little apart and paced, so that the system does not merge them.
            for (int move = 0; move < 12; ++move) {
                MoveMouseTo(100 + 7 * move, 100 + 5 * move);
                Sleep(15);
            }
        },
        [this] { Click(window_); },
        [] { PressKey(VK_SHIFT, VK_MENU); },
    };
    for (const auto& input : inputs) {
        // A hand-edited Speed of -30 puts 3650 ms between frames: time enough
        // to take the test's own picture away, so that only the saver can show it.
        StartSaver(-30);
        ASSERT_NE(window_, nullptr);
        RECT rect{};
        const RECT screen{0, 0, picture_.Width(), picture_.Height()};
        EXPECT_TRUE(GetWindowRect(window_, &rect) && EqualRect(&rect, &screen));
        if (&input == &inputs[0]) {  // the first run also watches what it shows
            pictureWindow_.reset();
            EXPECT_TRUE(WaitForScreen(ShowsThePicture, 2000)) << "the snapshot was not shown first";
            const std::optional<Surface> first =
                WaitForScreen([](const Surface& shown) { return WavePhaseOnScreen(shown).has_value(); });
            ASSERT_TRUE(first) << "no frame shifted the rows as the wave does";
            const int phase = *WavePhaseOnScreen(*first);
            EXPECT_TRUE(WaitForScreen([&](const Surface& s) { return WavePhaseOnScreen(s).value_or(phase) != phase; }))
                << "the wave did not travel";
        }
        input();
        EXPECT_EQ(saver_->WaitForExit(), 0u);
    }
    // The NT family never asks the password library.
    EXPECT_EQ(CplCalls(), 0u);
}

TEST_F(SaverTest, Win98RefusalKeepsItAnimatingUntilTheLibraryAccepts)
{
    ScopedWin98 win98;
    // The whole 32-bit answer reaches the saver, which reads only its low byte.
    ScopedUserValue refusal(kCplKey, L"Answer", 0x100);
    StartSaver(6);
    ASSERT_NE(window_, nullptr);
    PressKey('A');
    ASSERT_TRUE(WaitUntil([] { return CplCalls() == 1; })) << "PASSWORD.CPL was not asked";
    const std::optional<Surface> shown = WaitForScreen([](const Surface&) { return true; });
    EXPECT_TRUE(WaitForScreen([&](const Surface& now) { return !(now == *shown); })) << "the animation stopped";

    ScopedUserValue acceptance(kCplKey, L"Answer", 1);
    PressKey('A');
    EXPECT_EQ(saver_->WaitForExit(), 0u);
    EXPECT_EQ(CplCalls(), 2u);
}

} // namespace
} // namespace nimbrel::e2e
