#include "skin/skin_format.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

TEST(NextField, DropsLeadingBlanksKeepsBlanksBeforeComma) {
    std::string rest = "  BUTTON_EXIT ,  10,20";
    EXPECT_EQ(NextField(rest), "BUTTON_EXIT ");
    EXPECT_EQ(NextField(rest), "10");
    EXPECT_EQ(NextField(rest), "20");
}

TEST(NextField, PastTheLastFieldRepeatsIt) {
    std::string rest = "a,b";
    EXPECT_EQ(NextField(rest), "a");
    EXPECT_EQ(NextField(rest), "b");
    EXPECT_EQ(NextField(rest), "b");
    EXPECT_EQ(NextField(rest), "b");
    std::string empty;
    EXPECT_EQ(NextField(empty), "");
    std::string blanks = "   ";
    EXPECT_EQ(NextField(blanks), "");
}

TEST(NextField, EmptyFieldsBetweenCommas) {
    std::string rest = "x,,y";
    EXPECT_EQ(NextField(rest), "x");
    EXPECT_EQ(NextField(rest), "");
    EXPECT_EQ(NextField(rest), "y");
}

TEST(ParseInt, DigitsUpToFirstOtherCharacter) {
    EXPECT_EQ(ParseInt("42"), 42);
    EXPECT_EQ(ParseInt("-7px"), -7);
    EXPECT_EQ(ParseInt("+3"), 3);
    EXPECT_EQ(ParseInt("abc"), 0);
    EXPECT_EQ(ParseInt(""), 0);
    EXPECT_EQ(ParseInt("16777215"), 16777215);
    EXPECT_EQ(ParseInt("99999999999999999999"), 2147483647);
}

TEST(ReadRect, SizesBecomeRightAndBottom) {
    std::string rest = "10, 20, 30, 40";
    SkinRect r = ReadRect(rest);
    EXPECT_EQ(r, (SkinRect{10, 20, 40, 60}));
    std::string huge = "2147483000,0,2147483000,1";
    EXPECT_EQ(ReadRect(huge).right, 2147483647);
}

TEST(Flags, FirstCharacterOnly) {
    EXPECT_TRUE(IsTrueFlag("TRUE"));
    EXPECT_TRUE(IsTrueFlag("Tx"));
    EXPECT_FALSE(IsTrueFlag("true"));
    EXPECT_FALSE(IsTrueFlag(""));
    EXPECT_TRUE(IsHorizontal("H"));
    EXPECT_TRUE(IsHorizontal("Horizontal"));
    EXPECT_FALSE(IsHorizontal("h"));  // lower-case h is vertical
    EXPECT_FALSE(IsHorizontal("V"));
}

TEST(SplitKeyList, DoubleZeroTerminated) {
    const char list[] = "FOLDER\0" "1\0" "2\0";
    auto keys = SplitKeyList(list, sizeof list);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0], "FOLDER");
    EXPECT_EQ(keys[2], "2");
    EXPECT_TRUE(SplitKeyList("\0", 2).empty());
    // A list cut by its buffer without the final terminator stops at the end.
    const char cut[] = {'a', 0, 'b', 'c'};
    keys = SplitKeyList(cut, sizeof cut);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[1], "bc");
}

TEST(ButtonEntry, PlainPushButtonWithTwoTooltips) {
    ButtonEntry e = ParseButtonEntry("BUTTON_VIDCAP,10,20,30,40,TYPE_PUSH,Record,Recording");
    EXPECT_EQ(e.name, "BUTTON_VIDCAP");
    EXPECT_EQ(e.rect, (SkinRect{10, 20, 40, 60}));
    EXPECT_TRUE(e.shapeFile.empty());
    EXPECT_EQ(e.type, ButtonType::Push);
    EXPECT_EQ(e.tooltip, "Record");
    EXPECT_EQ(e.onTooltip, "Recording");
}

TEST(ButtonEntry, ShapeFileRadioGroupAndRepeatedTooltip) {
    ButtonEntry e = ParseButtonEntry("BUTTON_INPUT_TUNER,1,2,3,4,tuner.bmp,TYPE_RADIO,2,TV");
    EXPECT_EQ(e.shapeFile, "tuner.bmp");
    EXPECT_EQ(e.type, ButtonType::Radio);
    EXPECT_EQ(e.radioGroup, 2);
    EXPECT_EQ(e.tooltip, "TV");
    EXPECT_EQ(e.onTooltip, "TV");  // missing field repeats the last one
}

TEST(ButtonEntry, OnOffAndEmptyTooltip) {
    ButtonEntry e = ParseButtonEntry("BUTTON_MUTE,0,0,8,8,TYPE_ON_OFF,");
    EXPECT_EQ(e.type, ButtonType::OnOff);
    EXPECT_EQ(e.tooltip, "");
    EXPECT_EQ(e.onTooltip, "");
}

TEST(ButtonEntry, TrailingBlankStaysInTheName) {
    EXPECT_EQ(ParseButtonEntry("BUTTON_EXIT ,0,0,1,1,TYPE").name, "BUTTON_EXIT ");
}

TEST(ButtonEntry, FewerFieldsRepeatTheLastPresentOne) {
    // Only a name and x: y, w, h read the x field again; the type field reads it too.
    ButtonEntry e = ParseButtonEntry("BUTTON_X,5");
    EXPECT_EQ(e.rect, (SkinRect{5, 5, 10, 10}));
    EXPECT_EQ(e.shapeFile, "5");
}

TEST(ButtonEntry, EntryIsCutAt255Characters) {
    std::string longTip(300, 't');
    ButtonEntry e = ParseButtonEntry("B,0,0,1,1,TYPE," + longTip);
    EXPECT_EQ(e.tooltip.size(), 255u - std::string("B,0,0,1,1,TYPE,").size());
}

TEST(OtherEntries, ProgressTrackbarText) {
    ProgressEntry p = ParseProgressEntry("PROGRESS_VIDEO,1,2,100,8,H,Position");
    EXPECT_TRUE(p.horizontal);
    EXPECT_EQ(p.tooltip, "Position");
    EXPECT_EQ(p.rect.Width(), 100);

    TrackbarEntry t = ParseTrackbarEntry("TRACKBAR_VOLUME,0,0,20,100,h,35,unused");
    EXPECT_FALSE(t.horizontal);
    EXPECT_EQ(t.position, 35);

    TextEntry x = ParseTextEntry("TEXT_CLOCK,Tahoma,TRUE,FALSE,14,255,5,6,70,16,12:00,x");
    EXPECT_EQ(x.face, "Tahoma");
    EXPECT_TRUE(x.bold);
    EXPECT_FALSE(x.italic);
    EXPECT_EQ(x.height, 14);
    EXPECT_EQ(x.color, 255u);
    EXPECT_EQ(x.rect, (SkinRect{5, 6, 75, 22}));
    EXPECT_EQ(x.text, "12:00");
}

TEST(ViewEntry, FolderPrefixAndTitle) {
    ViewEntry v = ParseViewEntry("Default\\", "Full.ini,Full panel");
    EXPECT_EQ(v.file, "Default\\Full.ini");
    EXPECT_EQ(v.title, "Full panel");
    EXPECT_EQ(FolderOf("C:\\skins\\Default\\Full.ini"), "C:\\skins\\Default\\");
    EXPECT_EQ(FolderOf("Full.ini"), "");
}

}  // namespace
}  // namespace lumetra
