#include "schedule/schedule_executor.h"

#include <ctime>

#include "app/format.h"
#include "schedule/schedule_rules.h"
#include "schedule/schedule_texts.h"

namespace lumetra {
namespace {

// The identity of an entry for the handled set: its record with status and armed flag cleared.
std::string EntryKey(ScheduleKind kind, const ScheduleItem& item) {
    ScheduleItem copy = item;
    copy.status = 0;
    copy.enabled = 0;
    ScheduleRecord r = EncodeScheduleItem(copy);
    std::string key(1, kind == ScheduleKind::OneTime ? 'O' : 'R');
    key.append(r.begin(), r.end());
    return key;
}

constexpr int64_t kForgetAfterSecs = 2 * 86400;

}  // namespace

bool IsRunnable(const ScheduleItem& item, ScheduleKind kind) {
    if (item.enabled != 1 || item.durationSecs <= 0) return false;
    if (item.sourceChoice < 0 || item.sourceChoice >= static_cast<int32_t>(SourceChoices().size())) return false;
    if (item.sourceChoice == 0 && item.channelChoice < 0) return false;
    return kind == ScheduleKind::OneTime || DayMask(item.dayChoice) != 0;
}

std::optional<int64_t> OccurrenceAt(const ScheduleItem& item, ScheduleKind kind, int64_t now) {
    if (kind == ScheduleKind::OneTime) {
        int64_t start = item.startDateTime;
        if (start <= now && now < start + item.durationSecs) return start;
        return std::nullopt;
    }
    // A Recurring occurrence that is running now began today or, past midnight, yesterday.
    const std::tm clock = LocalParts(item.startTime);
    for (int daysBack = 0; daysBack <= 1; ++daysBack) {
        std::tm day = LocalParts(now);
        day.tm_mday -= daysBack;
        day.tm_hour = clock.tm_hour;
        day.tm_min = clock.tm_min;
        day.tm_sec = 0;
        day.tm_isdst = -1;
        const int64_t start = static_cast<int64_t>(std::mktime(&day));  // normalises tm_wday too
        if ((DayMask(item.dayChoice) & (1u << day.tm_wday)) == 0) continue;
        if (start <= now && now < start + item.durationSecs) return start;
    }
    return std::nullopt;
}

std::vector<StatusChange> ScheduleExecutor::Tick(int64_t now, const std::vector<ScheduleItem>& oneTime,
                                                 const std::vector<ScheduleItem>& recurring, bool scheduleDisabled,
                                                 ScheduledRecorder& recorder) {
    std::vector<StatusChange> changes;
    if (recorder.IsBusy()) return changes;
    FinishActiveRun(now, recorder, changes);
    ConsiderList(now, ScheduleKind::OneTime, oneTime, scheduleDisabled, recorder, changes);
    ConsiderList(now, ScheduleKind::Recurring, recurring, scheduleDisabled, recorder, changes);
    Forget(now);
    return changes;
}

void ScheduleExecutor::FinishActiveRun(int64_t now, ScheduledRecorder& recorder, std::vector<StatusChange>& changes) {
    if (!active_) return;
    // Stopped already (the stop button, the capture time limit): the run is over all the same.
    if (recorder.IsRecording()) {
        if (now < active_->end) return;
        recorder.StopScheduledRecording();
    }
    changes.push_back({active_->kind, active_->entry, kStatusRecorded});
    active_.reset();
}

void ScheduleExecutor::ConsiderList(int64_t now, ScheduleKind kind, const std::vector<ScheduleItem>& items,
                                    bool scheduleDisabled, ScheduledRecorder& recorder,
                                    std::vector<StatusChange>& changes) {
    if (scheduleDisabled) return;
    // Entries that cannot run do not take part in the conflict check either.
    std::vector<ScheduleItem> runnable;
    for (const ScheduleItem& item : items)
        if (IsRunnable(item, kind)) runnable.push_back(item);
    SortSchedule(runnable, kind);  // as the list is checked: of two overlapping entries the later is marked
    const std::vector<bool> conflicting = ConflictMarks(runnable, kind);
    for (size_t i = 0; i < runnable.size(); ++i) {
        const ScheduleItem& item = runnable[i];
        if (conflicting[i]) continue;
        std::optional<int64_t> start = OccurrenceAt(item, kind, now);
        if (!start || !handled_.insert({EntryKey(kind, item), *start}).second) continue;

        if (*start < watchStart_ || now - *start > kLateStartSecs) {
            changes.push_back({kind, item, kStatusMissed});
        } else if (recorder.IsPlaybackActive() || recorder.IsRecording()) {
            changes.push_back({kind, item, kStatusSkipped});
        } else if (recorder.StartScheduledRecording(item.sourceChoice,
                                                    item.sourceChoice == 0 ? item.channelChoice : -1)) {
            active_ = ScheduledRun{kind, item, *start, *start + item.durationSecs};
            changes.push_back({kind, item, kStatusRecording});
        } else {
            changes.push_back({kind, item, kStatusFailed});
        }
    }
}

void ScheduleExecutor::Forget(int64_t now) {
    for (auto it = handled_.begin(); it != handled_.end();) {
        if (it->second < now - kForgetAfterSecs) it = handled_.erase(it);
        else ++it;
    }
}

}  // namespace lumetra
