#include "skin/skin_progress.h"

#include <windowsx.h>

#include "skin/skin_image.h"

namespace lumetra {

void SkinProgress::Configure(const std::string& name, bool horizontal) {
    name_ = name;
    horizontal_ = horizontal;
}

void SkinProgress::SetPictures(Bitmap background, Bitmap fill) {
    background_ = std::move(background);
    fill_ = std::move(fill);
}

void SkinProgress::SetValue(int value) {
    if (dragging_ || value == value_) return;
    value_ = ClampProgressValue(value);
    Repaint();
}

int SkinProgress::ValueAt(LPARAM lp) const {
    RECT client;
    GetClientRect(Handle(), &client);
    return ProgressValueFromPoint(horizontal_, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), client.right, client.bottom);
}

void SkinProgress::Draw(const DRAWITEMSTRUCT& item) {
    int width = item.rcItem.right - item.rcItem.left;
    int height = item.rcItem.bottom - item.rcItem.top;
    if (background_) DrawBitmap(item.hDC, background_.Get(), 0, 0, width, height);
    else FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    SkinRect fill = ProgressFillRect(horizontal_, value_, width, height);
    if (fill.Width() <= 0 || fill.Height() <= 0) return;
    if (fill_) {
        DrawBitmap(item.hDC, fill_.Get(), fill.left, fill.top, fill.Width(), fill.Height());
    } else {
        RECT r{fill.left, fill.top, fill.right, fill.bottom};
        FillRect(item.hDC, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
}

LRESULT SkinProgress::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        value_ = ValueAt(lp);
        dragging_ = true;
        SetCapture(Handle());
        Repaint();
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) {
            value_ = ValueAt(lp);
            Repaint();
            host_.ProgressPositionHook(name_, value_);
            return 0;
        }
        host_.HoverHook(name_, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, static_cast<UINT>(wp));
        break;  // hover tracking and tooltip in the base
    case WM_LBUTTONUP:
        if (!dragging_) return 0;
        dragging_ = false;
        if (GetCapture() == Handle()) ReleaseCapture();
        host_.ProgressReleaseHook(name_);
        host_.ProgressPositionHook(name_, value_);
        return 0;
    case WM_CAPTURECHANGED:
        if (dragging_ && reinterpret_cast<HWND>(lp) != Handle()) {
            dragging_ = false;
            host_.ProgressReleaseHook(name_);
        }
        break;
    default:
        break;
    }
    return HoverButton::WndProc(msg, wp, lp);
}

}  // namespace lumetra
