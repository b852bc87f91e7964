// Capture and presentation through GDI on a real (virtual) display: a
// presented surface shows its rectangles unscaled and the right way up, and
// the capture reads back what the window shows.
#include "platform/win32/screen.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/win32/handles.h"

namespace nimbrel::win32 {
namespace {

TEST(ScreenTest, PresentShowsOnlyTheRectanglesInPlaceAndUprightAndTheCaptureReadsThemBack)
{
    // A topmost popup at the screen's top-left corner that paints nothing itself.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = L"NimbrelScreenTest";
    RegisterClassW(&windowClass);
    constexpr Colour kRed = MakeColour(255, 0, 0), kGreen = MakeColour(0, 255, 0);
    // Plain memory and the screen's own surfaces (DIB sections) alike, for
    // both presenting and capturing.
    for (const bool section : {false, true}) {
        SCOPED_TRACE(section ? "DIB section" : "plain memory");
        HWND window = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 32,
                                      16, nullptr, nullptr, nullptr, nullptr);
        // Rows of the surface: green on top, then a white row 8, then black
        // below; the window starts red.
        Surface surface = section ? Win32Screen().CreateSurface(64, 40) : Surface(64, 40);
        FillArea(surface, PixelRect{0, 0, 64, 8}, kGreen);
        FillArea(surface, PixelRect{0, 9, 64, 40}, kBlack);
        const PixelRect rects[] = {{0, 0, 10, 16}, {20, 6, 30, 10}};
        {
            WindowDc dc(window);
            RECT all{0, 0, 32, 16};
            SetDCBrushColor(dc.get(), RGB(255, 0, 0));
            FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
            PresentSurface(dc.get(), surface, rects);
        }
        // The display shows a window's drawing a little after the call.
        Surface captured = section ? Win32Screen().CreateSurface(64, 40) : Surface(64, 40);
        for (int attempt = 0; attempt < 100 && captured.ColourAt(3, 3) != kGreen; ++attempt) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(50);
            Win32Screen().CaptureScreen(captured, 0, 0);
        }
        // Inside the rectangles the surface, outside them the window's red.
        const std::tuple<int, int, Colour> pixels[] = {
            {3, 3, kGreen}, {3, 8, kWhite},  {9, 15, kBlack}, {20, 7, kGreen},
            {29, 8, kWhite}, {25, 9, kBlack}, {15, 3, kRed},   {25, 12, kRed}, {31, 15, kRed},
        };
        for (const auto& [x, y, colour] : pixels) EXPECT_EQ(captured.ColourAt(x, y), colour) << x << ", " << y;
        DestroyWindow(window);
    }
}

} // namespace
} // namespace nimbrel::win32
