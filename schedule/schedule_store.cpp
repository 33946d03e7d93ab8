#include "schedule/schedule_store.h"

#include <windows.h>

#include <cstdio>

#include "app/settings_store.h"
#include "framework/handles.h"

namespace lumetra {
namespace {

const char kScheduleKey[] = "RecordingSchedule";

std::string ItemName(size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "Item%u", static_cast<unsigned>(index));
    return name;
}

// Opens SOFTWARE\Orvex\RecordingSchedule\<list> of the settings root with full access, without making
// anything.
RegKey OpenListKey(ScheduleKind kind) {
    RegKey key;
    std::string path = std::string("SOFTWARE\\Orvex\\") + kScheduleKey + "\\" + ScheduleSubkey(kind);
    if (RegOpenKeyExA(SettingsRoot(), path.c_str(), 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS) return {};
    return key;
}

// Deletes a key with every key below it, the deepest first.
void DeleteTree(HKEY parent, const char* name) {
    RegKey key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS) return;
    char child[256];
    for (;;) {
        DWORD size = sizeof child;
        if (RegEnumKeyExA(key.Get(), 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::string childName(child, size);
        DeleteTree(key.Get(), childName.c_str());
        // A child that cannot be deleted would be found again forever.
        RegKey stillThere;
        if (RegOpenKeyExA(key.Get(), childName.c_str(), 0, KEY_READ, stillThere.Put()) == ERROR_SUCCESS) break;
    }
    key.Reset();
    RegDeleteKeyA(parent, name);
}

// Makes the list's subkey afresh and returns it open.
RegKey RecreateListKey(ScheduleKind kind) {
    RegKey schedule = OpenSettingsKey(kScheduleKey);
    if (!schedule) return {};
    DeleteTree(schedule.Get(), ScheduleSubkey(kind));
    RegKey list;
    DWORD disposition = 0;
    if (RegCreateKeyExA(schedule.Get(), ScheduleSubkey(kind), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, list.Put(), &disposition) != ERROR_SUCCESS)
        return {};
    return list;
}

enum class Read { Missing, Damaged, Good };

Read ReadItem(HKEY key, size_t index, ScheduleItem& item) {
    uint8_t bytes[kScheduleItemBytes] = {};
    DWORD size = sizeof bytes, type = 0;
    LONG result = RegQueryValueExA(key, ItemName(index).c_str(), nullptr, &type, bytes, &size);
    if (result == ERROR_FILE_NOT_FOUND) return Read::Missing;
    if (result != ERROR_SUCCESS || type != REG_BINARY) return Read::Damaged;  // too long, or not a record
    std::optional<ScheduleItem> decoded = DecodeScheduleItem(bytes, size);
    if (!decoded) return Read::Damaged;
    item = *decoded;
    return Read::Good;
}

bool WriteItem(HKEY key, size_t index, const ScheduleItem& item) {
    ScheduleRecord record = EncodeScheduleItem(item);
    return RegSetValueExA(key, ItemName(index).c_str(), 0, REG_BINARY, record.data(),
                          static_cast<DWORD>(record.size())) == ERROR_SUCCESS;
}

}  // namespace

const char* ScheduleSubkey(ScheduleKind kind) { return kind == ScheduleKind::OneTime ? "Once" : "Recurring"; }

std::vector<ScheduleItem> LoadSchedule(ScheduleKind kind) {
    std::vector<ScheduleItem> items;
    RegKey key = OpenListKey(kind);
    if (!key) return items;
    for (size_t index = 0;; ++index) {
        ScheduleItem item;
        Read read = ReadItem(key.Get(), index, item);
        if (read == Read::Missing) break;
        if (read == Read::Good) items.push_back(item);
    }
    return items;
}

void SaveSchedule(ScheduleKind kind, const std::vector<ScheduleItem>& items) {
    RegKey key = RecreateListKey(kind);
    if (!key) return;
    for (size_t i = 0; i < items.size(); ++i) WriteItem(key.Get(), i, items[i]);
}

bool StoreScheduleStatus(ScheduleKind kind, const ScheduleItem& entry, int32_t status) {
    RegKey key = OpenListKey(kind);
    if (!key) return false;
    bool found = false;
    for (size_t index = 0;; ++index) {
        ScheduleItem item;
        Read read = ReadItem(key.Get(), index, item);
        if (read == Read::Missing) break;
        if (read != Read::Good || !SameEntry(item, entry)) continue;
        item.status = status;
        found = WriteItem(key.Get(), index, item) || found;
    }
    return found;
}

SchedulePreferences LoadSchedulePreferences() {
    SchedulePreferences p;
    RegKey key = OpenSettingsKey(kScheduleKey);
    if (!key) return p;
    unsigned long colour = 0;
    if (ReadDword(key.Get(), "OneTimeColor", colour)) p.oneTimeColour = static_cast<uint32_t>(colour) & 0xFFFFFF;
    if (ReadDword(key.Get(), "RecurringColor", colour)) p.recurringColour = static_cast<uint32_t>(colour) & 0xFFFFFF;
    int flag = 0;
    if (ReadDword(key.Get(), "ToolTips", flag)) p.tooltips = flag != 0;
    if (ReadDword(key.Get(), "DisableSchedule", flag)) p.scheduleDisabled = flag != 0;
    return p;
}

void SaveSchedulePreferences(const SchedulePreferences& p) {
    RegKey key = OpenSettingsKey(kScheduleKey);
    if (!key) return;
    WriteDword(key.Get(), "OneTimeColor", static_cast<int>(p.oneTimeColour));
    WriteDword(key.Get(), "RecurringColor", static_cast<int>(p.recurringColour));
    WriteDword(key.Get(), "ToolTips", p.tooltips ? 1 : 0);
    WriteDword(key.Get(), "DisableSchedule", p.scheduleDisabled ? 1 : 0);
}

StoredScheduleCopy StoredScheduleCopy::Take() {
    StoredScheduleCopy copy;
    for (ScheduleKind kind : {ScheduleKind::OneTime, ScheduleKind::Recurring}) {
        List& list = copy.lists_[kind == ScheduleKind::OneTime ? 0 : 1];
        RegKey key = OpenListKey(kind);
        if (!key) continue;
        list.exists = true;
        for (DWORD index = 0;; ++index) {
            char name[256];
            DWORD nameSize = sizeof name, type = 0, dataSize = 0;
            if (RegEnumValueA(key.Get(), index, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
                break;
            Value value;
            value.name.assign(name, nameSize);
            value.type = type;
            value.data.resize(dataSize);
            DWORD got = dataSize;
            if (RegQueryValueExA(key.Get(), value.name.c_str(), nullptr, &type, value.data.data(), &got) != ERROR_SUCCESS)
                continue;
            value.data.resize(got);
            list.values.push_back(std::move(value));
        }
    }
    return copy;
}

void StoredScheduleCopy::Restore() const {
    for (ScheduleKind kind : {ScheduleKind::OneTime, ScheduleKind::Recurring}) {
        const List& list = lists_[kind == ScheduleKind::OneTime ? 0 : 1];
        if (!list.exists) {
            RegKey schedule = OpenSettingsKey(kScheduleKey);
            if (schedule) DeleteTree(schedule.Get(), ScheduleSubkey(kind));
            continue;
        }
        RegKey key = RecreateListKey(kind);
        if (!key) continue;
        for (const Value& value : list.values)
            RegSetValueExA(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
    }
}

}  // namespace lumetra
