#include "mainwnd/menu_items.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

TEST(MenuItems, SeparatorsTitlesMarkedAndCommands) {
    auto items = BuildMenuItems({"TITLE:--- Recording Input ---", "Line-In", "Mic", "SEPERATOR", "Mute"}, 2);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].kind, MenuItemKind::Title);
    EXPECT_EQ(items[0].text, "--- Recording Input ---");
    EXPECT_EQ(items[1].kind, MenuItemKind::Plain);
    EXPECT_EQ(items[1].command, 2);
    EXPECT_EQ(items[2].kind, MenuItemKind::Marked);
    EXPECT_EQ(items[3].kind, MenuItemKind::Separator);
    EXPECT_EQ(items[4].command, 5);
    // "TITLE" without the colon, and the correctly spelled "SEPARATOR", are plain items.
    auto plain = BuildMenuItems({"TITLE", "SEPARATOR"});
    EXPECT_EQ(plain[0].kind, MenuItemKind::Plain);
    EXPECT_EQ(plain[1].kind, MenuItemKind::Plain);
}

}  // namespace
}  // namespace lumetra
