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
    ShowMessageBox(GetActiveWindow(), WithFinalPeriod(error.what()), Title(), MB_OK | MB_ICONSTOP);
}

} // namespace nimbrel::win32
