#include "controls/clock_geometry.h"

#include <cmath>
#include <ctime>

#include "app/format.h"

namespace lumetra {
namespace {

constexpr double kPi = 3.14159;

int Wrap(int value, int n) {
    value %= n;
    return value < 0 ? value + n : value;
}

int RoundToInt(double v) { return static_cast<int>(std::floor(v + 0.5)); }

}  // namespace

ClockLayout LayoutClock(bool lengthMode, int textHeight, int digitsWidth, int amPmWidth) {
    ClockLayout l;
    const int w = lengthMode ? kClockWidthLength : kClockWidth12Hour;
    l.size = w;
    l.windowWidth = w - 1;
    l.windowHeight = w + kClockStripHeight;
    l.strip = GeoRect{0, 0, l.windowWidth, kClockStripHeight};
    l.face = GeoRect{0, kClockStripHeight, l.windowWidth, l.windowHeight};
    l.cx = l.face.Width() / 2;
    l.cy = l.face.top + l.face.Height() / 2;
    l.radius = l.cx;
    l.tickSize = l.radius / 20 < 2 ? 2 : l.radius / 20;
    l.knobRadius = l.radius / 10 < 5 ? 5 : l.radius / 10;

    const int top = (30 - textHeight) / 2, bottom = top + textHeight;
    const int a = digitsWidth;
    l.ok = GeoRect{10 + 1, top + 1, 10 + a - 1, bottom - 1};
    const int amPmRight = w - 10;
    l.amPm = lengthMode ? GeoRect{amPmRight, top, amPmRight, bottom}
                        : GeoRect{amPmRight - (amPmWidth + 1), top, amPmRight, bottom};
    l.minute = GeoRect{l.amPm.left - 1 - (a + 1), top, l.amPm.left - 1, bottom};
    l.colon = GeoRect{l.minute.left - 1 - 2, top, l.minute.left - 1, bottom};
    l.hour = GeoRect{l.colon.left - 1 - (a + 1), top, l.colon.left - 1, bottom};
    return l;
}

GeoPoint ClockPoint(const ClockLayout& l, int position, double factor) {
    double angle = (position - 15) * kPi / 30.0;
    return GeoPoint{RoundToInt(std::cos(angle) * l.radius * factor) + l.cx,
                    RoundToInt(std::sin(angle) * l.radius * factor) + l.cy};
}

std::array<GeoPoint, 4> HandPolygon(const ClockLayout& l, int position, double length, double width) {
    return {ClockPoint(l, position, length), ClockPoint(l, position + 15, width), ClockPoint(l, position + 30, 0.1),
            ClockPoint(l, position - 15, width)};
}

int HourHandPosition(int hour, int minute, bool smooth) {
    return hour * 5 + (smooth ? minute / 12 : 0);
}

bool InQuadrilateral(const std::array<GeoPoint, 4>& q, GeoPoint p) {
    // On an edge counts as inside; otherwise the crossing rule.
    bool inside = false;
    for (size_t i = 0, j = q.size() - 1; i < q.size(); j = i++) {
        const GeoPoint a = q[i], b = q[j];
        long cross = static_cast<long>(b.x - a.x) * (p.y - a.y) - static_cast<long>(b.y - a.y) * (p.x - a.x);
        bool between = (p.x >= (a.x < b.x ? a.x : b.x)) && (p.x <= (a.x < b.x ? b.x : a.x)) &&
                       (p.y >= (a.y < b.y ? a.y : b.y)) && (p.y <= (a.y < b.y ? b.y : a.y));
        if (cross == 0 && between) return true;
        if ((a.y > p.y) != (b.y > p.y)) {
            double x = a.x + static_cast<double>(p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (p.x < x) inside = !inside;
        }
    }
    return inside;
}

ClockHand HandAt(const ClockLayout& l, const ClockValue& v, bool smoothHourHand, GeoPoint p) {
    if (InQuadrilateral(HandPolygon(l, v.minute, kMinuteHandLength, kMinuteHandWidth), p)) return ClockHand::Minute;
    if (InQuadrilateral(HandPolygon(l, HourHandPosition(v.hour, v.minute, smoothHourHand), kHourHandLength,
                                    kHourHandWidth),
                        p))
        return ClockHand::Hour;
    return ClockHand::None;
}

int DragValue(int dx, int dy, int steps) {
    double degrees;
    if (dx == 0) {
        degrees = dy >= 0 ? 180.0 : 0.0;
    } else {
        degrees = 90.0 - std::atan(static_cast<double>(-dy) / dx) * 180.0 / kPi;
        if (dx < 0) degrees += 180.0;
    }
    return Wrap(RoundToInt(degrees * steps / 360.0), steps);
}

bool OnKnob(const ClockLayout& l, GeoPoint p) {
    long dx = p.x - l.cx, dy = p.y - l.cy;
    return dx * dx + dy * dy <= static_cast<long>(l.knobRadius) * l.knobRadius;
}

ClockArea StripAreaAt(const ClockLayout& l, GeoPoint p) {
    if (!l.amPm.Empty() && l.amPm.Contains(p)) return ClockArea::AmPm;
    if (l.hour.Contains(p)) return ClockArea::Hour;
    if (l.minute.Contains(p)) return ClockArea::Minute;
    if (l.ok.Contains(p)) return ClockArea::Ok;
    return ClockArea::None;
}

ClockValue StepHour(ClockValue v, int delta) {
    v.hour = Wrap(v.hour + delta, 12);
    return v;
}

ClockValue StepMinute(ClockValue v, int delta) {
    v.minute = Wrap(v.minute + delta, 60);
    return v;
}

ClockValue KnobWheel(ClockValue v, int notches, bool hourTarget, bool control) {
    if (hourTarget) return StepHour(v, notches);
    if (control) return StepMinute(v, notches);
    v.minute = Wrap((v.minute + 2) / 5 * 5, 60);
    return StepMinute(v, 5 * notches);
}

ClockValue ClockValueFromTime(int32_t time) {
    const std::tm parts = LocalParts(time);
    ClockValue v;
    v.pm = parts.tm_hour >= 12;
    v.hour = v.pm ? parts.tm_hour - 12 : parts.tm_hour;
    v.minute = parts.tm_min;
    return v;
}

int32_t TimeOnReferenceDay(int hour, int minute) {
    std::tm parts{};
    parts.tm_year = 100;
    parts.tm_mon = 0;
    parts.tm_mday = 1;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_isdst = -1;  // the platform decides daylight saving
    return static_cast<int32_t>(std::mktime(&parts));
}

int32_t ClockValueToTime(const ClockValue& v) {
    return TimeOnReferenceDay(v.hour + (v.pm ? 12 : 0), v.minute);
}

}  // namespace lumetra
