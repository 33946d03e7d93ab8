#include "controls/time_clock.h"

#include <windowsx.h>

#include <cstdio>

namespace lumetra {
namespace {

const char kClockClass[] = "MFCTimeClkCtrl";
constexpr COLORREF kFaceBackground = 0xF4F4F4;
constexpr COLORREF kHourHand = 0x010000, kMinuteHand = 0x000001;
constexpr COLORREF kHourHandHot = 0xFF013F, kMinuteHandHot = 0xFF0140, kHandDragged = 0xFF0040;
constexpr COLORREF kFieldBack = 0x800000;  // navy

bool RegisterClockClass() {
    static bool registered = false;
    if (!registered) registered = RegisterWindowClass(kClockClass, CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return registered;
}

RECT ToRect(const GeoRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

POINT ToPoint(GeoPoint p) { return POINT{p.x, p.y}; }

int Notches(int delta) {
    int n = delta / WHEEL_DELTA;
    return n != 0 ? n : (delta > 0 ? 1 : -1);
}

}  // namespace

TimeClockCtrl::TimeClockCtrl()
    : faceColour_(GetSysColor(COLOR_BTNFACE)), wheelPresent_(GetSystemMetrics(SM_MOUSEWHEELPRESENT) != 0) {}

void TimeClockCtrl::SetMode(bool lengthMode) {
    if (!Handle()) lengthMode_ = lengthMode;
}

bool TimeClockCtrl::Create(HWND parent, POINT position, int controlId, DWORD style) {
    if (Handle() || !RegisterClockClass()) return false;
    font_ = Font(CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
    {
        WindowDC screen(nullptr);
        SelectedObject select(screen.Get(), font_.Get());
        SIZE digits{}, amPm{};
        GetTextExtentPoint32A(screen.Get(), " 00", 3, &digits);
        GetTextExtentPoint32A(screen.Get(), " AM ", 4, &amPm);
        layout_ = LayoutClock(lengthMode_, digits.cy, digits.cx, amPm.cx);
    }
    owner_ = parent;
    RECT rect{position.x, position.y, position.x + layout_.windowWidth, position.y + layout_.windowHeight};
    return CreateControl(kClockClass, 0, "Two", style | WS_CHILD, rect, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)));
}

void TimeClockCtrl::SetValue(const ClockValue& v) {
    if (v == value_) return;
    value_ = v;
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TimeClockCtrl::SetTime(int32_t time) { SetValue(ClockValueFromTime(time)); }

void TimeClockCtrl::SetHands(int hour, int minute) {
    ClockValue v = value_;
    v.hour = ((hour % 12) + 12) % 12;
    v.minute = ((minute % 60) + 60) % 60;
    SetValue(v);
}

void TimeClockCtrl::SetFaceColour(COLORREF colour) {
    if (colour == faceColour_) return;
    faceColour_ = colour;
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TimeClockCtrl::SetSmoothHourHand(bool on) {
    if (on == smoothHourHand_) return;
    smoothHourHand_ = on;
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

ClockArea TimeClockCtrl::AreaAt(GeoPoint p) const {
    if (wheelPresent_ && OnKnob(layout_, p)) return ClockArea::Knob;
    return StripAreaAt(layout_, p);
}

void TimeClockCtrl::OnMouseMove(GeoPoint p, WPARAM keys) {
    if ((draggingHour_ || draggingMinute_) && layout_.face.Contains(p)) {
        ClockValue v = value_;
        if (draggingHour_) v.hour = DragValue(p.x - layout_.cx, p.y - layout_.cy, 12);
        else v.minute = DragValue(p.x - layout_.cx, p.y - layout_.cy, 60);
        SetValue(v);
        return;
    }
    if (draggingHour_ || draggingMinute_) return;
    ClockArea area = AreaAt(p);
    ClockHand hand = area == ClockArea::None ? HandAt(layout_, value_, smoothHourHand_, p) : ClockHand::None;
    if (area == ClockArea::Knob) wheelHourTarget_ = (keys & (MK_SHIFT | MK_RBUTTON)) != 0;
    if (area != hotArea_ || hand != hotHand_) {
        hotArea_ = area;
        hotHand_ = hand;
        InvalidateRect(Handle(), nullptr, FALSE);
        // Hover ends when the mouse leaves the control.
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
    }
}

void TimeClockCtrl::OnLeftDown(GeoPoint p) {
    leftDown_ = true;
    SetCapture(Handle());
    switch (StripAreaAt(layout_, p)) {
    case ClockArea::Ok: okPressed_ = true; break;
    case ClockArea::AmPm: { ClockValue v = value_; v.pm = !v.pm; SetValue(v); break; }
    case ClockArea::Hour: SetValue(StepHour(value_, -1)); break;
    case ClockArea::Minute: SetValue(StepMinute(value_, -1)); break;
    default: {
        ClockHand hand = HandAt(layout_, value_, smoothHourHand_, p);
        draggingHour_ = hand == ClockHand::Hour;
        draggingMinute_ = hand == ClockHand::Minute;
        break;
    }
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TimeClockCtrl::OnRightDown(GeoPoint p) {
    rightDown_ = true;
    switch (StripAreaAt(layout_, p)) {
    case ClockArea::AmPm: { ClockValue v = value_; v.pm = !v.pm; SetValue(v); break; }
    case ClockArea::Hour: SetValue(StepHour(value_, 1)); break;
    case ClockArea::Minute: SetValue(StepMinute(value_, 1)); break;
    default:
        if (hotArea_ == ClockArea::Knob) wheelHourTarget_ = true;
        break;
    }
}

void TimeClockCtrl::OnLeftUp(GeoPoint p) {
    const bool confirm = okPressed_ && StripAreaAt(layout_, p) == ClockArea::Ok;
    leftDown_ = okPressed_ = draggingHour_ = draggingMinute_ = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    InvalidateRect(Handle(), nullptr, FALSE);
    if (confirm && owner_) PostMessageA(owner_, WM_LBUTTONUP, 0, 0);
}

bool TimeClockCtrl::OnWheel(GeoPoint screen, int delta, WPARAM keys) {
    POINT at{screen.x, screen.y};
    ScreenToClient(Handle(), &at);
    const GeoPoint p{at.x, at.y};
    const int notches = Notches(delta);
    switch (AreaAt(p)) {
    case ClockArea::AmPm: { ClockValue v = value_; v.pm = !v.pm; SetValue(v); return true; }
    case ClockArea::Hour: SetValue(StepHour(value_, notches)); return true;
    case ClockArea::Minute: SetValue(StepMinute(value_, notches)); return true;
    case ClockArea::Knob: {
        const bool hourTarget = (keys & (MK_SHIFT | MK_RBUTTON)) != 0 || wheelHourTarget_;
        SetValue(KnobWheel(value_, notches, hourTarget, (keys & MK_CONTROL) != 0));
        return true;
    }
    default:
        return false;
    }
}

void TimeClockCtrl::PaintFace(HDC dc) {
    RECT strip = ToRect(layout_.strip), face = ToRect(layout_.face);
    FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    Brush faceBrush(CreateSolidBrush(kFaceBackground));
    FillRect(dc, &face, faceBrush.Get());
    if (!showTicks_) return;
    Brush tickBrush(CreateSolidBrush(RGB(0, 0, 0)));
    for (int p = 0; p < 60; ++p) {
        GeoPoint at = ClockPoint(layout_, p, 0.9);
        if (p % 5 == 0) {
            const int reach = layout_.tickSize / 2 + 1;
            RECT tick{at.x - reach, at.y - reach, at.x + reach, at.y + reach};
            if (bigTicks3d_) {
                FillRect(dc, &tick, GetSysColorBrush(COLOR_BTNFACE));
                DrawEdge(dc, &tick, EDGE_RAISED, BF_RECT);
            } else {
                FillRect(dc, &tick, tickBrush.Get());
            }
        } else if (smallTicks_) {
            RECT tick{at.x - 1, at.y - 1, at.x + 1, at.y + 1};
            DrawEdge(dc, &tick, BDR_RAISEDINNER, BF_RECT);
        }
    }
}

void TimeClockCtrl::PaintHand(HDC dc, ClockHand hand) {
    const bool hour = hand == ClockHand::Hour;
    const int position = hour ? HourHandPosition(value_.hour, value_.minute, smoothHourHand_) : value_.minute;
    auto outline = HandPolygon(layout_, position, hour ? kHourHandLength : kMinuteHandLength,
                               hour ? kHourHandWidth : kMinuteHandWidth);
    COLORREF colour = hour ? kHourHand : kMinuteHand;
    if ((hour && draggingHour_) || (!hour && draggingMinute_)) colour = kHandDragged;
    else if (hotHand_ == hand) colour = hour ? kHourHandHot : kMinuteHandHot;
    POINT points[4] = {ToPoint(outline[0]), ToPoint(outline[1]), ToPoint(outline[2]), ToPoint(outline[3])};
    Brush brush(CreateSolidBrush(colour));
    Pen pen(CreatePen(PS_SOLID, 1, colour));
    {
        SelectedObject selectPen(dc, pen.Get());
        SelectedObject selectBrush(dc, brush.Get());
        Polygon(dc, points, 4);
    }
}

void TimeClockCtrl::PaintKnob(HDC dc) {
    const int r = layout_.knobRadius, cx = layout_.cx, cy = layout_.cy;
    Brush face(CreateSolidBrush(faceColour_));
    Pen light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHILIGHT)));
    Pen shadow(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW)));
    Pen dark(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW)));
    {
        SelectedObject selectBrush(dc, face.Get());
        SelectedObject selectPen(dc, dark.Get());
        Ellipse(dc, cx - r, cy - r, cx + r + 1, cy + r + 1);
    }
    // Two-step rim: light on the upper left, shadow on the lower right.
    {
        SelectedObject selectPen(dc, light.Get());
        Arc(dc, cx - r + 1, cy - r + 1, cx + r, cy + r, cx + r, cy - r, cx - r, cy + r);
    }
    {
        SelectedObject selectPen(dc, shadow.Get());
        Arc(dc, cx - r + 1, cy - r + 1, cx + r, cy + r, cx - r, cy + r, cx + r, cy - r);
    }
}

void TimeClockCtrl::PaintStrip(HDC dc) {
    SelectedObject selectFont(dc, font_.Get());
    SetBkMode(dc, OPAQUE);
    auto field = [&](const GeoRect& area, const char* text, ClockArea which) {
        if (area.Empty()) return;
        const bool hot = hotArea_ == which && which != ClockArea::None;
        SetTextColor(dc, hot ? RGB(0, 0, 0) : RGB(255, 255, 255));
        SetBkColor(dc, hot ? GetSysColor(COLOR_BTNFACE) : kFieldBack);
        RECT r = ToRect(area);
        ExtTextOutA(dc, r.left, r.top, ETO_OPAQUE | ETO_CLIPPED, &r, nullptr, 0, nullptr);
        DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    };
    char hour[8], minute[8];
    const int shownHour = !lengthMode_ && value_.hour == 0 ? 12 : value_.hour;
    std::snprintf(hour, sizeof hour, " %02d ", shownHour);
    std::snprintf(minute, sizeof minute, " %02d ", value_.minute);
    field(layout_.hour, hour, ClockArea::Hour);
    field(layout_.colon, ":", ClockArea::None);
    field(layout_.minute, minute, ClockArea::Minute);
    if (!lengthMode_) field(layout_.amPm, value_.pm ? " PM " : " AM ", ClockArea::AmPm);
}

void TimeClockCtrl::PaintOk(HDC dc) {
    RECT r = ToRect(layout_.ok);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, okPressed_ ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const int shift = okPressed_ ? 1 : 0;
    const int left = r.left + (r.right - r.left) / 4 + shift, middle = (r.top + r.bottom) / 2 + shift;
    POINT tick[3] = {{left, middle}, {left + 3, middle + 3}, {left + 9, middle - 4}};
    for (COLORREF colour : {RGB(0, 0, 0), RGB(0, 255, 0)}) {
        Pen pen(CreatePen(PS_SOLID, 2, colour));
        {
            SelectedObject select(dc, pen.Get());
            Polyline(dc, tick, 3);
        }
        for (POINT& p : tick) p.y -= 1;  // the green stroke just above the black one
    }
}

void TimeClockCtrl::Paint() {
    PaintScope paint(Handle());
    RECT client;
    GetClientRect(Handle(), &client);
    // Drawn off screen and copied in one go: no flicker while a hand is dragged.
    MemoryDC memory(paint.Get());
    Bitmap bitmap(CreateCompatibleBitmap(paint.Get(), client.right, client.bottom));
    if (!memory || !bitmap) return;
    SelectedObject selectBitmap(memory.Get(), bitmap.Get());
    PaintFace(memory.Get());
    if (showHourHand_) PaintHand(memory.Get(), ClockHand::Hour);
    if (showMinuteHand_) PaintHand(memory.Get(), ClockHand::Minute);
    PaintKnob(memory.Get());
    PaintStrip(memory.Get());
    PaintOk(memory.Get());
    BitBlt(paint.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

LRESULT TimeClockCtrl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    const GeoPoint at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        OnMouseMove(at, wp);
        return 0;
    case WM_MOUSELEAVE:
        if (hotArea_ != ClockArea::None || hotHand_ != ClockHand::None) {
            hotArea_ = ClockArea::None;
            hotHand_ = ClockHand::None;
            InvalidateRect(Handle(), nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(Handle());
        OnLeftDown(at);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        OnRightDown(at);
        return 0;
    case WM_LBUTTONUP:
        OnLeftUp(at);
        return 0;
    case WM_RBUTTONUP:
        rightDown_ = false;
        wheelHourTarget_ = false;
        return 0;
    case WM_MOUSEWHEEL:
        if (OnWheel(at, GET_WHEEL_DELTA_WPARAM(wp), GET_KEYSTATE_WPARAM(wp))) return 0;
        break;  // elsewhere the wheel goes on to the parent
    case WM_KEYDOWN:
        if (wp == VK_SHIFT && hotArea_ == ClockArea::Knob) wheelHourTarget_ = true;
        // Return and Escape belong to the window the clock sits in (the time pop-up commits or cancels).
        if ((wp == VK_RETURN || wp == VK_ESCAPE) && GetParent(Handle()))
            return SendMessageA(GetParent(Handle()), msg, wp, lp);
        return 0;
    case WM_KEYUP:
        if (wp == VK_SHIFT) wheelHourTarget_ = false;
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KILLFOCUS:
        if (GetParent(Handle())) SendMessageA(GetParent(Handle()), kClockFocusLost, wp, 0);
        break;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        if (msg == WM_CANCELMODE || reinterpret_cast<HWND>(lp) != Handle()) {
            leftDown_ = okPressed_ = draggingHour_ = draggingMinute_ = false;
            InvalidateRect(Handle(), nullptr, FALSE);
        }
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace lumetra
