#include "skin/skin_text.h"

#include <windowsx.h>

#include "skin/skin_image.h"

namespace lumetra {

void SkinText::Configure(const std::string& name, Bitmap background, HFONT font, COLORREF color) {
    name_ = name;
    background_ = std::move(background);
    if (font) font_.Reset(font);
    color_ = color;
}

int SkinText::MeasureWidth(const std::string& text) const {
    WindowDC dc(Handle());
    HGDIOBJ font = font_ ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT);
    SelectedObject select(dc.Get(), font);
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void SkinText::SetText(const std::string& text) {
    text_ = text;
    SetWindowTextA(Handle(), text.c_str());
    RECT client;
    GetClientRect(Handle(), &client);
    scroll_.SetText(MeasureWidth(text), client.right);
    if (scroll_.Scrolling()) {
        SetTimer(Handle(), kScrollTimer, kScrollMs, nullptr);
        display_ = text + " ... ";
        scroll_.SetDisplayWidth(MeasureWidth(display_));
    } else {
        KillTimer(Handle(), kScrollTimer);
        display_ = text;
    }
    Repaint();
}

void SkinText::Draw(const DRAWITEMSTRUCT& item) {
    int width = item.rcItem.right - item.rcItem.left;
    int height = item.rcItem.bottom - item.rcItem.top;
    if (width <= 0 || height <= 0) return;
    // Off-screen, then one copy: the text never flickers while it scrolls.
    MemoryDC canvas(item.hDC);
    Bitmap surface(CreateCompatibleBitmap(item.hDC, width, height));
    if (!canvas || !surface) return;
    SelectedObject selectSurface(canvas.Get(), surface.Get());
    if (background_) DrawBitmap(canvas.Get(), background_.Get(), 0, 0, width, height);
    else FillRect(canvas.Get(), &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));

    SetBkMode(canvas.Get(), TRANSPARENT);
    SetTextColor(canvas.Get(), color_);
    SelectedObject selectFont(canvas.Get(), font_ ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    scroll_.BeforePaint();
    int x = -scroll_.Offset();
    TextOutA(canvas.Get(), x, 0, display_.c_str(), static_cast<int>(display_.size()));
    if (scroll_.Scrolling())
        TextOutA(canvas.Get(), x + scroll_.DisplayWidth(), 0, display_.c_str(), static_cast<int>(display_.size()));
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, canvas.Get(), 0, 0, SRCCOPY);
}

LRESULT SkinText::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp == kScrollTimer) {
            if (scroll_.Tick()) Repaint();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(Handle());
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() == Handle()) ReleaseCapture();
        RECT client;
        GetClientRect(Handle(), &client);
        POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (!PtInRect(&client, at)) return 0;
        scroll_.Click();
        Repaint();
        host_.TextRelay(index_);
        return 0;
    }
    default:
        break;
    }
    return HoverButton::WndProc(msg, wp, lp);
}

}  // namespace lumetra
