// The time clock driven with the mouse: hands dragged, fields clicked and wheeled, OK released.
#include "controls/time_clock.h"

#include <gtest/gtest.h>

#include <ctime>

#include "tests/ui/ui_support.h"

namespace lumetra {
namespace {

using ui::RecordingParent;

int32_t LocalTime(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return static_cast<int32_t>(std::mktime(&t));
}

class TimeClock : public ::testing::Test {
protected:
    void Make(bool lengthMode) {
        parent_.Watch(WM_LBUTTONUP);
        clock_.SetMode(lengthMode);
        ASSERT_TRUE(clock_.Create(parent_.Handle(), POINT{30, 30}, 1002));
        UpdateWindow(clock_.Handle());
    }
    POINT At(const GeoRect& r) const { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    // A point on the face at a clock position and a share of the radius.
    POINT Face(int position, double factor) const {
        GeoPoint p = ClockPoint(clock_.Layout(), position, factor);
        return POINT{p.x, p.y};
    }
    void Drag(POINT from, POINT to) {
        HWND h = clock_.Handle();
        ui::MoveCursorTo(h, from);
        SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        POINT middle{(from.x + to.x) / 2, (from.y + to.y) / 2};
        SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
        SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }

    RecordingParent parent_;
    TimeClockCtrl clock_;
};

TEST_F(TimeClock, TwelveHourModeReadsAndGivesTimesOnTheReferenceDay) {
    Make(false);
    EXPECT_EQ(clock_.Layout().windowWidth, 120);
    RECT r;
    GetWindowRect(clock_.Handle(), &r);
    EXPECT_EQ(r.right - r.left, 120);
    EXPECT_EQ(r.bottom - r.top, 150);
    char cls[32] = {}, text[8] = {};
    GetClassNameA(clock_.Handle(), cls, sizeof cls);
    GetWindowTextA(clock_.Handle(), text, sizeof text);
    EXPECT_STREQ(cls, "MFCTimeClkCtrl");
    EXPECT_STREQ(text, "Two");
    clock_.SetTime(LocalTime(2004, 3, 5, 0, 30));
    EXPECT_EQ(clock_.Value(), (ClockValue{0, 30, false}));
    EXPECT_EQ(clock_.GetTime(), LocalTime(2000, 1, 1, 0, 30));
    clock_.SetTime(LocalTime(2004, 3, 5, 17, 45));
    EXPECT_EQ(clock_.GetTime(), LocalTime(2000, 1, 1, 17, 45));
    clock_.SetMode(true);  // ignored once the window exists
    EXPECT_FALSE(clock_.LengthMode());
}

TEST_F(TimeClock, LengthModeHasNoAmPmField) {
    Make(true);
    RECT r;
    GetWindowRect(clock_.Handle(), &r);
    EXPECT_EQ(r.right - r.left, 88);
    clock_.SetTime(LocalTime(2000, 1, 1, 0, 30));
    EXPECT_EQ(clock_.GetTime(), LocalTime(2000, 1, 1, 0, 30));
    // Where the AM/PM field would be, a click changes nothing.
    const ClockValue before = clock_.Value();
    ui::Click(clock_.Handle(), POINT{clock_.Layout().minute.right + 4, 14});
    EXPECT_EQ(clock_.Value(), before);
}

TEST_F(TimeClock, DraggingTheHandsSetsTheTime) {
    Make(false);
    clock_.SetHands(0, 0);
    // Both hands point at twelve; beyond the hour hand's tip only the minute hand is hit.
    Drag(Face(0, 0.7), Face(15, 0.7));
    EXPECT_EQ(clock_.Value().minute, 15);
    EXPECT_EQ(clock_.Value().hour, 0);
    // The smooth hour hand has moved on to position 1 at 0:15: drag it to six o'clock.
    Drag(Face(HourHandPosition(0, 15, true), 0.3), Face(30, 0.5));
    EXPECT_EQ(clock_.Value().hour, 6);
    EXPECT_EQ(clock_.Value().minute, 15);
    // A press on the face away from the hands drags nothing.
    Drag(Face(40, 0.5), Face(20, 0.5));
    EXPECT_EQ(clock_.Value(), (ClockValue{6, 15, false}));
}

TEST_F(TimeClock, ClickingTheFieldsStepsThem) {
    Make(false);
    clock_.SetHands(0, 59);
    const ClockLayout& l = clock_.Layout();
    ui::Click(clock_.Handle(), At(l.hour));
    EXPECT_EQ(clock_.Value().hour, 11);  // left click steps down, 0 wraps to 11
    ui::RightClick(clock_.Handle(), At(l.minute));
    EXPECT_EQ(clock_.Value().minute, 0);  // right click steps up, 59 wraps to 0
    EXPECT_EQ(clock_.Value().hour, 11);   // and carries nothing
    ui::Click(clock_.Handle(), At(l.amPm));
    EXPECT_TRUE(clock_.Value().pm);
    ui::RightClick(clock_.Handle(), At(l.amPm));
    EXPECT_FALSE(clock_.Value().pm);
}

TEST_F(TimeClock, TheWheelTurnsFieldsAndTheKnob) {
    Make(false);
    clock_.SetHands(0, 0);
    const ClockLayout& l = clock_.Layout();
    ui::Wheel(clock_.Handle(), At(l.minute), -WHEEL_DELTA);
    EXPECT_EQ(clock_.Value().minute, 59);
    ui::Wheel(clock_.Handle(), At(l.hour), 2 * WHEEL_DELTA);
    EXPECT_EQ(clock_.Value().hour, 2);
    clock_.SetHands(2, 7);
    const POINT knob{l.cx, l.cy};
    SendMessageA(clock_.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(knob.x, knob.y));
    ui::Wheel(clock_.Handle(), knob, WHEEL_DELTA);
    EXPECT_EQ(clock_.Value().minute, 10);  // rounded to five, then one step of five
    ui::Wheel(clock_.Handle(), knob, WHEEL_DELTA, MK_SHIFT);
    EXPECT_EQ(clock_.Value().hour, 3);
    ui::Wheel(clock_.Handle(), knob, -WHEEL_DELTA, MK_CONTROL);
    EXPECT_EQ(clock_.Value().minute, 9);
}

TEST_F(TimeClock, ReleasingOnOkConfirmsToTheOwner) {
    Make(false);
    const POINT ok = At(clock_.Layout().ok);
    HWND h = clock_.Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ok.x, ok.y));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(ok.x, ok.y));
    ui::Pump(50);
    EXPECT_EQ(parent_.Of(WM_LBUTTONUP).size(), 1u);
    // Pressed on OK, released after moving off it: nothing is confirmed.
    parent_.Clear();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ok.x, ok.y));
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ok.x + 60, ok.y + 60));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(ok.x + 60, ok.y + 60));
    ui::Pump(50);
    EXPECT_TRUE(parent_.Of(WM_LBUTTONUP).empty());
}

}  // namespace
}  // namespace lumetra
