// What the end-to-end tests need to drive the real Nimbrel.scr under Wine:
// starting it, waiting for its windows and its end, reading the screen,
// sending input, and preparing the settings file, the Windows version and
// system libraries of the test prefix. Every wait polls for its condition
// with a time limit; nothing sleeps a fixed time.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "effects/surface.h"

namespace nimbrel::e2e {

// Milliseconds a test waits at most for something the program should do.
// A wait ends as soon as its condition holds, so only a failure waits this
// long; the 9x path's relay trace and a busy machine make the program many
// times slower than it is alone.
inline constexpr DWORD kPatience = 60000;

// Polls the condition every 20 ms, keeping this process's windows
// answering, until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kPatience);

// A started Nimbrel.scr, ended with the object if it still runs.
class Process {
public:
    // Starts Nimbrel.scr with these arguments (the text after the program path).
    explicit Process(const std::wstring& arguments);
    // Starts a command line on the named desktop (Wine makes a virtual
    // desktop for a name that its registry gives a size).
    Process(std::wstring commandLine, const wchar_t* desktop);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The exit code once the process has ended within the time limit.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = kPatience) const;
    // A top-level window of the process with this class, once it is shown
    // and active; nothing when that does not happen in time.
    HWND WaitForWindow(const wchar_t* className) const;
    HWND FindWindowOfClass(const wchar_t* className) const;

private:
    PROCESS_INFORMATION info_{};
};

// Captures the whole primary screen until the predicate holds for a
// capture; returns that capture.
std::optional<Surface> WaitForScreen(const std::function<bool(const Surface&)>& predicate,
                                     DWORD timeoutMs = kPatience);

// Input as a user gives it.
void MoveMouseTo(int x, int y);
// Presses and releases the key, while holding the other one when given.
void PressKey(WORD virtualKey, WORD heldKey = 0);
// Clicks the middle of the window once the pointer has arrived there, so
// that the press cannot land where the pointer was before.
void Click(HWND window);

// A shown window of the test process: a stand-in for the Display Settings'
// preview window. With a picture, a topmost window that shows it from the
// screen's top-left corner, so that the saver's snapshot holds a known
// picture.
class TestWindow {
public:
    explicit TestWindow(RECT bounds, const Surface* picture = nullptr);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_ = nullptr;
};

// Rendaxo.ini in the prefix's Windows directory, written with a text (empty
// as no file is) and removed when the object ends.
class ScopedSettings {
public:
    explicit ScopedSettings(const std::string& text = {});
    ~ScopedSettings();
    // A key as the program's own profile functions read it; "-" when absent.
    static std::string Stored(const char* section, const char* key);
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

// A REG_DWORD or text value under HKEY_CURRENT_USER while the object lives.
// The test prefix holds none of these values of its own.
class ScopedUserValue {
public:
    ScopedUserValue(const wchar_t* key, const wchar_t* name, int number) : key_(key), name_(name)
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, &number, sizeof number);
    }
    ScopedUserValue(const wchar_t* key, const wchar_t* name, const wchar_t* text) : key_(key), name_(name)
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, text, (lstrlenW(text) + 1) * sizeof(wchar_t));
    }
    ~ScopedUserValue() { RegDeleteKeyValueW(HKEY_CURRENT_USER, key_, name_); }

private:
    const wchar_t* key_;
    const wchar_t* name_;
};

// Makes Wine report Windows 98 to the programs started while it lives.
struct ScopedWin98 : ScopedUserValue {
    ScopedWin98() : ScopedUserValue(L"Software\\Wine", L"Version", L"win98") {}
};

// A scenario of both paths, run once as Windows NT and once as Windows 98:
// its name ends in "Nt" or "Win98", and the 9x path's run takes the latter.
class PathTest : public ::testing::TestWithParam<bool> {
public:
    static std::string Name(const ::testing::TestParamInfo<bool>& info) { return info.param ? "Win98" : "Nt"; }

private:
    std::optional<ScopedWin98> win98_ = GetParam() ? std::make_optional<ScopedWin98>() : std::nullopt;
};

// A window's text; WM_GETTEXT reaches a window of another process, where
// GetWindowText would not.
std::wstring TextOf(HWND window);

} // namespace nimbrel::e2e
