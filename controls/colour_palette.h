#pragma once
// The colour button's pop-up palette without the platform: its colours, layout, hit testing,
// keyboard moves and placement on the screen.
#include <cstddef>
#include <cstdint>

#include "controls/geometry.h"

namespace lumetra {

// Stands for "the default colour" in a colour button; never a real colour (the high byte is set).
constexpr uint32_t kDefaultColour = 0xFF000000u;

struct NamedColour {
    const char* name;
    uint32_t colour;  // 0x00BBGGRR
};
constexpr size_t kPaletteColourCount = 10;
const NamedColour& PaletteColour(size_t index);  // index below kPaletteColourCount
// The index of a colour in the palette, or -1.
int PaletteIndexOf(uint32_t colour);

// Positions in the pop-up: a cell index 0..9 or one of these.
constexpr int kPaletteNone = -1;
constexpr int kPaletteCustom = -2;   // the "More Colors..." box
constexpr int kPaletteDefault = -3;  // the "Default" box

constexpr int kPaletteColumns = 2;
constexpr int kPaletteRows = 5;  // ceiling(10 / 2)
constexpr int kPaletteCellWidth = 92;
constexpr int kPaletteCellHeight = 36;

// Where everything lies in the pop-up's client area.
struct PaletteLayout {
    int margin = 0;
    bool hasDefault = false, hasCustom = false;
    GeoRect defaultBox, customBox;  // empty when the box does not exist
    GeoRect grid;
    int width = 0, height = 0;      // the window

    GeoRect Cell(int index) const;
    // The position under a point: a cell, a box, or kPaletteNone.
    int HitTest(GeoPoint p) const;
};

// margin: the system edge width; textHeight and the widths: the texts of the two boxes in the
// pop-up's font.
PaletteLayout LayoutPalette(int margin, int textHeight, int defaultTextWidth, int customTextWidth, bool hasDefault,
                            bool hasCustom);

// The position that shows the colour the pop-up opens with.
int ChosenPalettePosition(uint32_t colour, bool hasDefault, bool hasCustom);

enum class PaletteKey { Up, Down, Left, Right };
int MovePalettePosition(int position, PaletteKey key, bool hasDefault, bool hasCustom);

// The colour a position stands for while it is hot: a cell's colour, kDefaultColour for the Default
// box, the colour the pop-up opened with for More Colors.
uint32_t PaletteHotColour(int position, uint32_t initialColour);

// The pop-up's top-left corner: below the button's bottom-left corner, moved left or right to stay on
// the screen, and above the button when it would pass the screen's bottom.
GeoPoint PlacePalette(const GeoRect& button, int width, int height, const GeoRect& screen);

}  // namespace lumetra
