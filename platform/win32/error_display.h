// The one place where an error that escaped an event handler or a timer tick
// is shown: a message box with the error's message, the application title as
// caption, a stop icon and one OK button. Afterwards every window goes on.
#pragma once

#include <windows.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace nimbrel::win32 {

// The caption of the message boxes; "Nimbrel" unless start-up sets another.
void SetApplicationTitle(std::string_view title);
const std::string& ApplicationTitle();

// Shows the error over the active window of this thread. A quit request
// that is waiting is kept until the box has been closed.
void ShowHandlerError(const std::exception& error);

// Runs a handler and shows whatever error escapes it; the window procedures
// call every handler through this, since no exception may cross the
// system's message dispatch.
template <typename Handler>
bool RunHandler(Handler&& handler) noexcept
{
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        ShowHandlerError(error);
    } catch (...) {
        ShowHandlerError(std::runtime_error("unknown error"));
    }
    return false;
}

} // namespace nimbrel::win32
