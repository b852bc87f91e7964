// A stand-in for the operating system at start-up: answers from a script
// that the test sets up, and records every call, with its arguments, in order.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_platform.h"
#include "settings/errors.h"

namespace nimbrel {

class ScriptedPlatform : public AppPlatform {
public:
    GuardState guard = GuardState::Acquired;
    std::set<std::string, std::less<>> windowClasses;
    std::map<WindowHandle, WindowRect> windows;
    std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
    std::string programPath = "C:\\WINDOWS\\NIMBREL.SCR";
    std::optional<std::string> saverCreationError;
    const void* reportedRaisedAt = nullptr;  // what the report was asked to name

    std::vector<std::string> calls;

    void RestrictLibrarySearch() override { Log("RestrictLibrarySearch"); }
    GuardState AcquireGuard(std::string_view name) override { return Log("AcquireGuard", name), guard; }
    void SetApplicationTitle(std::string_view title) override { Log("SetApplicationTitle", title); }
    bool TopLevelWindowExists(std::string_view name) override
    {
        return Log("TopLevelWindowExists", name), windowClasses.contains(name);
    }
    void HideApplicationWindow() override { Log("HideApplicationWindow"); }
    bool WindowExists(WindowHandle window) override
    {
        return Log("WindowExists", window), windows.contains(window);
    }
    void ShowWindowByHandle(WindowHandle window) override { Log("ShowWindowByHandle", window); }
    WindowRect OuterRect(WindowHandle window) override
    {
        return Log("OuterRect", window), windows.at(window);
    }
    void CreateSettingsDialog() override { Log("CreateSettingsDialog"); }
    void CreateSaverWindow(WindowHandle previewParent) override
    {
        Log("CreateSaverWindow", previewParent);
        if (saverCreationError) throw Error(*saverCreationError);
    }
    void SetSaverWindowBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                              std::int32_t height) override
    {
        Log("SetSaverWindowBounds", left, top, width, height);
    }
    void SetSaverClosesOnInput(bool closes) override { Log("SetSaverClosesOnInput", closes); }
    void RunMessageLoop() override { Log("RunMessageLoop"); }
    std::string SystemDirectory() override { return systemDirectory; }
    void CallPasswordChange(std::string_view path, std::string_view name, WindowHandle owner) override
    {
        Log("CallPasswordChange", path, name, owner);
    }
    std::string ProgramPath() override { return programPath; }
    std::uint32_t StartupErrorAddress(const void* raisedAt) override
    {
        reportedRaisedAt = raisedAt;
        return 0x0040A1B2;
    }
    void ShowStartupErrorReport(std::string_view title, std::string_view text) override
    {
        Log("ShowStartupErrorReport", title, text);
    }

private:
    template <typename... Parts>
    void Log(std::string_view what, const Parts&... parts)
    {
        std::ostringstream line;
        line << what;
        ((line << ' ' << parts), ...);
        calls.push_back(line.str());
    }
};

} // namespace nimbrel
