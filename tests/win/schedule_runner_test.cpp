// The schedule runner on a clock the test moves: it reads the stored schedule, records through the
// recorder, and stores what ran.
#include "schedule/schedule_runner.h"

#include <gtest/gtest.h>

#include <ctime>

#include "app/settings_store.h"
#include "schedule/schedule_store.h"

namespace lumetra {
namespace {

class FakeRecorder : public ScheduledRecorder {
public:
    bool recording = false;
    int starts = 0, stops = 0;
    bool IsRecording() const override { return recording; }
    bool IsPlaybackActive() const override { return false; }
    bool IsBusy() const override { return false; }
    bool StartScheduledRecording(int, int) override {
        ++starts;
        return recording = true;
    }
    void StopScheduledRecording() override {
        ++stops;
        recording = false;
    }
};

class ScheduleRunnerTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override {
        runner_.Stop();
        Clear();
    }
    static void Clear() {
        RegKey orvex = OpenSettingsKey();
        RegKey schedule;
        if (RegOpenKeyExA(orvex.Get(), "RecordingSchedule", 0, KEY_ALL_ACCESS, schedule.Put()) == ERROR_SUCCESS) {
            RegDeleteKeyA(schedule.Get(), "Once");
            RegDeleteKeyA(schedule.Get(), "Recurring");
            schedule.Reset();
            RegDeleteKeyA(orvex.Get(), "RecordingSchedule");
        }
    }
    // A One-Time entry at `start` for `minutes`, composite, armed.
    static ScheduleItem At(int64_t start, int minutes) {
        ScheduleItem item;
        item.startDateTime = static_cast<int32_t>(start);
        item.date = item.startDateTime;
        item.startTime = item.startDateTime;
        item.durationSecs = minutes * 60;
        item.sourceChoice = 1;
        item.status = kStatusOk;
        item.SetName("scheduled");
        return item;
    }
    static void Pump(DWORD ms) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(10);
        }
    }

    const int64_t start_ = 1900000000;  // a whole minute in 2030
    int64_t now_ = start_ - 30;
    FakeRecorder recorder_;
    ScheduleRunner runner_{recorder_, [this] { return now_; }};
};

TEST_F(ScheduleRunnerTest, RecordsAStoredEntryAndStoresWhatRan) {
    SaveSchedule(ScheduleKind::OneTime, {At(start_, 1)});
    ASSERT_TRUE(runner_.Start());
    runner_.Tick();
    EXPECT_EQ(recorder_.starts, 0);
    now_ = start_ + 1;
    // The runner's own timer ticks once a second.
    for (int i = 0; i < 40 && recorder_.starts == 0; ++i) Pump(100);
    EXPECT_EQ(recorder_.starts, 1);
    ASSERT_TRUE(runner_.CurrentRun().has_value());
    EXPECT_EQ(runner_.CurrentRun()->end, start_ + 60);
    EXPECT_EQ(LoadSchedule(ScheduleKind::OneTime)[0].status, kStatusRecording);
    now_ = start_ + 60;
    runner_.Tick();
    EXPECT_EQ(recorder_.stops, 1);
    EXPECT_FALSE(runner_.CurrentRun().has_value());
    EXPECT_EQ(LoadSchedule(ScheduleKind::OneTime)[0].status, kStatusRecorded);
}

TEST_F(ScheduleRunnerTest, EndingTheProgramDuringARecordingStoresItAsRecorded) {
    SaveSchedule(ScheduleKind::OneTime, {At(start_, 10)});
    ASSERT_TRUE(runner_.Start());
    now_ = start_ + 1;
    runner_.Tick();
    ASSERT_EQ(LoadSchedule(ScheduleKind::OneTime)[0].status, kStatusRecording);
    runner_.Stop();
    EXPECT_EQ(LoadSchedule(ScheduleKind::OneTime)[0].status, kStatusRecorded);
}

TEST_F(ScheduleRunnerTest, TheStoredDisabledFlagHoldsTheScheduleBack) {
    SaveSchedule(ScheduleKind::OneTime, {At(start_, 1)});
    SchedulePreferences preferences;
    preferences.scheduleDisabled = true;
    SaveSchedulePreferences(preferences);
    ASSERT_TRUE(runner_.Start());
    now_ = start_ + 1;
    runner_.Tick();
    EXPECT_EQ(recorder_.starts, 0);
    EXPECT_EQ(LoadSchedule(ScheduleKind::OneTime)[0].status, kStatusOk);
}

TEST_F(ScheduleRunnerTest, AnEntryStartedBeforeTheProgramIsMissed) {
    SaveSchedule(ScheduleKind::OneTime, {At(start_, 5)});
    now_ = start_ + 90;
    ASSERT_TRUE(runner_.Start());
    runner_.Tick();
    EXPECT_EQ(recorder_.starts, 0);
    EXPECT_EQ(LoadSchedule(ScheduleKind::OneTime)[0].status, kStatusMissed);
}

}  // namespace
}  // namespace lumetra
