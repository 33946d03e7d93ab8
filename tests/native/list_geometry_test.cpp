#include "controls/list_geometry.h"
#include "controls/cell_info.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

TEST(ListHitTest, CellsByColumnSpanAndRowBand) {
    std::vector<ColumnSpan> columns{{0, 20}, {20, 120}, {120, 180}};
    EXPECT_EQ(ColumnAt(columns, 0), 0);
    EXPECT_EQ(ColumnAt(columns, 19), 0);
    EXPECT_EQ(ColumnAt(columns, 20), 1);
    EXPECT_EQ(ColumnAt(columns, 179), 2);
    EXPECT_EQ(ColumnAt(columns, 180), -1);  // right of the last column
    EXPECT_EQ(ColumnAt(columns, -3), -1);
    // Rows of 17 pixels below a header 20 high, scrolled so that row 4 is on top; 6 rows in all.
    EXPECT_EQ(RowAt(20, 17, 4, 6, 20), 4);
    EXPECT_EQ(RowAt(20, 17, 4, 6, 36), 4);
    EXPECT_EQ(RowAt(20, 17, 4, 6, 37), 5);
    EXPECT_EQ(RowAt(20, 17, 4, 6, 54), -1);  // below the last row
    EXPECT_EQ(RowAt(20, 17, 0, 6, 19), -1);  // on the header
    EXPECT_EQ(RowAt(20, 0, 0, 6, 30), -1);
}

TEST(ListHitTest, ButtonSquareAtTheCellsRightEnd) {
    EXPECT_EQ(CellButtonRect(GeoRect{100, 40, 200, 57}), (GeoRect{183, 40, 200, 57}));
    // A cell narrower than it is high is all button.
    EXPECT_EQ(CellButtonRect(GeoRect{100, 40, 110, 57}), (GeoRect{100, 40, 110, 57}));
    GeoRect drop = CellButtonRect(GeoRect{100, 40, 200, 57});
    EXPECT_TRUE(drop.Contains(GeoPoint{190, 45}));
    EXPECT_FALSE(drop.Contains(GeoPoint{150, 45}));  // the text part opens nothing
}

TEST(ListEditors, WhereThePopupsOpen) {
    const GeoRect cell{300, 200, 400, 217};
    EXPECT_EQ(DropDownRect(cell, 4), (GeoRect{300, 216, 399, 216 + 15 * 4}));
    EXPECT_EQ(DropDownRect(cell, 10).Height(), 150);
    EXPECT_EQ(PopupOrigin(cell), (GeoPoint{301, 216}));
}

TEST(ListEditors, DropDownShowsWholeRowsOnly) {
    // A list of 10 rows of 15 pixels, with 13-pixel items: 11 whole items fit.
    DropDownLayout l = LayoutDropDown(99, 150, 13);
    EXPECT_EQ(l.visibleHeight, 143);
    EXPECT_EQ(l.windowHeight, 147);
    EXPECT_EQ(l.list, (GeoRect{1, 1, 88, 144}));
    EXPECT_EQ(l.scrollBar, (GeoRect{88, 1, 99, 144}));
    EXPECT_EQ(LayoutDropDown(99, 150, 15).visibleHeight, 150);
    EXPECT_EQ(LayoutDropDown(99, 5, 13).visibleHeight, 13);  // never less than one item
}

TEST(ListEditors, DropDownKeysAndScrollRequests) {
    EXPECT_EQ(DropDownKeyPosition(DropDownKey::PageDown, 3, 10, 24), 12);
    EXPECT_EQ(DropDownKeyPosition(DropDownKey::PageUp, 3, 10, 24), 0);
    EXPECT_EQ(DropDownKeyPosition(DropDownKey::Down, 24, 10, 24), 24);
    EXPECT_EQ(DropDownKeyPosition(DropDownKey::Up, 0, 10, 24), 0);
    EXPECT_EQ(DropDownKeyPosition(DropDownKey::End, 3, 10, 24), 24);
    EXPECT_EQ(DropDownKeyPosition(DropDownKey::Home, 3, 10, 24), 0);
    EXPECT_EQ(DropDownKeyPosition(DropDownKey::Down, -1, 10, 24), 1);
    EXPECT_EQ(DropDownScrollPosition(ScrollRequest::PageDown, 20, 10, 24), 24);
    EXPECT_EQ(DropDownScrollPosition(ScrollRequest::LineUp, 5, 10, 24), 4);
    EXPECT_EQ(DropDownScrollPosition(ScrollRequest::Bottom, 5, 10, 24), 24);
    EXPECT_EQ(DropDownScrollPosition(ScrollRequest::EndScroll, 5, 10, 24), 5);
}

TEST(ListHeader, BoxFollowsTheColumn) {
    EXPECT_EQ(HeaderBoxForColumn({1, 1, 1}), kHeaderBoxChecked);
    EXPECT_EQ(HeaderBoxForColumn({1, 0, 1}), kHeaderBoxClear);
    EXPECT_EQ(HeaderBoxForColumn({1, -1}), kHeaderBoxClear);
    EXPECT_EQ(HeaderBoxForColumn({}), kHeaderBoxClear);
    EXPECT_EQ(FlipHeaderBox(kHeaderBoxClear), kHeaderBoxChecked);
    EXPECT_EQ(FlipHeaderBox(kHeaderBoxChecked), kHeaderBoxClear);
    EXPECT_EQ(FlipHeaderBox(kHeaderNoBox), kHeaderBoxClear);
    EXPECT_EQ(HeaderImageRect(GeoRect{0, 0, 40, 20}, 6, 13, 13), (GeoRect{6, 3, 19, 16}));
    EXPECT_EQ(HeaderImageRect(GeoRect{0, 0, 20, 20}, 6, 13, 13), (GeoRect{6, 3, 14, 16}));  // clipped to the item
}

TEST(ListCells, ProgressFillAndCaption) {
    EXPECT_EQ(ProgressFillWidth(50, 99), 49);
    EXPECT_EQ(ProgressFillWidth(100, 99), 99);
    EXPECT_EQ(ProgressFillWidth(130, 99), 99);
    EXPECT_EQ(ProgressFillWidth(-5, 99), 0);
    EXPECT_EQ(ProgressCaption("", 42), "42%");
    EXPECT_EQ(ProgressCaption("Recording %d%%", 7), "Recording 7%");
    EXPECT_EQ(ProgressCaption("%s%n", 7), "7%");  // never handed to printf as it stands
}

TEST(ListHover, EnteredAndLeftCells) {
    std::vector<HoverRow> rows(3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c) rows[r].cells.push_back(HoverCell{GeoRect{c * 50, r * 10, c * 50 + 50, r * 10 + 10}});
    HoverChange first = ScanHover(rows, GeoPoint{60, 15});
    EXPECT_EQ(first.entered, (CellRef{1, 1}));
    EXPECT_FALSE(first.left.Valid());
    HoverChange same = ScanHover(rows, GeoPoint{61, 16});
    EXPECT_FALSE(same.entered.Valid());
    EXPECT_FALSE(same.left.Valid());
    HoverChange moved = ScanHover(rows, GeoPoint{10, 25});
    EXPECT_EQ(moved.entered, (CellRef{2, 0}));
    EXPECT_EQ(moved.left, (CellRef{1, 1}));
    // A disabled row ends the scan: nothing at or below it becomes hot.
    rows[1].enabled = false;
    HoverChange blocked = ScanHover(rows, GeoPoint{10, 5});
    EXPECT_EQ(blocked.entered, (CellRef{0, 0}));
    EXPECT_FALSE(blocked.left.Valid());
    EXPECT_FALSE(ScanHover(rows, GeoPoint{10, 15}).entered.Valid());
}

}  // namespace
}  // namespace lumetra
