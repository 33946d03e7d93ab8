#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "mainwnd/diagnostic_sequence.h"
#include "mainwnd/live_texts.h"

namespace lumetra {
namespace {

// Clicks BUTTON_CYCLE_UP with saturation selected until the count reaches target.
void CountUpTo(DiagnosticSequence& sequence, int target) {
    while (sequence.Count() < target) ASSERT_EQ(sequence.Click("BUTTON_CYCLE_UP", true), DiagnosticAction::kNone);
}

TEST(DiagnosticSequence, ExitAtEachOfTheThreeCountsRunsItsDiagnosticAndStartsAgain) {
    DiagnosticSequence sequence;
    CountUpTo(sequence, kRegisterGraphsCount);
    EXPECT_EQ(sequence.Count(), 10);  // five clicks
    EXPECT_EQ(sequence.Click("BUTTON_EXIT", true), DiagnosticAction::kRegisterGraphs);
    EXPECT_EQ(sequence.Count(), 0);
    CountUpTo(sequence, kDroppedFramesCount);
    EXPECT_EQ(sequence.Click("BUTTON_EXIT", true), DiagnosticAction::kShowDroppedFrames);
    CountUpTo(sequence, kClockCount);
    EXPECT_EQ(sequence.Click("BUTTON_EXIT", false), DiagnosticAction::kShowClock);
    EXPECT_EQ(sequence.Count(), 0);
}

TEST(DiagnosticSequence, ExitAtAnyOtherCountEndsTheProgram) {
    DiagnosticSequence sequence;
    EXPECT_EQ(sequence.Click("BUTTON_EXIT", true), DiagnosticAction::kNone);
    CountUpTo(sequence, kRegisterGraphsCount + kDiagnosticStep);
    EXPECT_EQ(sequence.Click("BUTTON_EXIT", true), DiagnosticAction::kNone);
}

TEST(DiagnosticSequence, OtherButtonsAndOtherPropertiesStartTheCountAgain) {
    DiagnosticSequence sequence;
    CountUpTo(sequence, 8);
    // Minimising keeps the count; any other button, or the step up on another property, resets it.
    EXPECT_EQ(sequence.Click("BUTTON_MINIMIZE", true), DiagnosticAction::kNone);
    EXPECT_EQ(sequence.Count(), 8);
    EXPECT_EQ(sequence.Click("BUTTON_CYCLE_UP", false), DiagnosticAction::kWithdrawGraphs);
    EXPECT_EQ(sequence.Count(), 0);
    CountUpTo(sequence, 8);
    EXPECT_EQ(sequence.Click("BUTTON_CYCLE_DOWN", true), DiagnosticAction::kWithdrawGraphs);
    EXPECT_EQ(sequence.Count(), 0);
    EXPECT_EQ(sequence.Click("BUTTON_SOMETHING_UNKNOWN", true), DiagnosticAction::kWithdrawGraphs);
}

TEST(DiagnosticSequence, EndlessClickingStopsCountingAndMatchesNothing) {
    // The count stays just past the last count that means something, however long one clicks.
    DiagnosticSequence sequence;
    for (int i = 0; i < 100000; ++i) sequence.Click("BUTTON_CYCLE_UP", true);
    EXPECT_EQ(sequence.Count(), kClockCount + kDiagnosticStep);
    EXPECT_EQ(sequence.Click("BUTTON_EXIT", true), DiagnosticAction::kNone);
}

TEST(FormatMinutesSeconds, WholeSecondsAndAnyNumberOfMinutes) {
    EXPECT_EQ(FormatMinutesSeconds("PLAY", 625000000), "PLAY 01:02");  // 62.5 s
    EXPECT_EQ(FormatMinutesSeconds("PLAY", 6000ll * 10000000), "PLAY 100:00");
    EXPECT_EQ(FormatMinutesSeconds("REC", 0), "REC 00:00");
    EXPECT_EQ(FormatMinutesSeconds("REC", -1), "REC 00:00");
    // The longest position: far more minutes than an int holds, shown whole.
    EXPECT_EQ(FormatMinutesSeconds("PLAY", INT64_MAX), "PLAY 15372286728:05");
}

}  // namespace
}  // namespace lumetra
