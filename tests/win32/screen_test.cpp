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
        Win32Screen().CaptureScreen(surface, 0, 0);
        if (surface.ColourAt(x, y) == colour) return true;
        Sleep(50);
    }
    return false;
}

TEST(ScreenTest, ScreenSizeIsThePrimaryDisplayAndTheVirtualScreenHoldsIt)
{
    Win32Screen screen;
    EXPECT_EQ(screen.ScreenWidth(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(screen.ScreenHeight(), 0);
    const PixelRect all = screen.VirtualScreen();
    EXPECT_LE(all.Left, 0);
    EXPECT_LE(all.Top, 0);
    EXPECT_GE(all.Right, screen.ScreenWidth());
    EXPECT_GE(all.Bottom, screen.ScreenHeight());
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

TEST(ScreenTest, PresentShowsOnlyTheRectanglesInPlaceAndUpright)
{
    // Plain memory and the screen's own surfaces (DIB sections) alike.
    for (const bool section : {false, true}) {
        SCOPED_TRACE(section ? "DIB section" : "plain memory");
        TestWindow window(32, 16);
        {
            // The window starts red.
            WindowDc dc(window.get());
            RECT all{0, 0, 32, 16};
            HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
            FillRect(dc.get(), &all, red);
            DeleteObject(red);
        }
        // Rows of the surface: green on top, then a white row 8, then black below.
        Surface surface = section ? Win32Screen().CreateSurface(64, 40) : Surface(64, 40);
        EXPECT_EQ(surface.OwnsPixels(), !section);
        FillArea(surface, PixelRect{0, 0, 64, 8}, MakeColour(0, 255, 0));
        FillArea(surface, PixelRect{0, 9, 64, 40}, MakeColour(0, 0, 0));
        const PixelRect rects[] = {{0, 0, 10, 16}, {20, 6, 30, 10}};
        {
            WindowDc dc(window.get());
            PresentSurface(dc.get(), surface, rects);
        }
        Surface captured(64, 40);
        ASSERT_TRUE(CaptureShows(captured, 3, 3, MakeColour(0, 255, 0)));
        EXPECT_EQ(captured.ColourAt(3, 8), MakeColour(255, 255, 255));
        EXPECT_EQ(captured.ColourAt(9, 15), MakeColour(0, 0, 0));
        EXPECT_EQ(captured.ColourAt(20, 7), MakeColour(0, 255, 0));
        EXPECT_EQ(captured.ColourAt(29, 8), MakeColour(255, 255, 255));
        EXPECT_EQ(captured.ColourAt(25, 9), MakeColour(0, 0, 0));
        // Outside the rectangles the window keeps its red.
        EXPECT_EQ(captured.ColourAt(15, 3), MakeColour(255, 0, 0));
        EXPECT_EQ(captured.ColourAt(25, 12), MakeColour(255, 0, 0));
        EXPECT_EQ(captured.ColourAt(31, 15), MakeColour(255, 0, 0));
    }
}

} // namespace
} // namespace nimbrel::win32
