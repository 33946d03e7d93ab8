#include "tests/e2e/screen_capture.h"

#include <utility>

#include "tests/e2e/test_skin.h"

namespace lumetra::e2e {
namespace {

// Near a pure colour: each channel clearly high or clearly low.
bool Near(COLORREF c, bool red, bool green, bool blue) {
    auto level = [](int v, bool high) { return high ? v > 140 : v < 90; };
    return level(GetRValue(c), red) && level(GetGValue(c), green) && level(GetBValue(c), blue);
}

}  // namespace

COLORREF ScreenArea::At(int screenX, int screenY) const {
    int x = screenX - rect.left, y = screenY - rect.top;
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return CLR_INVALID;
    return pixels[static_cast<size_t>(y) * Width() + x];
}

ScreenArea CaptureScreen(const RECT& rect) {
    ScreenArea area{rect, {}};
    int w = area.Width(), h = area.Height();
    if (w <= 0 || h <= 0) return area;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY);
        SelectObject(memory, old);
        const DWORD* p = static_cast<const DWORD*>(bits);
        area.pixels.resize(static_cast<size_t>(w) * h);
        for (size_t i = 0; i < area.pixels.size(); ++i)
            area.pixels[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return area;
}

void SaveArea(const ScreenArea& area, const std::string& path) {
    if (area.pixels.empty()) return;
    WriteBitmap(path, area.Width(), area.Height(),
                [&](int x, int y) { return area.pixels[static_cast<size_t>(y) * area.Width() + x]; });
}

bool ShowsColourBars(const ScreenArea& area, const RECT& videoRect) {
    int w = videoRect.right - videoRect.left, h = videoRect.bottom - videoRect.top;
    auto bar = [&](int index) { return area.At(videoRect.left + w * (2 * index + 1) / 16, videoRect.top + h * 2 / 5); };
    return Near(bar(1), true, true, false) && Near(bar(3), false, true, false) && Near(bar(6), false, false, true);
}

bool CaptureSettledPicture(const RECT& rect, const RECT& videoRect, DWORD timeoutMs, ScreenArea& result,
                           const std::vector<RECT>& changing) {
    auto Ignored = [&](POINT p) {
        for (const RECT& r : changing)
            if (PtInRect(&r, p)) return true;
        return false;
    };
    auto sameOutsideVideo = [&](const ScreenArea& a, const ScreenArea& b) {
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x) {
                POINT p{x, y};
                if (PtInRect(&videoRect, p) || Ignored(p)) continue;
                if (a.At(x, y) != b.At(x, y)) return false;
            }
        return true;
    };
    ScreenArea before = CaptureScreen(rect);
    DWORD start = GetTickCount();
    for (;;) {
        Sleep(250);
        ScreenArea now = CaptureScreen(rect);
        if (ShowsColourBars(now, videoRect) && sameOutsideVideo(before, now)) {
            result = std::move(now);
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) return false;
        before = std::move(now);
    }
}

}  // namespace lumetra::e2e
