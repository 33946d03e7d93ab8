#pragma once
// The time clock without the platform: its layout, the points of the face, the hands, where the
// mouse is, and what dragging, clicking and wheeling do to the time.
#include <array>
#include <cstdint>

#include "controls/geometry.h"

namespace lumetra {

constexpr int kClockWidth12Hour = 121;
constexpr int kClockWidthLength = 89;
constexpr int kClockStripHeight = 29;

struct ClockLayout {
    int size = kClockWidth12Hour;  // w: 121 in 12-hour mode, 89 in length mode
    int windowWidth = 0, windowHeight = 0;
    GeoRect strip, face;
    int cx = 0, cy = 0, radius = 0, tickSize = 0, knobRadius = 0;
    GeoRect ok, hour, colon, minute, amPm;  // amPm is empty in length mode
};

// textHeight and digitsWidth: height and width of " 00"; amPmWidth: width of " AM ".
ClockLayout LayoutClock(bool lengthMode, int textHeight, int digitsWidth, int amPmWidth);

// The point at clock position p (0..59, 0 at twelve o'clock, clockwise) and a factor of the radius.
GeoPoint ClockPoint(const ClockLayout& l, int position, double factor);

constexpr double kHourHandLength = 0.55, kMinuteHandLength = 0.8;
constexpr double kHourHandWidth = 0.08, kMinuteHandWidth = 0.07;
// Tip, one side, tail, other side.
std::array<GeoPoint, 4> HandPolygon(const ClockLayout& l, int position, double length, double width);
int HourHandPosition(int hour, int minute, bool smooth);

// Whether a point lies inside or on the edge of a convex or concave quadrilateral.
bool InQuadrilateral(const std::array<GeoPoint, 4>& q, GeoPoint p);

// The value a hand dragged to the offset (dx, dy) from the centre points at: 0..n-1 for n steps
// round the face (12 for the hour hand, 60 for the minute hand).
int DragValue(int dx, int dy, int steps);
bool OnKnob(const ClockLayout& l, GeoPoint p);

// The areas of the strip and the face the mouse can be over.
enum class ClockArea { None, AmPm, Hour, Minute, Ok, Knob };
ClockArea StripAreaAt(const ClockLayout& l, GeoPoint p);

// The time the clock shows: hour 0..11, minute 0..59 and the afternoon flag.
struct ClockValue {
    int hour = 0;
    int minute = 0;
    bool pm = false;
    bool operator==(const ClockValue& o) const { return hour == o.hour && minute == o.minute && pm == o.pm; }
};

// The hand under a point (the minute hand lies on top of the hour hand), from the hands' outlines.
enum class ClockHand { None, Hour, Minute };
ClockHand HandAt(const ClockLayout& l, const ClockValue& v, bool smoothHourHand, GeoPoint p);

// Steps the hour (mod 12) or the minute (mod 60) by delta.
ClockValue StepHour(ClockValue v, int delta);
ClockValue StepMinute(ClockValue v, int delta);
// The wheel over the centre knob: the hour with Shift or the right button, the minute by one with
// Ctrl, otherwise the minute rounded to five and stepped by five; notches > 0 turn forwards.
ClockValue KnobWheel(ClockValue v, int notches, bool hourTarget, bool control);

// Hour and minute of a time value's local time, as the clock shows them.
ClockValue ClockValueFromTime(int32_t time);
// The time value of 2000-01-01 at the clock's time (hour + 12 in the afternoon), local time.
int32_t ClockValueToTime(const ClockValue& v);
// 2000-01-01 at hour (0..23) and minute, local time; the day the clock's times are given on.
int32_t TimeOnReferenceDay(int hour, int minute);

}  // namespace lumetra
