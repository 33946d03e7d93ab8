#pragma once
// Text helpers of the program that need no platform: message and time formats, list lookups.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace lumetra {

// "Error %08x : %s" with the code as 32-bit lower-case hexadecimal; code -1 gives text alone.
std::string FormatErrorMessage(const std::string& text, long code);

// Local hour and minute of a time value (seconds since 1970 UTC).
struct ClockTime {
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int weekday = 1;  // 1 = Sunday .. 7 = Saturday
    int month = 1;    // 1..12
    int day = 1;      // 1..31
};
ClockTime LocalClockTime(int32_t time);

// The local calendar parts of a time value (seconds since 1970, UTC).
std::tm LocalParts(int64_t time);

// "12:05 AM", "12:00 PM", "01:07 PM", "09:30 AM".
std::string FormatTime12(const ClockTime& t);
std::string FormatTime12(int32_t time);
// "Sun, Jan 5"; indexes outside the tables give "Non".
std::string FormatLongDate(const ClockTime& t);
std::string FormatLongDate(int32_t time);
// "%d:%02d" of the local hour and minute.
std::string FormatHourMinute(const ClockTime& t);
std::string FormatHourMinute(int32_t time);
// "%d:%02d" of a span's hours within a day and minutes within the hour.
std::string FormatSpan(int32_t seconds);

const char* MonthAbbreviation(int month);      // 1..12, else "Non"
const char* WeekdayAbbreviation(int weekday);  // 1 = Sunday .. 7, else "Non"

bool IsEven(long n);
// Index of the first entry equal byte for byte to text, or -1.
int FindString(const std::vector<std::string>& list, const std::string& text);

// Copies text into a fixed buffer of capacity bytes, cut to fit and always terminated.
void CopyTruncated(char* buffer, size_t capacity, const std::string& text);

// A stored registry text as the program keeps it: the bytes up to the first zero (the whole value
// when it has none), at most capacity - 1 of them.
std::string StoredText(const char* bytes, size_t size, size_t capacity);

// The folder of a program path, as a current directory takes it: the path up to its last backslash,
// keeping that backslash for a drive root ("C:\\" rather than "C:", which names the drive's own
// current folder). Empty when the path has no backslash.
std::string ProgramFolderOf(const std::string& modulePath);

}  // namespace lumetra
