#include "controls/colour_palette.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace lumetra {
namespace {

TEST(ColourPalette, TenNamedColoursInTheirOrder) {
    EXPECT_STREQ(PaletteColour(0).name, "White");
    EXPECT_EQ(PaletteColour(0).colour, 0xFFFFFFu);
    EXPECT_STREQ(PaletteColour(3).name, "Pale Aqua");
    EXPECT_EQ(PaletteColour(3).colour, 0xE4FFDFu);  // 223, 255, 228 with red in the low byte
    EXPECT_STREQ(PaletteColour(6).name, "Pale green ");
    EXPECT_STREQ(PaletteColour(9).name, "Pale Lavender");
    EXPECT_EQ(PaletteColour(9).colour, 0xFFF6F6u);
    EXPECT_EQ(PaletteIndexOf(0xF0FFFF), 1);  // the Recurring list's default colour is Pale yellow
    EXPECT_EQ(PaletteIndexOf(0x123456), -1);
    EXPECT_EQ(PaletteIndexOf(kDefaultColour), -1);
}

TEST(ColourPalette, LayoutGrowsForEachBoxAndForWideTexts) {
    const int m = 2, textHeight = 13;
    PaletteLayout bare = LayoutPalette(m, textHeight, 40, 80, false, false);
    EXPECT_EQ(bare.width, 2 * m + 184);
    EXPECT_EQ(bare.height, 2 * m + 180);
    EXPECT_TRUE(bare.defaultBox.Empty());
    EXPECT_EQ(bare.Cell(0), (GeoRect{m, m, m + 92, m + 36}));
    EXPECT_EQ(bare.Cell(9), (GeoRect{m + 92, m + 4 * 36, m + 184, m + 5 * 36}));

    PaletteLayout both = LayoutPalette(m, textHeight, 40, 80, true, true);
    const int box = textHeight + 4 * m + 2;
    EXPECT_EQ(both.height, bare.height + 2 * (box + 2 * m));
    EXPECT_EQ(both.defaultBox, (GeoRect{m, m, m + 184, m + box}));
    EXPECT_EQ(both.grid.top, m + box + 2 * m);
    EXPECT_EQ(both.customBox.top, both.grid.bottom + 2 * m);
    EXPECT_EQ(both.customBox.bottom + m, both.height);

    PaletteLayout wide = LayoutPalette(m, textHeight, 40, 300, true, true);
    EXPECT_GT(wide.width, bare.width);
    EXPECT_GE(wide.customBox.Width(), 300);
    EXPECT_EQ(wide.grid.Width(), 184);
}

TEST(ColourPalette, HitTestFindsCellsAndBoxesOnly) {
    PaletteLayout l = LayoutPalette(2, 13, 40, 80, true, true);
    auto centre = [](const GeoRect& r) { return GeoPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    for (int i = 0; i < 10; ++i) EXPECT_EQ(l.HitTest(centre(l.Cell(i))), i) << i;
    EXPECT_EQ(l.HitTest(centre(l.defaultBox)), kPaletteDefault);
    EXPECT_EQ(l.HitTest(centre(l.customBox)), kPaletteCustom);
    EXPECT_EQ(l.HitTest(GeoPoint{0, 0}), kPaletteNone);            // the margin
    EXPECT_EQ(l.HitTest(GeoPoint{l.width + 5, 10}), kPaletteNone);  // outside
    // The gap between the grid and the More Colors box belongs to nothing.
    EXPECT_EQ(l.HitTest(GeoPoint{50, l.grid.bottom + 1}), kPaletteNone);
}

TEST(ColourPalette, ChosenPositionFollowsTheColour) {
    EXPECT_EQ(ChosenPalettePosition(kDefaultColour, true, true), kPaletteDefault);
    EXPECT_EQ(ChosenPalettePosition(0xFAE6E6, true, true), 8);
    EXPECT_EQ(ChosenPalettePosition(0x123456, true, true), kPaletteCustom);
    EXPECT_EQ(ChosenPalettePosition(0x123456, true, false), kPaletteNone);
    // Without a Default box the sentinel is not in the table either.
    EXPECT_EQ(ChosenPalettePosition(kDefaultColour, false, true), kPaletteCustom);
}

TEST(ColourPalette, ArrowKeysWalkTheGridAndTheBoxes) {
    auto move = [](int p, PaletteKey k) { return MovePalettePosition(p, k, true, true); };
    EXPECT_EQ(move(kPaletteDefault, PaletteKey::Down), 0);
    EXPECT_EQ(move(0, PaletteKey::Down), 2);
    EXPECT_EQ(move(8, PaletteKey::Down), kPaletteCustom);
    EXPECT_EQ(move(kPaletteCustom, PaletteKey::Down), kPaletteDefault);
    EXPECT_EQ(move(9, PaletteKey::Right), kPaletteCustom);
    EXPECT_EQ(move(3, PaletteKey::Right), 4);  // wraps to the next row
    EXPECT_EQ(move(0, PaletteKey::Left), kPaletteDefault);
    EXPECT_EQ(move(4, PaletteKey::Left), 3);
    EXPECT_EQ(move(kPaletteDefault, PaletteKey::Left), kPaletteCustom);
    EXPECT_EQ(move(kPaletteCustom, PaletteKey::Left), 9);
    EXPECT_EQ(move(1, PaletteKey::Up), kPaletteDefault);
    EXPECT_EQ(move(5, PaletteKey::Up), 3);
    EXPECT_EQ(move(kPaletteDefault, PaletteKey::Up), kPaletteCustom);
    EXPECT_EQ(move(kPaletteCustom, PaletteKey::Up), 9);
    EXPECT_EQ(move(kPaletteNone, PaletteKey::Right), 0);
    // Without the boxes the walk wraps inside the grid.
    EXPECT_EQ(MovePalettePosition(8, PaletteKey::Down, false, false), 0);
    EXPECT_EQ(MovePalettePosition(0, PaletteKey::Left, false, false), 9);
    EXPECT_EQ(MovePalettePosition(1, PaletteKey::Up, false, true), kPaletteCustom);
    EXPECT_EQ(MovePalettePosition(kPaletteCustom, PaletteKey::Down, false, true), 0);
}

TEST(ColourPalette, HotColourOfEachPosition) {
    EXPECT_EQ(PaletteHotColour(2, 0x123456), 0xF0F0F0u);
    EXPECT_EQ(PaletteHotColour(kPaletteDefault, 0x123456), kDefaultColour);
    EXPECT_EQ(PaletteHotColour(kPaletteCustom, 0x123456), 0x123456u);
}

TEST(ColourPalette, PopupStaysOnTheScreen) {
    const GeoRect screen{0, 0, 1280, 1024};
    EXPECT_EQ(PlacePalette(GeoRect{100, 100, 140, 120}, 190, 260, screen), (GeoPoint{100, 120}));
    EXPECT_EQ(PlacePalette(GeoRect{1200, 100, 1240, 120}, 190, 260, screen), (GeoPoint{1090, 120}));
    EXPECT_EQ(PlacePalette(GeoRect{-30, 100, 10, 120}, 190, 260, screen), (GeoPoint{0, 120}));
    // Near the bottom it opens above the button.
    EXPECT_EQ(PlacePalette(GeoRect{100, 900, 140, 920}, 190, 260, screen), (GeoPoint{100, 640}));
}

}  // namespace
}  // namespace lumetra
