#include "controls/gradient_progress.h"

#include <commctrl.h>

namespace lumetra {
namespace {

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void Polyline3(HDC dc, POINT a, POINT b, POINT c) {
    const POINT points[] = {a, b, c};
    Polyline(dc, points, 3);
}

void Polyline4(HDC dc, POINT a, POINT b, POINT c, POINT d) {
    const POINT points[] = {a, b, c, d};
    Polyline(dc, points, 4);
}

}  // namespace

GradientProgress::GradientProgress()
    : shades_(ShadesOf(GetSysColor(COLOR_HIGHLIGHT))),
      darkShadow_(GetSysColor(COLOR_3DDKSHADOW)),
      buttonShadow_(GetSysColor(COLOR_BTNSHADOW)),
      frameMid_(Midpoint(darkShadow_, buttonShadow_)) {
    CreatePens();
}

void GradientProgress::CreatePens() {
    base_.Reset(CreatePen(PS_SOLID, 1, shades_.base));
    light1_.Reset(CreatePen(PS_SOLID, 1, shades_.light1));
    light2_.Reset(CreatePen(PS_SOLID, 1, shades_.light2));
    dark1_.Reset(CreatePen(PS_SOLID, 1, shades_.dark1));
    dark2_.Reset(CreatePen(PS_SOLID, 1, shades_.dark2));
    framePen_.Reset(CreatePen(PS_SOLID, 1, frameMid_));
    buttonShadowPen_.Reset(CreatePen(PS_SOLID, 1, buttonShadow_));
}

void GradientProgress::SetBarColour(COLORREF colour) {
    shades_ = ShadesOf(colour);
    CreatePens();
    if (!Handle()) return;
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT GradientProgress::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;  // the paint covers every pixel
    case WM_PAINT:
        OnPaint();
        return 0;
    default:
        return Window::WndProc(msg, wp, lp);
    }
}

void GradientProgress::OnPaint() {
    PaintScope paint(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return;
    // Painted off screen and copied in one step, so that five repaints a second do not flicker.
    MemoryDC memory(paint.Get());
    Bitmap canvas(CreateCompatibleBitmap(paint.Get(), width, height));
    if (!memory || !canvas) return;
    {
        SelectedObject selected(memory.Get(), canvas.Get());
        PaintBar(memory.Get(), client);
        BitBlt(paint.Get(), 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
    }
}

void GradientProgress::PaintBar(HDC dc, const RECT& client) {
    Brush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &client, face.Get());

    PBRANGE range{};
    SendMessageA(Handle(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    int pos = static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
    const int a = client.left, b = client.top, d = client.bottom, e = a + 2;
    const int c = a + BarRight(range.iLow, range.iHigh, pos, client.right - client.left);

    RECT bar{a, b, c, d};
    Brush fill(CreateSolidBrush(shades_.light3));
    FillRect(dc, &bar, fill.Get());
    if (c == a) return;

    // Lit from the top and left edges inward, shaded towards the bottom and right, with a
    // two-pixel shadow just right of the filled part.
    {
        SelectedObject pen(dc, light1_.Get());
        Line(dc, e, d - 4, c - 2, d - 4);
        Line(dc, e, b + 2, c - 2, b + 2);
        SetPixelV(dc, a + 1, d - 3, shades_.light1);
        SetPixelV(dc, a + 1, b + 1, shades_.light1);
    }
    {
        SelectedObject pen(dc, light2_.Get());
        Polyline4(dc, {e, d - 5}, {c - 3, d - 5}, {c - 3, b + 3}, {a + 1, b + 3});
        SetPixelV(dc, a + 1, d - 4, shades_.light2);
        SetPixelV(dc, a + 1, b + 2, shades_.light2);
    }
    {
        SelectedObject pen(dc, base_.Get());
        Polyline3(dc, {a, d - 1}, {a, b}, {e, b});
        SetPixelV(dc, a + 1, d - 2, shades_.base);
        Line(dc, e, d - 3, c - 2, d - 3);
        Line(dc, e, b + 1, c - 1, b + 1);
    }
    {
        SelectedObject pen(dc, dark1_.Get());
        Polyline3(dc, {e, d - 2}, {c - 2, d - 2}, {c - 2, b + 1});
        Line(dc, e, b, c, b);
        SetPixelV(dc, a + 1, d - 1, shades_.dark1);
    }
    {
        SelectedObject pen(dc, dark2_.Get());
        Polyline3(dc, {e, d - 1}, {c - 1, d - 1}, {c - 1, b});
    }
    {
        SelectedObject pen(dc, framePen_.Get());
        Line(dc, c, b, c, d);
    }
    {
        SelectedObject pen(dc, buttonShadowPen_.Get());
        Line(dc, c + 1, b, c + 1, d);
    }
}

}  // namespace lumetra
