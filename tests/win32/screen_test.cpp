// Capture and presentation through GDI on a real (virtual) display: what a
// window shows is what the capture reads, and a presented surface shows its
// top-left corner unscaled and the right way up.
#include "platform/win32/screen.h"

#include <gtest/gtest.h>

#include "platform/win32/handles.h"

namespace nimbrel::win32 {
namespace {

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// A topmost popup at the screen's top-left corner, painted by the test.
class TestWindow {
public:
    TestWindow(int width, int height)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"NimbrelScreenTest";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                  width, height, nullptr, nullptr, wc.hInstance, nullptr);
        PumpMessages();
    }
    ~TestWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

// Captures until the pixel at (x, y) has the colour, for at most five seconds:
// the display shows a window's drawing a little after the drawing call.
bool CaptureShows(Surface& surface, int x, int y, Colour colour)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        PumpMessages();
        Win32Screen().CaptureScreen(surface);
        if (surface.ColourAt(x, y) == colour) return true;
        Sleep(50);
    }
    return false;
}

TEST(ScreenTest, ScreenSizeIsThePrimaryDisplay)
{
    Win32Screen screen;
    EXPECT_EQ(screen.ScreenWidth(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(screen.ScreenHeight(), 0);
}

TEST(ScreenTest, CaptureReadsWhatAWindowShows)
{
    TestWindow window(40, 20);
    {
        WindowDc dc(window.get());
        RECT left{0, 0, 20, 20}, right{20, 0, 40, 20};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
        FillRect(dc.get(), &left, red);
        FillRect(dc.get(), &right, blue);
        DeleteObject(red);
        DeleteObject(blue);
    }
    Surface surface(48, 24);
    ASSERT_TRUE(CaptureShows(surface, 5, 5, MakeColour(255, 0, 0)));
    EXPECT_EQ(surface.ColourAt(25, 15), MakeColour(0, 0, 255));
}

TEST(ScreenTest, PresentShowsTheTopLeftCornerUpright)
{
    TestWindow window(32, 16);
    // Rows of the surface: green on top, then a white row 8, then black below.
    Surface surface(64, 40);
    FillArea(surface, PixelRect{0, 0, 64, 8}, MakeColour(0, 255, 0));
    FillArea(surface, PixelRect{0, 9, 64, 40}, MakeColour(0, 0, 0));
    {
        WindowDc dc(window.get());
        PresentSurface(dc.get(), surface, 32, 16);
    }
    Surface captured(64, 40);
    ASSERT_TRUE(CaptureShows(captured, 3, 3, MakeColour(0, 255, 0)));
    EXPECT_EQ(captured.ColourAt(3, 8), MakeColour(255, 255, 255));
    EXPECT_EQ(captured.ColourAt(3, 12), MakeColour(0, 0, 0));
    EXPECT_EQ(captured.ColourAt(31, 15), MakeColour(0, 0, 0));
}

} // namespace
} // namespace nimbrel::win32
