#include "schedule/schedule_item.h"

#include <cstring>
#include <ctime>

#include "app/format.h"
#include "controls/clock_geometry.h"
#include "schedule/schedule_texts.h"

namespace lumetra {
namespace {

void Put(ScheduleRecord& r, size_t offset, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i) r[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

int32_t Get(const uint8_t* bytes, size_t offset) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return static_cast<int32_t>(v);
}

constexpr size_t kNameOffset = 36;
constexpr int32_t kSecondsPerDay = 86400;

bool InRange(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }

}  // namespace

ScheduleItem::ScheduleItem() {
    const int32_t reference = TimeOnReferenceDay(0, 0);
    startDateTime = date = startTime = reference;
    std::memcpy(name, "---", 4);
}

std::string ScheduleItem::Name() const {
    return std::string(name, strnlen(name, kScheduleNameBytes));
}

void ScheduleItem::SetName(const std::string& text) {
    std::memset(name, 0, sizeof name);
    text.copy(name, text.size() < kScheduleNameBytes - 1 ? text.size() : kScheduleNameBytes - 1);
}

ScheduleRecord EncodeScheduleItem(const ScheduleItem& item) {
    ScheduleRecord r{};
    const int32_t fields[] = {item.enabled,      item.startDateTime, item.date,
                              item.startTime,    item.durationSecs,  item.dayChoice,
                              item.sourceChoice, item.channelChoice, item.status};
    for (size_t i = 0; i < 9; ++i) Put(r, i * 4, fields[i]);
    std::memcpy(r.data() + kNameOffset, item.name, kScheduleNameBytes);
    return r;
}

std::optional<ScheduleItem> DecodeScheduleItem(const uint8_t* bytes, size_t size) {
    if (!bytes || size != kScheduleItemBytes) return std::nullopt;
    ScheduleItem item;
    item.enabled = Get(bytes, 0);
    item.startDateTime = Get(bytes, 4);
    item.date = Get(bytes, 8);
    item.startTime = Get(bytes, 12);
    item.durationSecs = Get(bytes, 16);
    item.dayChoice = Get(bytes, 20);
    item.sourceChoice = Get(bytes, 24);
    item.channelChoice = Get(bytes, 28);
    item.status = Get(bytes, 32);
    const char* name = reinterpret_cast<const char*>(bytes + kNameOffset);
    if (strnlen(name, kScheduleNameBytes) == kScheduleNameBytes) return std::nullopt;
    std::memcpy(item.name, name, kScheduleNameBytes);

    const int32_t lastDay = static_cast<int32_t>(DayChoices().size()) - 1;
    const int32_t lastSource = static_cast<int32_t>(SourceChoices().size()) - 1;
    const int32_t lastChannel = static_cast<int32_t>(ChannelChoices().size()) - 1;
    if (!InRange(item.enabled, 0, 1) || !InRange(item.durationSecs, 0, kSecondsPerDay - 1) ||
        !InRange(item.dayChoice, -1, lastDay) || !InRange(item.sourceChoice, -1, lastSource) ||
        !InRange(item.channelChoice, -1, lastChannel) || !InRange(item.status, 0, kLastStatus))
        return std::nullopt;
    return item;
}

int32_t CombineDateAndTime(int32_t date, int32_t time) {
    std::tm day = LocalParts(date);
    std::tm clock = LocalParts(time);
    day.tm_hour = clock.tm_hour;
    day.tm_min = clock.tm_min;
    day.tm_sec = 0;
    day.tm_isdst = -1;  // the platform decides daylight saving
    return static_cast<int32_t>(std::mktime(&day));
}

bool SameEntry(const ScheduleItem& a, const ScheduleItem& b) {
    ScheduleRecord ra = EncodeScheduleItem(a), rb = EncodeScheduleItem(b);
    // Bytes 0..3 are the armed flag, 32..35 the status.
    for (size_t i = 4; i < kScheduleItemBytes; ++i) {
        if (i >= 32 && i < 36) continue;
        if (ra[i] != rb[i]) return false;
    }
    return true;
}

size_t ScheduleList::Append(const ScheduleItem& item) {
    items_.push_back(item);
    return items_.size() - 1;
}

bool ScheduleList::Remove(size_t index) {
    if (index >= items_.size()) return false;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

}  // namespace lumetra
