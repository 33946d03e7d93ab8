#include "controls/list_geometry.h"

namespace lumetra {
namespace {
int Clamp(int v, int low, int high) { return v < low ? low : v > high ? high : v; }
}  // namespace

int ColumnAt(const std::vector<ColumnSpan>& columns, int x) {
    for (size_t i = 0; i < columns.size(); ++i)
        if (x >= columns[i].left && x < columns[i].right) return static_cast<int>(i);
    return -1;
}

int RowAt(int firstTop, int rowHeight, int topIndex, int count, int y) {
    if (rowHeight <= 0 || y < firstTop) return -1;
    int row = topIndex + (y - firstTop) / rowHeight;
    return row < count ? row : -1;
}

GeoRect CellButtonRect(const GeoRect& cell) {
    int side = cell.Height();
    int left = cell.right - side < cell.left ? cell.left : cell.right - side;
    return GeoRect{left, cell.top, cell.right, cell.bottom};
}

GeoRect DropDownRect(const GeoRect& cell, int rows) {
    int top = cell.bottom - 1;
    int height = (cell.Height() - 2) * (rows > 0 ? rows : 1);
    return GeoRect{cell.left, top, cell.right - 1, top + height};
}

GeoPoint PopupOrigin(const GeoRect& cell) { return GeoPoint{cell.left + 1, cell.bottom - 1}; }

DropDownLayout LayoutDropDown(int clientWidth, int windowHeight, int itemHeight) {
    DropDownLayout l;
    int h = itemHeight > 0 ? itemHeight : 1;
    l.visibleHeight = windowHeight / h * h;
    if (l.visibleHeight < h) l.visibleHeight = h;  // at least one whole item
    l.windowHeight = l.visibleHeight + 4;
    int barLeft = clientWidth - kDropDownScrollBarWidth;
    if (barLeft < 1) barLeft = 1;
    l.list = GeoRect{1, 1, barLeft, 1 + l.visibleHeight};
    l.scrollBar = GeoRect{barLeft, 1, barLeft + kDropDownScrollBarWidth, 1 + l.visibleHeight};
    return l;
}

int DropDownKeyPosition(DropDownKey key, int selection, int page, int last) {
    int s = selection < 0 ? 0 : selection;
    int p = 0;
    switch (key) {
    case DropDownKey::PageUp: p = s - page + 1; break;
    case DropDownKey::PageDown: p = s + page - 1; break;
    case DropDownKey::Up: p = s - 1; break;
    case DropDownKey::Down: p = s + 1; break;
    case DropDownKey::Home: p = 0; break;
    case DropDownKey::End: p = last; break;
    }
    return Clamp(p, 0, last < 0 ? 0 : last);
}

int DropDownScrollPosition(ScrollRequest request, int position, int page, int last) {
    int p = position;
    switch (request) {
    case ScrollRequest::LineUp: p -= 1; break;
    case ScrollRequest::LineDown: p += 1; break;
    case ScrollRequest::PageUp: p -= page; break;
    case ScrollRequest::PageDown: p += page; break;
    case ScrollRequest::Top: p = 0; break;
    case ScrollRequest::Bottom: p = last; break;
    case ScrollRequest::EndScroll: break;
    }
    return Clamp(p, 0, last < 0 ? 0 : last);
}

int HeaderBoxForColumn(const std::vector<int>& checks) {
    for (int c : checks)
        if (c != 1) return kHeaderBoxClear;
    return checks.empty() ? kHeaderBoxClear : kHeaderBoxChecked;
}

int FlipHeaderBox(int image) { return image == kHeaderBoxClear ? kHeaderBoxChecked : kHeaderBoxClear; }

GeoRect HeaderImageRect(const GeoRect& item, int spacing, int imageWidth, int imageHeight) {
    int left = item.left + spacing;
    int right = left + imageWidth;
    if (right > item.right - spacing) right = item.right - spacing;
    if (right < left) right = left;
    int top = item.top + (item.Height() - imageHeight) / 2;
    return GeoRect{left, top, right, top + imageHeight};
}

int ProgressFillWidth(int percent, int innerWidth) {
    return Clamp(percent, 0, 100) * (innerWidth > 0 ? innerWidth : 0) / 100;
}

HoverChange ScanHover(std::vector<HoverRow>& rows, GeoPoint p) {
    HoverChange change;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (!rows[r].enabled) break;
        for (size_t c = 0; c < rows[r].cells.size(); ++c) {
            HoverCell& cell = rows[r].cells[c];
            bool inside = cell.rect.Contains(p);
            if (inside && !cell.hot) {
                cell.hot = true;
                change.entered = CellRef{static_cast<int>(r), static_cast<int>(c)};
            } else if (!inside && cell.hot) {
                cell.hot = false;
                change.left = CellRef{static_cast<int>(r), static_cast<int>(c)};
            }
        }
    }
    return change;
}

}  // namespace lumetra
