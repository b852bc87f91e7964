// A stand-in for the system under the saver window: it answers from a script
// that the test sets up and records every call in order. SaverTest puts the
// window object over it and over an in-memory settings file.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/headless_effect_host.h"
#include "platform/headless/memory_profile_store.h"
#include "saver/main_form.h"
#include "settings/errors.h"
#include "settings/settings_file.h"

namespace nimbrel {

using Calls = std::vector<std::string>;

class ScriptedSaverPlatform final : public SaverPlatform, public ScreenAccess {
public:
    Calls calls;

    // The script. The primary screen and the window's client area are 8 x 6;
    // a capture blackens the top-left pixel of the white surface.
    PixelRect virtualScreen{0, 0, 8, 6};  // all monitors together
    int refuseSurfaceNumber = 0;          // 1 refuses the first new surface; 0 none
    FixedClock clock;
    std::int32_t cursorCounter = 0;
    std::uint32_t platformId = 1;  // the Windows 95 family
    // The value under the desktop key; nothing: the key does not open.
    std::optional<RegistryDword> usePassword = RegistryDword{RegistryDword::Status::Read, 1};
    std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
    bool libraryLoads = true;
    std::optional<std::uint32_t> passwordAnswer = 1;  // nothing: the library lacks the verifier
    std::function<void()> whileDialogOpen;

    ScreenAccess& Screen() override { return *this; }
    std::int32_t ScreenWidth() override { return 8; }
    std::int32_t ScreenHeight() override { return 6; }
    PixelRect VirtualScreen() override { return virtualScreen; }
    Surface CreateSurface(std::int32_t width, std::int32_t height) override
    {
        if (++surfacesMade_ == refuseSurfaceNumber) throw Error(kSurfaceOutOfResources);
        return Surface(width, height);
    }
    void CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top) override
    {
        Log("CaptureScreen", left, top, surface.Width(), surface.Height());
        surface.SetColourAt(0, 0, kBlack);
    }
    const Clock& UtcClock() override { return clock; }
    void PlaceWindow(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override
    {
        Log("PlaceWindow", left, top, width, height);
    }
    void MakeTopmost() override { Log("MakeTopmost"); }
    std::int32_t ClientWidth() override { return 8; }
    std::int32_t ClientHeight() override { return 6; }
    void PresentFrame(const Surface&, std::span<const PixelRect> rects) override
    {
        for (const PixelRect& rect : rects) Log("PresentFrame", rect.Left, rect.Top, rect.Right, rect.Bottom);
    }
    void CloseWindow() override { Log("CloseWindow"); }
    void SetTimer2Interval(std::uint32_t milliseconds) override { Log("SetTimer2Interval", milliseconds); }
    std::uint32_t TickCount() override { return 0; }
    void SetScreenSaverRunning(RunningFlag flag) override { Log("SetScreenSaverRunning", flag == RunningFlag::Set); }
    std::int32_t ShowCursor(CursorStep step) override
    {
        Log("ShowCursor", step == CursorStep::Show ? "TRUE" : "FALSE");
        return cursorCounter += step == CursorStep::Show ? 1 : -1;
    }
    std::uint32_t PlatformId() override { return platformId; }
    std::unique_ptr<RegistryKey> OpenCurrentUserKey(std::string_view path) override
    {
        Log("OpenCurrentUserKey", path);
        return usePassword ? std::make_unique<Handle>(*this, "CloseKey") : nullptr;
    }
    std::string SystemDirectory() override { return systemDirectory; }
    std::unique_ptr<PasswordLibrary> LoadPasswordLibrary(std::string_view path) override
    {
        Log("LoadPasswordLibrary", path);
        return libraryLoads ? std::make_unique<Handle>(*this, "FreeLibrary") : nullptr;
    }

private:
    // An open key or a loaded library, which logs its closing call when it goes.
    struct Handle final : RegistryKey, PasswordLibrary {
        Handle(ScriptedSaverPlatform& platform, const char* closeCall) : platform(platform), closeCall(closeCall) {}
        ~Handle() override { platform.Log(closeCall); }
        RegistryDword ReadDword(std::string_view valueName) override
        {
            platform.Log("ReadDword", valueName);
            return *platform.usePassword;
        }
        std::optional<std::uint32_t> VerifyScreenSavePwd() override
        {
            if (!platform.passwordAnswer) return std::nullopt;
            platform.Log("VerifyScreenSavePwd");
            if (platform.whileDialogOpen) platform.whileDialogOpen();
            return platform.passwordAnswer;
        }
        ScriptedSaverPlatform& platform;
        const char* closeCall;
    };

    // Records the call as its name and arguments, separated by spaces.
    template <typename... Arguments>
    void Log(const char* name, const Arguments&... arguments)
    {
        std::ostringstream call;
        call << name;
        ((call << ' ' << arguments), ...);
        calls.push_back(call.str());
    }

    int surfacesMade_ = 0;
};

class SaverTest : public ::testing::Test {
protected:
    SaverTest() { SetCurrentProfileStore(&store); }
    ~SaverTest() override { SetCurrentProfileStore(nullptr); }

    void WriteSettings(std::string text) { store.SetFileText(kSettingsFileName, std::move(text)); }
    // Creates the window and forgets the calls that creation made.
    void CreateQuietly()
    {
        form.FormCreate();
        platform.calls.clear();
    }
    long Count(const std::string& call) const { return std::ranges::count(platform.calls, call); }

    MemoryProfileStore store;
    SaverRun run;
    ScriptedSaverPlatform platform;
    TMainForm form{run, platform};
};

} // namespace nimbrel
