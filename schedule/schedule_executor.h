#pragma once
// Runs the stored schedule: at each tick of a clock it starts the recording of an entry whose start has
// come and stops it after the entry's length, through the program's own start and stop.
//
// Rules:
// - Only armed, complete entries that do not conflict with another such entry of their list take part.
// - One-Time entries start at their date and start time; Recurring entries on each day their day
//   choice names, at their start time. An occurrence is handled once.
// - Nothing starts while the schedule is disabled; a recording it is making still stops at its end.
// - An occurrence whose start passed before the executor was watching, or more than kLateStartSecs
//   ago (the program was not running, or not ticking), is missed: it is not started late.
// - While playback runs or any other recording is being made, a due entry is skipped: a recording the
//   user makes is never interrupted, and the executor stops only what it started.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "schedule/schedule_item.h"
#include "schedule/scheduled_recorder.h"

namespace lumetra {

constexpr int64_t kLateStartSecs = 30;

struct StatusChange {
    ScheduleKind kind;
    ScheduleItem entry;  // identifies the entry (SameEntry)
    int32_t status;
};

// A recording the executor is making.
struct ScheduledRun {
    ScheduleKind kind;
    ScheduleItem entry;
    int64_t start = 0, end = 0;
};

class ScheduleExecutor {
public:
    // watchStart: the moment the program began watching the schedule.
    explicit ScheduleExecutor(int64_t watchStart) : watchStart_(watchStart) {}

    // One tick at `now`: stops a finished run, then starts a due entry. Returns the entries whose status
    // changed.
    std::vector<StatusChange> Tick(int64_t now, const std::vector<ScheduleItem>& oneTime,
                                   const std::vector<ScheduleItem>& recurring, bool scheduleDisabled,
                                   ScheduledRecorder& recorder);

    const std::optional<ScheduledRun>& ActiveRun() const { return active_; }

private:
    void FinishActiveRun(int64_t now, ScheduledRecorder& recorder, std::vector<StatusChange>& changes);
    void ConsiderList(int64_t now, ScheduleKind kind, const std::vector<ScheduleItem>& items, bool scheduleDisabled,
                      ScheduledRecorder& recorder, std::vector<StatusChange>& changes);
    void Forget(int64_t now);

    int64_t watchStart_;
    std::optional<ScheduledRun> active_;
    // Occurrences already handled: the entry's record without status and armed flag, and its start.
    std::set<std::pair<std::string, int64_t>> handled_;
};

// Whether a stored entry has every value the executor needs.
bool IsRunnable(const ScheduleItem& item, ScheduleKind kind);
// The start of the entry's occurrence that is running at `now` (start <= now < start + length), if any.
std::optional<int64_t> OccurrenceAt(const ScheduleItem& item, ScheduleKind kind, int64_t now);

}  // namespace lumetra
