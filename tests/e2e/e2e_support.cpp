// Driving Nimbrel.scr from a test process under Wine.
#include "tests/e2e/e2e_support.h"

#include <cstdlib>
#include <fstream>

#include "platform/win32/handles.h"
#include "platform/win32/screen.h"

namespace nimbrel::e2e {
namespace {

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::wstring WindowsPathOf(const std::string& unixPath)
{
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        auto* picture = reinterpret_cast<const Surface*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (picture) {
            const PixelRect whole{0, 0, picture->Width(), picture->Height()};
            win32::PresentSurface(dc, *picture, std::span(&whole, 1));
        }
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
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


Process Process::StartScr(const std::wstring& arguments)
{
    Process process;
    // tools/check-9x-path asks for a trace of the programs that run in
    // win98 mode; the driver's own calls and the NT path stay out of it.
    wchar_t channels[64] = {}, ownChannels[64] = {};
    const DWORD length = GetEnvironmentVariableW(L"NIMBREL_SCR_WINEDEBUG", channels, 64);
    const bool traced = length > 0 && length < 64 && ScopedWin98::Active();
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
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process.info_)) {
        process.info_ = {};
    }
    if (traced) SetEnvironmentVariableW(L"WINEDEBUG", *ownChannels ? ownChannels : nullptr);
    return process;
}

Process::Process(Process&& other) noexcept : info_(other.info_) { other.info_ = {}; }

Process::~Process()
{
    if (!info_.hProcess) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, kPatience);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool Process::Running() const
{
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(DWORD timeoutMs) const
{
    if (!info_.hProcess) return std::nullopt;
    // Keep this process's own windows answering while the other one ends.
    if (!WaitUntil([&] { return !Running(); }, timeoutMs)) return std::nullopt;
    DWORD code = 0;
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
    WaitUntil([&] { return (window = FindWindowOfClass(className)) && IsWindowVisible(window); });
    return window;
}

Surface CaptureScreen()
{
    win32::Win32Screen screen;
    Surface surface(screen.ScreenWidth(), screen.ScreenHeight());
    screen.CaptureScreen(surface, 0, 0);
    return surface;
}

std::optional<Surface> WaitForScreen(const std::function<bool(const Surface&)>& predicate,
                                     DWORD timeoutMs)
{
    std::optional<Surface> last;
    if (WaitUntil([&] { return predicate(*(last = CaptureScreen())); }, timeoutMs)) return last;
    return std::nullopt;
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

TestWindow::TestWindow(const wchar_t* className, RECT bounds, DWORD style, DWORD exStyle,
                       WNDPROC procedure)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(exStyle, className, L"test", style, bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    PumpMessages();
}

void TestWindow::Destroy()
{
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
    PumpMessages();
}

PictureWindow::PictureWindow(const Surface& picture)
    : TestWindow(L"NimbrelTestPicture", RECT{0, 0, picture.Width(), picture.Height()}, WS_POPUP,
                 WS_EX_TOPMOST, PictureWindowProc)
{
    SetWindowLongPtrW(get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&picture));
    ShowWindow(get(), SW_SHOW);
    UpdateWindow(get());
    // Wait until the display really shows the picture.
    WaitForScreen([&](const Surface& screen) {
        for (int y = 0; y < picture.Height(); y += 7) {
            for (int x = 0; x < picture.Width(); x += 13) {
                if (screen.ColourAt(x, y) != picture.ColourAt(x, y)) return false;
            }
        }
        return true;
    });
}


namespace {
std::string SettingsPath()
{
    char directory[MAX_PATH];
    UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    return std::string(directory, length) + "\\Rendaxo.ini";
}

void RemoveSettingsFile()
{
    DeleteFileA(SettingsPath().c_str());
    // Flush the profile functions' cache of this process.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Rendaxo.ini");
}
} // namespace

ScopedSettings::ScopedSettings(const char* text)
{
    RemoveSettingsFile();
    if (text) std::ofstream(SettingsPath(), std::ios::binary) << text;
}

ScopedSettings::~ScopedSettings() { RemoveSettingsFile(); }

bool ScopedSettings::Exists()
{
    return GetFileAttributesA(SettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

ScopedSystemFile::ScopedSystemFile(const std::string& unixPath, const std::wstring& name)
{
    wchar_t directory[MAX_PATH];
    UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    path_ = std::wstring(directory, length) + L"\\" + name;
    // Put a file that is already there back under its own spelling.
    WIN32_FIND_DATAW existing;
    HANDLE found = FindFirstFileW(path_.c_str(), &existing);
    if (found != INVALID_HANDLE_VALUE) {
        FindClose(found);
        path_ = std::wstring(directory, length) + L"\\" + existing.cFileName;
    }
    backedUp_ = MoveFileExW(path_.c_str(), (path_ + L".nimbrel-backup").c_str(),
                            MOVEFILE_REPLACE_EXISTING) != 0;
    CopyFileW(WindowsPathOf(unixPath).c_str(), path_.c_str(), FALSE);
}

ScopedSystemFile::~ScopedSystemFile()
{
    DeleteFileW(path_.c_str());
    if (backedUp_) MoveFileW((path_ + L".nimbrel-backup").c_str(), path_.c_str());
}

ScopedUserValue::ScopedUserValue(const wchar_t* key, const wchar_t* name, int number)
    : ScopedUserValue(key, name, std::pair(REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)))
{
}

ScopedUserValue::ScopedUserValue(const wchar_t* key, const wchar_t* name, const wchar_t* text)
    : ScopedUserValue(key, name,
                      std::pair(REG_SZ, std::string(reinterpret_cast<const char*>(text),
                                                    (lstrlenW(text) + 1) * sizeof(wchar_t))))
{
}

ScopedUserValue::ScopedUserValue(const wchar_t* key, const wchar_t* name, std::nullopt_t)
    : ScopedUserValue(key, name, Value())
{
}

ScopedUserValue::ScopedUserValue(const wchar_t* key, const wchar_t* name, const Value& value)
    : key_(key), name_(name)
{
    char data[512];
    DWORD type = 0, size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &type, data, &size) == ERROR_SUCCESS) {
        previous_.emplace(type, std::string(data, size));
    }
    Set(value);
}

void ScopedUserValue::Set(const Value& value) const
{
    if (!value) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name_.c_str());
        return;
    }
    RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name_.c_str(), value->first, value->second.data(),
                    static_cast<DWORD>(value->second.size()));
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

MessageBoxText ReadMessageBox(HWND box)
{
    // The message text is the box's static control with the id 0xFFFF.
    HWND label = GetDlgItem(box, 0xFFFF);
    return {TextOf(box), label ? TextOf(label) : L""};
}

} // namespace nimbrel::e2e
