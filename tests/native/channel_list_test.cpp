// The TV tuner window's channel bookkeeping.
#include <gtest/gtest.h>

#include "tv/channel_list.h"

namespace lumetra {
namespace {

ChannelList ListOf(std::initializer_list<int> channels) {
    ChannelList list;
    for (int c : channels) list.Insert(c);
    return list;
}

TEST(ChannelWrap, BelowMinIsMaxAboveMaxIsMin) {
    EXPECT_EQ(WrapChannel(1, 2, 69), 69);
    EXPECT_EQ(WrapChannel(70, 2, 69), 2);
    EXPECT_EQ(WrapChannel(2, 2, 69), 2);
    EXPECT_EQ(WrapChannel(69, 2, 69), 69);
    EXPECT_EQ(WrapChannel(5000, 1, 125), 1);
}

TEST(ChannelText, LeadingDigits) {
    EXPECT_EQ(LeadingNumber("7"), 7);
    EXPECT_EQ(LeadingNumber("125abc"), 125);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber(" 12"), 0);
    EXPECT_EQ(LeadingNumber("99999999999999"), 999999999);  // nine digits at most, no overflow
}

TEST(ChannelListTest, InsertKeepsTheListAscending) {
    ChannelList list = ListOf({9, 2, 5});
    EXPECT_EQ(list.Channels(), (std::vector<int>{2, 5, 9}));
    EXPECT_TRUE(list.Insert(7));
    EXPECT_EQ(list.Channels(), (std::vector<int>{2, 5, 7, 9}));
    EXPECT_TRUE(list.Insert(12));
    EXPECT_EQ(list.Channels().back(), 12);
    EXPECT_FALSE(list.Insert(7));  // already listed
    ChannelList::Lookup at = list.Find(6);
    EXPECT_FALSE(at.found);
    EXPECT_EQ(at.insertAt, 2);
    EXPECT_EQ(list.Find(13).insertAt, -1);
    EXPECT_EQ(list.Find(9).index, 3);
}

TEST(ChannelListTest, RemovingMakesTheNeighbourCurrent) {
    ChannelList list = ListOf({2, 5, 9});
    EXPECT_EQ(list.Remove(5), 9);   // the entry now at the same index
    EXPECT_EQ(list.Remove(9), 2);   // the last one: the new last entry
    EXPECT_EQ(list.Remove(4), -1);  // not listed
    EXPECT_EQ(list.Remove(2), -1);  // nothing left
    EXPECT_TRUE(list.Empty());
}

TEST(ChannelListTest, NextAndPreviousWrapRound) {
    ChannelList list = ListOf({2, 5, 9});
    EXPECT_EQ(list.Next(9), 2);
    EXPECT_EQ(list.Next(2), 5);
    EXPECT_EQ(list.Next(6), 9);      // not listed: the first larger one
    EXPECT_EQ(list.Next(10), 2);     // nothing larger
    EXPECT_EQ(list.Previous(2), 9);
    EXPECT_EQ(list.Previous(9), 5);
    EXPECT_EQ(list.Previous(6), 5);  // before the insertion place
    EXPECT_EQ(list.Previous(1), 9);
    EXPECT_EQ(list.Previous(10), 9);
    EXPECT_EQ(ChannelList().Next(3), -1);
    EXPECT_EQ(ChannelList().Previous(3), -1);
}

TEST(ChannelListTest, HighChannelsAreNeverListed) {
    ChannelList list;
    EXPECT_FALSE(list.Insert(256));
    EXPECT_FALSE(list.Append(300));
    EXPECT_FALSE(list.Insert(-1));
    list.Fill(200, 999);
    EXPECT_EQ(list.Count(), 56);  // 200..255
    EXPECT_EQ(list.Channels().back(), 255);
    list.Fill(0, 1000);
    EXPECT_EQ(list.Count(), 256);
    EXPECT_EQ(list.Encode().size(), 256u);
}

TEST(ChannelListTest, StoredFormRoundTrip) {
    ChannelList list = ListOf({2, 4, 255});
    EXPECT_EQ(list.Encode(), (std::vector<uint8_t>{2, 4, 255}));
    ChannelList back;
    ASSERT_TRUE(back.Decode(list.Encode(), 1, 255));
    EXPECT_EQ(back.Channels(), list.Channels());
}

TEST(ChannelListTest, DamagedStoredListsAreRepairedOrRefused) {
    ChannelList list = ListOf({7});
    EXPECT_FALSE(list.Decode({}, 1, 125));
    EXPECT_FALSE(list.Decode(std::vector<uint8_t>(257, 5), 1, 125));
    EXPECT_FALSE(list.Decode({0, 200}, 1, 125));  // nothing inside the range
    EXPECT_EQ(list.Channels(), (std::vector<int>{7}));  // a refused value changes nothing
    ASSERT_TRUE(list.Decode({9, 3, 9, 0, 130, 5}, 1, 125));
    EXPECT_EQ(list.Channels(), (std::vector<int>{3, 5, 9}));
}

TEST(RecentChannelsTest, RememberShiftsAndKeepsOrder) {
    RecentChannels recent;
    EXPECT_EQ(recent.Remember(7), 0);
    EXPECT_EQ(recent.Remember(9), 0);
    EXPECT_EQ(recent.At(1), 7);
    EXPECT_EQ(recent.Remember(7), 1);  // already there: nothing moves
    EXPECT_EQ(recent.At(0), 9);
    recent.Remember(11);
    recent.Remember(13);
    recent.Remember(15);  // the oldest (7) falls out
    EXPECT_EQ(recent.Find(7), -1);
    EXPECT_EQ(recent.At(0), 15);
    EXPECT_EQ(recent.At(3), 9);
    EXPECT_EQ(recent.Packed(), 15u | 13u << 8 | 11u << 16 | 9u << 24);
    EXPECT_EQ(RecentChannels(recent.Packed()).At(2), 11);
    EXPECT_EQ(recent.Remember(300), -1);  // cannot be kept in a byte
    EXPECT_EQ(recent.At(0), 15);
}

TEST(TypedChannelTest, TwoDigitsWaitThreeTuneOrDiscard) {
    TypedChannel typed;
    int channel = 0;
    EXPECT_EQ(typed.AddDigit(7, 2, 69, channel), TypedChannel::Outcome::Waiting);
    EXPECT_EQ(typed.Value(), 7);
    typed.Clear();
    EXPECT_EQ(typed.AddDigit(1, 2, 69, channel), TypedChannel::Outcome::Waiting);
    EXPECT_EQ(typed.AddDigit(2, 2, 69, channel), TypedChannel::Outcome::Waiting);
    EXPECT_EQ(typed.AddDigit(5, 2, 69, channel), TypedChannel::Outcome::Discard);
    EXPECT_EQ(channel, 125);
    EXPECT_EQ(typed.Value(), 0);
    EXPECT_EQ(typed.AddDigit(1, 1, 125, channel), TypedChannel::Outcome::Waiting);
    EXPECT_EQ(typed.AddDigit(0, 1, 125, channel), TypedChannel::Outcome::Waiting);
    EXPECT_EQ(typed.AddDigit(0, 1, 125, channel), TypedChannel::Outcome::Tune);
    EXPECT_EQ(channel, 100);
    EXPECT_EQ(typed.Value(), 0);
}

}  // namespace
}  // namespace lumetra
