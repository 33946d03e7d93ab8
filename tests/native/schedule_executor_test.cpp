#include "schedule/schedule_executor.h"

#include <gtest/gtest.h>

#include "tests/native/local_zone.h"

namespace lumetra {
namespace {

// Stands in for the program: records what the schedule asked of it.
class FakeRecorder : public ScheduledRecorder {
public:
    bool recording = false;
    bool playback = false;
    bool startWorks = true;
    bool busy = false;
    int starts = 0, stops = 0;
    int source = -2, channel = -2;  // of the last start

    bool IsRecording() const override { return recording; }
    bool IsPlaybackActive() const override { return playback; }
    bool IsBusy() const override { return busy; }
    bool StartScheduledRecording(int startSource, int startChannel) override {
        ++starts;
        source = startSource;
        channel = startChannel;
        recording = startWorks;
        return recording;
    }
    void StopScheduledRecording() override {
        ++stops;
        recording = false;
    }
};

class Executor : public testing::LocalZone {
protected:
    static ScheduleItem Once(int day, int hour, int minute, int lengthMinutes, const char* name = "once") {
        ScheduleItem item;
        item.date = Local(2004, 3, day, 0, 0);
        item.startTime = Local(2000, 1, 1, hour, minute);
        item.startDateTime = CombineDateAndTime(item.date, item.startTime);
        item.durationSecs = lengthMinutes * 60;
        item.sourceChoice = 1;
        item.status = kStatusOk;
        item.SetName(name);
        return item;
    }
    static ScheduleItem Weekly(int dayChoice, int hour, int minute, int lengthMinutes, const char* name = "weekly") {
        ScheduleItem item;
        item.dayChoice = dayChoice;
        item.startTime = Local(2000, 1, 1, hour, minute);
        item.durationSecs = lengthMinutes * 60;
        item.sourceChoice = 0;
        item.channelChoice = 5;
        item.status = kStatusOk;
        item.SetName(name);
        return item;
    }
    // March 2004: the 1st is a Monday, the 6th a Saturday, the 7th a Sunday.
    static int64_t At(int day, int hour, int minute, int second = 0) { return Local(2004, 3, day, hour, minute, second); }

    std::vector<StatusChange> TickOnce(ScheduleExecutor& e, int64_t now, const std::vector<ScheduleItem>& once,
                                       bool disabled = false) {
        return e.Tick(now, once, {}, disabled, recorder);
    }
    std::vector<StatusChange> TickWeekly(ScheduleExecutor& e, int64_t now, const std::vector<ScheduleItem>& weekly) {
        return e.Tick(now, {}, weekly, false, recorder);
    }
    // Whether an entry that starts at 10:00 starts on that day.
    static bool StartsAtTenOn(const ScheduleItem& weekly, int day) {
        FakeRecorder fresh;
        ScheduleExecutor e(At(day, 0, 0));
        e.Tick(At(day, 10, 0, 2), {}, {weekly}, false, fresh);
        return fresh.starts == 1;
    }

    FakeRecorder recorder;
};

TEST_F(Executor, OneTimeEntryStartsAtItsTimeAndStopsAfterItsLength) {
    ScheduleExecutor e(At(5, 20, 50));
    const std::vector<ScheduleItem> list{Once(5, 21, 0, 1)};
    EXPECT_TRUE(TickOnce(e, At(5, 20, 59, 59), list).empty());
    EXPECT_EQ(recorder.starts, 0);

    auto started = TickOnce(e, At(5, 21, 0, 1), list);
    EXPECT_EQ(recorder.starts, 1);
    EXPECT_EQ(recorder.source, 1) << "from the entry's source, composite";
    EXPECT_EQ(recorder.channel, -1) << "a channel only for the tuner";
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].status, kStatusRecording);
    EXPECT_TRUE(SameEntry(started[0].entry, list[0]));
    ASSERT_TRUE(e.ActiveRun().has_value());
    EXPECT_EQ(e.ActiveRun()->end, At(5, 21, 1));

    EXPECT_TRUE(TickOnce(e, At(5, 21, 0, 59), list).empty());
    EXPECT_EQ(recorder.stops, 0);
    auto stopped = TickOnce(e, At(5, 21, 1, 0), list);
    EXPECT_EQ(recorder.stops, 1);
    ASSERT_EQ(stopped.size(), 1u);
    EXPECT_EQ(stopped[0].status, kStatusRecorded);
    EXPECT_FALSE(e.ActiveRun().has_value());
    // Handled once: later ticks start nothing, even when the clock is set back into the entry.
    TickOnce(e, At(5, 21, 1, 5), list);
    TickOnce(e, At(5, 21, 0, 10), list);
    EXPECT_EQ(recorder.starts, 1);
}

TEST_F(Executor, ABusyProgramIsLeftAloneUntilALaterTick) {
    ScheduleExecutor e(At(5, 20, 50));
    const std::vector<ScheduleItem> list{Once(5, 21, 0, 1)};
    recorder.busy = true;
    EXPECT_TRUE(TickOnce(e, At(5, 21, 0, 1), list).empty());
    EXPECT_EQ(recorder.starts, 0);
    recorder.busy = false;
    auto started = TickOnce(e, At(5, 21, 0, 3), list);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].status, kStatusRecording);
    // Nor is a recording stopped behind a build: its stop waits too.
    recorder.busy = true;
    EXPECT_TRUE(TickOnce(e, At(5, 21, 1, 0), list).empty());
    EXPECT_EQ(recorder.stops, 0);
    recorder.busy = false;
    EXPECT_EQ(TickOnce(e, At(5, 21, 1, 1), list).size(), 1u);
    EXPECT_EQ(recorder.stops, 1);
}

TEST_F(Executor, NothingStartsWhileTheScheduleIsDisabled) {
    ScheduleExecutor e(At(5, 20, 50));
    const std::vector<ScheduleItem> list{Once(5, 21, 0, 10)};
    EXPECT_TRUE(TickOnce(e, At(5, 21, 0, 1), list, true).empty());
    EXPECT_TRUE(TickOnce(e, At(5, 21, 0, 20), list, true).empty());
    EXPECT_EQ(recorder.starts, 0);
    // Enabled again later than a start may be late: the entry is missed, not started.
    auto late = TickOnce(e, At(5, 21, 2), list, false);
    EXPECT_EQ(recorder.starts, 0);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].status, kStatusMissed);
}

TEST_F(Executor, DisablingDoesNotCutARecordingShort) {
    ScheduleExecutor e(At(5, 20, 50));
    const std::vector<ScheduleItem> list{Once(5, 21, 0, 2)};
    TickOnce(e, At(5, 21, 0, 1), list);
    TickOnce(e, At(5, 21, 1), list, true);
    EXPECT_TRUE(recorder.recording);
    TickOnce(e, At(5, 21, 2), list, true);
    EXPECT_FALSE(recorder.recording);
    EXPECT_EQ(recorder.stops, 1);
}

TEST_F(Executor, DuringPlaybackTheEntryIsSkipped) {
    ScheduleExecutor e(At(5, 20, 50));
    recorder.playback = true;
    auto changes = TickOnce(e, At(5, 21, 0, 1), {Once(5, 21, 0, 10)});
    EXPECT_EQ(recorder.starts, 0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].status, kStatusSkipped);
    recorder.playback = false;  // playback ends during the entry: it is not started late
    EXPECT_TRUE(TickOnce(e, At(5, 21, 0, 5), {Once(5, 21, 0, 10)}).empty());
    EXPECT_EQ(recorder.starts, 0);
}

TEST_F(Executor, TheUsersRecordingIsNeverInterrupted) {
    ScheduleExecutor e(At(5, 20, 50));
    recorder.recording = true;  // started with the record button
    const std::vector<ScheduleItem> list{Once(5, 21, 0, 1)};
    auto changes = TickOnce(e, At(5, 21, 0, 1), list);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].status, kStatusSkipped);
    TickOnce(e, At(5, 21, 1, 0), list);
    TickOnce(e, At(5, 21, 5, 0), list);
    EXPECT_EQ(recorder.starts, 0);
    EXPECT_EQ(recorder.stops, 0);
    EXPECT_TRUE(recorder.recording);
}

TEST_F(Executor, AScheduledRecordingStoppedByTheUserIsOver) {
    ScheduleExecutor e(At(5, 20, 50));
    const std::vector<ScheduleItem> list{Once(5, 21, 0, 10)};
    TickOnce(e, At(5, 21, 0, 1), list);
    recorder.recording = false;  // the stop button
    auto changes = TickOnce(e, At(5, 21, 3), list);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].status, kStatusRecorded);
    recorder.recording = true;  // the user records again before the entry's end
    TickOnce(e, At(5, 21, 10), list);
    EXPECT_EQ(recorder.stops, 0);
    EXPECT_TRUE(recorder.recording);
}

TEST_F(Executor, MissedEntriesAreNotStartedLate) {
    // The program came up after the entry's start.
    ScheduleExecutor e(At(5, 21, 0, 40));
    auto changes = TickOnce(e, At(5, 21, 0, 41), {Once(5, 21, 0, 5)});
    EXPECT_EQ(recorder.starts, 0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].status, kStatusMissed);

    // The program was running but did not tick for a while (suspended): more than the grace is late.
    ScheduleExecutor f(At(5, 20, 0));
    TickOnce(f, At(5, 21, 59, 50), {Once(5, 22, 0, 5)});
    auto gap = TickOnce(f, At(5, 22, 0, 45), {Once(5, 22, 0, 5)});
    EXPECT_EQ(recorder.starts, 0);
    ASSERT_EQ(gap.size(), 1u);
    EXPECT_EQ(gap[0].status, kStatusMissed);
    // Within the grace it still starts.
    ScheduleExecutor g(At(5, 20, 0));
    TickOnce(g, At(5, 22, 0, 29), {Once(5, 22, 0, 5)});
    EXPECT_EQ(recorder.starts, 1);
}

TEST_F(Executor, EntriesThatCannotRunAreLeftAlone) {
    ScheduleItem disarmed = Once(5, 21, 0, 5);
    disarmed.enabled = 0;
    ScheduleItem noLength = Once(5, 21, 0, 0);
    ScheduleItem noSource = Once(5, 21, 0, 5);
    noSource.sourceChoice = -1;
    ScheduleItem tunerWithoutChannel = Once(5, 21, 0, 5);
    tunerWithoutChannel.sourceChoice = 0;
    ScheduleItem noDay = Weekly(-1, 21, 0, 5);
    ScheduleExecutor e(At(5, 20, 0));
    EXPECT_TRUE(e.Tick(At(5, 21, 0, 1), {disarmed, noLength, noSource, tunerWithoutChannel}, {noDay}, false, recorder)
                    .empty());
    EXPECT_EQ(recorder.starts, 0);
}

TEST_F(Executor, ConflictingEntriesDoNotRun) {
    // 21:00 for 1:00 and 21:30 for 0:10: the second is in conflict and never starts.
    const std::vector<ScheduleItem> both{Once(5, 21, 30, 10, "late"), Once(5, 21, 0, 60, "early")};
    ScheduleExecutor e(At(5, 20, 0));
    TickOnce(e, At(5, 21, 0, 1), both);
    EXPECT_EQ(recorder.starts, 1);
    TickOnce(e, At(5, 21, 30, 1), both);
    EXPECT_EQ(recorder.starts, 1);
    TickOnce(e, At(5, 22, 0, 0), both);
    EXPECT_EQ(recorder.stops, 1);
    EXPECT_FALSE(recorder.recording);
    // With the long entry disarmed there is no conflict: the short one runs.
    std::vector<ScheduleItem> oneArmed = both;
    oneArmed[1].enabled = 0;
    FakeRecorder fresh;
    ScheduleExecutor f(At(5, 20, 0));
    f.Tick(At(5, 21, 30, 1), oneArmed, {}, false, fresh);
    EXPECT_EQ(fresh.starts, 1);
}

TEST_F(Executor, TouchingEntriesRunOneAfterTheOther) {
    const std::vector<ScheduleItem> list{Once(5, 21, 0, 1, "a"), Once(5, 21, 1, 1, "b")};
    ScheduleExecutor e(At(5, 20, 0));
    TickOnce(e, At(5, 21, 0, 0), list);
    auto changes = TickOnce(e, At(5, 21, 1, 0), list);
    EXPECT_EQ(recorder.stops, 1);
    EXPECT_EQ(recorder.starts, 2);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].status, kStatusRecorded);
    EXPECT_EQ(changes[0].entry.Name(), "a");
    EXPECT_EQ(changes[1].status, kStatusRecording);
    EXPECT_EQ(changes[1].entry.Name(), "b");
}

TEST_F(Executor, AFailedStartIsReported) {
    recorder.startWorks = false;
    ScheduleExecutor e(At(5, 20, 0));
    auto changes = TickOnce(e, At(5, 21, 0, 1), {Once(5, 21, 0, 5)});
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].status, kStatusFailed);
    EXPECT_FALSE(e.ActiveRun().has_value());
}

TEST_F(Executor, RecurringEntriesRunOnTheirDays) {
    const ScheduleItem tuesday = Weekly(3, 10, 0, 30);
    EXPECT_FALSE(StartsAtTenOn(tuesday, 1));  // Monday
    EXPECT_TRUE(StartsAtTenOn(tuesday, 2));
    EXPECT_TRUE(StartsAtTenOn(tuesday, 9));   // the Tuesday after
    const ScheduleItem everyDay = Weekly(0, 10, 0, 30);
    for (int day = 1; day <= 7; ++day) EXPECT_TRUE(StartsAtTenOn(everyDay, day)) << day;
    const ScheduleItem weekdays = Weekly(8, 10, 0, 30);
    for (int day = 1; day <= 5; ++day) EXPECT_TRUE(StartsAtTenOn(weekdays, day)) << day;
    EXPECT_FALSE(StartsAtTenOn(weekdays, 6));  // Saturday
    EXPECT_FALSE(StartsAtTenOn(weekdays, 7));  // Sunday
    const ScheduleItem sunday = Weekly(1, 10, 0, 30);
    EXPECT_TRUE(StartsAtTenOn(sunday, 7));
    EXPECT_FALSE(StartsAtTenOn(sunday, 6));
}

TEST_F(Executor, RecurringEntryRunsEveryWeekAndAcrossMidnight) {
    // Monday 23:50 for 0:20.
    const std::vector<ScheduleItem> list{Weekly(2, 23, 50, 20)};
    ScheduleExecutor e(At(1, 12, 0));
    TickWeekly(e, At(1, 23, 50, 1), list);
    EXPECT_EQ(recorder.starts, 1);
    EXPECT_EQ(recorder.source, 0) << "from the tuner";
    EXPECT_EQ(recorder.channel, 5);
    TickWeekly(e, At(2, 0, 9, 59), list);  // Tuesday, still running
    EXPECT_EQ(recorder.stops, 0);
    TickWeekly(e, At(2, 0, 10, 0), list);
    EXPECT_EQ(recorder.stops, 1);
    TickWeekly(e, At(8, 23, 50, 2), list);  // the next Monday
    EXPECT_EQ(recorder.starts, 2);
}

TEST_F(Executor, ARecurringEntryInProgressAtStartIsMissed) {
    // The program starts on Tuesday 00:05 while Monday's 23:50 entry runs until 00:10.
    ScheduleExecutor e(At(2, 0, 5));
    auto changes = TickWeekly(e, At(2, 0, 5, 1), {Weekly(2, 23, 50, 20)});
    EXPECT_EQ(recorder.starts, 0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].status, kStatusMissed);
}

}  // namespace
}  // namespace lumetra
