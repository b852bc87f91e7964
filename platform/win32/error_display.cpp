// The message box of handler errors.
#include "platform/win32/error_display.h"

#include "platform/win32/text.h"
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
    std::wstring text = Widen(WithFinalPeriod(error.what()));
    std::wstring caption = Widen(Title());
    MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

} // namespace nimbrel::win32
