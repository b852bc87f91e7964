// The saver window's requests carried out with the Win32 API.
#include "platform/win32/saver_platform_win32.h"

#include <array>

#include "platform/win32/handles.h"
#include "platform/win32/saver_window.h"
#include "platform/win32/system_api.h"
#include "settings/errors.h"

namespace nimbrel::win32 {
namespace {

ScreenAccess*& SubstituteScreen()
{
    static ScreenAccess* screen = nullptr;
    return screen;
}

std::uint32_t& PlatformIdStore()
{
    static std::uint32_t platformId = 0;
    return platformId;
}

// The desktop settings key, opened with full access as the system's own
// control panel does; only the password flag is ever read from it.
class Win32RegistryKey final : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}

    RegistryDword ReadDword(std::string_view valueName) override
    {
        const std::string name(valueName);
        DWORD type = 0;
        std::array<BYTE, 4> data{};
        DWORD size = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS) {
            // Missing, or larger than four bytes (ERROR_MORE_DATA).
            return {RegistryDword::Status::NotRead, 0};
        }
        if (type != REG_DWORD) return {RegistryDword::Status::WrongType, 0};
        const std::uint32_t value = std::uint32_t{data[0]} | (std::uint32_t{data[1]} << 8) |
                                    (std::uint32_t{data[2]} << 16) | (std::uint32_t{data[3]} << 24);
        return {RegistryDword::Status::Read, value};
    }

private:
    UniqueKey key_;
};

using VerifyScreenSavePwdFunction = BOOL(WINAPI*)(HWND);

class Win32PasswordLibrary final : public PasswordLibrary {
public:
    Win32PasswordLibrary(HMODULE module, HWND window) : module_(module), window_(window) {}

    std::optional<std::uint32_t> VerifyScreenSavePwd() override
    {
        auto verify = reinterpret_cast<VerifyScreenSavePwdFunction>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), "VerifyScreenSavePwd")));
        if (!verify) return std::nullopt;
        return static_cast<std::uint32_t>(verify(window_));
    }

private:
    UniqueModule module_;
    HWND window_;
};

} // namespace

void CapturePlatformId()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    PlatformIdStore() = GetVersionExA(&info) ? info.dwPlatformId : 0;
    ChooseCharacterSet(PlatformIdStore());
    ChooseCaptureOperation(PlatformIdStore(), info.dwMajorVersion);
}

std::uint32_t CapturedPlatformId() { return PlatformIdStore(); }

TimeOfDay Win32Clock::UtcTimeOfDay() const
{
    SYSTEMTIME time{};
    GetSystemTime(&time);
    return {time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

void SubstituteScreenForTesting(ScreenAccess* screen) { SubstituteScreen() = screen; }

ScreenAccess& Win32SaverPlatform::Screen()
{
    return SubstituteScreen() ? *SubstituteScreen() : screen_;
}

void StartWindowTimer(HWND window, UINT_PTR id, std::uint32_t milliseconds)
{
    if (SetTimer(window, id, milliseconds, nullptr) == 0) throw Error(kTimerOutOfResources);
}

void Win32SaverPlatform::PlaceWindow(std::int32_t left, std::int32_t top, std::int32_t clientWidth,
                                     std::int32_t clientHeight)
{
    // The window has no frame today, but sizing through the frame keeps the
    // client area right should a style ever add one.
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(WindowLongValue(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(WindowLongValue(window_, GWL_EXSTYLE)));
    SetWindowPos(window_, nullptr, left, top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32SaverPlatform::MakeTopmost()
{
    // A child window lives in its parent's stacking order; only a top-level
    // window can stay on top of the others.
    if (WindowLongValue(window_, GWL_STYLE) & WS_CHILD) return;
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::int32_t Win32SaverPlatform::ClientWidth()
{
    RECT client{};
    GetClientRect(window_, &client);
    return client.right - client.left;
}

std::int32_t Win32SaverPlatform::ClientHeight()
{
    RECT client{};
    GetClientRect(window_, &client);
    return client.bottom - client.top;
}

void Win32SaverPlatform::PresentFrame(const Surface& frame, std::span<const PixelRect> rects)
{
    WindowDc dc(window_);
    PresentSurface(dc.get(), frame, rects);
}

void Win32SaverPlatform::CloseWindow()
{
    // Posted, so that the handler asking for it runs to its end first.
    PostMsg(window_, WM_CLOSE, 0, 0);
}

void Win32SaverPlatform::SetTimer2Interval(std::uint32_t milliseconds)
{
    StartWindowTimer(window_, kTimer2Id, milliseconds);
}

std::uint32_t Win32SaverPlatform::TickCount() { return GetTickCount(); }

void Win32SaverPlatform::SetScreenSaverRunning(RunningFlag flag)
{
    BOOL previous = FALSE;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, flag == RunningFlag::Set ? 1 : 0, &previous, 0);
}

std::int32_t Win32SaverPlatform::ShowCursor(CursorStep step)
{
    return ::ShowCursor(step == CursorStep::Show ? TRUE : FALSE);
}

std::unique_ptr<RegistryKey> Win32SaverPlatform::OpenCurrentUserKey(std::string_view path)
{
    const std::string subkey(path);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(key);
}

std::string Win32SaverPlatform::SystemDirectory()
{
    std::array<char, MAX_PATH> buffer{};
    const UINT length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    // A length beyond the buffer means the buffer holds no path at all.
    if (length == 0 || length >= buffer.size()) return {};
    return std::string(buffer.data(), length);
}

std::unique_ptr<PasswordLibrary> Win32SaverPlatform::LoadPasswordLibrary(std::string_view path)
{
    const std::string file(path);
    HMODULE module = LoadLibraryA(file.c_str());
    if (!module) return nullptr;
    return std::make_unique<Win32PasswordLibrary>(module, window_);
}

} // namespace nimbrel::win32
