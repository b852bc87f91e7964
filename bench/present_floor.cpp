// The least a plain Win32 program must do to show Melt at Speed 6 or Wave at
// Pitch 1 and Speed 6 full screen: tools/bench-screen runs it under Wine
// beside Nimbrel.scr, as the floor that the saver's cost is compared with.
//
//   present_floor melt    every 50 ms, 61 four-pixel columns at random x
//                         move down one row in the frame, then one BitBlt
//   present_floor wave    every 50 ms, the whole frame is copied from a
//                         picture with each row shifted, then one BitBlt
//
// The frame and the picture are 32-bit DIB sections of the screen's size,
// and the window is a topmost popup covering the primary screen, as the
// saver's are. A key press or a click ends it; a bad argument ends it with
// exit code 2 and a line on standard error.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "platform/win32/handles.h"

namespace {

using nimbrel::win32::UniqueBitmap;
using nimbrel::win32::UniqueMemoryDc;
using nimbrel::win32::WindowDc;

enum class Mode { Melt, Wave };

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMilliseconds = 50;
constexpr int kMeltColumns = 61;  // Speed 6: 10 x 6 + 1
constexpr int kColumnWidth = 4;
constexpr wchar_t kClassName[] = L"PresentFloor";
// What tools/bench-screen waits for before it starts measuring.
constexpr wchar_t kCaption[] = L"Present floor";

// A top-down 32-bit DIB section selected into a memory device context.
struct Dib {
    UniqueBitmap Bitmap;
    UniqueMemoryDc Dc;
    HGDIOBJ Previous = nullptr;
    std::uint32_t* Pixels = nullptr;
    int Width = 0;
    int Height = 0;

    bool Create(int width, int height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // negative: rows run top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        Bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        Dc.reset(CreateCompatibleDC(nullptr));
        if (!Bitmap || !bits || !Dc) return false;
        Previous = SelectObject(Dc.get(), Bitmap.get());
        Pixels = static_cast<std::uint32_t*>(bits);
        Width = width;
        Height = height;
        return true;
    }
    ~Dib()
    {
        if (Previous) SelectObject(Dc.get(), Previous);
    }
    std::uint32_t* Row(int y) const { return Pixels + static_cast<std::ptrdiff_t>(y) * Width; }
};

struct Floor {
    Mode Which = Mode::Melt;
    Dib Frame;
    Dib Picture;  // Wave's source
    std::uint32_t Seed = 1;
    std::uint32_t Tick = 0;
};

Floor* g_floor = nullptr;

// A linear congruential sequence, as cheap as the saver's own.
std::uint32_t NextRandom(std::uint32_t& seed, std::uint32_t n)
{
    seed = seed * 134775813u + 1u;
    return static_cast<std::uint32_t>((std::uint64_t{seed} * n) >> 32);
}

// Bands of colour with a diagonal grid, so that moved pixels differ from
// their neighbours as a desktop's do.
void FillPattern(const Dib& dib)
{
    for (int y = 0; y < dib.Height; ++y) {
        std::uint32_t* row = dib.Row(y);
        for (int x = 0; x < dib.Width; ++x) {
            const std::uint32_t grid = ((x + y) % 64 < 2 || (x - y + 4096) % 64 < 2) ? 0xFFFFFFu : 0u;
            row[x] = (static_cast<std::uint32_t>(x * 255 / dib.Width) << 16) |
                     (static_cast<std::uint32_t>(y * 255 / dib.Height) << 8) | 0x40u | grid;
        }
    }
}

// Each column moves down one row in place, from the bottom row up so that
// every row is read before it is written; its top pixel turns black.
void MeltTick(Floor& floor)
{
    Dib& frame = floor.Frame;
    const auto positions = static_cast<std::uint32_t>(frame.Width + 17);
    for (int i = 0; i < kMeltColumns; ++i) {
        const int left = static_cast<int>(NextRandom(floor.Seed, positions)) - 10;
        const int begin = left < 0 ? 0 : left;
        const int end = left + kColumnWidth > frame.Width ? frame.Width : left + kColumnWidth;
        if (begin >= end) continue;
        const auto bytes = static_cast<std::size_t>(end - begin) * sizeof(std::uint32_t);
        if (end - begin == kColumnWidth) {
            // A copy of a known size compiles to a few moves, not a call.
            for (int y = frame.Height - 1; y >= 1; --y) {
                std::memcpy(frame.Row(y) + begin, frame.Row(y - 1) + begin, kColumnWidth * sizeof(std::uint32_t));
            }
        } else {
            for (int y = frame.Height - 1; y >= 1; --y) {
                std::memcpy(frame.Row(y) + begin, frame.Row(y - 1) + begin, bytes);
            }
        }
        std::memset(frame.Row(0) + begin, 0, bytes);
    }
}

// Every row of the frame is the picture's row shifted sideways by up to
// five pixels, the shift travelling up one row a tick; the uncovered edge
// keeps what it held.
void WaveTick(Floor& floor)
{
    const Dib& picture = floor.Picture;
    Dib& frame = floor.Frame;
    for (int y = 0; y < frame.Height; ++y) {
        const int shift = static_cast<int>((static_cast<std::uint32_t>(y) + floor.Tick) % 11u) - 5;
        const int count = frame.Width - (shift < 0 ? -shift : shift);
        const std::uint32_t* source = picture.Row(y) + (shift < 0 ? -shift : 0);
        std::uint32_t* target = frame.Row(y) + (shift > 0 ? shift : 0);
        std::memcpy(target, source, static_cast<std::size_t>(count) * sizeof(std::uint32_t));
    }
}

void Present(HDC target, const Floor& floor)
{
    BitBlt(target, 0, 0, floor.Frame.Width, floor.Frame.Height, floor.Frame.Dc.get(), 0, 0, SRCCOPY);
    // The next tick writes the section's pixels, which must not happen
    // before the copy has read them.
    GdiFlush();
}

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kTickTimer && g_floor) {
            if (g_floor->Which == Mode::Melt) {
                MeltTick(*g_floor);
            } else {
                WaveTick(*g_floor);
            }
            ++g_floor->Tick;
            WindowDc dc(window);
            if (dc) Present(dc.get(), *g_floor);
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        if (dc && g_floor) Present(dc, *g_floor);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN: DestroyWindow(window); return 0;
    case WM_DESTROY:
        KillTimer(window, kTickTimer);
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

int Fail(std::string_view message)
{
    DWORD written = 0;
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error && error != INVALID_HANDLE_VALUE) {
        WriteFile(error, message.data(), static_cast<DWORD>(message.size()), &written, nullptr);
    }
    return 2;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const std::string_view argument = commandLine ? std::string_view(commandLine) : std::string_view();
    Floor floor;
    if (argument == "melt") {
        floor.Which = Mode::Melt;
    } else if (argument == "wave") {
        floor.Which = Mode::Wave;
    } else {
        return Fail("usage: present_floor melt|wave\n");
    }

    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0 || !floor.Frame.Create(width, height) ||
        (floor.Which == Mode::Wave && !floor.Picture.Create(width, height))) {
        return Fail("present_floor: no screen-sized DIB section\n");
    }
    FillPattern(floor.Frame);
    if (floor.Which == Mode::Wave) FillPattern(floor.Picture);
    floor.Seed = GetTickCount();
    g_floor = &floor;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = FloorWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass)) return Fail("present_floor: cannot register the window class\n");
    HWND window = CreateWindowExW(WS_EX_TOPMOST, kClassName, kCaption, WS_POPUP | WS_VISIBLE, 0, 0, width,
                                  height, nullptr, nullptr, instance, nullptr);
    if (!window) return Fail("present_floor: cannot create the window\n");
    if (SetTimer(window, kTickTimer, kTickMilliseconds, nullptr) == 0) {
        DestroyWindow(window);
        return Fail("present_floor: cannot start the timer\n");
    }

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    g_floor = nullptr;
    return 0;
}
