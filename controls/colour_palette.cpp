#include "controls/colour_palette.h"

namespace lumetra {
namespace {

const NamedColour kColours[kPaletteColourCount] = {
    {"White", 0xFFFFFF},           {"Pale yellow", 0xF0FFFF},    {"Pale gray", 0xF0F0F0},
    {"Pale Aqua", 0xE4FFDF},       {"Pale Rose", 0xE1E4FF},      {"Light yellow", 0xE0FFFF},
    {"Pale green ", 0xD8FFD8},     {"Pale turquoise", 0xFFFFDF}, {"Lavender", 0xFAE6E6},
    {"Pale Lavender", 0xFFF6F6},
};

constexpr int kLastCell = static_cast<int>(kPaletteColourCount) - 1;

// Where a move lands when it leaves the grid forwards (past the last cell or row) and backwards.
int AfterGrid(bool hasDefault, bool hasCustom) {
    return hasCustom ? kPaletteCustom : hasDefault ? kPaletteDefault : 0;
}
int BeforeGrid(bool hasDefault, bool hasCustom) {
    return hasDefault ? kPaletteDefault : hasCustom ? kPaletteCustom : kLastCell;
}

}  // namespace

const NamedColour& PaletteColour(size_t index) {
    return kColours[index < kPaletteColourCount ? index : 0];
}

int PaletteIndexOf(uint32_t colour) {
    for (size_t i = 0; i < kPaletteColourCount; ++i)
        if (kColours[i].colour == colour) return static_cast<int>(i);
    return -1;
}

GeoRect PaletteLayout::Cell(int index) const {
    int column = index % kPaletteColumns, row = index / kPaletteColumns;
    int left = grid.left + column * kPaletteCellWidth, top = grid.top + row * kPaletteCellHeight;
    return GeoRect{left, top, left + kPaletteCellWidth, top + kPaletteCellHeight};
}

int PaletteLayout::HitTest(GeoPoint p) const {
    if (grid.Contains(p)) {
        int column = (p.x - grid.left) / kPaletteCellWidth, row = (p.y - grid.top) / kPaletteCellHeight;
        int index = row * kPaletteColumns + column;
        return index <= kLastCell ? index : kPaletteNone;
    }
    if (hasDefault && defaultBox.Contains(p)) return kPaletteDefault;
    if (hasCustom && customBox.Contains(p)) return kPaletteCustom;
    return kPaletteNone;
}

PaletteLayout LayoutPalette(int margin, int textHeight, int defaultTextWidth, int customTextWidth, bool hasDefault,
                            bool hasCustom) {
    PaletteLayout l;
    l.margin = margin;
    l.hasDefault = hasDefault;
    l.hasCustom = hasCustom;
    const int m = margin;
    const int gridWidth = kPaletteColumns * kPaletteCellWidth;
    const int boxHeight = textHeight + 4 * m + 2;
    // A box text wider than the grid widens the window; the grid keeps its size.
    int innerWidth = gridWidth;
    if (hasDefault && defaultTextWidth + 4 * m > innerWidth) innerWidth = defaultTextWidth + 4 * m;
    if (hasCustom && customTextWidth + 4 * m > innerWidth) innerWidth = customTextWidth + 4 * m;

    int y = m;
    if (hasDefault) {
        l.defaultBox = GeoRect{m, y, m + innerWidth, y + boxHeight};
        y += boxHeight + 2 * m;
    }
    l.grid = GeoRect{m, y, m + gridWidth, y + kPaletteRows * kPaletteCellHeight};
    y = l.grid.bottom;
    if (hasCustom) {
        y += 2 * m;
        l.customBox = GeoRect{m, y, m + innerWidth, y + boxHeight};
        y += boxHeight;
    }
    l.width = innerWidth + 2 * m;
    l.height = y + m;
    return l;
}

int ChosenPalettePosition(uint32_t colour, bool hasDefault, bool hasCustom) {
    if (colour == kDefaultColour && hasDefault) return kPaletteDefault;
    int index = PaletteIndexOf(colour);
    if (index >= 0) return index;
    return hasCustom ? kPaletteCustom : kPaletteNone;
}

int MovePalettePosition(int position, PaletteKey key, bool hasDefault, bool hasCustom) {
    const int after = AfterGrid(hasDefault, hasCustom), before = BeforeGrid(hasDefault, hasCustom);
    if (position == kPaletteNone) return 0;  // nothing hot yet: start at the first cell
    switch (key) {
    case PaletteKey::Down:
        if (position == kPaletteDefault) return 0;
        if (position == kPaletteCustom) return hasDefault ? kPaletteDefault : 0;
        return position + kPaletteColumns <= kLastCell ? position + kPaletteColumns : after;
    case PaletteKey::Up:
        if (position == kPaletteDefault) return hasCustom ? kPaletteCustom : kLastCell;
        if (position == kPaletteCustom) return kLastCell;
        return position < kPaletteColumns ? before : position - kPaletteColumns;
    case PaletteKey::Right:
        if (position == kPaletteDefault) return 0;
        if (position == kPaletteCustom) return hasDefault ? kPaletteDefault : 0;
        return position < kLastCell ? position + 1 : after;
    case PaletteKey::Left:
        if (position == kPaletteDefault) return hasCustom ? kPaletteCustom : kLastCell;
        if (position == kPaletteCustom) return kLastCell;
        return position > 0 ? position - 1 : before;
    }
    return position;
}

uint32_t PaletteHotColour(int position, uint32_t initialColour) {
    if (position >= 0 && position <= kLastCell) return kColours[position].colour;
    if (position == kPaletteDefault) return kDefaultColour;
    return initialColour;
}

GeoPoint PlacePalette(const GeoRect& button, int width, int height, const GeoRect& screen) {
    GeoPoint at{button.left, button.bottom};
    if (at.x + width > screen.right) at.x = screen.right - width;
    if (at.x < screen.left) at.x = screen.left;
    if (at.y + height > screen.bottom) at.y = button.top - height;
    return at;
}

}  // namespace lumetra
