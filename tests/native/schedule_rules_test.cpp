#include "schedule/schedule_rules.h"

#include <gtest/gtest.h>

#include "tests/native/local_zone.h"

namespace lumetra {
namespace {

class ScheduleRules : public testing::LocalZone {
protected:
    static ScheduleItem Recurring(int day, int hour, int minute, int lengthMinutes, const char* name = "") {
        ScheduleItem item;
        item.dayChoice = day;
        item.startTime = Local(2000, 1, 1, hour, minute);
        item.durationSecs = lengthMinutes * 60;
        item.SetName(name);
        return item;
    }
    static ScheduleItem Once(int month, int dayOfMonth, int hour, int minute, int lengthMinutes, const char* name = "") {
        ScheduleItem item;
        item.date = Local(2004, month, dayOfMonth, 0, 0);
        item.startTime = Local(2000, 1, 1, hour, minute);
        item.startDateTime = CombineDateAndTime(item.date, item.startTime);
        item.durationSecs = lengthMinutes * 60;
        item.SetName(name);
        return item;
    }
    static std::vector<std::string> Names(const std::vector<ScheduleItem>& items) {
        std::vector<std::string> names;
        for (const auto& item : items) names.push_back(item.Name());
        return names;
    }
};

TEST_F(ScheduleRules, OneTimeSortsByDateThenStart) {
    std::vector<ScheduleItem> items{Once(3, 6, 8, 0, 30, "c"), Once(3, 5, 21, 0, 30, "b"), Once(3, 5, 7, 0, 30, "a"),
                                    Once(3, 6, 8, 0, 10, "d")};
    SortSchedule(items, ScheduleKind::OneTime);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"a", "b", "c", "d"}));  // equal keys keep their order
}

TEST_F(ScheduleRules, RecurringSortsByDayChoiceThenStart) {
    std::vector<ScheduleItem> items{Recurring(8, 9, 0, 10, "w"), Recurring(2, 22, 0, 10, "mon-late"),
                                    Recurring(0, 23, 0, 10, "every"), Recurring(2, 6, 0, 10, "mon-early")};
    std::vector<size_t> order = ScheduleSortOrder(items, ScheduleKind::Recurring);
    EXPECT_EQ(order, (std::vector<size_t>{2, 3, 1, 0}));
    SortSchedule(items, ScheduleKind::Recurring);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"every", "mon-early", "mon-late", "w"}));
}

TEST_F(ScheduleRules, ShortListsStayAsTheyAre) {
    std::vector<ScheduleItem> none;
    SortSchedule(none, ScheduleKind::OneTime);
    EXPECT_TRUE(ConflictMarks(none, ScheduleKind::OneTime).empty());
    std::vector<ScheduleItem> one{Recurring(3, 10, 0, 60, "x")};
    SortSchedule(one, ScheduleKind::Recurring);
    EXPECT_EQ(Names(one), (std::vector<std::string>{"x"}));
    EXPECT_EQ(ConflictMarks(one, ScheduleKind::Recurring), (std::vector<bool>{false}));
}

TEST_F(ScheduleRules, PairwiseOverlapResults) {
    EXPECT_EQ(CheckConflict(1000, 3600, 2800, 600), 1);   // B starts inside A (nested)
    EXPECT_EQ(CheckConflict(2800, 600, 1000, 3600), 2);   // A starts inside B
    EXPECT_EQ(CheckConflict(1000, 3600, 1000, 3600), -1);  // equal starts, A not longer
    EXPECT_EQ(CheckConflict(1000, 3601, 1000, 3600), -2);
    EXPECT_EQ(CheckConflict(1000, 3600, 4600, 600), 0);   // touching: B starts as A ends
    EXPECT_EQ(CheckConflict(4600, 600, 1000, 3600), 0);
    EXPECT_EQ(CheckConflict(1000, 0, 1000, 600), 0);      // a length of 0 never conflicts
    EXPECT_EQ(CheckConflict(1000, 600, 1100, 0), 0);
    EXPECT_EQ(CheckConflict(1000, 600, 2000, 600), 0);    // apart
    // Far in the future the end does not wrap round.
    EXPECT_EQ(CheckConflict(2147480000LL, 7200, 2147483000LL, 60), 1);
}

TEST_F(ScheduleRules, RecurringOverlapsOnTheSameDay) {
    // 10:00 for 1:00 and 10:30 for 0:10: the later start is marked.
    EXPECT_EQ(ConflictMarks({Recurring(3, 10, 0, 60), Recurring(3, 10, 30, 10)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, true}));
    // The same pair the other way round marks the same entry.
    EXPECT_EQ(ConflictMarks({Recurring(3, 10, 30, 10), Recurring(3, 10, 0, 60)}, ScheduleKind::Recurring),
              (std::vector<bool>{true, false}));
    // Touching ends: 10:00 for 1:00 and 11:00 for 0:30.
    EXPECT_EQ(ConflictMarks({Recurring(3, 10, 0, 60), Recurring(3, 11, 0, 30)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, false}));
    // Equal starts: the longer one; equal lengths too: both.
    EXPECT_EQ(ConflictMarks({Recurring(3, 10, 0, 60), Recurring(3, 10, 0, 30)}, ScheduleKind::Recurring),
              (std::vector<bool>{true, false}));
    EXPECT_EQ(ConflictMarks({Recurring(3, 10, 0, 30), Recurring(3, 10, 0, 30)}, ScheduleKind::Recurring),
              (std::vector<bool>{true, true}));
    // A length of 0 never conflicts.
    EXPECT_EQ(ConflictMarks({Recurring(3, 10, 0, 60), Recurring(3, 10, 30, 0)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, false}));
}

TEST_F(ScheduleRules, RecurringDaysDecideWhetherEntriesMeet) {
    EXPECT_TRUE(DaysCompatible(3, 3));
    EXPECT_TRUE(DaysCompatible(0, 7));
    EXPECT_TRUE(DaysCompatible(8, 3));
    EXPECT_FALSE(DaysCompatible(8, 7));
    EXPECT_FALSE(DaysCompatible(1, 8));
    EXPECT_FALSE(DaysCompatible(2, 3));
    EXPECT_TRUE(DaysCompatible(8, 8));
    // Weekdays and Saturday at 10:00: no conflict; weekdays and Tuesday: conflict.
    EXPECT_EQ(ConflictMarks({Recurring(8, 10, 0, 60), Recurring(7, 10, 0, 60)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, false}));
    EXPECT_EQ(ConflictMarks({Recurring(8, 10, 0, 60), Recurring(3, 10, 0, 60)}, ScheduleKind::Recurring),
              (std::vector<bool>{true, true}));
    EXPECT_EQ(ConflictMarks({Recurring(0, 10, 0, 60), Recurring(5, 10, 15, 60)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, true}));
}

TEST_F(ScheduleRules, RecurringAcrossMidnight) {
    // Monday 23:30 for 1:00 runs into Tuesday 00:15.
    EXPECT_EQ(ConflictMarks({Recurring(2, 23, 30, 60), Recurring(3, 0, 15, 30)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, true}));
    // Saturday late runs into Sunday (the week wraps), every day late runs into any early entry.
    EXPECT_EQ(ConflictMarks({Recurring(7, 23, 0, 120), Recurring(1, 0, 30, 30)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, true}));
    EXPECT_EQ(ConflictMarks({Recurring(0, 23, 0, 120), Recurring(4, 0, 30, 30)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, true}));
    // Not when the early entry is on another day, nor when the late one ends at midnight.
    EXPECT_EQ(ConflictMarks({Recurring(2, 23, 30, 60), Recurring(4, 0, 15, 30)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, false}));
    EXPECT_EQ(ConflictMarks({Recurring(2, 23, 0, 60), Recurring(3, 0, 0, 30)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, false}));
    // Friday late and weekdays early: Saturday is not a weekday.
    EXPECT_EQ(ConflictMarks({Recurring(6, 23, 30, 60), Recurring(8, 0, 15, 30)}, ScheduleKind::Recurring),
              (std::vector<bool>{false, false}));
}

TEST_F(ScheduleRules, OneTimeEntriesCompareDateAndTime) {
    // Nested, overlapping and touching on one day; the later row is marked.
    EXPECT_EQ(ConflictMarks({Once(3, 5, 20, 0, 120), Once(3, 5, 20, 30, 30)}, ScheduleKind::OneTime),
              (std::vector<bool>{false, true}));
    EXPECT_EQ(ConflictMarks({Once(3, 5, 20, 0, 60), Once(3, 5, 20, 45, 60)}, ScheduleKind::OneTime),
              (std::vector<bool>{false, true}));
    EXPECT_EQ(ConflictMarks({Once(3, 5, 20, 0, 60), Once(3, 5, 21, 0, 60)}, ScheduleKind::OneTime),
              (std::vector<bool>{false, false}));
    // The same time on different days does not collide.
    EXPECT_EQ(ConflictMarks({Once(3, 5, 20, 0, 60), Once(3, 6, 20, 0, 60)}, ScheduleKind::OneTime),
              (std::vector<bool>{false, false}));
    // A late entry reaches past midnight into the next day's early one.
    EXPECT_EQ(ConflictMarks({Once(3, 5, 23, 30, 60), Once(3, 6, 0, 15, 30)}, ScheduleKind::OneTime),
              (std::vector<bool>{false, true}));
    // Every later row that overlaps is marked, the first never.
    EXPECT_EQ(ConflictMarks({Once(3, 5, 20, 0, 240), Once(3, 5, 21, 0, 10), Once(3, 5, 22, 0, 10)},
                            ScheduleKind::OneTime),
              (std::vector<bool>{false, true, true}));
}

}  // namespace
}  // namespace lumetra
