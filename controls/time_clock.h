#pragma once
// A child window that shows and edits a time of day on an analogue face with hour and minute hands and
// on a digital strip above it (hours, colon, minutes, AM/PM, and an OK button). The user drags the
// hands, clicks or wheels the digital fields, wheels over the centre knob and confirms with OK.
// In length mode the AM/PM field is left out and the control is narrower: it edits a duration.
#include <windows.h>

#include <cstdint>

#include "controls/clock_geometry.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace lumetra {

// Sent to the clock's parent when the clock loses the focus; wParam is the window that gets it.
constexpr UINT kClockFocusLost = WM_APP + 0x320;

class TimeClockCtrl : public Window {
public:
    TimeClockCtrl();

    // Before Create only: length mode (no AM/PM field) or 12-hour mode.
    void SetMode(bool lengthMode);
    // Creates the child at `position` of the parent, which also receives the OK confirmation: a
    // posted WM_LBUTTONUP.
    bool Create(HWND parent, POINT position, int controlId, DWORD style = WS_CHILD | WS_VISIBLE);

    // Hour and minute of the time value's local time.
    void SetTime(int32_t time);
    // 2000-01-01 at the clock's time, local.
    int32_t GetTime() const { return ClockValueToTime(value_); }
    void SetHands(int hour, int minute);
    void SetFaceColour(COLORREF colour);
    void SetSmoothHourHand(bool on);

    const ClockValue& Value() const { return value_; }
    const ClockLayout& Layout() const { return layout_; }
    bool LengthMode() const { return lengthMode_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void SetValue(const ClockValue& v);
    void OnMouseMove(GeoPoint p, WPARAM keys);
    void OnLeftDown(GeoPoint p);
    void OnRightDown(GeoPoint p);
    void OnLeftUp(GeoPoint p);
    bool OnWheel(GeoPoint screen, int delta, WPARAM keys);
    void Paint();
    void PaintFace(HDC dc);
    void PaintHand(HDC dc, ClockHand hand);
    void PaintKnob(HDC dc);
    void PaintStrip(HDC dc);
    void PaintOk(HDC dc);
    ClockArea AreaAt(GeoPoint p) const;

    ClockValue value_;
    bool lengthMode_ = false;
    bool smoothHourHand_ = true;
    bool showHourHand_ = true, showMinuteHand_ = true, showTicks_ = true, smallTicks_ = true, bigTicks3d_ = true;
    COLORREF faceColour_;
    ClockLayout layout_;
    Font font_;
    HWND owner_ = nullptr;

    ClockArea hotArea_ = ClockArea::None;  // field, OK button or knob under the mouse
    ClockHand hotHand_ = ClockHand::None;
    bool wheelHourTarget_ = false;         // over the knob: the wheel turns the hour
    bool draggingHour_ = false, draggingMinute_ = false;
    bool leftDown_ = false, rightDown_ = false, okPressed_ = false;
    bool wheelPresent_;
};

}  // namespace lumetra
