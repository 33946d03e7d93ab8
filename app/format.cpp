#include "app/format.h"

#include <cstdio>
#include <ctime>

namespace lumetra {

std::string FormatErrorMessage(const std::string& text, long code) {
    if (code == -1) return text;
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "Error %08x : ", static_cast<unsigned>(static_cast<uint32_t>(code)));
    return prefix + text;
}

std::tm LocalParts(int64_t time) {
    std::time_t t = static_cast<std::time_t>(time);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &t);
#else
    localtime_r(&t, &parts);
#endif
    return parts;
}

ClockTime LocalClockTime(int32_t time) {
    const std::tm parts = LocalParts(time);
    ClockTime c;
    c.hour = parts.tm_hour;
    c.minute = parts.tm_min;
    c.weekday = parts.tm_wday + 1;
    c.month = parts.tm_mon + 1;
    c.day = parts.tm_mday;
    return c;
}

std::string FormatTime12(const ClockTime& t) {
    char text[32];
    if (t.hour == 0) std::snprintf(text, sizeof text, "12:%02d AM", t.minute);
    else if (t.hour == 12) std::snprintf(text, sizeof text, "12:%02d PM", t.minute);
    else if (t.hour > 12) std::snprintf(text, sizeof text, "%02d:%02d PM", t.hour - 12, t.minute);
    else std::snprintf(text, sizeof text, "%02d:%02d AM", t.hour, t.minute);
    return text;
}

std::string FormatTime12(int32_t time) { return FormatTime12(LocalClockTime(time)); }

const char* MonthAbbreviation(int month) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return month >= 1 && month <= 12 ? kMonths[month - 1] : "Non";
}

const char* WeekdayAbbreviation(int weekday) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    return weekday >= 1 && weekday <= 7 ? kDays[weekday - 1] : "Non";
}

std::string FormatLongDate(const ClockTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%s, %s %d", WeekdayAbbreviation(t.weekday), MonthAbbreviation(t.month), t.day);
    return text;
}

std::string FormatLongDate(int32_t time) { return FormatLongDate(LocalClockTime(time)); }

std::string FormatHourMinute(const ClockTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", t.hour, t.minute);
    return text;
}

std::string FormatHourMinute(int32_t time) { return FormatHourMinute(LocalClockTime(time)); }

std::string FormatSpan(int32_t seconds) {
    int32_t hours = seconds / 3600;
    int32_t days = seconds / 86400;
    int32_t minutes = seconds / 60;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(hours - days * 24),
                  static_cast<int>(minutes - hours * 60));
    return text;
}

bool IsEven(long n) { return n % 2 == 0; }

int FindString(const std::vector<std::string>& list, const std::string& text) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == text) return static_cast<int>(i);
    return -1;
}

void CopyTruncated(char* buffer, size_t capacity, const std::string& text) {
    if (capacity == 0) return;
    size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    text.copy(buffer, n);
    buffer[n] = '\0';
}

std::string StoredText(const char* bytes, size_t size, size_t capacity) {
    if (!bytes || capacity == 0) return {};
    size_t length = 0;
    while (length < size && bytes[length] != '\0') ++length;
    return std::string(bytes, length < capacity - 1 ? length : capacity - 1);
}

std::string ProgramFolderOf(const std::string& modulePath) {
    size_t slash = modulePath.find_last_of('\\');
    if (slash == std::string::npos) return {};
    bool driveRoot = slash == 2 && modulePath[1] == ':';
    return modulePath.substr(0, driveRoot ? slash + 1 : slash);
}

}  // namespace lumetra
