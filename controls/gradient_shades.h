#pragma once
// The colours a gradient progress bar is painted with, derived from one base colour. Colours are
// 32-bit colour references: red in the low byte, then green, then blue.
#include <cstdint>

namespace lumetra {

using ColourRef = uint32_t;

constexpr ColourRef MakeColour(int red, int green, int blue) {
    return static_cast<ColourRef>(red & 0xFF) | static_cast<ColourRef>(green & 0xFF) << 8 |
           static_cast<ColourRef>(blue & 0xFF) << 16;
}
constexpr int RedOf(ColourRef c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(ColourRef c) { return static_cast<int>(c >> 8 & 0xFF); }
constexpr int BlueOf(ColourRef c) { return static_cast<int>(c >> 16 & 0xFF); }

// Adds 51 to each channel; a channel that would reach 256 keeps its value (it is not clamped).
ColourRef Lighten(ColourRef c);
// Subtracts 51 from each channel; a channel below 51 keeps its value.
ColourRef Darken(ColourRef c);
// Per-channel midpoint, rounded down.
ColourRef Midpoint(ColourRef a, ColourRef b);

struct GradientShades {
    ColourRef base, light1, light2, light3, dark1, dark2;
};
GradientShades ShadesOf(ColourRef base);

// Right edge of the filled part of a horizontal bar of the given width: (pos - lo) * width / (hi - lo),
// computed in floating point and truncated; an empty range gives 0.
int BarRight(int lo, int hi, int pos, int width);

}  // namespace lumetra
