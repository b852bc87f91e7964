// What the end-to-end tests need to drive the real Nimbrel.scr under Wine:
// starting it, waiting for its windows and its end, reading the screen,
// sending input, and preparing the settings file, the Windows version and
// system libraries of the test prefix. Every wait polls for its condition
// with a time limit; nothing sleeps a fixed time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "effects/surface.h"

namespace nimbrel::e2e {

// Milliseconds a test waits at most for something the program should do.
inline constexpr DWORD kPatience = 15000;

// Polls the condition every 20 ms until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kPatience);

// A started Nimbrel.scr. Ending the test ends the process if it still runs.
class Process {
public:
    // Starts Nimbrel.scr with these arguments (the text after the program path).
    static Process StartScr(const std::wstring& arguments);
    Process(Process&& other) noexcept;
    Process& operator=(Process&&) = delete;
    ~Process();

    bool Running() const;
    // The exit code once the process has ended within the time limit.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = kPatience) const;
    // A visible top-level window of the process with this class, once it exists.
    HWND WaitForWindow(const wchar_t* className) const;
    HWND FindWindowOfClass(const wchar_t* className) const;

private:
    Process() = default;
    PROCESS_INFORMATION info_{};
};

// The whole primary screen as it is shown now.
Surface CaptureScreen();
// Captures until the predicate holds for a capture; returns the last capture.
std::optional<Surface> WaitForScreen(const std::function<bool(const Surface&)>& predicate,
                                     DWORD timeoutMs = kPatience);

// Input as a user gives it.
void MoveMouseTo(int x, int y);
// Presses and releases the key, while holding the other one when given.
void PressKey(WORD virtualKey, WORD heldKey = 0);
// Clicks the middle of the window once the pointer has arrived there, so
// that the press cannot land where the pointer was before.
void Click(HWND window);

// A window of the test process: a stand-in for the Display Settings' preview
// window, for a saver already running or for another program.
class TestWindow {
public:
    TestWindow(const wchar_t* className, RECT bounds, DWORD style = WS_POPUP | WS_VISIBLE,
               DWORD exStyle = 0, WNDPROC procedure = DefWindowProcW);
    ~TestWindow() { Destroy(); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }
    void Destroy();

private:
    HWND window_ = nullptr;
};

// A topmost window that shows a picture at the screen's top-left corner, so
// that the saver's snapshot holds a known picture; made once it shows.
class PictureWindow : public TestWindow {
public:
    explicit PictureWindow(const Surface& picture);
};

// Rendaxo.ini in the prefix's Windows directory: removed, or written with a
// text, and removed again when the object ends.
class ScopedSettings {
public:
    explicit ScopedSettings(const char* text = nullptr);
    ~ScopedSettings();
    static bool Exists();
};

// Copies a file of the build tree (a Unix path) into the system directory
// under a name; afterwards removes it and puts back a file of that name that
// was there before.
class ScopedSystemFile {
public:
    ScopedSystemFile(const std::string& unixPath, const std::wstring& name);
    ~ScopedSystemFile();

private:
    std::wstring path_;
    bool backedUp_ = false;
};

// A value under HKEY_CURRENT_USER (a number, a text, or none at all), put
// back as it was when the object ends.
class ScopedUserValue {
public:
    ScopedUserValue(const wchar_t* key, const wchar_t* name, int number);  // a REG_DWORD
    ScopedUserValue(const wchar_t* key, const wchar_t* name, const wchar_t* text);
    ScopedUserValue(const wchar_t* key, const wchar_t* name, std::nullopt_t);
    ~ScopedUserValue() { Set(previous_); }
    ScopedUserValue(const ScopedUserValue&) = delete;
    ScopedUserValue& operator=(const ScopedUserValue&) = delete;

private:
    using Value = std::optional<std::pair<DWORD, std::string>>;  // type and bytes
    ScopedUserValue(const wchar_t* key, const wchar_t* name, const Value& value);
    void Set(const Value& value) const;
    std::wstring key_, name_;
    Value previous_;
};

// Makes Wine report Windows 98 to the programs started while it lives.
class ScopedWin98 {
public:
    ScopedWin98() { active_ = true; }
    ~ScopedWin98() { active_ = false; }
    static bool Active() { return active_; }

private:
    static inline bool active_ = false;
    ScopedUserValue version_{L"Software\\Wine", L"Version", L"win98"};
};

// A window's text; WM_GETTEXT reaches a window of another process, where
// GetWindowText would not.
std::wstring TextOf(HWND window);

// A message box's caption and text (its static control), as the user reads them.
struct MessageBoxText {
    std::wstring caption;
    std::wstring text;
};
MessageBoxText ReadMessageBox(HWND box);

} // namespace nimbrel::e2e
