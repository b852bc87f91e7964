// The saver run of the real Nimbrel.scr: the whole screen, what it shows,
// the input that ends it, and the password check of the Windows 95 family
// through a test PASSWORD.CPL whose answer the test sets.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/e2e_support.h"

namespace nimbrel::e2e {
namespace {

constexpr wchar_t kCplKey[] = L"Software\\NimbrelTest\\PasswordCpl";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\desktop";
constexpr wchar_t kUsePassword[] = L"ScreenSaveUsePassword";

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

// The test's picture gives every column a colour of its own, so the column
// that a screen pixel came from, and with it how far the wave shifted its
// row, can be read off the screen.
Colour ColumnColour(int x)
{
    return MakeColour(static_cast<std::uint8_t>(x % 256), static_cast<std::uint8_t>(32 + 64 * (x / 256)), 200);
}

// How far row y of the screen is shifted right against the picture, read at
// the middle column; nothing when the pixel is not the picture's.
std::optional<int> RowShift(const Surface& screen, int y)
{
    const int column = screen.Width() / 2;
    const Colour colour = screen.ColourAt(column, y);
    const int red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    if (blue != 200 || (green - 32) % 64 != 0) return std::nullopt;
    return column - (red + 256 * ((green - 32) / 64));
}

// With Pitch 1 every row is a band, and a frame of the wave at phase q shifts
// row y by the sum of the first (q + y) % 22 wave steps. The phase of the
// frame on the screen, or nothing when it shows no such frame.
std::optional<int> WavePhaseOnScreen(const Surface& screen)
{
    constexpr std::array<int, 22> kSums = {0, 2, 3, 4, 5, 5, 5, 5, 4, 3, 2, 0, -2, -3, -4, -5, -5, -5, -5, -4, -3, -2};
    for (int phase = 0; phase < 22; ++phase) {
        bool fits = true;
        for (int y = 0; y < screen.Height() && fits; ++y) fits = RowShift(screen, y) == kSums[(phase + y) % 22];
        if (fits) return phase;
    }
    return std::nullopt;
}

bool ShowsPictureUnshifted(const Surface& screen)
{
    bool fits = true;
    for (int y = 0; y < screen.Height() && fits; ++y) fits = RowShift(screen, y) == 0;
    return fits;
}

bool ShowsAWaveFrame(const Surface& screen) { return WavePhaseOnScreen(screen).has_value(); }

// Whether rows [0, bottom) of the screen change within the time.
bool RowsChangeWithin(DWORD timeoutMs, int bottom)
{
    const Surface first = CaptureScreen();
    return WaitUntil([&] {
        const Surface now = CaptureScreen();
        for (int y = 0; y < bottom; ++y) {
            for (int x = 0; x < now.Width(); x += 3) {
                if (now.ColourAt(x, y) != first.ColourAt(x, y)) return true;
            }
        }
        return false;
    }, timeoutMs);
}

// The counter runs over one-second periods of the saver's own timer, which
// the test cannot see: waiting a little longer than a period is the only way
// to know that the counter has been cleared since.
void LetCounterClear() { Sleep(1100); }

// Mouse moves a little apart, so that the system does not merge them.
void MoveMouse(int moves, int& position)
{
    for (int move = 0; move < moves; ++move, ++position) {
        MoveMouseTo(100 + 7 * (position % 50), 100 + 5 * (position % 50));
        Sleep(15);
    }
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
    Process StartSaver(int speed)
    {
        pictureWindow_.reset();
        settings_.reset();
        const std::string text = "[Main]\r\nWave=1\r\nMelt=0\r\nNoise=0\r\n[Wave]\r\nPitch=1\r\nSpeed=" + std::to_string(speed) + "\r\n";
        settings_ = std::make_unique<ScopedSettings>(text.c_str());
        picture_ = Surface(ScreenWidth(), ScreenHeight());
        for (int x = 0; x < ScreenWidth(); ++x) FillArea(picture_, PixelRect{x, 0, x + 1, ScreenHeight()}, ColumnColour(x));
        pictureWindow_ = std::make_unique<PictureWindow>(picture_);
        Process saver = Process::StartScr(L"/s");
        window_ = saver.WaitForWindow(L"TMainForm");
        if (window_ && !WaitUntil([&] { return GetForegroundWindow() == window_; })) window_ = nullptr;
        return saver;
    }

    // The window is hidden as soon as the saver closes it, before the process ends.
    bool SaverWindowGoesWithin(DWORD timeoutMs) const
    {
        return WaitUntil([&] { return !IsWindow(window_) || !IsWindowVisible(window_); }, timeoutMs);
    }

    ScopedSystemFile cpl_{NIMBREL_PASSWORD_CPL_UNIX_PATH, L"PASSWORD.CPL"};
    ScopedUserValue usePassword_{kDesktopKey, kUsePassword, 1};
    ScopedUserValue answer_{kCplKey, L"Answer", std::nullopt};
    ScopedUserValue calls_{kCplKey, L"Calls", std::nullopt};
    HWND window_ = nullptr;
    std::unique_ptr<ScopedSettings> settings_;
    Surface picture_;
    std::unique_ptr<PictureWindow> pictureWindow_;
};

TEST_F(SaverTest, ShowsTheSnapshotThenAnimatesItAsTheWaveUntilAKey)
{
    // A hand-edited Speed of -30 puts 3650 ms between frames: time enough to
    // take the test's own picture away, so that only the saver can show it.
    Process saver = StartSaver(-30);
    ASSERT_NE(window_, nullptr);
    RECT rect;
    GetWindowRect(window_, &rect);
    EXPECT_EQ(rect.right - rect.left, ScreenWidth());
    EXPECT_EQ(rect.bottom - rect.top, ScreenHeight());
    pictureWindow_.reset();
    EXPECT_TRUE(WaitForScreen(ShowsPictureUnshifted, 2000)) << "the snapshot was not shown first";
    const std::optional<Surface> first = WaitForScreen(ShowsAWaveFrame);
    ASSERT_TRUE(first) << "no frame shifted the rows as the wave does";
    const int phase = *WavePhaseOnScreen(*first);
    EXPECT_TRUE(WaitForScreen([&](const Surface& s) { return WavePhaseOnScreen(s).value_or(phase) != phase; }))
        << "the wave did not travel";
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(CplCalls(), 0u);
}

TEST_F(SaverTest, FiveMouseMovesInOneSecondLeaveItRunningTheSixthEndsIt)
{
    Process saver = StartSaver(0);
    ASSERT_NE(window_, nullptr);
    int position = 0;
    MoveMouse(1, position);  // the first move after the window appears may come as two events
    LetCounterClear();
    MoveMouse(5, position);
    EXPECT_FALSE(SaverWindowGoesWithin(500)) << "five moves ended the saver";
    LetCounterClear();
    // Six moves might still fall on both sides of a period's end; then the
    // counter is cleared between them and the next six try again.
    bool ended = false;
    for (int attempt = 0; attempt < 3 && !ended; ++attempt) {
        MoveMouse(6, position);
        ended = SaverWindowGoesWithin(1000);
        if (!ended) LetCounterClear();
    }
    ASSERT_TRUE(ended) << "six moves within one second did not end the saver";
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
}

// An Alt combination comes as system keys, which only the key preview sees;
// Alt+Shift has no system command of its own to hide behind.
TEST_F(SaverTest, AnAltCombinationEndsIt)
{
    Process saver = StartSaver(6);
    ASSERT_NE(window_, nullptr);
    PressKey(VK_SHIFT, VK_MENU);
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(SaverTest, Win98RefusalKeepsItAnimatingUntilTheLibraryAccepts)
{
    ScopedWin98 win98;
    // The whole 32-bit answer reaches the saver, which reads only its low byte.
    ScopedUserValue refusal(kCplKey, L"Answer", 0x100);
    Process saver = StartSaver(6);
    ASSERT_NE(window_, nullptr);
    PressKey('A');
    ASSERT_TRUE(WaitUntil([] { return CplCalls() == 1; })) << "PASSWORD.CPL was not asked";
    EXPECT_FALSE(SaverWindowGoesWithin(500));
    EXPECT_TRUE(RowsChangeWithin(kPatience, ScreenHeight())) << "the animation did not go on";

    ScopedUserValue acceptance(kCplKey, L"Answer", 1);
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(CplCalls(), 2u);
}

TEST_F(SaverTest, Win98MissingValueIsReportedAndThePictureStandsStillWithoutAPasswordAKeyEndsIt)
{
    ScopedWin98 win98;
    std::optional<ScopedUserValue> usePassword(std::in_place, kDesktopKey, kUsePassword, std::nullopt);
    Process saver = StartSaver(6);
    ASSERT_NE(window_, nullptr);
    // A frame of the wave first, so that a standing picture can be told from
    // one that never moved.
    ASSERT_TRUE(WaitForScreen(ShowsAWaveFrame));
    PressKey('A');
    HWND box = saver.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr);
    const MessageBoxText shown = ReadMessageBox(box);
    EXPECT_EQ(shown.caption, L"Nimbrel");
    EXPECT_EQ(shown.text, L"'ScreenSaveUsePassword' の取得に失敗しました.");
    RECT boxRect{};
    GetWindowRect(box, &boxRect);
    EXPECT_FALSE(RowsChangeWithin(1000, boxRect.top)) << "the picture did not stand still";

    // Without ticks, only the window's painting can show the frame again.
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(WaitForScreen(ShowsAWaveFrame)) << "the frame was not painted again";
    EXPECT_TRUE(saver.Running());

    // With no password in use, the next key ends it without asking.
    usePassword.reset();
    ScopedUserValue noPassword(kDesktopKey, kUsePassword, 0);
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(CplCalls(), 0u);
}

} // namespace
} // namespace nimbrel::e2e
