// The thread's desktop, the user's desktop settings and wallpaper file, and
// the monitors, gathered for the drawn desktop of saver/desktop_background.h.
//
// Windows NT 4.0, 2000, XP and Server 2003 start a password-protected saver
// on a desktop of its own, "Screen-saver" (KB 140723, KB 150785), which
// cannot see the user's windows (KB 96780): a capture there is blank. The
// saver still runs as the user, so the user's settings and system colours
// are at hand, and the desktop as it looks without windows is drawn from them.
#include "platform/win32/desktop_background.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/system_api.h"
#include "platform/win32/text.h"
#include "saver/desktop_background.h"
#include "settings/errors.h"

namespace nimbrel::win32 {
namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
// Longer settings than this are not the desktop's own and are left unread.
constexpr DWORD kMaxSettingBytes = 32768;

// A text value of the desktop settings key, in UTF-8; empty when it is
// missing or not a text.
std::string DesktopSetting(HKEY key, const char* name)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
        size > kMaxSettingBytes) {
        return {};
    }
    std::string text(size, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    // The stored text may or may not end in its terminating zero.
    text.resize(std::min<std::size_t>(size, text.size()));
    if (const std::size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
    return FromAnsi(text);
}

std::string Directory(UINT(WINAPI* query)(LPSTR, UINT))
{
    char buffer[MAX_PATH] = {};
    const UINT length = query(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return FromAnsi(std::string_view(buffer, length));
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list)
{
    reinterpret_cast<std::vector<PixelRect>*>(list)->push_back({rect->left, rect->top, rect->right, rect->bottom});
    return TRUE;
}

// The name of the desktop this thread runs on, in UTF-8; nothing where the
// system cannot say. GetThreadDesktop and GetUserObjectInformationA are
// looked up, since Windows 95 has neither.
std::optional<std::string> ThreadDesktopName()
{
    using GetThreadDesktopFn = HDESK(WINAPI*)(DWORD);
    using GetUserObjectInformationFn = BOOL(WINAPI*)(HANDLE, int, PVOID, DWORD, LPDWORD);
    static const auto getDesktop = SystemFunction<GetThreadDesktopFn>("user32.dll", "GetThreadDesktop");
    static const auto getInformation =
        SystemFunction<GetUserObjectInformationFn>("user32.dll", "GetUserObjectInformationA");
    if (!getDesktop || !getInformation) return std::nullopt;
    // The thread's desktop handle belongs to the system: it is not closed.
    HDESK desktop = getDesktop(GetCurrentThreadId());
    char name[256] = {};
    DWORD needed = 0;
    if (!desktop || !getInformation(desktop, UOI_NAME, name, sizeof name - 1, &needed)) return std::nullopt;
    return FromAnsi(name);
}

// Every monitor's rectangle in screen coordinates (EnumDisplayMonitors,
// looked up: Windows 98 and 2000 brought it); the primary screen alone where
// the system lacks it.
std::vector<PixelRect> MonitorRects()
{
    using EnumDisplayMonitorsFn = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
    static const auto enumerate = SystemFunction<EnumDisplayMonitorsFn>("user32.dll", "EnumDisplayMonitors");
    std::vector<PixelRect> monitors;
    if (enumerate) enumerate(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) monitors.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    return monitors;
}

// The first of the files (UTF-8 paths) that loads as a bitmap, as 32-bit
// pixels; nothing when none does.
std::optional<Surface> LoadWallpaper(const std::vector<std::string>& files)
{
    for (const std::string& file : files) {
        // A DIB section keeps the file's own colours, whatever the display's
        // depth; LR_LOADFROMFILE reads only bitmap files.
        const UniqueBitmap bitmap(static_cast<HBITMAP>(
            LoadImageA(nullptr, ToAnsi(file).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
        BITMAP size{};
        if (!bitmap || !GetObjectA(bitmap.get(), sizeof size, &size)) continue;
        const std::int32_t width = size.bmWidth, height = std::abs(size.bmHeight);
        if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxSurfacePixels) continue;
        try {
            Surface pixels(width, height);
            BITMAPINFO rows{};
            rows.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            rows.bmiHeader.biWidth = width;
            rows.bmiHeader.biHeight = -height;  // top-down, as a surface keeps its rows
            rows.bmiHeader.biPlanes = 1;
            rows.bmiHeader.biBitCount = 32;
            rows.bmiHeader.biCompression = BI_RGB;
            const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
            if (dc && GetDIBits(dc.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.Row(0).data(), &rows,
                                DIB_RGB_COLORS) == height) {
                return pixels;
            }
        } catch (const Error&) {
            // No memory for the picture: the colour alone, as without one.
        }
    }
    return std::nullopt;
}

} // namespace

bool SnapshotIsDrawn()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return false;
    // GetVersionEx reports no version above 6.2 to a program that does not
    // declare later systems, which is still "Vista or later" here.
    return ChooseSnapshotSource(version.dwPlatformId, version.dwMajorVersion, ThreadDesktopName()) ==
           SnapshotSource::DesktopBackground;
}

void DesktopBackgroundScreen::CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top)
{
    std::string wallpaper, tile, style;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS) {
        const UniqueKey key(opened);
        wallpaper = DesktopSetting(key.get(), "Wallpaper");
        tile = DesktopSetting(key.get(), "TileWallpaper");
        style = DesktopSetting(key.get(), "WallpaperStyle");
    }
    const std::optional<Surface> picture = LoadWallpaper(
        WallpaperFileCandidates(wallpaper, Directory(GetWindowsDirectoryA), Directory(GetSystemDirectoryA)));
    const std::vector<PixelRect> monitors = MonitorRects();
    // COLORREF keeps red in the low byte, as the colour value does.
    const Colour background = GetSysColor(COLOR_BACKGROUND) & 0xFFFFFFu;
    PaintDesktopBackground(surface, {left, top, left + surface.Width(), top + surface.Height()}, monitors, background,
                           picture ? &*picture : nullptr, ReadWallpaperStyle(tile, style));
}

} // namespace nimbrel::win32
