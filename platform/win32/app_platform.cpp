// Start-up's operating-system steps: the guard mutex, window lookups, the
// main windows, the password-change library and the start-up error report.
#include "platform/win32/app_platform.h"

#include <string>

#include "dialogs/layout.h"
#include "platform/win32/application.h"
#include "platform/win32/dialog_window.h"
#include "platform/win32/dpi_awareness.h"
#include "platform/win32/handles.h"
#include "platform/win32/saver_window.h"
#include "platform/win32/system_api.h"

namespace nimbrel::win32 {
namespace {

HWND ToHwnd(WindowHandle handle)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}

// Loads a function of kernel32 that older systems lack.
template <typename Function>
Function Kernel32Function(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

} // namespace

void Win32AppPlatform::RestrictLibrarySearch()
{
    // An empty DLL directory takes the current directory out of the search
    // path; where the system supports it, libraries loaded by name come from
    // the system directory only.
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    if (auto setDllDirectory = Kernel32Function<SetDllDirectoryFn>("SetDllDirectoryA")) {
        setDllDirectory("");
    }
    if (auto setDefault = Kernel32Function<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories")) {
        setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
    }
}

void Win32AppPlatform::SetDpiAwareness(DpiAwareness awareness) { ApplyDpiAwareness(awareness); }

GuardState Win32AppPlatform::AcquireGuard(std::string_view name)
{
    const std::string guardName(name);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, guardName.c_str());
    if (!mutex) return GuardState::Unavailable;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return GuardState::HeldByAnother;
    }
    // The handle stays open until the process ends: it is the guard.
    return GuardState::Acquired;
}

void Win32AppPlatform::SetApplicationTitle(std::string_view title)
{
    Application::Get().SetTitle(title);
}

bool Win32AppPlatform::TopLevelWindowExists(std::string_view className)
{
    const std::string name(className);
    return FindWindowA(name.c_str(), nullptr) != nullptr;
}

void Win32AppPlatform::HideApplicationWindow() { Application::Get().HideWindow(); }

bool Win32AppPlatform::WindowExists(WindowHandle window)
{
    return window != 0 && IsWindow(ToHwnd(window));
}

void Win32AppPlatform::ShowWindowByHandle(WindowHandle window)
{
    ShowWindow(ToHwnd(window), SW_SHOW);
}

WindowRect Win32AppPlatform::OuterRect(WindowHandle window)
{
    RECT rect{};
    if (!GetWindowRect(ToHwnd(window), &rect)) return {};
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void Win32AppPlatform::CreateSettingsDialog()
{
    CreateDialogWindow(DialogKind::MainDialog);
}

void Win32AppPlatform::CreateSaverWindow(WindowHandle previewParent)
{
    saverWindow_ = win32::CreateSaverWindow(ToHwnd(previewParent));
}

void Win32AppPlatform::SetSaverWindowBounds(std::int32_t left, std::int32_t top,
                                            std::int32_t width, std::int32_t height)
{
    if (saverWindow_) MoveWindow(saverWindow_, left, top, width, height, TRUE);
}

void Win32AppPlatform::SetSaverClosesOnInput(bool closes)
{
    if (saverWindow_) win32::SetSaverClosesOnInput(saverWindow_, closes);
}

void Win32AppPlatform::RunMessageLoop() { Application::Get().Run(); }

std::string Win32AppPlatform::SystemDirectory()
{
    UINT needed = GetSystemDirectoryA(nullptr, 0);
    if (needed == 0) return {};
    std::string directory(needed, '\0');
    UINT length = GetSystemDirectoryA(directory.data(), needed);
    if (length == 0 || length >= needed) return {};
    directory.resize(length);
    return directory;
}

void Win32AppPlatform::CallPasswordChange(std::string_view libraryPath,
                                          std::string_view passwordName, WindowHandle owner)
{
    const std::string path(libraryPath), name(passwordName);
    UniqueModule library(LoadLibraryA(path.c_str()));
    if (!library) return;
    using PwdChangePasswordFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
    auto change = reinterpret_cast<PwdChangePasswordFn>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "PwdChangePasswordA")));
    if (change) change(name.c_str(), ToHwnd(owner), 0, 0);
}

std::string Win32AppPlatform::ProgramPath()
{
    return ProgramFileUtf8();
}

std::uint32_t Win32AppPlatform::StartupErrorAddress(const void* raisedAt)
{
    // A 32-bit program: the address itself, as a debugger shows it.
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(raisedAt));
}

void Win32AppPlatform::ShowStartupErrorReport(std::string_view title, std::string_view text)
{
    // The program ends after the report, so a quit request still waiting
    // (from a window destroyed on the way) is dropped rather than let it
    // close the box before it is read.
    MSG quit{};
    PeekMsg(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    ShowMessageBox(nullptr, text, title, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

} // namespace nimbrel::win32
