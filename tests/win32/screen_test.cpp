// Capture and presentation through GDI on a real (virtual) display: a
// presented surface shows its rectangles unscaled and the right way up, and
// the capture reads back what the window shows. Which systems capture
// layered windows too.
#include "platform/win32/screen.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/win32/handles.h"
#include "platform/win32/saver_window.h"

namespace nimbrel::win32 {
namespace {

TEST(ScreenTest, PresentShowsOnlyTheRectanglesInPlaceAndUprightAndTheCaptureReadsThemBack)
{
    // A topmost popup at the screen's top-left corner that paints nothing itself.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = L"NimbrelScreenTest";
    RegisterClassW(&windowClass);
    constexpr Colour kRed = MakeColour(255, 0, 0);
    // Plain memory and the screen's own surfaces (DIB sections) alike, for
    // both presenting and capturing.
    for (const bool section : {false, true}) {
        HWND window = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 32,
                                      16, nullptr, nullptr, nullptr, nullptr);
        // A colour of its own for every pixel of the surface; the window
        // starts red.
        Surface surface = section ? Win32Screen().CreateSurface(64, 40) : Surface(64, 40);
        for (std::uint8_t y = 0; y < 40; ++y) {
            for (std::uint8_t x = 0; x < 64; ++x) surface.SetColourAt(x, y, MakeColour(4 * x, 6 * y, 128));
        }
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
        for (int attempt = 0; attempt < 100 && captured.ColourAt(3, 3) != surface.ColourAt(3, 3); ++attempt) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(50);
            Win32Screen().CaptureScreen(captured, 0, 0);
        }
        // Inside the rectangles the surface's pixels, elsewhere the window's red.
        for (std::int32_t y = 0; y < 16; ++y) {
            for (std::int32_t x = 0; x < 32; ++x) {
                const bool presented = x < 10 || (x >= 20 && x < 30 && y >= 6 && y < 10);
                ASSERT_EQ(captured.ColourAt(x, y), presented ? surface.ColourAt(x, y) : kRed)
                    << x << ", " << y << (section ? " from a DIB section" : " from plain memory");
            }
        }
        DestroyWindow(window);
    }
}

TEST(ScreenTest, CapturesTakeInLayeredWindowsFromWindows2000On)
{
    // Under Wine a capture shows a translucent layered window with or without
    // CAPTUREBLT, so only the choice itself can be checked here. Platform id
    // 1 is the Windows 95 family (no layered windows), 2 the NT family (5.0
    // is Windows 2000), 0 an unknown system.
    constexpr DWORD kCapture = SRCCOPY | 0x40000000;
    const std::tuple<std::uint32_t, std::uint32_t, DWORD> rows[] = {
        {1, 4, SRCCOPY}, {2, 4, SRCCOPY}, {2, 5, kCapture}, {2, 10, kCapture}, {0, 5, SRCCOPY}};
    for (const auto& [platformId, majorVersion, operation] : rows) {
        ChooseCaptureOperation(platformId, majorVersion);
        EXPECT_EQ(CaptureOperation(), operation) << platformId << " " << majorVersion;
    }
    // The program's start chooses from the system it runs on: Wine reports
    // an NT-family Windows later than 2000.
    CapturePlatformId();
    EXPECT_EQ(CaptureOperation(), kCapture);
}

} // namespace
} // namespace nimbrel::win32
