#pragma once
// Runs the stored schedule while the program runs: once a second it reads the stored lists and the
// schedule-disabled flag, lets the executor decide, and writes the statuses that changed back into
// the stored entries, so that the schedule dialog shows what ran.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "framework/window.h"
#include "schedule/schedule_executor.h"
#include "schedule/scheduled_recorder.h"

namespace lumetra {

// Seconds since 1970 UTC; tests give the runner a clock they move.
using ScheduleClock = std::function<int64_t()>;
int64_t SystemScheduleClock();

// What the schedule dialog shows of a recording the schedule is making.
class ScheduleProgress {
public:
    virtual ~ScheduleProgress() = default;
    virtual std::optional<ScheduledRun> CurrentRun() const = 0;
    virtual int64_t Now() const = 0;
};

class ScheduleRunner : public Window, public ScheduleProgress {
public:
    explicit ScheduleRunner(ScheduledRecorder& recorder, ScheduleClock clock = SystemScheduleClock);

    // Starts watching: the executor counts from now; a timer ticks once a second.
    bool Start();
    // Stops watching; a recording the schedule is making is stored as recorded (the program is ending).
    void Stop();
    // One look at the schedule (the timer's work).
    void Tick();

    std::optional<ScheduledRun> CurrentRun() const override;
    int64_t Now() const override { return clock_(); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    ScheduledRecorder& recorder_;
    ScheduleClock clock_;
    std::optional<ScheduleExecutor> executor_;
    bool ticking_ = false;
};

}  // namespace lumetra
