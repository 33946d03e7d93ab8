#include "controls/gradient_shades.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

TEST(GradientShades, LightenKeepsAChannelThatWouldOverflow) {
    GradientShades s = ShadesOf(MakeColour(220, 100, 0));
    EXPECT_EQ(RedOf(s.light1), 220);
    EXPECT_EQ(GreenOf(s.light1), 151);
    EXPECT_EQ(GreenOf(s.light2), 202);
    EXPECT_EQ(GreenOf(s.light3), 253);
    EXPECT_EQ(BlueOf(s.light1), 51);
}

TEST(GradientShades, PureRed) {
    GradientShades s = ShadesOf(MakeColour(255, 0, 0));
    EXPECT_EQ(s.light1, MakeColour(255, 51, 51));
    EXPECT_EQ(s.light2, MakeColour(255, 102, 102));
    EXPECT_EQ(s.light3, MakeColour(255, 153, 153));
    EXPECT_EQ(s.dark1, MakeColour(204, 0, 0));
    EXPECT_EQ(s.dark2, MakeColour(153, 0, 0));
}

TEST(GradientShades, DarkenKeepsAChannelBelowTheStep) {
    EXPECT_EQ(Darken(MakeColour(50, 51, 52)), MakeColour(50, 0, 1));
}

TEST(GradientShades, MidpointRoundsDown) {
    EXPECT_EQ(Midpoint(MakeColour(105, 160, 0), MakeColour(160, 160, 1)), MakeColour(132, 160, 0));
}

TEST(GradientShades, BarLength) {
    EXPECT_EQ(BarRight(0, 100, 0, 200), 0);      // position at lo: background only
    EXPECT_EQ(BarRight(0, 100, 100, 200), 200);  // at hi: the whole width
    EXPECT_EQ(BarRight(0, 3, 1, 200), 66);       // truncated
    EXPECT_EQ(BarRight(0, 0, 0, 200), 0);        // empty range: nothing
    EXPECT_EQ(BarRight(10, 20, 15, 100), 50);
}

}  // namespace
}  // namespace lumetra
