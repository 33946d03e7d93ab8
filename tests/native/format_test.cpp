#include "app/format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace lumetra {
namespace {

TEST(FormatErrorMessage, CodeMinusOneShowsTextAlone) {
    EXPECT_EQ(FormatErrorMessage("x", -1), "x");
}

TEST(FormatErrorMessage, CodeIsEightLowerCaseHexDigits) {
    EXPECT_EQ(FormatErrorMessage("x", 5), "Error 00000005 : x");
    EXPECT_EQ(FormatErrorMessage("Cannot play", 0x8004025fL), "Error 8004025f : Cannot play");
    // A negative result code prints as its 32-bit two's complement.
    EXPECT_EQ(FormatErrorMessage("y", -2147024894L), "Error 80070002 : y");
    EXPECT_EQ(FormatErrorMessage("z", -2), "Error fffffffe : z");
}

TEST(FormatTime12, HoursMapToTwelveHourClock) {
    EXPECT_EQ(FormatTime12(ClockTime{0, 5}), "12:05 AM");
    EXPECT_EQ(FormatTime12(ClockTime{12, 0}), "12:00 PM");
    EXPECT_EQ(FormatTime12(ClockTime{13, 7}), "01:07 PM");
    EXPECT_EQ(FormatTime12(ClockTime{9, 30}), "09:30 AM");
    EXPECT_EQ(FormatTime12(ClockTime{23, 59}), "11:59 PM");
    EXPECT_EQ(FormatTime12(ClockTime{11, 0}), "11:00 AM");
}

TEST(FormatLongDate, TablesAndFallback) {
    ClockTime sunday5thJanuary{0, 0, 1, 1, 5};
    EXPECT_EQ(FormatLongDate(sunday5thJanuary), "Sun, Jan 5");
    EXPECT_EQ(FormatLongDate(ClockTime{0, 0, 7, 12, 31}), "Sat, Dec 31");
    EXPECT_EQ(FormatLongDate(ClockTime{0, 0, 0, 13, 1}), "Non, Non 1");
    EXPECT_STREQ(WeekdayAbbreviation(8), "Non");
    EXPECT_STREQ(MonthAbbreviation(0), "Non");
}

TEST(FormatHourMinute, NoLeadingZeroOnHour) {
    EXPECT_EQ(FormatHourMinute(ClockTime{7, 5}), "7:05");
    EXPECT_EQ(FormatHourMinute(ClockTime{23, 0}), "23:00");
}

TEST(FormatSpan, ShowsHoursWithinDayAndMinutesWithinHour) {
    EXPECT_EQ(FormatSpan(86400 + 3600 + 60 + 1), "1:01");
    EXPECT_EQ(FormatSpan(0), "0:00");
    EXPECT_EQ(FormatSpan(2 * 3600 + 30 * 60), "2:30");
    EXPECT_EQ(FormatSpan(23 * 3600 + 59 * 60 + 59), "23:59");
}

class UtcTime : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        saved_ = tz ? tz : "";
        hadTz_ = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) setenv("TZ", saved_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    std::string saved_;
    bool hadTz_ = false;
};

TEST_F(UtcTime, TimeValuesUseLocalClock) {
    // 2020-01-05 (a Sunday) 13:07:00 UTC.
    const int32_t t = 1578229620;
    EXPECT_EQ(FormatTime12(t), "01:07 PM");
    EXPECT_EQ(FormatLongDate(t), "Sun, Jan 5");
    EXPECT_EQ(FormatHourMinute(t), "13:07");
}

TEST(IsEven, Alternation) {
    EXPECT_TRUE(IsEven(0));
    EXPECT_FALSE(IsEven(3));
    EXPECT_TRUE(IsEven(-4));
    EXPECT_FALSE(IsEven(-1));
}

TEST(FindString, FirstExactMatch) {
    std::vector<std::string> list{"a", "B", "b", "b"};
    EXPECT_EQ(FindString(list, "b"), 2);
    EXPECT_EQ(FindString(list, "A"), -1);
    EXPECT_EQ(FindString({}, "a"), -1);
}

TEST(CopyTruncated, NeverWritesPastCapacity) {
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    CopyTruncated(buffer, 4, "abcdefgh");
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(buffer[4], 'x');
    CopyTruncated(buffer, 8, "ab");
    EXPECT_STREQ(buffer, "ab");
}

TEST(StoredText, UpToTheFirstZeroAndWithinCapacity) {
    EXPECT_EQ(StoredText("abc\0def", 8, 128), "abc");
    EXPECT_EQ(StoredText("abcdef", 6, 128), "abcdef");  // stored without its terminator
    EXPECT_EQ(StoredText("abcdef", 6, 4), "abc");
    EXPECT_EQ(StoredText("abcdef", 0, 4), "");
    EXPECT_EQ(StoredText("abc", 3, 0), "");
    EXPECT_EQ(StoredText(nullptr, 5, 4), "");
}

TEST(ProgramFolder, PathUpToTheLastBackslashKeepingADriveRoot) {
    EXPECT_EQ(ProgramFolderOf("C:\\Program Files\\Lumetra\\Lumetra.exe"), "C:\\Program Files\\Lumetra");
    // "C:" alone would name the drive's current folder, not its root.
    EXPECT_EQ(ProgramFolderOf("C:\\Lumetra.exe"), "C:\\");
    EXPECT_EQ(ProgramFolderOf("\\\\server\\share\\Lumetra.exe"), "\\\\server\\share");
    EXPECT_EQ(ProgramFolderOf("Lumetra.exe"), "");
}

}  // namespace
}  // namespace lumetra
