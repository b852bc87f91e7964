// Driving Nimbrel.scr from a test process under Wine.
#include "tests/e2e/e2e_support.h"

#include <fstream>
#include <sstream>

#include "platform/win32/handles.h"
#include "platform/win32/screen.h"

namespace nimbrel::e2e {
namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[128];
    if (owner == search->processId && GetClassNameW(window, name, 128) &&
        lstrcmpW(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
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

void SendKeyboard(WORD virtualKey, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void SendMouse(DWORD flags, LONG x = 0, LONG y = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
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

std::wstring WindowsPathOf(const std::string& unixPath)
{
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::wstring ScrPath() { return WindowsPathOf(NIMBREL_SCR_UNIX_PATH); }

Process Process::StartScr(const std::wstring& arguments)
{
    Process process;
    // tools/check-9x-path asks for a trace of the programs that run in
    // win98 mode; the driver's own calls and the NT path stay out of it.
    std::optional<ScopedEnvironment> trace;
    wchar_t channels[64] = {};
    const DWORD length = GetEnvironmentVariableW(L"NIMBREL_SCR_WINEDEBUG", channels, 64);
    if (length > 0 && length < 64 && ScopedWindowsVersion::Active() == "win98") {
        // Only the calls made from the program itself: tracing the system
        // libraries' calls among themselves would slow it down many times.
        static const ScopedUserString fromProgramOnly(L"Software\\Wine\\Debug", L"RelayFromInclude",
                                                      L"Nimbrel.scr");
        trace.emplace(L"WINEDEBUG", channels);
    }
    std::wstring commandLine = L"\"" + ScrPath() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process.info_)) {
        process.info_ = {};
    }
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
    WindowSearch search{info_.dwProcessId, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Process::WaitForWindow(const wchar_t* className, DWORD timeoutMs) const
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowOfClass(className)) && IsWindowVisible(window); },
              timeoutMs);
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
    bool found = WaitUntil([&] {
        last = CaptureScreen();
        return predicate(*last);
    }, timeoutMs);
    if (!found) return std::nullopt;
    return last;
}

void MoveMouseTo(int x, int y)
{
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MulDiv(x, 65535, width - 1),
              MulDiv(y, 65535, height - 1));
}

void PressKey(WORD virtualKey)
{
    SendKeyboard(virtualKey, 0);
    SendKeyboard(virtualKey, KEYEVENTF_KEYUP);
}

void ClickAt(int x, int y)
{
    MoveMouseTo(x, y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

PictureWindow::PictureWindow(const Surface& picture) : picture_(&picture)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PictureWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"NimbrelTestPicture";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"", WS_POPUP, 0, 0,
                              picture.Width(), picture.Height(), nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture_));
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
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

PictureWindow::~PictureWindow()
{
    if (window_) DestroyWindow(window_);
    PumpMessages();
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::string SettingsPath()
{
    char directory[MAX_PATH];
    UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    return std::string(directory, length) + "\\Rendaxo.ini";
}

namespace {
void RemoveSettingsFile()
{
    DeleteFileA(SettingsPath().c_str());
    // Flush the profile functions' cache of this process.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Rendaxo.ini");
}
} // namespace

ScopedSettings::ScopedSettings() { RemoveSettingsFile(); }

ScopedSettings::ScopedSettings(const std::string& text)
{
    RemoveSettingsFile();
    std::ofstream(SettingsPath(), std::ios::binary) << text;
}

ScopedSettings::~ScopedSettings() { RemoveSettingsFile(); }

std::string ScopedSettings::Text()
{
    std::ifstream in(SettingsPath(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ScopedSettings::Exists()
{
    return GetFileAttributesA(SettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {
std::string& ActiveVersion()
{
    static std::string version;
    return version;
}
} // namespace

ScopedWindowsVersion::ScopedWindowsVersion(const char* version)
{
    ActiveVersion() = version;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       static_cast<DWORD>(lstrlenA(version) + 1));
        RegCloseKey(key);
    }
}

const std::string& ScopedWindowsVersion::Active() { return ActiveVersion(); }

ScopedWindowsVersion::~ScopedWindowsVersion()
{
    ActiveVersion().clear();
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, "Version");
        RegCloseKey(key);
    }
}

ScopedSystemFile::ScopedSystemFile(const std::wstring& source, const std::wstring& name)
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
    CopyFileW(source.c_str(), path_.c_str(), FALSE);
}

ScopedSystemFile::~ScopedSystemFile()
{
    DeleteFileW(path_.c_str());
    if (backedUp_) MoveFileW((path_ + L".nimbrel-backup").c_str(), path_.c_str());
}

ScopedUserString::ScopedUserString(const wchar_t* key, const wchar_t* name, const wchar_t* value)
    : key_(key), name_(name)
{
    HKEY handle;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

ScopedUserString::~ScopedUserString()
{
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_ALL_ACCESS, &handle) == ERROR_SUCCESS) {
        RegDeleteValueW(handle, name_.c_str());
        RegCloseKey(handle);
    }
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name)
{
    wchar_t buffer[1024];
    DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    if (length > 0 && length < 1024) previous_ = std::wstring(buffer, length);
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironment::~ScopedEnvironment()
{
    SetEnvironmentVariableW(name_.c_str(), previous_ ? previous_->c_str() : nullptr);
}

std::optional<MessageBoxText> ReadMessageBox(HWND box)
{
    if (!box) return std::nullopt;
    MessageBoxText result;
    wchar_t buffer[1024];
    int length = GetWindowTextW(box, buffer, 1024);
    result.caption.assign(buffer, length);
    // The message text is the box's static control with the id 0xFFFF.
    HWND label = GetDlgItem(box, 0xFFFF);
    if (!label) return std::nullopt;
    length = GetWindowTextW(label, buffer, 1024);
    result.text.assign(buffer, length);
    return result;
}

ScopedUserDword::ScopedUserDword(const wchar_t* key, const wchar_t* name, std::optional<DWORD> value)
    : key_(key), name_(name)
{
    HKEY handle;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    DWORD type = 0, data = 0, size = sizeof data;
    if (RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) ==
            ERROR_SUCCESS && type == REG_DWORD) {
        previous_ = data;
    }
    if (value) {
        RegSetValueExW(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value),
                       sizeof(DWORD));
    } else {
        RegDeleteValueW(handle, name);
    }
    RegCloseKey(handle);
}

ScopedUserDword::~ScopedUserDword()
{
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_ALL_ACCESS, &handle) !=
        ERROR_SUCCESS) {
        return;
    }
    if (previous_) {
        RegSetValueExW(handle, name_.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&*previous_), sizeof(DWORD));
    } else {
        RegDeleteValueW(handle, name_.c_str());
    }
    RegCloseKey(handle);
}

} // namespace nimbrel::e2e
