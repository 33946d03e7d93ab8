#pragma once
// Order and overlap of schedule entries.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "schedule/schedule_item.h"

namespace lumetra {

// The order a bubble sort leaves the entries in: One-Time by date, then start time; Recurring by day
// choice, then start time. Equal keys keep their order. Element k of the result is the index of the
// entry that goes to place k.
std::vector<size_t> ScheduleSortOrder(const std::vector<ScheduleItem>& items, ScheduleKind kind);
void SortSchedule(std::vector<ScheduleItem>& items, ScheduleKind kind);

// Pairwise overlap of two entries from their starts and lengths:
//  1 B starts inside A, 2 A starts inside B, -1 / -2 equal starts with A not longer / longer,
//  0 no overlap (also when either length is 0, and when one starts as the other ends).
int CheckConflict(int64_t startA, int32_t lengthA, int64_t startB, int32_t lengthB);
// The start an entry is compared by: the date with the start time for One-Time entries (so entries on
// different days never collide and a late entry reaches into the next day), the time of day for
// Recurring ones.
int64_t ConflictStart(const ScheduleItem& item, ScheduleKind kind);

// The days of the week a day choice stands for: bit 0 Sunday .. bit 6 Saturday.
unsigned DayMask(int32_t dayChoice);
// Whether two Recurring entries can fall on the same day.
bool DaysCompatible(int32_t p, int32_t q);

// Which entries the conflict check marks. One-Time: of each overlapping pair the later row.
// Recurring: of two overlapping entries on compatible days the one that starts later, with equal
// starts the longer one (both when equal). A Recurring entry that runs past midnight also collides
// with entries early on the following day.
std::vector<bool> ConflictMarks(const std::vector<ScheduleItem>& items, ScheduleKind kind);

}  // namespace lumetra
