// How a run ends and what it does with its window under Xvfb: the daemon's
// window destroyed under it, an own window's q, Escape and close box, an
// own window that grows, and the starts that must fail with their codes.
#include <gtest/gtest.h>

#include <regex>

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "platform/headless/headless_effect_host.h"
#include "tests/x11/hack_session.h"

namespace nimbrel::x11::testing {
namespace {

using namespace std::chrono_literals;

// One line, "nimbrel: " and the cause.
bool IsOneLine(const std::string& text, const std::string& pattern)
{
    return std::regex_match(text, std::regex("nimbrel: (?:" + pattern + ")\n"));
}

TEST(SaverWindowTest, ADestroyedWindowEndsTheRunWithOneLineAndCodeOne)
{
    ScratchDir scratch;
    XServer server(160, 100);
    server.PaintRoot(MakeTestPattern(160, 100));
    DaemonWindow daemon(server);
    const Window id = daemon.Id();
    Hack hack(&server, {"--root", "--effect", "melt"}, scratch.Home(true), id, scratch.Path() / "stderr");
    // Drawn on: the window no longer shows the blank screen.
    ASSERT_TRUE(WaitUntil(20s, [&] {
        const std::optional<Surface> shown = ReadWindow(server.Connection(), id);
        return !hack.Running() || (shown && shown->ColourAt(5, 5) != kBlack);
    }));
    daemon.Destroy();
    EXPECT_EQ(hack.WaitForExit(20s), 1);
    EXPECT_TRUE(IsOneLine(hack.ErrorOutput(), "the window 0x[0-9a-f]+ was destroyed|X error: Bad(Window|Drawable) .*"))
        << hack.ErrorOutput();
}

class OwnWindowTest : public ::testing::Test {
protected:
    ScratchDir scratch;
    // Room for the 1280 x 720 window and its growth.
    XServer server{1440, 810};
    Display* display = server.Connection();

    Window Start(Hack& hack)
    {
        const std::optional<Window> window = WaitForTopLevel(display, "Nimbrel");
        if (!window) ADD_FAILURE() << "no window named Nimbrel; stderr: " << hack.ErrorOutput();
        return window.value_or(None);
    }

    // What a window manager sends: a key, or the close box's message.
    void Send(Window window, long mask, XEvent event)
    {
        event.xany.window = window;
        XSendEvent(display, window, False, mask, &event);
        XSync(display, False);
    }
    void SendKey(Window window, KeySym symbol)
    {
        XEvent event{};
        event.xkey = {KeyPress, 0, True, display, window, server.Root(), None, 0, 0, 0, 0, 0, 0,
                      XKeysymToKeycode(display, symbol), True};
        Send(window, KeyPressMask, event);
    }
};

TEST_F(OwnWindowTest, QEscapeAndTheCloseBoxEndItWithCodeZeroAndOtherKeysDoNot)
{
    for (const KeySym symbol : {KeySym{XK_q}, KeySym{XK_Escape}, KeySym{NoSymbol}}) {
        Hack hack(&server, {"--window"}, scratch.Home(false), std::nullopt, scratch.Path() / "stderr");
        const Window window = Start(hack);
        ASSERT_NE(window, static_cast<Window>(None));
        // A space is not one of them: the window still repaints what is
        // cleared after it.
        SendKey(window, XK_space);
        XClearArea(display, window, 0, 0, 0, 0, True);
        EXPECT_TRUE(WaitUntil(20s, [&] {
            const std::optional<Surface> shown = ReadWindow(display, window);
            return shown && shown->ColourAt(5, 5) != kBlack;
        }));
        EXPECT_TRUE(hack.Running());
        if (symbol != NoSymbol) {
            SendKey(window, symbol);
        } else {
            XEvent close{};
            close.xclient = {ClientMessage, 0, True, display, window, XInternAtom(display, "WM_PROTOCOLS", False), 32,
                             {}};
            close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
            Send(window, NoEventMask, close);
        }
        EXPECT_EQ(hack.WaitForExit(20s), 0);
        EXPECT_EQ(hack.ErrorOutput(), "");
    }
}

TEST_F(OwnWindowTest, AWindowThatGrowsGoesOnAtItsNewSize)
{
    // Noise draws its lines across the whole frame, so they reach the new
    // part once the frame has grown.
    Hack hack(&server, {"--window", "--effect", "noise", "--noise-deal", "6"}, scratch.Home(false), std::nullopt,
              scratch.Path() / "stderr");
    const Window window = Start(hack);
    ASSERT_NE(window, static_cast<Window>(None));
    XResizeWindow(display, window, 1400, 800);
    XSync(display, False);
    EXPECT_TRUE(WaitUntil(20s, [&] {
        const std::optional<Surface> shown = ReadWindow(display, window);
        if (!shown || shown->Width() != 1400) return false;
        for (std::int32_t y = 0; y < 800; ++y) {
            if (shown->ColourAt(1390, y) != kBlack) return true;
        }
        return false;
    })) << "stderr: " << hack.ErrorOutput();
    EXPECT_TRUE(hack.Running());
    EXPECT_EQ(hack.Stop(SIGTERM, 10s), 0);
    EXPECT_EQ(hack.ErrorOutput(), "");
}

TEST(StartTest, BadStartsEndWithTheirCodeAndOneLine)
{
    ScratchDir scratch;
    const std::filesystem::path home = scratch.Home(true), error = scratch.Path() / "stderr";
    std::string errorText;
    auto RunToEnd = [&](const XServer* server, const std::vector<std::string>& args) {
        Hack hack(server, args, home, std::nullopt, error);
        const std::optional<int> code = hack.WaitForExit(1min);
        errorText = hack.ErrorOutput();
        return code;
    };
    // Without a server: a bad option is refused before any display is
    // opened, an unreadable picture before one is needed.
    EXPECT_EQ(RunToEnd(nullptr, {"--root", "--wave-speed", "9"}), 2);
    EXPECT_TRUE(IsOneLine(errorText, "--wave-speed needs a whole number from 0 to 6, not '9'")) << errorText;
    EXPECT_EQ(RunToEnd(nullptr, {"--picture", (scratch.Path() / "none.png").string()}), 1);
    EXPECT_TRUE(IsOneLine(errorText, ".*none.png: no such picture file")) << errorText;

    XServer server(160, 100);
    EXPECT_EQ(RunToEnd(&server, {"--window-id", "0x7fffff"}), 2);
    EXPECT_TRUE(IsOneLine(errorText, "--window-id 0x7fffff is not a window on this display")) << errorText;

    XServer shallow(160, 100, 16);
    EXPECT_EQ(RunToEnd(&shallow, {"--root"}), 1);
    EXPECT_TRUE(IsOneLine(errorText, "the window's visual \\(depth 16\\) is not a 24- or 32-bit TrueColor one.*"))
        << errorText;
}

} // namespace
} // namespace nimbrel::x11::testing
