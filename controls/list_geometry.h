#pragma once
// The extended list control without the platform: which cell a point is in, where the in-place
// editors open, the drop-down list's layout and keys, the header's check box and the hover scan.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/geometry.h"

namespace lumetra {

// Horizontal extent of a column in the list's client coordinates.
struct ColumnSpan {
    int left = 0, right = 0;
};
// The column whose span holds x, or -1.
int ColumnAt(const std::vector<ColumnSpan>& columns, int x);
// The row whose band holds y: rows of equal height from firstTop, starting at row topIndex; -1 when
// y lies above the first or below the last of count rows.
int RowAt(int firstTop, int rowHeight, int topIndex, int count, int y);

// The square at the right end of a cell whose side is the cell's height (drop button, push button).
GeoRect CellButtonRect(const GeoRect& cell);

// The drop-down list below a cell (screen coordinates): from the cell's left to one pixel inside its
// right, from one pixel above its bottom, (cell height - 2) x rows high.
GeoRect DropDownRect(const GeoRect& cell, int rows);
// Calendar and time clock pop-ups open with their top-left corner here.
GeoPoint PopupOrigin(const GeoRect& cell);

// The drop-down list's inner layout: whole items only.
struct DropDownLayout {
    int visibleHeight = 0;  // d: a whole number of items
    int windowHeight = 0;   // d + 4
    GeoRect list, scrollBar;
};
constexpr int kDropDownScrollBarWidth = 11;
DropDownLayout LayoutDropDown(int clientWidth, int windowHeight, int itemHeight);

enum class DropDownKey { PageUp, PageDown, Up, Down, Home, End };
// The new selection for a navigation key, clamped to 0..last.
int DropDownKeyPosition(DropDownKey key, int selection, int page, int last);
enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, Top, Bottom, EndScroll };
int DropDownScrollPosition(ScrollRequest request, int position, int page, int last);

// The header item's check-box image: 0 none, 1 clear, 2 checked.
constexpr int kHeaderNoBox = 0, kHeaderBoxClear = 1, kHeaderBoxChecked = 2;
// After a cell's box was toggled: checked when every row of the column is checked.
int HeaderBoxForColumn(const std::vector<int>& checks);
// A click on the header flips its box: checked becomes clear, anything else checked.
int FlipHeaderBox(int image);
// Where the header item's image is drawn: inside the item narrowed by the spacing, at its left,
// vertically centred, no wider than the item.
GeoRect HeaderImageRect(const GeoRect& item, int spacing, int imageWidth, int imageHeight);

// The filled part of a progress cell for a percentage (0..100) of its inner width.
int ProgressFillWidth(int percent, int innerWidth);

// The hover scan over the cells: which cell the mouse entered and which it left.
struct CellRef {
    int row = -1, column = -1;
    bool Valid() const { return row >= 0 && column >= 0; }
    bool operator==(const CellRef& o) const { return row == o.row && column == o.column; }
};
struct HoverCell {
    GeoRect rect;
    bool hot = false;
};
struct HoverRow {
    bool enabled = true;
    std::vector<HoverCell> cells;
};
struct HoverChange {
    CellRef entered, left;
};
// Updates the hot flags for the point and reports the change. A disabled row ends the scan.
HoverChange ScanHover(std::vector<HoverRow>& rows, GeoPoint p);

}  // namespace lumetra
