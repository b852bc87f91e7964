// A stand-in for the system under the saver window: it answers from a script
// that the test sets up and records every call in order. SaverRig puts the
// window object over it and over an in-memory settings file.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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

    // The script.
    Surface picture = MakeTestPattern(8, 6);  // the screen
    // With several monitors: the virtual screen, which the picture then
    // covers; the primary screen stays 8 x 6 at (0, 0).
    std::optional<PixelRect> virtualScreen;
    int refuseSurfaceNumber = 0;              // 1 refuses the first new surface; 0 none
    FixedClock clock;
    std::int32_t clientWidth = 0, clientHeight = 0;
    std::int32_t cursorCounter = 0;
    std::uint32_t platformId = 1;  // the Windows 95 family
    bool keyOpens = true;
    RegistryDword usePassword{RegistryDword::Status::Read, 1};
    std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
    bool libraryLoads = true;
    std::optional<std::uint32_t> passwordAnswer = 1;  // nothing: the library lacks the verifier
    std::function<void()> whileDialogOpen;

    ScreenAccess& Screen() override { return *this; }
    std::int32_t ScreenWidth() override { return virtualScreen ? 8 : picture.Width(); }
    std::int32_t ScreenHeight() override { return virtualScreen ? 6 : picture.Height(); }
    PixelRect VirtualScreen() override { return virtualScreen.value_or(ScreenAccess::VirtualScreen()); }
    Surface CreateSurface(std::int32_t width, std::int32_t height) override
    {
        Log("CreateSurface " + std::to_string(width) + " " + std::to_string(height));
        if (++surfacesMade_ == refuseSurfaceNumber) throw Error(kSurfaceOutOfResources);
        return Surface(width, height);
    }
    void CaptureScreen(Surface& surface, std::int32_t left, std::int32_t top) override
    {
        Log("CaptureScreen " + std::to_string(left) + " " + std::to_string(top));
        const PixelRect area = VirtualScreen();
        CopyArea(surface, {0, 0, surface.Width(), surface.Height()}, picture,
                 {left - area.Left, top - area.Top, left - area.Left + surface.Width(), top - area.Top + surface.Height()});
    }
    const Clock& UtcClock() override { return clock; }
    void PlaceWindow(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override
    {
        Log("PlaceWindow " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(width) + " " +
            std::to_string(height));
        clientWidth = width;
        clientHeight = height;
    }
    void MakeTopmost() override { Log("MakeTopmost"); }
    std::int32_t ClientWidth() override { return clientWidth; }
    std::int32_t ClientHeight() override { return clientHeight; }
    void PresentFrame(const Surface&, std::span<const PixelRect> rects) override
    {
        std::string call = "PresentFrame";
        for (const PixelRect& rect : rects) {
            call += " " + std::to_string(rect.Left) + "," + std::to_string(rect.Top) + "," +
                    std::to_string(rect.Right) + "," + std::to_string(rect.Bottom);
        }
        Log(call);
    }
    void CloseWindow() override { Log("CloseWindow"); }
    void SetTimer2Interval(std::uint32_t milliseconds) override
    {
        Log("SetTimer2Interval " + std::to_string(milliseconds));
    }
    std::uint32_t TickCount() override { return 0; }
    void SetScreenSaverRunning(RunningFlag flag) override
    {
        Log(flag == RunningFlag::Set ? "SetScreenSaverRunning 1" : "SetScreenSaverRunning 0");
    }
    std::int32_t ShowCursor(CursorStep step) override
    {
        Log(step == CursorStep::Show ? "ShowCursor TRUE" : "ShowCursor FALSE");
        return cursorCounter += step == CursorStep::Show ? 1 : -1;
    }
    std::uint32_t PlatformId() override { return platformId; }
    std::unique_ptr<RegistryKey> OpenCurrentUserKey(std::string_view path) override
    {
        Log("OpenCurrentUserKey " + std::string(path));
        return keyOpens ? std::make_unique<Key>(*this) : nullptr;
    }
    std::string SystemDirectory() override { return systemDirectory; }
    std::unique_ptr<PasswordLibrary> LoadPasswordLibrary(std::string_view path) override
    {
        Log("LoadPasswordLibrary " + std::string(path));
        return libraryLoads ? std::make_unique<Library>(*this) : nullptr;
    }

private:
    struct Key final : RegistryKey {
        explicit Key(ScriptedSaverPlatform& platform) : platform(platform) {}
        ~Key() override { platform.Log("CloseKey"); }
        RegistryDword ReadDword(std::string_view valueName) override
        {
            platform.Log("ReadDword " + std::string(valueName));
            return platform.usePassword;
        }
        ScriptedSaverPlatform& platform;
    };
    struct Library final : PasswordLibrary {
        explicit Library(ScriptedSaverPlatform& platform) : platform(platform) {}
        ~Library() override { platform.Log("FreeLibrary"); }
        std::optional<std::uint32_t> VerifyScreenSavePwd() override
        {
            if (!platform.passwordAnswer) return std::nullopt;
            platform.Log("VerifyScreenSavePwd");
            if (platform.whileDialogOpen) platform.whileDialogOpen();
            return platform.passwordAnswer;
        }
        ScriptedSaverPlatform& platform;
    };

    void Log(std::string call) { calls.push_back(std::move(call)); }
    int surfacesMade_ = 0;
};

struct SaverRig {
    SaverRig() { SetCurrentProfileStore(&store); }
    ~SaverRig() { SetCurrentProfileStore(nullptr); }

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

class SaverTest : public ::testing::Test, public SaverRig {};

} // namespace nimbrel
