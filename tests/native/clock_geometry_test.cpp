#include "controls/clock_geometry.h"

#include <gtest/gtest.h>

#include "tests/native/local_zone.h"

namespace lumetra {
namespace {

// " 00" 21 x 13 pixels, " AM " 27 pixels wide.
ClockLayout TwelveHour() { return LayoutClock(false, 13, 21, 27); }
ClockLayout Length() { return LayoutClock(true, 13, 21, 27); }

TEST(ClockLayout, SizesOfBothModes) {
    ClockLayout a = TwelveHour();
    EXPECT_EQ(a.windowWidth, 120);
    EXPECT_EQ(a.windowHeight, 150);
    EXPECT_EQ(a.face, (GeoRect{0, 29, 120, 150}));
    EXPECT_EQ(a.cx, 60);
    EXPECT_EQ(a.cy, 89);
    EXPECT_EQ(a.radius, 60);
    EXPECT_EQ(a.tickSize, 3);
    EXPECT_EQ(a.knobRadius, 6);
    ClockLayout b = Length();
    EXPECT_EQ(b.windowWidth, 88);
    EXPECT_EQ(b.windowHeight, 118);
    EXPECT_EQ(b.radius, 44);
    EXPECT_EQ(b.tickSize, 2);  // 44 / 20 rounds down to 2
    EXPECT_EQ(b.knobRadius, 5);  // never below 5
}

TEST(ClockLayout, StripFieldsFromTheRight) {
    ClockLayout a = TwelveHour();
    const int top = (30 - 13) / 2;
    EXPECT_EQ(a.amPm, (GeoRect{121 - 10 - 28, top, 111, top + 13}));
    EXPECT_EQ(a.minute, (GeoRect{a.amPm.left - 1 - 22, top, a.amPm.left - 1, top + 13}));
    EXPECT_EQ(a.colon.right, a.minute.left - 1);
    EXPECT_EQ(a.colon.Width(), 2);
    EXPECT_EQ(a.hour.right, a.colon.left - 1);
    EXPECT_EQ(a.hour.Width(), 22);
    EXPECT_EQ(a.ok, (GeoRect{11, top + 1, 30, top + 12}));
    ClockLayout b = Length();
    EXPECT_TRUE(b.amPm.Empty());
    EXPECT_EQ(b.minute.right, 89 - 10 - 1);
}

TEST(ClockLayout, AreasUnderTheMouse) {
    ClockLayout a = TwelveHour();
    auto centre = [](const GeoRect& r) { return GeoPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    EXPECT_EQ(StripAreaAt(a, centre(a.amPm)), ClockArea::AmPm);
    EXPECT_EQ(StripAreaAt(a, centre(a.hour)), ClockArea::Hour);
    EXPECT_EQ(StripAreaAt(a, centre(a.minute)), ClockArea::Minute);
    EXPECT_EQ(StripAreaAt(a, centre(a.ok)), ClockArea::Ok);
    EXPECT_EQ(StripAreaAt(a, centre(a.colon)), ClockArea::None);
    EXPECT_EQ(StripAreaAt(a, GeoPoint{a.cx, a.cy}), ClockArea::None);
    EXPECT_TRUE(OnKnob(a, GeoPoint{a.cx + 6, a.cy}));
    EXPECT_FALSE(OnKnob(a, GeoPoint{a.cx + 5, a.cy + 5}));  // 7.07 pixels away
    ClockLayout b = Length();
    EXPECT_EQ(StripAreaAt(b, GeoPoint{b.amPm.left, b.amPm.top + 2}), ClockArea::None);
}

TEST(ClockFace, PositionsRunClockwiseFromTwelve) {
    ClockLayout a = TwelveHour();
    EXPECT_EQ(ClockPoint(a, 0, 1.0), (GeoPoint{60, 29}));
    EXPECT_EQ(ClockPoint(a, 15, 1.0), (GeoPoint{120, 89}));
    EXPECT_EQ(ClockPoint(a, 30, 0.5), (GeoPoint{60, 119}));
    EXPECT_EQ(ClockPoint(a, 45, 1.0), (GeoPoint{0, 89}));
}

TEST(ClockFace, HandsAreQuadrilateralsFromTipToTail) {
    ClockLayout a = TwelveHour();
    auto minute = HandPolygon(a, 15, kMinuteHandLength, kMinuteHandWidth);
    EXPECT_EQ(minute[0], (GeoPoint{60 + 48, 89}));  // tip at 0.8 r towards three o'clock
    EXPECT_EQ(minute[2], (GeoPoint{60 - 6, 89}));   // tail at 0.1 r the other way
    EXPECT_EQ(minute[1].x, 60);
    EXPECT_EQ(minute[3].x, 60);
    EXPECT_EQ(HourHandPosition(3, 59, true), 19);
    EXPECT_EQ(HourHandPosition(3, 59, false), 15);
}

TEST(ClockFace, HandUnderThePoint) {
    ClockLayout a = TwelveHour();
    // 3:00: the minute hand points up, the hour hand right.
    ClockValue three{3, 0, false};
    EXPECT_EQ(HandAt(a, three, false, GeoPoint{a.cx, a.cy - 40}), ClockHand::Minute);
    EXPECT_EQ(HandAt(a, three, false, GeoPoint{a.cx + 25, a.cy}), ClockHand::Hour);
    EXPECT_EQ(HandAt(a, three, false, GeoPoint{a.cx + 25, a.cy + 20}), ClockHand::None);
    EXPECT_EQ(HandAt(a, three, false, GeoPoint{a.cx - 30, a.cy}), ClockHand::None);  // beyond the tail
    // Where both hands lie (near the centre) the minute hand, drawn last, is hit.
    EXPECT_EQ(HandAt(a, three, false, GeoPoint{a.cx, a.cy}), ClockHand::Minute);
    // The smooth hour hand has moved on by 3:59.
    EXPECT_EQ(HandAt(a, ClockValue{3, 59, false}, false, GeoPoint{a.cx + 25, a.cy}), ClockHand::Hour);
    EXPECT_EQ(HandAt(a, ClockValue{3, 59, false}, true, GeoPoint{a.cx + 25, a.cy}), ClockHand::None);
}

TEST(ClockFace, QuadrilateralContainment) {
    std::array<GeoPoint, 4> diamond{GeoPoint{10, 0}, GeoPoint{20, 10}, GeoPoint{10, 20}, GeoPoint{0, 10}};
    EXPECT_TRUE(InQuadrilateral(diamond, GeoPoint{10, 10}));
    EXPECT_TRUE(InQuadrilateral(diamond, GeoPoint{15, 5}));   // on an edge
    EXPECT_TRUE(InQuadrilateral(diamond, GeoPoint{10, 0}));   // a corner
    EXPECT_FALSE(InQuadrilateral(diamond, GeoPoint{2, 2}));
    EXPECT_FALSE(InQuadrilateral(diamond, GeoPoint{21, 10}));
}

TEST(ClockDrag, AngleToValue) {
    EXPECT_EQ(DragValue(30, 0, 60), 15);   // three o'clock
    EXPECT_EQ(DragValue(0, 30, 12), 6);    // six o'clock
    EXPECT_EQ(DragValue(-30, 0, 60), 45);  // nine o'clock
    EXPECT_EQ(DragValue(0, -30, 60), 0);   // twelve o'clock
    EXPECT_EQ(DragValue(-1, -100, 60), 0);  // just left of twelve rounds to 60, reduced to 0
    EXPECT_EQ(DragValue(1, -100, 60), 0);
    EXPECT_EQ(DragValue(20, 20, 12), 5);   // 135 degrees: 4.5 rounds up
    EXPECT_EQ(DragValue(20, 20, 60), 23);
    EXPECT_EQ(DragValue(0, 0, 12), 6);     // the centre itself counts as straight down
}

TEST(ClockValueSteps, FieldsWrap) {
    ClockValue v{0, 0, false};
    EXPECT_EQ(StepMinute(v, -1).minute, 59);  // wheel down over the minute field at 00
    EXPECT_EQ(StepHour(v, -1).hour, 11);
    EXPECT_EQ(StepHour(ClockValue{11, 0, false}, 1).hour, 0);
    EXPECT_EQ(StepMinute(ClockValue{0, 59, false}, 1).minute, 0);
    EXPECT_EQ(StepMinute(ClockValue{0, 59, true}, 1).pm, true);  // the minute never carries into the hour
}

TEST(ClockValueSteps, KnobWheel) {
    EXPECT_EQ(KnobWheel(ClockValue{0, 7, false}, 1, false, false).minute, 10);
    EXPECT_EQ(KnobWheel(ClockValue{0, 7, false}, -1, false, false).minute, 0);
    EXPECT_EQ(KnobWheel(ClockValue{0, 58, false}, 1, false, false).minute, 5);
    EXPECT_EQ(KnobWheel(ClockValue{0, 7, false}, 1, false, true).minute, 8);
    EXPECT_EQ(KnobWheel(ClockValue{11, 7, false}, 1, true, false), (ClockValue{0, 7, false}));
    EXPECT_EQ(KnobWheel(ClockValue{0, 7, false}, 2, false, false).minute, 15);
}

using ClockTimes = testing::LocalZone;

TEST_F(ClockTimes, TimeValuesAreLocalOnTheReferenceDay) {
    ClockValue half = ClockValueFromTime(Local(2004, 3, 5, 0, 30));
    EXPECT_EQ(half, (ClockValue{0, 30, false}));
    EXPECT_EQ(ClockValueToTime(half), Local(2000, 1, 1, 0, 30));
    ClockValue evening = ClockValueFromTime(Local(2004, 7, 5, 17, 45));  // summer time
    EXPECT_EQ(evening, (ClockValue{5, 45, true}));
    EXPECT_EQ(ClockValueToTime(evening), Local(2000, 1, 1, 17, 45));
    EXPECT_EQ(ClockValueFromTime(Local(2004, 3, 5, 12, 0)), (ClockValue{0, 0, true}));
    EXPECT_EQ(TimeOnReferenceDay(0, 0), Local(2000, 1, 1, 0, 0));
}

}  // namespace
}  // namespace lumetra
