// A stand-in for the operating system under the saver window: answers from a
// script that the test sets up, and records every call in order.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/headless_effect_host.h"
#include "saver/saver_platform.h"
#include "settings/errors.h"

namespace nimbrel {

// A screen that shows a picture and can refuse the n-th new surface.
class ScriptedScreen final : public ScreenAccess {
public:
    explicit ScriptedScreen(std::vector<std::string>& calls) : calls_(calls) {}

    Surface picture = MakeTestPattern(8, 6);
    int refuseSurfaceNumber = 0;  // 1 refuses the first surface; 0 none

    std::int32_t ScreenWidth() override { return picture.Width(); }
    std::int32_t ScreenHeight() override { return picture.Height(); }
    Surface CreateSurface(std::int32_t width, std::int32_t height) override
    {
        calls_.push_back("CreateSurface " + std::to_string(width) + " " + std::to_string(height));
        if (++surfacesMade_ == refuseSurfaceNumber) throw Error(kSurfaceOutOfResources);
        return Surface(width, height);
    }
    void CaptureScreen(Surface& surface) override
    {
        calls_.push_back("CaptureScreen");
        CopyArea(surface, {0, 0, picture.Width(), picture.Height()}, picture,
                 {0, 0, picture.Width(), picture.Height()});
    }

private:
    std::vector<std::string>& calls_;
    int surfacesMade_ = 0;
};

class ScriptedSaverPlatform final : public SaverPlatform {
public:
    using Calls = std::vector<std::string>;

    // Every call, in order.
    Calls calls;

    // The script.
    ScriptedScreen screen{calls};
    FixedClock clock;
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;
    std::int32_t cursorCounter = 0;
    std::uint32_t platformId = 1;  // the Windows 95 family
    bool keyOpens = true;
    RegistryDword usePassword{RegistryDword::Status::Read, 1};
    std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
    bool libraryLoads = true;
    std::optional<std::uint32_t> passwordAnswer = 1;  // nothing: no VerifyScreenSavePwd
    std::function<void()> whileDialogOpen;            // runs inside VerifyScreenSavePwd
    bool refuseTimer = false;

    // What happened (besides the calls, listed first so the screen can log).
    std::optional<std::int32_t> cursorCounterInDialog;
    Surface presented;  // the last frame shown

    ScreenAccess& Screen() override { return screen; }
    const Clock& UtcClock() override { return clock; }

    void PlaceWindow(std::int32_t left, std::int32_t top, std::int32_t width,
                     std::int32_t height) override
    {
        Log("PlaceWindow " + std::to_string(left) + " " + std::to_string(top) + " " +
            std::to_string(width) + " " + std::to_string(height));
        clientWidth = width;
        clientHeight = height;
    }
    void MakeTopmost() override { Log("MakeTopmost"); }
    std::int32_t ClientWidth() override { return clientWidth; }
    std::int32_t ClientHeight() override { return clientHeight; }
    void PresentFrame(const Surface& frame, std::int32_t width, std::int32_t height) override
    {
        Log("PresentFrame " + std::to_string(width) + " " + std::to_string(height));
        presented = frame;
    }
    void CloseWindow() override { Log("CloseWindow"); }

    void SetTimer2Interval(std::uint32_t milliseconds) override
    {
        Log("SetTimer2Interval " + std::to_string(milliseconds));
        if (refuseTimer) throw Error(kTimerOutOfResources);
    }
    std::uint32_t TickCount() override { return 0; }

    void SetScreenSaverRunning(RunningFlag flag) override
    {
        Log(flag == RunningFlag::Set ? "SetScreenSaverRunning 1" : "SetScreenSaverRunning 0");
    }
    std::int32_t ShowCursor(CursorStep step) override
    {
        Log(step == CursorStep::Show ? "ShowCursor TRUE" : "ShowCursor FALSE");
        cursorCounter += step == CursorStep::Show ? 1 : -1;
        return cursorCounter;
    }

    std::uint32_t PlatformId() override { return platformId; }
    std::unique_ptr<RegistryKey> OpenCurrentUserKey(std::string_view path) override
    {
        Log("OpenCurrentUserKey " + std::string(path));
        if (!keyOpens) return nullptr;
        return std::make_unique<Key>(*this);
    }
    std::string SystemDirectory() override { return systemDirectory; }
    std::unique_ptr<PasswordLibrary> LoadPasswordLibrary(std::string_view path) override
    {
        Log("LoadPasswordLibrary " + std::string(path));
        if (!libraryLoads) return nullptr;
        return std::make_unique<Library>(*this);
    }

private:
    class Key final : public RegistryKey {
    public:
        explicit Key(ScriptedSaverPlatform& platform) : platform_(platform) {}
        ~Key() override { platform_.Log("CloseKey"); }
        RegistryDword ReadDword(std::string_view valueName) override
        {
            platform_.Log("ReadDword " + std::string(valueName));
            return platform_.usePassword;
        }

    private:
        ScriptedSaverPlatform& platform_;
    };

    class Library final : public PasswordLibrary {
    public:
        explicit Library(ScriptedSaverPlatform& platform) : platform_(platform) {}
        ~Library() override { platform_.Log("FreeLibrary"); }
        std::optional<std::uint32_t> VerifyScreenSavePwd() override
        {
            if (!platform_.passwordAnswer) return std::nullopt;
            platform_.Log("VerifyScreenSavePwd");
            platform_.cursorCounterInDialog = platform_.cursorCounter;
            if (platform_.whileDialogOpen) platform_.whileDialogOpen();
            return platform_.passwordAnswer;
        }

    private:
        ScriptedSaverPlatform& platform_;
    };

    void Log(std::string call) { calls.push_back(std::move(call)); }
};

} // namespace nimbrel
