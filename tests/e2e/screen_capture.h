#pragma once
// What the screen shows, read from outside the program: rectangles of pixels, saved as pictures, and
// whether the simulated device's colour bars are visible in them.
#include <windows.h>

#include <string>
#include <vector>

namespace lumetra::e2e {

// The pixels of a screen rectangle, row by row from the top.
struct ScreenArea {
    RECT rect{};
    std::vector<COLORREF> pixels;
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
    // The pixel at screen coordinates (inside the rectangle).
    COLORREF At(int screenX, int screenY) const;
};

ScreenArea CaptureScreen(const RECT& rect);
// Writes the area as a 24-bit bitmap file.
void SaveArea(const ScreenArea& area, const std::string& path);

// Whether the simulated device's colour bars fill videoRect (screen coordinates, inside the area):
// yellow, green and blue where the second, fourth and seventh of its eight bars are.
bool ShowsColourBars(const ScreenArea& area, const RECT& videoRect);

// Waits (at most timeoutMs) until rect shows the colour bars in videoRect and everything outside
// videoRect and the changing rectangles (a running time, say) stays the same over two captures a
// moment apart (all windows painted), and returns that capture; false after the time-out.
bool CaptureSettledPicture(const RECT& rect, const RECT& videoRect, DWORD timeoutMs, ScreenArea& result,
                           const std::vector<RECT>& changing = {});

}  // namespace lumetra::e2e
