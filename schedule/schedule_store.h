#pragma once
// The schedule in the registry: below the settings key, "RecordingSchedule" holds one subkey per list,
// "Once" and "Recurring", with one 100-byte REG_BINARY value "Item%d" per stored entry, numbered from 0
// without gaps, and the dialog's preferences.
#include <cstdint>
#include <string>
#include <vector>

#include "schedule/schedule_item.h"

namespace lumetra {

const char* ScheduleSubkey(ScheduleKind kind);  // "Once" or "Recurring"

// The stored entries in order. Reading ends at the first missing number; a damaged value (not a
// REG_BINARY of exactly 100 bytes, or a field out of range) is skipped. Nothing when a key is missing.
std::vector<ScheduleItem> LoadSchedule(ScheduleKind kind);
// Replaces the stored list: the subkey and everything below it are deleted, made again and filled.
// Silent when a key cannot be opened or made.
void SaveSchedule(ScheduleKind kind, const std::vector<ScheduleItem>& items);
// Writes a new status into every stored entry that is the same entry; false when there is none.
bool StoreScheduleStatus(ScheduleKind kind, const ScheduleItem& entry, int32_t status);

struct SchedulePreferences {
    uint32_t oneTimeColour = 0xFFFFFF;
    uint32_t recurringColour = 0xF0FFFF;
    bool tooltips = true;
    bool scheduleDisabled = false;
};
SchedulePreferences LoadSchedulePreferences();
void SaveSchedulePreferences(const SchedulePreferences& preferences);

// Both stored lists exactly as they are, to be put back (the schedule dialog's Cancel).
class StoredScheduleCopy {
public:
    static StoredScheduleCopy Take();
    void Restore() const;

private:
    struct Value {
        std::string name;
        unsigned long type = 0;
        std::vector<uint8_t> data;
    };
    struct List {
        bool exists = false;
        std::vector<Value> values;
    };
    List lists_[2];
};

}  // namespace lumetra
