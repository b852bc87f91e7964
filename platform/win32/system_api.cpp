// The ANSI or wide form of each function, chosen by the platform id, and the
// run-time lookups of functions that older systems lack.
#include "platform/win32/system_api.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/text.h"

namespace nimbrel::win32 {
namespace {

constexpr std::uint32_t kWindows95Family = 1;  // VER_PLATFORM_WIN32_WINDOWS

bool& AnsiPath()
{
    static bool ansi = false;
    return ansi;
}

} // namespace

void ChooseCharacterSet(std::uint32_t platformId) { AnsiPath() = platformId == kWindows95Family; }
bool UsesAnsiFunctions() { return AnsiPath(); }

bool RegisterWindowClass(std::string_view name, WNDPROC procedure, HBRUSH background,
                         int windowExtraBytes)
{
    // The system's arrow cursor is named by number, the same for both forms.
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    if (UsesAnsiFunctions()) {
        const std::string className = ToAnsi(name);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.cbWndExtra = windowExtraBytes;
        windowClass.hInstance = ProgramInstance();
        windowClass.hCursor = arrow;
        windowClass.hbrBackground = background;
        windowClass.lpszClassName = className.c_str();
        return RegisterClassA(&windowClass) != 0;
    }
    const std::wstring className = Widen(name);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = windowExtraBytes;
    windowClass.hInstance = ProgramInstance();
    windowClass.hCursor = arrow;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className.c_str();
    return RegisterClassW(&windowClass) != 0;
}

HWND CreateWindowUtf8(DWORD exStyle, std::string_view className, std::string_view text,
                      DWORD style, int left, int top, int width, int height, HWND parent,
                      HMENU menu, void* parameter)
{
    if (UsesAnsiFunctions()) {
        return CreateWindowExA(exStyle, ToAnsi(className).c_str(), ToAnsi(text).c_str(), style, left,
                               top, width, height, parent, menu, ProgramInstance(), parameter);
    }
    return CreateWindowExW(exStyle, Widen(className).c_str(), Widen(text).c_str(), style, left, top,
                           width, height, parent, menu, ProgramInstance(), parameter);
}

LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return UsesAnsiFunctions() ? DefWindowProcA(window, message, wParam, lParam)
                               : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT DefaultDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return UsesAnsiFunctions() ? DefDlgProcA(window, message, wParam, lParam)
                               : DefDlgProcW(window, message, wParam, lParam);
}

LRESULT SendMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return UsesAnsiFunctions() ? SendMessageA(window, message, wParam, lParam)
                               : SendMessageW(window, message, wParam, lParam);
}

BOOL PostMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return UsesAnsiFunctions() ? PostMessageA(window, message, wParam, lParam)
                               : PostMessageW(window, message, wParam, lParam);
}

BOOL GetMsg(MSG* message, HWND window, UINT first, UINT last)
{
    return UsesAnsiFunctions() ? GetMessageA(message, window, first, last)
                               : GetMessageW(message, window, first, last);
}

BOOL PeekMsg(MSG* message, HWND window, UINT first, UINT last, UINT remove)
{
    return UsesAnsiFunctions() ? PeekMessageA(message, window, first, last, remove)
                               : PeekMessageW(message, window, first, last, remove);
}

LRESULT DispatchMsg(const MSG* message)
{
    return UsesAnsiFunctions() ? DispatchMessageA(message) : DispatchMessageW(message);
}

LONG_PTR WindowLongValue(HWND window, int index)
{
    return UsesAnsiFunctions() ? GetWindowLongPtrA(window, index) : GetWindowLongPtrW(window, index);
}

LONG_PTR SetWindowLongValue(HWND window, int index, LONG_PTR value)
{
    return UsesAnsiFunctions() ? SetWindowLongPtrA(window, index, value)
                               : SetWindowLongPtrW(window, index, value);
}

void SetWindowTextUtf8(HWND window, std::string_view text)
{
    if (UsesAnsiFunctions()) {
        SetWindowTextA(window, ToAnsi(text).c_str());
    } else {
        SetWindowTextW(window, Widen(text).c_str());
    }
}

std::string WindowTextUtf8(HWND window)
{
    if (UsesAnsiFunctions()) {
        const int length = GetWindowTextLengthA(window);
        std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
        text.resize(static_cast<std::size_t>(std::max(GetWindowTextA(window, text.data(), length + 1), 0)));
        return FromAnsi(text);
    }
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(window, text.data(), length + 1), 0)));
    return Narrow(text);
}

void InsertTabItem(HWND tabControl, int index, std::string_view text)
{
    if (UsesAnsiFunctions()) {
        std::string caption = ToAnsi(text);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageA(tabControl, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return;
    }
    std::wstring caption = Widen(text);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tabControl, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

HFONT CreateFontUtf8(const LOGFONTW& font)
{
    if (!UsesAnsiFunctions()) return CreateFontIndirectW(&font);
    LOGFONTA narrow{};
    narrow.lfHeight = font.lfHeight;
    narrow.lfWidth = font.lfWidth;
    narrow.lfEscapement = font.lfEscapement;
    narrow.lfOrientation = font.lfOrientation;
    narrow.lfWeight = font.lfWeight;
    narrow.lfItalic = font.lfItalic;
    narrow.lfUnderline = font.lfUnderline;
    narrow.lfStrikeOut = font.lfStrikeOut;
    narrow.lfCharSet = font.lfCharSet;
    narrow.lfOutPrecision = font.lfOutPrecision;
    narrow.lfClipPrecision = font.lfClipPrecision;
    narrow.lfQuality = font.lfQuality;
    narrow.lfPitchAndFamily = font.lfPitchAndFamily;
    const std::string face = ToAnsi(Narrow(font.lfFaceName));
    // A face name cut in the middle of a double-byte character would name
    // no font at all; one that does not fit is left empty instead.
    if (face.size() < LF_FACESIZE) std::copy(face.begin(), face.end(), narrow.lfFaceName);
    return CreateFontIndirectA(&narrow);
}

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT flags)
{
    if (UsesAnsiFunctions()) {
        return MessageBoxA(owner, ToAnsi(text).c_str(), ToAnsi(caption).c_str(), flags);
    }
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), flags);
}

HINSTANCE ProgramInstance() { return GetModuleHandleA(nullptr); }

std::string ProgramFileUtf8()
{
    if (UsesAnsiFunctions()) {
        std::string path(MAX_PATH, '\0');
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0 || length >= path.size()) return {};
        path.resize(length);
        return FromAnsi(path);
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string CommandLineUtf8()
{
    if (UsesAnsiFunctions()) return FromAnsi(GetCommandLineA());
    return Narrow(GetCommandLineW());
}

HWND RootWindow(HWND window)
{
    using GetAncestorFn = HWND(WINAPI*)(HWND, UINT);
    static const auto getAncestor = SystemFunction<GetAncestorFn>("user32.dll", "GetAncestor");
    if (getAncestor) return getAncestor(window, GA_ROOT);
    // Without GetAncestor: climb while the window is a child. GetParent of a
    // top-level window names its owner, which is not an ancestor.
    while (window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
        HWND parent = GetParent(window);
        if (!parent) break;
        window = parent;
    }
    return window;
}

void UseTabPageTexture(HWND page)
{
    // Visual styles came with Windows XP; the Windows 95 family has none.
    if (UsesAnsiFunctions()) return;
    using EnableThemeDialogTextureFn = HRESULT(WINAPI*)(HWND, DWORD);
    static const auto enable =
        SystemFunction<EnableThemeDialogTextureFn>("uxtheme.dll", "EnableThemeDialogTexture");
    constexpr DWORD kEnableTabTexture = 0x6;  // ETDT_ENABLETAB
    if (enable) enable(page, kEnableTabTexture);
}

void RegisterCommonControls(DWORD classes)
{
    // Looked up rather than imported: comctl32.dll 4.00 has no
    // InitCommonControlsEx (its reference asks for 4.70), and Windows 95 and
    // NT 4.0 would refuse to load a program that imports it. The import of
    // InitCommonControls below keeps comctl32.dll loaded, so the lookup finds
    // the copy the program is linked with (version 6 where the manifest asks
    // for it).
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const auto initEx = SystemFunction<InitCommonControlsExFn>("comctl32.dll", "InitCommonControlsEx");
    if (initEx) {
        const INITCOMMONCONTROLSEX controls{sizeof controls, classes};
        initEx(&controls);
        return;
    }
    // Version 4.00 registers every class it has here, the trackbar and the
    // tab control among them. (Version 6 does nothing here, but it always
    // has InitCommonControlsEx.)
    InitCommonControls();
}

void* SystemFunction(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    if (!module) {
        char directory[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        const std::string path = std::string(directory, length) + "\\" + library;
        // Kept loaded for the rest of the process: the function is used later.
        module = LoadLibraryA(path.c_str());
        if (!module) return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}

} // namespace nimbrel::win32
