#include "app/main_state.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

TEST(MainWindowState, DefaultsOfAFreshStart) {
    MainWindowState s;
    EXPECT_EQ(s.skinView, 0);
    EXPECT_EQ(s.propView, kPropVolume);
    EXPECT_EQ(s.streamFormat, 5);
    EXPECT_EQ(s.volumeMax, 0xFFFFu);
    EXPECT_EQ(s.volume, 32000u);
    EXPECT_EQ(s.brightness, 50u);
    EXPECT_EQ(s.brightnessMax, 100u);
    EXPECT_EQ(s.audioEnum, -1);
    EXPECT_EQ(s.cfgResync, 0);
    EXPECT_FALSE(s.launchedByButton);
}

TEST(ResyncIntervalMs, MinutesToTimerMillisecondsWithoutWrapping) {
    EXPECT_EQ(ResyncIntervalMs(6), 360000u);
    EXPECT_EQ(ResyncIntervalMs(0), 0u);
    EXPECT_EQ(ResyncIntervalMs(-5), 0u);
    // 71,583 minutes would wrap a 32-bit product to a few seconds; large values keep the longest timer.
    EXPECT_EQ(ResyncIntervalMs(35791), 2147460000u);
    EXPECT_EQ(ResyncIntervalMs(71583), 0x7FFFFFFFu);
    EXPECT_EQ(ResyncIntervalMs(0x7FFFFFFF), 0x7FFFFFFFu);
}

TEST(ViewForStoredIndex, StoredIndexPastTheViewsSelectsTheLast) {
    EXPECT_EQ(ViewForStoredIndex(3, 2), 1);
    EXPECT_EQ(ViewForStoredIndex(2, 2), 1);
    EXPECT_EQ(ViewForStoredIndex(1, 2), 1);
    EXPECT_EQ(ViewForStoredIndex(0, 2), 0);
}

TEST(ViewForStoredIndex, DamagedOrEmpty) {
    EXPECT_EQ(ViewForStoredIndex(-7, 3), 0);
    EXPECT_EQ(ViewForStoredIndex(0, 0), -1);
}

}  // namespace
}  // namespace lumetra
