// The X error handlers and the one-line report.
#include "platform/x11/error_display.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <iostream>

namespace nimbrel::x11 {
namespace {

XErrorTrap* activeTrap = nullptr;
std::optional<XErrorEvent> keptError;

// Xlib ends the process itself if this returns; the report comes first, and
// nothing that needs the connection can run any more.
int HandleIoError(Display*)
{
    ReportError("lost the connection to the X server");
    _exit(1);
}

// The request's name from Xlib's error database: core requests by number,
// an extension's as "<extension>.<minor>".
std::string RequestName(Display* display, const XErrorEvent& error)
{
    std::array<char, 128> name{};
    std::string key = std::to_string(error.request_code);
    if (error.request_code >= 128) {
        int count = 0;
        char** extensions = XListExtensions(display, &count);
        for (int i = 0; extensions && i < count; ++i) {
            int opcode = 0, firstEvent = 0, firstError = 0;
            if (XQueryExtension(display, extensions[i], &opcode, &firstEvent, &firstError)
                && opcode == error.request_code) {
                key = std::string(extensions[i]) + "." + std::to_string(error.minor_code);
                break;
            }
        }
        if (extensions) XFreeExtensionList(extensions);
    }
    XGetErrorDatabaseText(display, "XRequest", key.c_str(), ("request " + key).c_str(), name.data(),
                          static_cast<int>(name.size()));
    return name.data();
}

} // namespace

void ReportError(std::string_view message)
{
    std::cerr << "nimbrel: " << message << std::endl;
}

int HandleXError(Display*, XErrorEvent* event)
{
    if (activeTrap) {
        activeTrap->caught_ = true;
    } else if (!keptError) {
        keptError = *event;
    }
    return 0;
}

void InstallXErrorHandlers()
{
    XSetErrorHandler(HandleXError);
    XSetIOErrorHandler(HandleIoError);
}

std::optional<std::string> TakeXError(Display* display)
{
    if (!keptError) return std::nullopt;
    const XErrorEvent error = *keptError;
    keptError.reset();
    std::array<char, 160> text{};
    XGetErrorText(display, error.error_code, text.data(), static_cast<int>(text.size()));
    std::array<char, 24> resource{};
    std::snprintf(resource.data(), resource.size(), "0x%lx", error.resourceid);
    return std::string(text.data()) + " in " + RequestName(display, error) + " on " + resource.data();
}

XErrorTrap::XErrorTrap(Display* display) : display_(display), outer_(activeTrap)
{
    // Errors of requests made before the trap are not its business.
    XSync(display_, False);
    activeTrap = this;
}

XErrorTrap::~XErrorTrap()
{
    XSync(display_, False);
    activeTrap = outer_;
}

bool XErrorTrap::Caught()
{
    XSync(display_, False);
    return caught_;
}

} // namespace nimbrel::x11
