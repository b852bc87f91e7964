// The saver run of the real Nimbrel.scr: what it shows, the input that ends
// it, and the password check of the Windows 95 family through a test
// PASSWORD.CPL whose answer the test sets.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/e2e_support.h"
#include "tests/win32/saver_test_picture.h"

namespace nimbrel::e2e {
namespace {

using testing::ColumnPicture;
using testing::ShowsPictureUnshifted;

// A fresh process starts the wave from no shift.
std::optional<int> WavePhaseOnScreen(const Surface& screen) { return testing::WavePhaseOnScreen(screen, 0); }

constexpr wchar_t kSaverClass[] = L"TMainForm";
constexpr wchar_t kCplKey[] = L"Software\\NimbrelTest\\PasswordCpl";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\desktop";
constexpr wchar_t kUsePassword[] = L"ScreenSaveUsePassword";

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

// Whether rows [top, bottom) of the screen change within the time.
bool RowsChangeWithin(DWORD timeoutMs, int top, int bottom)
{
    const Surface first = CaptureScreen();
    return WaitUntil([&] {
        const Surface now = CaptureScreen();
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < now.Width(); x += 3) {
                if (now.ColourAt(x, y) != first.ColourAt(x, y)) return true;
            }
        }
        return false;
    }, timeoutMs);
}

std::string WaveOnlySettings(int speed)
{
    return "[Main]\r\nWave=1\r\nMelt=0\r\nNoise=0\r\n[Wave]\r\nPitch=1\r\nSpeed=" + std::to_string(speed) + "\r\n";
}

// The counter runs over one-second periods of the saver's own timer, which
// the test cannot see: waiting a little longer than a period is the only way
// to know that the counter has been cleared since.
void LetCounterClear() { Sleep(1100); }

// Mouse moves a little apart, so that the system does not merge them into one
// before the saver reads them.
void MoveMouse(int moves, int& position)
{
    for (int move = 0; move < moves; ++move, ++position) {
        MoveMouseTo(100 + 7 * (position % 50), 100 + 5 * (position % 50));
        Sleep(15);
    }
}

DWORD UserDword(const wchar_t* key, const wchar_t* name)
{
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
        return 0;
    }
    return value;
}

std::wstring UserText(const wchar_t* key, const wchar_t* name)
{
    std::array<wchar_t, 128> text{};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    return text.data();
}

std::wstring WindowText(HWND window)
{
    std::array<wchar_t, 256> text{};
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

struct TextSearch {
    const std::wstring* text;
    bool found;
};

BOOL CALLBACK MatchText(HWND child, LPARAM lParam)
{
    auto* search = reinterpret_cast<TextSearch*>(lParam);
    if (WindowText(child) == *search->text) search->found = true;
    return !search->found;
}

// Whether one of the box's labels shows the text.
bool ShowsText(HWND box, const std::wstring& text)
{
    TextSearch search{&text, false};
    EnumChildWindows(box, MatchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class SaverTest : public ::testing::Test {
protected:
    // Settings first, then a picture over the screen for the saver to take.
    void Prepare(int speed)
    {
        settings_ = std::make_unique<ScopedSettings>(WaveOnlySettings(speed));
        picture_ = ColumnPicture(ScreenWidth(), ScreenHeight());
        pictureWindow_ = std::make_unique<PictureWindow>(picture_);
    }

    // Starts the saver and waits until its window shows and is the one that
    // the keyboard reaches.
    Process StartSaver()
    {
        Process saver = Process::StartScr(L"/s");
        window_ = saver.WaitForWindow(kSaverClass);
        if (window_ && !WaitUntil([&] { return GetForegroundWindow() == window_; })) window_ = nullptr;
        return saver;
    }

    void RemovePicture() { pictureWindow_.reset(); }

    // Whether the saver's window goes away within the time. The window is
    // hidden as soon as the saver closes it, well before the process ends.
    bool SaverWindowGoesWithin(DWORD timeoutMs) const
    {
        return WaitUntil([&] { return !IsWindow(window_) || !IsWindowVisible(window_); }, timeoutMs);
    }

    HWND window_ = nullptr;
    int mousePosition_ = 0;

private:
    std::unique_ptr<ScopedSettings> settings_;
    Surface picture_;
    std::unique_ptr<PictureWindow> pictureWindow_;
};

TEST_F(SaverTest, ShowsTheSnapshotThenAnimatesItAsTheWave)
{
    // A hand-edited Speed of -30 puts 3650 ms between frames: time enough to
    // take the test's own picture away, so that only the saver can show it.
    Prepare(-30);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    RemovePicture();
    EXPECT_TRUE(WaitForScreen(ShowsPictureUnshifted, 2000)) << "the snapshot was not shown first";

    const std::optional<Surface> first = WaitForScreen([](const Surface& s) { return WavePhaseOnScreen(s).has_value(); });
    ASSERT_TRUE(first) << "no frame shifted the rows as the wave does";
    const int phase = *WavePhaseOnScreen(*first);
    EXPECT_TRUE(WaitForScreen([&](const Surface& s) {
        const std::optional<int> now = WavePhaseOnScreen(s);
        return now && *now != phase;
    })) << "the wave did not travel";
}

TEST_F(SaverTest, FiveMouseMovesInOneSecondLeaveItRunningTheSixthEndsIt)
{
    Prepare(0);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    // The first move after the window appears may come as two events.
    MoveMouse(1, mousePosition_);
    LetCounterClear();

    MoveMouse(5, mousePosition_);
    EXPECT_FALSE(SaverWindowGoesWithin(500)) << "five moves ended the saver";
    LetCounterClear();

    // Six moves might still fall on both sides of a period's end; then the
    // counter is cleared between them and the next six try again.
    bool ended = false;
    for (int attempt = 0; attempt < 3 && !ended; ++attempt) {
        MoveMouse(6, mousePosition_);
        ended = SaverWindowGoesWithin(1000);
        if (!ended) LetCounterClear();
    }
    ASSERT_TRUE(ended) << "six moves within one second did not end the saver";
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(SaverTest, AKeyEndsIt)
{
    Prepare(6);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(SaverTest, AnAltCombinationEndsIt)
{
    Prepare(6);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    // Alt+Shift: no system command of its own, only the key preview can see it.
    INPUT keys[4]{};
    for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_MENU;
    keys[1].ki.wVk = VK_SHIFT;
    keys[2].ki.wVk = VK_SHIFT;
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_MENU;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(SaverTest, AClickEndsIt)
{
    Prepare(6);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    ClickAt(300, 200);
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
}

// The Windows 95 family: the saver asks the registry whether a password is in
// use and lets PASSWORD.CPL decide.
class SaverPasswordTest : public SaverTest {
protected:
    void SetUp() override
    {
        cpl_ = std::make_unique<ScopedSystemFile>(WindowsPathOf(NIMBREL_PASSWORD_CPL_UNIX_PATH), L"PASSWORD.CPL");
        calls_ = std::make_unique<ScopedUserDword>(kCplKey, L"Calls", std::nullopt);
    }

    void Answer(DWORD answer) { answer_ = std::make_unique<ScopedUserDword>(kCplKey, L"Answer", answer); }
    static DWORD CplCalls() { return UserDword(kCplKey, L"Calls"); }

private:
    std::unique_ptr<ScopedSystemFile> cpl_;
    std::unique_ptr<ScopedUserDword> calls_;
    std::unique_ptr<ScopedUserDword> answer_;
};

TEST_F(SaverPasswordTest, NoPasswordInUseClosesAtOnce)
{
    ScopedWindowsVersion win98("win98");
    ScopedUserDword usePassword(kDesktopKey, kUsePassword, 0);
    Answer(0);
    Prepare(6);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(CplCalls(), 0u);
}

TEST_F(SaverPasswordTest, RefusedPasswordKeepsTheSaverAnimating)
{
    ScopedWindowsVersion win98("win98");
    ScopedUserDword usePassword(kDesktopKey, kUsePassword, 1);
    Answer(0);
    Prepare(6);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    PressKey('A');
    ASSERT_TRUE(WaitUntil([] { return CplCalls() == 1; })) << "PASSWORD.CPL was not asked";
    EXPECT_EQ(UserText(kCplKey, L"Window"), L"TMainForm");
    EXPECT_FALSE(SaverWindowGoesWithin(500));
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_TRUE(RowsChangeWithin(kPatience, 0, ScreenHeight())) << "the animation did not go on";
}

TEST_F(SaverPasswordTest, OnlyTheLowByteOfTheAnswerCounts)
{
    ScopedWindowsVersion win98("win98");
    ScopedUserDword usePassword(kDesktopKey, kUsePassword, 1);
    Answer(0x100);  // true as a whole, false in its low byte
    Prepare(6);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    PressKey('A');
    ASSERT_TRUE(WaitUntil([] { return CplCalls() == 1; }));
    EXPECT_FALSE(SaverWindowGoesWithin(500));
}

TEST_F(SaverPasswordTest, AcceptedPasswordEndsIt)
{
    ScopedWindowsVersion win98("win98");
    ScopedUserDword usePassword(kDesktopKey, kUsePassword, 1);
    Answer(1);
    Prepare(6);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(CplCalls(), 1u);
}

TEST_F(SaverPasswordTest, MissingSettingIsReportedAndThePictureStandsStill)
{
    ScopedWindowsVersion win98("win98");
    ScopedUserDword usePassword(kDesktopKey, kUsePassword, std::nullopt);
    Answer(1);
    Prepare(6);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    // A frame of the wave first, so that a standing picture can be told from
    // one that never moved.
    ASSERT_TRUE(WaitForScreen([](const Surface& s) { return WavePhaseOnScreen(s).has_value(); }));
    PressKey('A');

    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = saver.FindWindowOfClass(L"#32770")) && IsWindowVisible(box); }))
        << "no message box";
    EXPECT_EQ(WindowText(box), L"Nimbrel");
    EXPECT_TRUE(ShowsText(box, L"'ScreenSaveUsePassword' の取得に失敗しました."));
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_TRUE(saver.Running());
    EXPECT_EQ(CplCalls(), 0u);
    // The rows above the box: a frame every 50 ms while the wave runs.
    RECT boxRect{};
    GetWindowRect(box, &boxRect);
    EXPECT_FALSE(RowsChangeWithin(1000, 0, boxRect.top)) << "the picture did not stand still";

    // Without ticks, only the window's painting can show the frame again
    // where the box was.
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(WaitForScreen([](const Surface& s) { return WavePhaseOnScreen(s).has_value(); }))
        << "the frame was not painted again";
    EXPECT_TRUE(saver.Running());
}

TEST_F(SaverPasswordTest, NtFamilyClosesOnTheFirstInputWithoutTheLibrary)
{
    ScopedUserDword usePassword(kDesktopKey, kUsePassword, 1);
    Answer(0);
    Prepare(6);
    Process saver = StartSaver();
    ASSERT_NE(window_, nullptr);
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(CplCalls(), 0u);
}

} // namespace
} // namespace nimbrel::e2e
