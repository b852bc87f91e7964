// Owners for the Windows handles the program holds, so that nothing leaks on
// an early return or an exception.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace nimbrel::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { if (object) DeleteObject(object); }
};
struct MemoryDcDeleter {
    void operator()(HDC dc) const { if (dc) DeleteDC(dc); }
};
struct ModuleDeleter {
    void operator()(HMODULE module) const { if (module) FreeLibrary(module); }
};
struct KeyDeleter {
    void operator()(HKEY key) const { if (key) RegCloseKey(key); }
};
struct KernelHandleDeleter {
    void operator()(HANDLE handle) const
    {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyDeleter>;
using UniqueHandle = std::unique_ptr<void, KernelHandleDeleter>;

// A window's or the screen's device context, released on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { if (dc_) ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

} // namespace nimbrel::win32
