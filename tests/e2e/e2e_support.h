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

#include "effects/surface.h"

namespace nimbrel::e2e {

// Milliseconds a test waits at most for something the program should do.
inline constexpr DWORD kPatience = 15000;

// Polls the condition every 20 ms until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kPatience);

// The built Nimbrel.scr, as a Windows path.
std::wstring ScrPath();
// A file of the build tree (a Unix path) as a Windows path.
std::wstring WindowsPathOf(const std::string& unixPath);

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
    // A top-level window of the process with this class, once it exists.
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = kPatience) const;
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
void PressKey(WORD virtualKey);
void ClickAt(int x, int y);

// A topmost window of this process that shows a picture at the screen's
// top-left corner, so that the saver's snapshot holds a known picture.
class PictureWindow {
public:
    explicit PictureWindow(const Surface& picture);
    ~PictureWindow();
    PictureWindow(const PictureWindow&) = delete;
    PictureWindow& operator=(const PictureWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    HWND window_ = nullptr;
    const Surface* picture_;
};

// Processes this process's pending window messages.
void PumpMessages();

// Rendaxo.ini in the prefix's Windows directory.
std::string SettingsPath();
// Removes it; the destructor of ScopedSettings removes it again.
class ScopedSettings {
public:
    ScopedSettings();                       // no file
    explicit ScopedSettings(const std::string& text);
    ~ScopedSettings();
    static std::string Text();              // the file's text now, "" when missing
    static bool Exists();
};

// Makes Wine report another Windows version (for example "win98") to the
// processes started while it lives.
class ScopedWindowsVersion {
public:
    explicit ScopedWindowsVersion(const char* version);
    ~ScopedWindowsVersion();
    // The version that one of these objects sets now; "" for Wine's default.
    static const std::string& Active();
};

// Copies a file into the system directory under a name; afterwards removes
// it and puts back a file of that name that was there before.
class ScopedSystemFile {
public:
    ScopedSystemFile(const std::wstring& source, const std::wstring& name);
    ~ScopedSystemFile();
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    bool backedUp_ = false;
};

// A text value under HKEY_CURRENT_USER, removed again when the object ends
// (the tests only set values that the prefix does not have).
class ScopedUserString {
public:
    ScopedUserString(const wchar_t* key, const wchar_t* name, const wchar_t* value);
    ~ScopedUserString();

private:
    std::wstring key_, name_;
};

// An environment variable of this process (and so of the programs it
// starts), restored when the object ends.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value);
    ~ScopedEnvironment();

private:
    std::wstring name_;
    std::optional<std::wstring> previous_;
};

// The text of a message box of the process (its static text), and its caption.
struct MessageBoxText {
    std::wstring caption;
    std::wstring text;
};
std::optional<MessageBoxText> ReadMessageBox(HWND box);

// A registry value under HKEY_CURRENT_USER, restored to its earlier state
// (or removed) when the object ends.
class ScopedUserDword {
public:
    ScopedUserDword(const wchar_t* key, const wchar_t* name, std::optional<DWORD> value);
    ~ScopedUserDword();

private:
    std::wstring key_, name_;
    std::optional<DWORD> previous_;
};

} // namespace nimbrel::e2e
