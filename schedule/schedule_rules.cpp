#include "schedule/schedule_rules.h"

#include <numeric>

namespace lumetra {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Whether entry a belongs after entry b.
bool OutOfOrder(const ScheduleItem& a, const ScheduleItem& b, ScheduleKind kind) {
    if (kind == ScheduleKind::OneTime) {
        if (a.date != b.date) return a.date > b.date;
    } else if (a.dayChoice != b.dayChoice) {
        return a.dayChoice > b.dayChoice;
    }
    return a.startTime > b.startTime;
}

unsigned NextDay(unsigned mask) { return ((mask << 1) | (mask >> 6)) & 0x7Fu; }

}  // namespace

std::vector<size_t> ScheduleSortOrder(const std::vector<ScheduleItem>& items, ScheduleKind kind) {
    std::vector<size_t> order(items.size());
    std::iota(order.begin(), order.end(), size_t{0});
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (size_t i = 0; i + 1 < order.size(); ++i) {
            if (OutOfOrder(items[order[i]], items[order[i + 1]], kind)) {
                std::swap(order[i], order[i + 1]);
                swapped = true;
            }
        }
    }
    return order;
}

void SortSchedule(std::vector<ScheduleItem>& items, ScheduleKind kind) {
    std::vector<ScheduleItem> sorted;
    sorted.reserve(items.size());
    for (size_t index : ScheduleSortOrder(items, kind)) sorted.push_back(items[index]);
    items.swap(sorted);
}

int CheckConflict(int64_t startA, int32_t lengthA, int64_t startB, int32_t lengthB) {
    if (lengthA == 0 || lengthB == 0) return 0;
    const int64_t endA = startA + lengthA, endB = startB + lengthB;
    if (startA < startB && startB < endA) return 1;
    if (startB < startA && startA < endB) return 2;
    if (startA == startB) return lengthA <= lengthB ? -1 : -2;
    return 0;
}

int64_t ConflictStart(const ScheduleItem& item, ScheduleKind kind) {
    return kind == ScheduleKind::OneTime ? item.startDateTime : item.startTime;
}

unsigned DayMask(int32_t dayChoice) {
    if (dayChoice == 0) return 0x7Fu;
    if (dayChoice >= 1 && dayChoice <= 7) return 1u << (dayChoice - 1);
    if (dayChoice == 8) return 0x3Eu;  // Monday to Friday
    return 0;
}

bool DaysCompatible(int32_t p, int32_t q) {
    return p == q || (DayMask(p) & DayMask(q)) != 0;
}

std::vector<bool> ConflictMarks(const std::vector<ScheduleItem>& items, ScheduleKind kind) {
    std::vector<bool> marked(items.size(), false);
    auto start = [&](size_t i) { return ConflictStart(items[i], kind); };
    if (kind == ScheduleKind::OneTime) {
        for (size_t i = 0; i < items.size(); ++i)
            for (size_t j = i + 1; j < items.size(); ++j)
                if (CheckConflict(start(i), items[i].durationSecs, start(j), items[j].durationSecs) != 0)
                    marked[j] = true;
        return marked;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        for (size_t j = 0; j < items.size(); ++j) {
            if (i == j) continue;
            const ScheduleItem& a = items[i];
            const ScheduleItem& b = items[j];
            if (DaysCompatible(a.dayChoice, b.dayChoice)) {
                int result = CheckConflict(start(i), a.durationSecs, start(j), b.durationSecs);
                if (result == 1 || result == -1) marked[j] = true;
                if (result == 2 || result == -2) marked[i] = true;
            }
            // a runs past midnight into a day on which b starts early.
            if (a.durationSecs > 0 && b.durationSecs > 0 && (NextDay(DayMask(a.dayChoice)) & DayMask(b.dayChoice))) {
                const int64_t nextDayStartB = start(j) + kSecondsPerDay;
                if (start(i) < nextDayStartB && nextDayStartB < start(i) + a.durationSecs) marked[j] = true;
            }
        }
    }
    return marked;
}

}  // namespace lumetra
