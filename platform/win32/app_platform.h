// Start-up's requests carried out with Windows.
#pragma once

#include <windows.h>

#include "app/app_platform.h"

namespace nimbrel::win32 {

class Win32AppPlatform final : public AppPlatform {
public:
    void RestrictLibrarySearch() override;
    void SetDpiAwareness(DpiAwareness awareness) override;
    GuardState AcquireGuard(std::string_view name) override;
    void SetApplicationTitle(std::string_view title) override;
    bool TopLevelWindowExists(std::string_view className) override;
    void HideApplicationWindow() override;
    bool WindowExists(WindowHandle window) override;
    void ShowWindowByHandle(WindowHandle window) override;
    WindowRect OuterRect(WindowHandle window) override;
    void CreateSettingsDialog() override;
    void CreateSaverWindow(WindowHandle previewParent) override;
    void SetSaverWindowBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                              std::int32_t height) override;
    void SetSaverClosesOnInput(bool closes) override;
    void RunMessageLoop() override;
    std::string SystemDirectory() override;
    void CallPasswordChange(std::string_view libraryPath, std::string_view passwordName,
                            WindowHandle owner) override;
    std::string ProgramPath() override;
    std::uint32_t StartupErrorAddress(const void* raisedAt) override;
    void ShowStartupErrorReport(std::string_view title, std::string_view text) override;

private:
    HWND saverWindow_ = nullptr;
};

} // namespace nimbrel::win32
