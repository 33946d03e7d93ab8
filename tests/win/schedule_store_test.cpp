// The schedule's registry form: round trip, replacement, damaged values, statuses and preferences.
#include "schedule/schedule_store.h"

#include <gtest/gtest.h>

#include <ctime>

#include "app/settings_store.h"

namespace lumetra {
namespace {

int32_t LocalTime(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return static_cast<int32_t>(std::mktime(&t));
}

ScheduleItem Entry(int day, const char* name) {
    ScheduleItem item;
    item.date = LocalTime(2030, 6, day, 0, 0);
    item.startTime = LocalTime(2000, 1, 1, 20, 15);
    item.startDateTime = CombineDateAndTime(item.date, item.startTime);
    item.durationSecs = 1800;
    item.sourceChoice = 0;
    item.channelChoice = 12;
    item.status = kStatusOk;
    item.SetName(name);
    return item;
}

class ScheduleStore : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        RegKey orvex = OpenSettingsKey();
        RegKey schedule;
        if (RegOpenKeyExA(orvex.Get(), "RecordingSchedule", 0, KEY_ALL_ACCESS, schedule.Put()) != ERROR_SUCCESS) return;
        for (const char* list : {"Once", "Recurring"}) {
            RegKey key;
            if (RegOpenKeyExA(schedule.Get(), list, 0, KEY_ALL_ACCESS, key.Put()) == ERROR_SUCCESS) {
                RegDeleteKeyA(key.Get(), "Nested");
                key.Reset();
            }
            RegDeleteKeyA(schedule.Get(), list);
        }
        schedule.Reset();
        RegDeleteKeyA(orvex.Get(), "RecordingSchedule");
    }
    static RegKey ListKey(const char* list) {
        return OpenSettingsKey((std::string("RecordingSchedule\\") + list).c_str());
    }
    static void SetRaw(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    static std::vector<std::string> Names(const std::vector<ScheduleItem>& items) {
        std::vector<std::string> names;
        for (const auto& item : items) names.push_back(item.Name());
        return names;
    }
};

TEST_F(ScheduleStore, EntriesComeBackAsTheyWereStored) {
    const std::vector<ScheduleItem> items{Entry(5, "a"), Entry(6, "b"), Entry(7, "c")};
    SaveSchedule(ScheduleKind::OneTime, items);
    RegKey once = ListKey("Once");
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(once.Get(), "Item2", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 100u);
    std::vector<ScheduleItem> back = LoadSchedule(ScheduleKind::OneTime);
    ASSERT_EQ(back.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(EncodeScheduleItem(back[i]), EncodeScheduleItem(items[i])) << i;
    EXPECT_TRUE(LoadSchedule(ScheduleKind::Recurring).empty());  // the other list is apart
}

TEST_F(ScheduleStore, SavingReplacesTheWholeList) {
    SaveSchedule(ScheduleKind::Recurring, {Entry(5, "a"), Entry(6, "b"), Entry(7, "c")});
    RegKey nested;
    DWORD disposition = 0;
    RegKey recurring = ListKey("Recurring");
    ASSERT_EQ(RegCreateKeyExA(recurring.Get(), "Nested", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, nested.Put(), &disposition),
              ERROR_SUCCESS);
    nested.Reset();
    recurring.Reset();
    SaveSchedule(ScheduleKind::Recurring, {Entry(9, "only")});
    EXPECT_EQ(Names(LoadSchedule(ScheduleKind::Recurring)), (std::vector<std::string>{"only"}));
    recurring = ListKey("Recurring");
    DWORD values = 0, subkeys = 0;
    RegQueryInfoKeyA(recurring.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(values, 1u);
    EXPECT_EQ(subkeys, 0u);
    recurring.Reset();
    // An empty list leaves an empty key.
    SaveSchedule(ScheduleKind::Recurring, {});
    recurring = ListKey("Recurring");
    ASSERT_TRUE(recurring);
    RegQueryInfoKeyA(recurring.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(values, 0u);
}

TEST_F(ScheduleStore, DamagedValuesAreRefusedAndTheRestRead) {
    SaveSchedule(ScheduleKind::OneTime, {Entry(5, "first")});
    RegKey once = ListKey("Once");
    ScheduleRecord good = EncodeScheduleItem(Entry(6, "good"));
    std::vector<uint8_t> longer(good.begin(), good.end());
    longer.push_back(7);
    SetRaw(once.Get(), "Item1", REG_BINARY, longer.data(), static_cast<DWORD>(longer.size()));
    SetRaw(once.Get(), "Item2", REG_BINARY, good.data(), 60);
    DWORD number = 5;
    SetRaw(once.Get(), "Item3", REG_DWORD, &number, sizeof number);
    ScheduleRecord outOfRange = good;
    outOfRange[24] = 9;  // source 9
    SetRaw(once.Get(), "Item4", REG_BINARY, outOfRange.data(), 100);
    ScheduleRecord unterminated = good;
    std::fill(unterminated.begin() + 36, unterminated.end(), 'x');
    SetRaw(once.Get(), "Item5", REG_BINARY, unterminated.data(), 100);
    SetRaw(once.Get(), "Item6", REG_BINARY, good.data(), 100);
    // After the first missing number nothing more is read.
    SetRaw(once.Get(), "Item8", REG_BINARY, good.data(), 100);
    EXPECT_EQ(Names(LoadSchedule(ScheduleKind::OneTime)), (std::vector<std::string>{"first", "good"}));
}

TEST_F(ScheduleStore, MissingKeysLoadNothing) {
    EXPECT_TRUE(LoadSchedule(ScheduleKind::OneTime).empty());
    EXPECT_FALSE(StoreScheduleStatus(ScheduleKind::OneTime, Entry(5, "a"), kStatusRecorded));
}

TEST_F(ScheduleStore, AStatusGoesIntoTheSameEntryOnly) {
    SaveSchedule(ScheduleKind::OneTime, {Entry(5, "a"), Entry(6, "b")});
    ScheduleItem b = Entry(6, "b");
    b.enabled = 0;  // the armed flag and the status do not tell entries apart
    b.status = kStatusNew;
    EXPECT_TRUE(StoreScheduleStatus(ScheduleKind::OneTime, b, kStatusRecorded));
    std::vector<ScheduleItem> back = LoadSchedule(ScheduleKind::OneTime);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].status, kStatusOk);
    EXPECT_EQ(back[1].status, kStatusRecorded);
    EXPECT_EQ(back[1].enabled, 1);
    EXPECT_FALSE(StoreScheduleStatus(ScheduleKind::OneTime, Entry(7, "c"), kStatusRecorded));
}

TEST_F(ScheduleStore, PreferencesHaveDefaultsAndPersist) {
    SchedulePreferences defaults = LoadSchedulePreferences();
    EXPECT_EQ(defaults.oneTimeColour, 0xFFFFFFu);
    EXPECT_EQ(defaults.recurringColour, 0xF0FFFFu);
    EXPECT_TRUE(defaults.tooltips);
    EXPECT_FALSE(defaults.scheduleDisabled);
    SchedulePreferences changed{0xFAE6E6, 0xD8FFD8, false, true};
    SaveSchedulePreferences(changed);
    SchedulePreferences back = LoadSchedulePreferences();
    EXPECT_EQ(back.oneTimeColour, 0xFAE6E6u);
    EXPECT_EQ(back.recurringColour, 0xD8FFD8u);
    EXPECT_FALSE(back.tooltips);
    EXPECT_TRUE(back.scheduleDisabled);
}

TEST_F(ScheduleStore, ACopyPutsBothListsBackExactly) {
    SaveSchedule(ScheduleKind::OneTime, {Entry(5, "a"), Entry(6, "b")});
    RegKey once = ListKey("Once");
    const char odd[3] = "xy";
    SetRaw(once.Get(), "Other", REG_SZ, odd, sizeof odd);
    once.Reset();
    StoredScheduleCopy copy = StoredScheduleCopy::Take();  // Recurring does not exist yet
    SaveSchedule(ScheduleKind::OneTime, {Entry(9, "changed")});
    SaveSchedule(ScheduleKind::Recurring, {Entry(9, "new")});
    copy.Restore();
    EXPECT_EQ(Names(LoadSchedule(ScheduleKind::OneTime)), (std::vector<std::string>{"a", "b"}));
    std::string other;
    once = ListKey("Once");
    EXPECT_TRUE(ReadString(once.Get(), "Other", other));
    EXPECT_EQ(other, "xy");
    RegKey orvex = OpenSettingsKey();
    RegKey recurring;
    EXPECT_NE(RegOpenKeyExA(orvex.Get(), "RecordingSchedule\\Recurring", 0, KEY_READ, recurring.Put()), ERROR_SUCCESS);
}

}  // namespace
}  // namespace lumetra
