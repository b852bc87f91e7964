// The drawn desktop's Windows side under Wine: the thread's desktop name on
// the default desktop and on one of its own, and the user's colour, wallpaper
// file and style read from the real settings and painted where the real
// monitor puts them. Wine runs no saver on a password desktop, so that
// choice itself is checked in the saver's own tests.
#include "platform/win32/desktop_background.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <optional>
#include <string>

#include "platform/win32/screen.h"
#include "saver/desktop_background.h"
#include "tests/win32/bitmap_file.h"

namespace nimbrel::win32 {
namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

// A text value of the desktop settings while the object lives; the value
// that was there before comes back afterwards.
class ScopedDesktopSetting {
public:
    ScopedDesktopSetting(const wchar_t* name, const std::wstring& text) : name_(name)
    {
        wchar_t old[1024] = {};
        DWORD size = sizeof old;
        if (RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, name, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS) {
            old_ = old;
        }
        Set(text);
    }
    ~ScopedDesktopSetting()
    {
        if (old_) Set(*old_);
        else RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, name_);
    }
    void Set(const std::wstring& text)
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, name_, REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

// The four colours of the 2 x 2 wallpaper, top row first.
constexpr std::array<Colour, 4> kWallpaper = {MakeColour(200, 10, 20), MakeColour(30, 200, 40),
                                              MakeColour(50, 60, 200), MakeColour(210, 220, 70)};

void WriteWallpaperFile(const std::string& path)
{
    Surface picture(2, 2);
    for (std::int32_t i = 0; i < 4; ++i) picture.SetColourAt(i % 2, i / 2, kWallpaper[static_cast<std::size_t>(i)]);
    test::WriteBitmapFile(path, picture);
}

std::string SystemDirectoryPath()
{
    char directory[MAX_PATH] = {};
    GetSystemDirectoryA(directory, MAX_PATH);
    return directory;
}

// What a thread moved to another desktop reads as its desktop's name.
struct DesktopProbe {
    HDESK desktop;
    std::optional<std::string> name;
};

DWORD WINAPI ProbeDesktop(void* parameter)
{
    auto* probe = static_cast<DesktopProbe*>(parameter);
    if (SetThreadDesktop(probe->desktop)) probe->name = ThreadDesktopName();
    return 0;
}

TEST(DesktopBackgroundWin32Test, TheThreadDesktopIsNamedAndOnlyTheDefaultOneIsCaptured)
{
    EXPECT_EQ(ThreadDesktopName(), "Default");
    EXPECT_FALSE(SnapshotIsDrawn());

    // A thread of its own moves to a new desktop, as winlogon starts the
    // password-protected saver on one.
    HDESK desktop = CreateDesktopW(L"NimbrelTestDesktop", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    ASSERT_NE(desktop, nullptr);
    DesktopProbe probe{desktop, std::nullopt};
    HANDLE thread = CreateThread(nullptr, 0, ProbeDesktop, &probe, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseDesktop(desktop);
    EXPECT_EQ(probe.name, "NimbrelTestDesktop");
}

TEST(DesktopBackgroundWin32Test, PaintsTheUsersColourAndWallpaperInItsStyleOnTheMonitor)
{
    // A bare name is found in the system directory once the Windows
    // directory has no such file.
    const std::string file = SystemDirectoryPath() + "\\nimbrel-test-wallpaper.bmp";
    WriteWallpaperFile(file);
    ScopedDesktopSetting wallpaper(L"Wallpaper", L"nimbrel-test-wallpaper.bmp");
    ScopedDesktopSetting tile(L"TileWallpaper", L"1");
    ScopedDesktopSetting style(L"WallpaperStyle", L"0");

    Win32Screen real;
    DesktopBackgroundScreen screen(real);
    const std::vector<PixelRect> monitors = MonitorRects();
    ASSERT_EQ(monitors.size(), 1u);
    const PixelRect monitor = monitors[0];
    EXPECT_EQ(monitor, (PixelRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    const Colour background = GetSysColor(COLOR_BACKGROUND) & 0xFFFFFF;
    const auto [a, b, c, d] = kWallpaper;
    const Colour o = background;
    // What a 4 x 3 capture at (left, top) shows, row by row.
    const auto shows = [&](std::int32_t left, std::int32_t top) {
        Surface surface = screen.CreateSurface(4, 3);
        screen.CaptureScreen(surface, left, top);
        std::array<std::array<Colour, 4>, 3> rows{};
        for (std::int32_t y = 0; y < 3; ++y) {
            for (std::int32_t x = 0; x < 4; ++x) rows[y][x] = surface.ColourAt(x, y);
        }
        return rows;
    };
    using Rows = std::array<std::array<Colour, 4>, 3>;

    // Tiled from the monitor's corner, wherever the capture starts.
    EXPECT_EQ(shows(0, 0), (Rows{{{a, b, a, b}, {c, d, c, d}, {a, b, a, b}}}));
    EXPECT_EQ(shows(1, 1), (Rows{{{d, c, d, c}, {b, a, b, a}, {d, c, d, c}}}));
    // Centred on the monitor: the picture in the middle of the colour.
    tile.Set(L"0");
    const std::int32_t left = (monitor.Right - 2) / 2 - 1, top = (monitor.Bottom - 2) / 2;
    EXPECT_EQ(shows(left, top), (Rows{{{o, a, b, o}, {o, c, d, o}, {o, o, o, o}}}));
    // Stretched over the whole monitor: its bottom-right corner is the
    // picture's.
    style.Set(L"2");
    EXPECT_EQ(shows(monitor.Right - 4, monitor.Bottom - 3)[2][3], d);
    // A file that is no bitmap, or none at all: the colour alone.
    std::ofstream(file, std::ios::trunc) << "not a bitmap";
    EXPECT_EQ(shows(0, 0), (Rows{{{o, o, o, o}, {o, o, o, o}, {o, o, o, o}}}));
    DeleteFileA(file.c_str());
    EXPECT_EQ(shows(0, 0), (Rows{{{o, o, o, o}, {o, o, o, o}, {o, o, o, o}}}));
}

} // namespace
} // namespace nimbrel::win32
