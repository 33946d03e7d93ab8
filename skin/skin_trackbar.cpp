#include "skin/skin_trackbar.h"

#include <commctrl.h>
#include <windowsx.h>

#include "skin/element_logic.h"
#include "skin/skin_image.h"

namespace lumetra {
namespace {
constexpr int kTrackCodeDrag = 4;
constexpr int kTrackCodeEnd = 8;
}  // namespace

bool SkinTrackbar::CreateTrackbar(HWND parent, const RECT& rect, bool horizontal) {
    horizontal_ = horizontal;
    DWORD style = WS_CHILD | WS_VISIBLE | TBS_NOTICKS | (horizontal ? TBS_HORZ : TBS_VERT);
    return CreateControl(TRACKBAR_CLASSA, 0, "", style, rect, parent);
}

void SkinTrackbar::SetPictures(Bitmap background, HBITMAP thumb, HBITMAP thumbOver, int thumbWidth, int thumbHeight) {
    background_ = std::move(background);
    thumb_ = thumb;
    thumbOver_ = thumbOver;
    thumbWidth_ = thumbWidth;
    thumbHeight_ = thumbHeight;
}

void SkinTrackbar::SetPosition(int position) {
    SendMessageA(Handle(), TBM_SETPOS, TRUE, position);
    InvalidateRect(Handle(), nullptr, FALSE);
}

int SkinTrackbar::Position() const {
    return static_cast<int>(SendMessageA(Handle(), TBM_GETPOS, 0, 0));
}

void SkinTrackbar::SetRangeMax(int maximum) {
    SendMessageA(Handle(), TBM_SETRANGEMIN, FALSE, 0);
    SendMessageA(Handle(), TBM_SETRANGEMAX, FALSE, maximum);
}

RECT SkinTrackbar::ThumbRect() const {
    RECT platform{};
    SendMessageA(Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&platform));
    SkinRect r = ThumbPictureRect(horizontal_, {platform.left, platform.top, platform.right, platform.bottom},
                                  thumbWidth_, thumbHeight_);
    return RECT{r.left, r.top, r.right, r.bottom};
}

void SkinTrackbar::Paint() {
    PaintScope paint(Handle());
    RECT client;
    GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    MemoryDC canvas(paint.Get());
    Bitmap surface(CreateCompatibleBitmap(paint.Get(), client.right, client.bottom));
    if (!canvas || !surface) return;
    SelectedObject select(canvas.Get(), surface.Get());
    if (background_) DrawBitmap(canvas.Get(), background_.Get(), 0, 0, client.right, client.bottom);
    else FillRect(canvas.Get(), &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT thumb = ThumbRect();
    HBITMAP picture = thumbPressed_ && thumbOver_ ? thumbOver_ : thumb_;
    if (picture) DrawBitmap(canvas.Get(), picture, thumb.left, thumb.top, thumbWidth_, thumbHeight_);
    BitBlt(paint.Get(), 0, 0, client.right, client.bottom, canvas.Get(), 0, 0, SRCCOPY);
}

LRESULT SkinTrackbar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN: {
        RECT thumb = ThumbRect();
        POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        thumbPressed_ = PtInRect(&thumb, at) != FALSE;
        dragging_ = true;
        break;
    }
    case WM_MOUSEMOVE:
        if (thumbPressed_) InvalidateRect(Handle(), nullptr, FALSE);
        if (dragging_) {
            LRESULT result = Window::WndProc(msg, wp, lp);
            host_.TrackbarRelay(index_, kTrackCodeDrag, Position());
            return result;
        }
        host_.HoverHook(name_, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, static_cast<UINT>(wp));
        break;
    case WM_LBUTTONUP: {
        thumbPressed_ = false;
        dragging_ = false;
        LRESULT result = Window::WndProc(msg, wp, lp);
        InvalidateRect(Handle(), nullptr, FALSE);
        host_.TrackbarRelay(index_, kTrackCodeEnd, Position());
        return result;
    }
    case WM_CAPTURECHANGED:
        if (thumbPressed_) {
            thumbPressed_ = false;
            InvalidateRect(Handle(), nullptr, FALSE);
        }
        dragging_ = false;
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace lumetra
