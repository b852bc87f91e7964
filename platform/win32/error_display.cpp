// The message box of handler errors.
#include "platform/win32/error_display.h"

#include "platform/win32/system_api.h"
#include "settings/errors.h"

namespace nimbrel::win32 {
namespace {
std::string& Title()
{
    static std::string title = "Nimbrel";
    return title;
}
} // namespace

void SetApplicationTitle(std::string_view title) { Title() = title; }
const std::string& ApplicationTitle() { return Title(); }

void ShowHandlerError(const std::exception& error)
{
    // A quit request already waiting (the main window has just been
    // destroyed, say) would end the box's own message loop at once, before
    // anybody could read it: it waits until the box is closed.
    MSG quit{};
    const bool quitPending = PeekMsg(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    ShowMessageBox(GetActiveWindow(), WithFinalPeriod(error.what()), Title(), MB_OK | MB_ICONSTOP);
    if (quitPending) PostQuitMessage(static_cast<int>(quit.wParam));
}

} // namespace nimbrel::win32
