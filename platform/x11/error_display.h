// How the hack reports a failure: one line on standard error, since under
// XScreenSaver nobody reads more. X protocol errors are caught here and
// handed to the event loop, which ends the run with them.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::x11 {

// Prints "nimbrel: <message>" as one line on standard error.
void ReportError(std::string_view message);

// Installs the process's X error handlers: a protocol error is kept (the
// first one since the last TakeXError) for the event loop to end the run
// with; a lost connection reports one line and ends the process with exit
// code 1 at once, since Xlib cannot go on after it.
void InstallXErrorHandlers();

// The protocol error kept since the last call, described in one line
// ("BadWindow (invalid Window parameter) in X_GetGeometry on 0x200001").
std::optional<std::string> TakeXError(Display* display);

// While one lives, protocol errors go to it instead: for the few calls whose
// refusal the caller expects and handles. Caught() waits for the server to
// have answered every request made so far.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    bool Caught();

private:
    Display* display_;
    XErrorTrap* outer_;
    bool caught_ = false;
    friend int HandleXError(Display*, XErrorEvent*);
};

int HandleXError(Display* display, XErrorEvent* event);

} // namespace nimbrel::x11
