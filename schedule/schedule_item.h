#pragma once
// One entry of the recording schedule: a fixed 100-byte record that is also its stored form, and
// the list that holds entries.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumetra {

enum class ScheduleKind { OneTime, Recurring };

// Entry states shown in the status column.
enum ScheduleStatus : int32_t {
    kStatusNew = 0,        // never complete
    kStatusOk = 1,         // complete and checked
    kStatusRecording = 2,  // the schedule is recording it now
    kStatusRecorded = 3,   // the schedule recorded it
    kStatusMissed = 4,     // its start passed while the program was not watching
    kStatusConflict = 5,   // overlaps another entry
    kStatusSkipped = 6,    // not started: a recording or playback was running
    kStatusFailed = 7,     // the recording could not be started
};
constexpr int32_t kLastStatus = kStatusFailed;

constexpr size_t kScheduleItemBytes = 100;
constexpr size_t kScheduleNameBytes = 64;  // 63 characters and the terminator

struct ScheduleItem {
    ScheduleItem();  // the defaults: armed, 2000-01-01 00:00 local, nothing chosen, named "---"

    int32_t enabled = 1;
    int32_t startDateTime = 0;  // calendar date of `date` with hour and minute of `startTime`
    int32_t date = 0;           // One-Time: the chosen day; Recurring: when the entry was made
    int32_t startTime = 0;      // 2000-01-01 at the start's hour and minute
    int32_t durationSecs = 0;   // 0: not set
    int32_t dayChoice = -1;     // Recurring: index into the day choices
    int32_t sourceChoice = -1;
    int32_t channelChoice = -1;  // meaningful when sourceChoice is 0
    int32_t status = kStatusNew;
    char name[kScheduleNameBytes] = {};

    std::string Name() const;
    // Stores at most 63 characters.
    void SetName(const std::string& text);
};

using ScheduleRecord = std::array<uint8_t, kScheduleItemBytes>;

// The stored bytes: nine little-endian 32-bit integers, then the name.
ScheduleRecord EncodeScheduleItem(const ScheduleItem& item);
// A stored record, or nothing when it is not a sound entry: not exactly 100 bytes, a name without its
// terminator, or a field outside its range (a damaged or foreign value is refused, never trusted).
std::optional<ScheduleItem> DecodeScheduleItem(const uint8_t* bytes, size_t size);

// The moment of `date`'s calendar day at `time`'s hour and minute, seconds 0, local time.
int32_t CombineDateAndTime(int32_t date, int32_t time);

// Two records describe the same entry: every field but the status and the armed flag agrees.
bool SameEntry(const ScheduleItem& a, const ScheduleItem& b);

// A growable array of entries; row n of a schedule list shows element n.
class ScheduleList {
public:
    size_t Append(const ScheduleItem& item);
    // Removes one element; later elements move down. False when index is outside the list.
    bool Remove(size_t index);
    void Clear() { items_.clear(); }
    size_t Size() const { return items_.size(); }
    // Element access; null outside the list.
    ScheduleItem* At(size_t index) { return index < items_.size() ? &items_[index] : nullptr; }
    const ScheduleItem* At(size_t index) const { return index < items_.size() ? &items_[index] : nullptr; }
    std::vector<ScheduleItem>& Items() { return items_; }
    const std::vector<ScheduleItem>& Items() const { return items_; }

private:
    std::vector<ScheduleItem> items_;
};

}  // namespace lumetra
