#include "schedule/schedule_runner.h"

#include <ctime>

#include "schedule/schedule_store.h"

namespace lumetra {
namespace {
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 1000;
}  // namespace

int64_t SystemScheduleClock() { return static_cast<int64_t>(std::time(nullptr)); }

ScheduleRunner::ScheduleRunner(ScheduledRecorder& recorder, ScheduleClock clock)
    : recorder_(recorder), clock_(std::move(clock)) {}

bool ScheduleRunner::Start() {
    if (!Handle() && !Create(0, "", 0, RECT{0, 0, 0, 0}, HWND_MESSAGE)) return false;
    executor_.emplace(clock_());
    return SetTimer(Handle(), kTickTimer, kTickMs, nullptr) != 0;
}

void ScheduleRunner::Stop() {
    if (Handle()) KillTimer(Handle(), kTickTimer);
    // The program is ending: a recording of the schedule ends with it and is stored as recorded.
    if (executor_ && executor_->ActiveRun())
        StoreScheduleStatus(executor_->ActiveRun()->kind, executor_->ActiveRun()->entry, kStatusRecorded);
    executor_.reset();
}

void ScheduleRunner::Tick() {
    // A start that shows a message box runs a message loop: its ticks wait for this one.
    if (!executor_ || ticking_) return;
    ticking_ = true;
    const SchedulePreferences preferences = LoadSchedulePreferences();
    const std::vector<StatusChange> changes =
        executor_->Tick(clock_(), LoadSchedule(ScheduleKind::OneTime), LoadSchedule(ScheduleKind::Recurring),
                        preferences.scheduleDisabled, recorder_);
    for (const StatusChange& change : changes) StoreScheduleStatus(change.kind, change.entry, change.status);
    ticking_ = false;
}

std::optional<ScheduledRun> ScheduleRunner::CurrentRun() const {
    return executor_ ? executor_->ActiveRun() : std::nullopt;
}

LRESULT ScheduleRunner::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kTickTimer) {
        Tick();
        return 0;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace lumetra
