#include "schedule/schedule_item.h"
#include "schedule/schedule_texts.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/native/local_zone.h"

namespace lumetra {
namespace {

using ScheduleRecordForm = testing::LocalZone;

ScheduleItem Sample() {
    ScheduleItem item;
    item.enabled = 1;
    item.date = ScheduleRecordForm::Local(2004, 3, 5, 0, 0);
    item.startTime = ScheduleRecordForm::Local(2000, 1, 1, 21, 15);
    item.startDateTime = CombineDateAndTime(item.date, item.startTime);
    item.durationSecs = 5400;
    item.dayChoice = -1;
    item.sourceChoice = 0;
    item.channelChoice = 12;
    item.status = kStatusOk;
    item.SetName("News");
    return item;
}

TEST_F(ScheduleRecordForm, DefaultsOfANewEntry) {
    ScheduleItem item;
    EXPECT_EQ(item.enabled, 1);
    EXPECT_EQ(item.date, Local(2000, 1, 1, 0, 0));
    EXPECT_EQ(item.startTime, Local(2000, 1, 1, 0, 0));
    EXPECT_EQ(item.startDateTime, Local(2000, 1, 1, 0, 0));
    EXPECT_EQ(item.durationSecs, 0);
    EXPECT_EQ(item.dayChoice, -1);
    EXPECT_EQ(item.sourceChoice, -1);
    EXPECT_EQ(item.channelChoice, -1);
    EXPECT_EQ(item.status, kStatusNew);
    EXPECT_EQ(item.Name(), "---");
}

TEST_F(ScheduleRecordForm, HundredLittleEndianBytesInFieldOrder) {
    ScheduleItem item = Sample();
    ScheduleRecord r = EncodeScheduleItem(item);
    ASSERT_EQ(r.size(), 100u);
    auto at = [&](size_t offset) {
        return static_cast<int32_t>(r[offset] | r[offset + 1] << 8 | r[offset + 2] << 16 |
                                    static_cast<uint32_t>(r[offset + 3]) << 24);
    };
    EXPECT_EQ(at(0), 1);
    EXPECT_EQ(at(4), item.startDateTime);
    EXPECT_EQ(at(8), item.date);
    EXPECT_EQ(at(12), item.startTime);
    EXPECT_EQ(at(16), 5400);
    EXPECT_EQ(at(20), -1);
    EXPECT_EQ(r[20], 0xFF);
    EXPECT_EQ(at(24), 0);
    EXPECT_EQ(at(28), 12);
    EXPECT_EQ(at(32), 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(r.data() + 36), "News");
    EXPECT_EQ(r[99], 0);
}

TEST_F(ScheduleRecordForm, RoundTripKeepsEveryField) {
    ScheduleItem item = Sample();
    ScheduleRecord r = EncodeScheduleItem(item);
    auto back = DecodeScheduleItem(r.data(), r.size());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(EncodeScheduleItem(*back), r);
    EXPECT_EQ(back->Name(), "News");
    EXPECT_TRUE(SameEntry(*back, item));
    EXPECT_EQ(back->startDateTime, Local(2004, 3, 5, 21, 15));
}

TEST_F(ScheduleRecordForm, DamagedRecordsAreRefused) {
    ScheduleRecord good = EncodeScheduleItem(Sample());
    EXPECT_FALSE(DecodeScheduleItem(good.data(), 99).has_value());
    EXPECT_FALSE(DecodeScheduleItem(good.data(), 0).has_value());
    EXPECT_FALSE(DecodeScheduleItem(nullptr, 100).has_value());
    std::vector<uint8_t> longer(good.begin(), good.end());
    longer.push_back(0);
    EXPECT_FALSE(DecodeScheduleItem(longer.data(), longer.size()).has_value());

    auto withField = [&](size_t offset, int32_t value) {
        ScheduleRecord r = good;
        for (size_t i = 0; i < 4; ++i) r[offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
        return DecodeScheduleItem(r.data(), r.size()).has_value();
    };
    EXPECT_FALSE(withField(0, 7));        // armed flag
    EXPECT_FALSE(withField(16, -60));     // negative length
    EXPECT_FALSE(withField(16, 86400));   // a day or more
    EXPECT_FALSE(withField(20, 9));       // day choice past the list
    EXPECT_FALSE(withField(24, 4));       // source past the list
    EXPECT_FALSE(withField(28, 100));     // channel past the list
    EXPECT_FALSE(withField(28, -2));
    EXPECT_FALSE(withField(32, 8));       // unknown status
    EXPECT_TRUE(withField(20, 8));
    EXPECT_TRUE(withField(16, 86399));

    // A name that fills all 64 bytes has lost its terminator.
    ScheduleRecord noEnd = good;
    std::memset(noEnd.data() + 36, 'A', 64);
    EXPECT_FALSE(DecodeScheduleItem(noEnd.data(), noEnd.size()).has_value());
}

TEST_F(ScheduleRecordForm, LongNamesAreCutTo63Characters) {
    ScheduleItem item;
    item.SetName(std::string(80, 'x'));
    EXPECT_EQ(item.Name(), std::string(63, 'x'));
    ScheduleRecord r = EncodeScheduleItem(item);
    EXPECT_EQ(r[36 + 63], 0);
    EXPECT_TRUE(DecodeScheduleItem(r.data(), r.size()).has_value());
}

TEST_F(ScheduleRecordForm, StartCombinesTheDateWithTheTime) {
    // The date's own time of day is replaced; the start's date is not used.
    EXPECT_EQ(CombineDateAndTime(Local(2004, 3, 5, 13, 47, 12), Local(2000, 1, 1, 9, 30)), Local(2004, 3, 5, 9, 30));
    // Across the change to summer time the clock time is kept.
    EXPECT_EQ(CombineDateAndTime(Local(2004, 3, 28, 0, 0), Local(2000, 1, 1, 21, 0)), Local(2004, 3, 28, 21, 0));
}

TEST_F(ScheduleRecordForm, SameEntryIgnoresStatusAndArmedFlagOnly) {
    ScheduleItem a = Sample(), b = Sample();
    b.status = kStatusRecorded;
    b.enabled = 0;
    EXPECT_TRUE(SameEntry(a, b));
    b.durationSecs += 60;
    EXPECT_FALSE(SameEntry(a, b));
}

TEST(ScheduleListArray, AppendRemoveClear) {
    ScheduleList list;
    ScheduleItem a, b, c;
    a.SetName("a");
    b.SetName("b");
    c.SetName("c");
    EXPECT_EQ(list.Append(a), 0u);
    EXPECT_EQ(list.Append(b), 1u);
    EXPECT_EQ(list.Append(c), 2u);
    EXPECT_TRUE(list.Remove(1));
    ASSERT_EQ(list.Size(), 2u);
    EXPECT_EQ(list.At(1)->Name(), "c");
    EXPECT_FALSE(list.Remove(2));
    EXPECT_EQ(list.At(2), nullptr);
    list.Clear();
    EXPECT_EQ(list.Size(), 0u);
}

using ScheduleTexts = testing::LocalZone;

TEST_F(ScheduleTexts, TimesLengthsDatesAndChannels) {
    EXPECT_EQ(StartTimeText(Local(2000, 1, 1, 0, 5)), "12:05 AM");
    EXPECT_EQ(StartTimeText(Local(2000, 1, 1, 9, 30)), "09:30 AM");
    EXPECT_EQ(StartTimeText(Local(2000, 1, 1, 12, 0)), "12:00 PM");
    EXPECT_EQ(StartTimeText(Local(2000, 1, 1, 17, 45)), "05:45 PM");
    EXPECT_EQ(LengthText(5400), "1:30");
    EXPECT_EQ(LengthText(60), "0:01");
    EXPECT_EQ(LengthText(23 * 3600 + 59 * 60), "23:59");
    EXPECT_EQ(DateText(Local(2004, 3, 5, 0, 0)), "Fri, Mar 5");
    EXPECT_EQ(DateText(Local(2004, 12, 31, 23, 59)), "Fri, Dec 31");
    EXPECT_EQ(ChannelText(0, 7), "07");
    EXPECT_EQ(ChannelText(1, 7), "--NA--");
    EXPECT_EQ(ChannelText(-1, -1), "--NA--");
}

TEST(ScheduleChoices, ListsAndStatusTexts) {
    ASSERT_EQ(DayChoices().size(), 9u);
    EXPECT_EQ(DayChoices()[1], "Sunday");
    EXPECT_EQ(DayChoices()[7], "Saturday");
    EXPECT_EQ(SourceChoices().size(), 4u);
    EXPECT_EQ(ChannelChoices().size(), 100u);
    EXPECT_EQ(ChannelChoices()[7], ChannelText(0, 7));  // the cell shows the same text either way
    EXPECT_GE(StatusTexts().size(), 6u);
    EXPECT_EQ(StatusText(kStatusConflict), StatusTexts()[5]);
    EXPECT_EQ(StatusText(99), "");
    EXPECT_EQ(StatusText(-1), "");
    EXPECT_EQ(ChoiceText(DayChoices(), 9), "------");
    EXPECT_EQ(ChoiceText(DayChoices(), -1), "------");
}

TEST(ScheduleCompleteness, RequiredCellsDependOnTheSource) {
    std::vector<std::string> row{"", "<<-- New Item -->>", "Fri, Mar 5", "09:30 AM", "1:00", "Composite", "------",
                                 "New", "x"};
    EXPECT_TRUE(IsRowComplete(row, 1));  // no channel needed for composite
    EXPECT_FALSE(IsRowComplete(row, 0));  // the tuner needs one
    row[kColChannel] = "12";
    EXPECT_TRUE(IsRowComplete(row, 0));
    for (int column : {kColDay, kColStart, kColLength, kColSource}) {
        std::vector<std::string> missing = row;
        missing[column] = "------";
        EXPECT_FALSE(IsRowComplete(missing, 0)) << column;
    }
    row[kColName] = "------";  // the name is never required
    EXPECT_TRUE(IsRowComplete(row, 0));
    EXPECT_FALSE(IsRowComplete({"", "x", "y"}, 1));  // too few cells
}

}  // namespace
}  // namespace lumetra
