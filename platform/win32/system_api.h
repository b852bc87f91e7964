// The one place that chooses between the ANSI and the wide functions of
// Windows. The Windows 95 family implements almost no wide function (Microsoft
// KB 210341 lists the few it has), so there every window, class, message,
// text, font and message box goes through the ANSI functions, with texts in
// the system's ANSI code page; the NT family keeps the wide functions, which
// show Japanese whatever the code page. The choice is made once at start from
// the platform id.
//
// Functions that only newer systems have are looked up at run time here too,
// each with a fallback for the systems that lack them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbrel::win32 {

// Chooses the character set for the platform id read at start
// (GetVersionEx's dwPlatformId): 1, the Windows 95 family, takes the ANSI path.
void ChooseCharacterSet(std::uint32_t platformId);
bool UsesAnsiFunctions();

// Window classes and windows. Class names and texts are UTF-8.
bool RegisterWindowClass(std::string_view name, WNDPROC procedure, HBRUSH background,
                         int windowExtraBytes = 0);
HWND CreateWindowUtf8(DWORD exStyle, std::string_view className, std::string_view text,
                      DWORD style, int left, int top, int width, int height, HWND parent,
                      HMENU menu, void* parameter);

// The message functions whose ANSI and wide forms take the same arguments.
// Text-bearing messages go through the functions below instead.
LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefaultDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL GetMsg(MSG* message, HWND window, UINT first, UINT last);
BOOL PeekMsg(MSG* message, HWND window, UINT first, UINT last, UINT remove);
LRESULT DispatchMsg(const MSG* message);
LONG_PTR WindowLongValue(HWND window, int index);
LONG_PTR SetWindowLongValue(HWND window, int index, LONG_PTR value);

// Window texts (WM_SETTEXT, WM_GETTEXT) and tab items in UTF-8.
void SetWindowTextUtf8(HWND window, std::string_view text);
std::string WindowTextUtf8(HWND window);
void InsertTabItem(HWND tabControl, int index, std::string_view text);

// The font that the description asks for; the face name goes into the code
// page on the ANSI path.
HFONT CreateFontUtf8(const LOGFONTW& font);

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT flags);

// The program's own module, its file and its command line.
HINSTANCE ProgramInstance();
std::string ProgramFileUtf8();
std::string CommandLineUtf8();

// The top-level window a window belongs to (GetAncestor's GA_ROOT, which
// Windows 95 and NT 4.0 lack).
HWND RootWindow(HWND window);

// Where the visual styles are on, a page of a tab control shows the tab
// body's texture instead of the plain dialog colour; elsewhere nothing
// changes. The page's class must pass what it does not handle to
// DefaultDialogProc, since the texture is drawn by the dialog manager.
void UseTabPageTexture(HWND page);

// Registers the common-control classes named by ICC_* flags. Where
// comctl32.dll lacks InitCommonControlsEx (version 4.00, which Windows 95 and
// NT 4.0 ship) InitCommonControls registers all of its classes instead.
void RegisterCommonControls(DWORD classes);

// A function of a system library, or null where the system lacks it. The
// library is loaded from the system directory if it is not loaded yet, and
// stays loaded.
void* SystemFunction(const char* library, const char* name);
template <typename Function>
Function SystemFunction(const char* library, const char* name)
{
    return reinterpret_cast<Function>(SystemFunction(library, name));
}

} // namespace nimbrel::win32
