// Driving Nimbrel.scr from a test process under Wine.
#include "tests/e2e/e2e_support.h"

#include <cstdlib>
#include <fstream>

#include "platform/win32/screen.h"

namespace nimbrel::e2e {
namespace {

void PumpMessages()
{
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
}

std::wstring WindowsPathOf(const std::string& unixPath)
{
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::string SettingsPath()
{
    char directory[MAX_PATH];
    return std::string(directory, GetWindowsDirectoryA(directory, MAX_PATH)) + "\\Rendaxo.ini";
}

LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    const auto* picture = reinterpret_cast<const Surface*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    PAINTSTRUCT paint;
    const PixelRect whole{0, 0, picture->Width(), picture->Height()};
    win32::PresentSurface(BeginPaint(window, &paint), *picture, std::span(&whole, 1));
    EndPaint(window, &paint);
    return 0;
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

Process::Process(const std::wstring& arguments)
{
    // tools/check-9x-path, which runs only the win98 scenarios, asks for a
    // trace of the program; the driver's own calls stay out of it.
    wchar_t channels[64] = {}, ownChannels[64] = {};
    const DWORD length = GetEnvironmentVariableW(L"NIMBREL_SCR_WINEDEBUG", channels, 64);
    const bool traced = length > 0 && length < 64;
    if (traced) {
        // Only the calls made from the program itself: tracing the system
        // libraries' calls among themselves would slow it down many times.
        static const ScopedUserValue fromProgramOnly(L"Software\\Wine\\Debug", L"RelayFromInclude",
                                                     L"Nimbrel.scr");
        GetEnvironmentVariableW(L"WINEDEBUG", ownChannels, 64);
        SetEnvironmentVariableW(L"WINEDEBUG", channels);
    }
    std::wstring commandLine = L"\"" + WindowsPathOf(NIMBREL_SCR_UNIX_PATH) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_);
    if (traced) SetEnvironmentVariableW(L"WINEDEBUG", *ownChannels ? ownChannels : nullptr);
}

Process::Process(std::wstring commandLine, const wchar_t* desktop)
{
    std::wstring desktopName = desktop;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktopName.data();
    CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_);
}

Process::~Process()
{
    if (!info_.hProcess) return;
    // A process that has ended already refuses to be terminated.
    if (TerminateProcess(info_.hProcess, 99)) WaitForSingleObject(info_.hProcess, kPatience);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

std::optional<DWORD> Process::WaitForExit(DWORD timeoutMs) const
{
    DWORD code = 0;
    // WaitUntil keeps this process's own windows answering while the other one ends.
    const auto ended = [&] { return WaitForSingleObject(info_.hProcess, 0) != WAIT_TIMEOUT; };
    if (!info_.hProcess || !WaitUntil(ended, timeoutMs)) return std::nullopt;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

HWND Process::FindWindowOfClass(const wchar_t* className) const
{
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == info_.dwProcessId) return window;
    }
    return nullptr;
}

HWND Process::WaitForWindow(const wchar_t* className) const
{
    HWND window = nullptr;
    const bool active = WaitUntil([&] {
        return (window = FindWindowOfClass(className)) && IsWindowVisible(window) && GetForegroundWindow() == window;
    });
    return active ? window : nullptr;
}

std::optional<Surface> WaitForScreen(const std::function<bool(const Surface&)>& predicate,
                                     DWORD timeoutMs)
{
    win32::Win32Screen screen;
    std::optional<Surface> shown(std::in_place, screen.ScreenWidth(), screen.ScreenHeight());
    const auto capture = [&] {
        screen.CaptureScreen(*shown, 0, 0);
        return predicate(*shown);
    };
    if (!WaitUntil(capture, timeoutMs)) shown.reset();
    return shown;
}

void MoveMouseTo(int x, int y)
{
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
                MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1), 0, 0);
}

void PressKey(WORD virtualKey, WORD heldKey)
{
    if (heldKey) keybd_event(static_cast<BYTE>(heldKey), 0, 0, 0);
    keybd_event(static_cast<BYTE>(virtualKey), 0, 0, 0);
    keybd_event(static_cast<BYTE>(virtualKey), 0, KEYEVENTF_KEYUP, 0);
    if (heldKey) keybd_event(static_cast<BYTE>(heldKey), 0, KEYEVENTF_KEYUP, 0);
}

void Click(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    MoveMouseTo(x, y);
    WaitUntil([&] {
        POINT cursor{};
        return GetCursorPos(&cursor) && std::abs(cursor.x - x) <= 1 && std::abs(cursor.y - y) <= 1;
    });
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

TestWindow::TestWindow(RECT bounds, const Surface* picture)
    : window_(CreateWindowExW(picture ? WS_EX_TOPMOST : 0, L"STATIC", nullptr, WS_POPUP, bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr, nullptr,
                              nullptr))
{
    if (picture) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture));
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PictureWindowProc));
    }
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    PumpMessages();
}

TestWindow::~TestWindow()
{
    DestroyWindow(window_);
    PumpMessages();
}

ScopedSettings::ScopedSettings(const std::string& text) { std::ofstream(SettingsPath(), std::ios::binary) << text; }

ScopedSettings::~ScopedSettings() { DeleteFileA(SettingsPath().c_str()); }

std::string ScopedSettings::Stored(const char* section, const char* key)
{
    // Flush the profile functions' cache of this process first.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Rendaxo.ini");
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "-", value, sizeof value, "Rendaxo.ini");
    return value;
}

ScopedSystemFile::ScopedSystemFile(const std::string& unixPath, const std::wstring& name)
{
    wchar_t directory[MAX_PATH];
    UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    path_ = std::wstring(directory, length) + L"\\" + name;
    backedUp_ = MoveFileExW(path_.c_str(), (path_ + L".nimbrel-backup").c_str(),
                            MOVEFILE_REPLACE_EXISTING) != 0;
    CopyFileW(WindowsPathOf(unixPath).c_str(), path_.c_str(), FALSE);
}

ScopedSystemFile::~ScopedSystemFile()
{
    DeleteFileW(path_.c_str());
    if (backedUp_) MoveFileW((path_ + L".nimbrel-backup").c_str(), path_.c_str());
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace nimbrel::e2e
