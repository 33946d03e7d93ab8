#pragma once
// Runs a test in a fixed local time zone and builds local time values for it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

namespace lumetra::testing {

// Central European time with daylight saving: local and UTC differ, so a test that mixes them fails.
class LocalZone : public ::testing::Test {
public:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        hadTz_ = tz != nullptr;
        saved_ = tz ? tz : "";
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) setenv("TZ", saved_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    // A local time value.
    static int32_t Local(int year, int month, int day, int hour, int minute, int second = 0) {
        std::tm t{};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        t.tm_hour = hour;
        t.tm_min = minute;
        t.tm_sec = second;
        t.tm_isdst = -1;
        return static_cast<int32_t>(std::mktime(&t));
    }

private:
    std::string saved_;
    bool hadTz_ = false;
};

}  // namespace lumetra::testing
