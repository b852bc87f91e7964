// How a run ends and what it does with its window under Xvfb: the daemon's
// window destroyed under it, an own window's q, Escape and close box, an
// own window that grows, and the starts that must fail with their codes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
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

    Window Start(Hack& hack)
    {
        const std::optional<Window> window = WaitForTopLevel(server.Connection(), "Nimbrel");
        if (!window) ADD_FAILURE() << "no window named Nimbrel; stderr: " << hack.ErrorOutput();
        return window.value_or(None);
    }

    void SendKey(Window window, KeySym symbol)
    {
        Display* display = server.Connection();
        XKeyEvent key{};
        key.type = KeyPress;
        key.display = display;
        key.window = window;
        key.root = server.Root();
        key.keycode = XKeysymToKeycode(display, symbol);
        key.same_screen = True;
        XSendEvent(display, window, True, KeyPressMask, reinterpret_cast<XEvent*>(&key));
        XSync(display, False);
    }
};

TEST_F(OwnWindowTest, QEscapeAndTheCloseBoxEndItWithCodeZeroAndOtherKeysDoNot)
{
    for (KeySym symbol : {XK_q, XK_Escape}) {
        Hack hack(&server, {"--window"}, scratch.Home(false), std::nullopt, scratch.Path() / "stderr");
        const Window window = Start(hack);
        ASSERT_NE(window, static_cast<Window>(None));
        SendKey(window, XK_space);
        EXPECT_FALSE(hack.WaitForExit(300ms)) << "a space ended it";
        SendKey(window, symbol);
        EXPECT_EQ(hack.WaitForExit(20s), 0);
    }

    Hack hack(&server, {"--window"}, scratch.Home(false), std::nullopt, scratch.Path() / "stderr");
    const Window window = Start(hack);
    ASSERT_NE(window, static_cast<Window>(None));
    Display* display = server.Connection();
    XClientMessageEvent close{};
    close.type = ClientMessage;
    close.window = window;
    close.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.format = 32;
    close.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, reinterpret_cast<XEvent*>(&close));
    XSync(display, False);
    EXPECT_EQ(hack.WaitForExit(20s), 0);
    EXPECT_EQ(hack.ErrorOutput(), "");
}

TEST_F(OwnWindowTest, AWindowThatGrowsGoesOnAtItsNewSize)
{
    // Noise draws its lines across the whole frame, so they reach the new
    // part once the frame has grown.
    Hack hack(&server, {"--window", "--effect", "noise", "--noise-deal", "6"}, scratch.Home(false), std::nullopt,
              scratch.Path() / "stderr");
    const Window window = Start(hack);
    ASSERT_NE(window, static_cast<Window>(None));
    XResizeWindow(server.Connection(), window, 1400, 800);
    XSync(server.Connection(), False);
    EXPECT_TRUE(WaitUntil(20s, [&] {
        const std::optional<Surface> shown = ReadWindow(server.Connection(), window);
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
    auto errorText = [&] {
        std::ifstream file(error);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    };
    // Without a server: a bad option is refused before any display is
    // opened, an unreadable picture before one is needed.
    EXPECT_EQ(RunToEnd(nullptr, {"--root", "--wave-speed", "9"}, home, error), 2);
    EXPECT_TRUE(IsOneLine(errorText(), "--wave-speed needs a whole number from 0 to 6, not '9'")) << errorText();
    EXPECT_EQ(RunToEnd(nullptr, {"--picture", (scratch.Path() / "none.png").string()}, home, error), 1);
    EXPECT_TRUE(IsOneLine(errorText(), ".*none.png: no such picture file")) << errorText();

    XServer server(160, 100);
    EXPECT_EQ(RunToEnd(&server, {"--window-id", "0x7fffff"}, home, error), 2);
    EXPECT_TRUE(IsOneLine(errorText(), "--window-id 0x7fffff is not a window on this display")) << errorText();

    XServer shallow(160, 100, 16);
    EXPECT_EQ(RunToEnd(&shallow, {"--root"}, home, error), 1);
    EXPECT_TRUE(IsOneLine(errorText(), "the window's visual \\(depth 16\\) is not a 24- or 32-bit TrueColor one.*"))
        << errorText();
}

} // namespace
} // namespace nimbrel::x11::testing
