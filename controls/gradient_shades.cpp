#include "controls/gradient_shades.h"

namespace lumetra {
namespace {

constexpr int kStep = 51;

int LightenChannel(int v) { return v + kStep >= 256 ? v : v + kStep; }
int DarkenChannel(int v) { return v < kStep ? v : v - kStep; }

}  // namespace

ColourRef Lighten(ColourRef c) {
    return MakeColour(LightenChannel(RedOf(c)), LightenChannel(GreenOf(c)), LightenChannel(BlueOf(c)));
}

ColourRef Darken(ColourRef c) {
    return MakeColour(DarkenChannel(RedOf(c)), DarkenChannel(GreenOf(c)), DarkenChannel(BlueOf(c)));
}

ColourRef Midpoint(ColourRef a, ColourRef b) {
    return MakeColour((RedOf(a) + RedOf(b)) / 2, (GreenOf(a) + GreenOf(b)) / 2, (BlueOf(a) + BlueOf(b)) / 2);
}

GradientShades ShadesOf(ColourRef base) {
    GradientShades s{};
    s.base = base & 0xFFFFFF;
    s.light1 = Lighten(s.base);
    s.light2 = Lighten(s.light1);
    s.light3 = Lighten(s.light2);
    s.dark1 = Darken(s.base);
    s.dark2 = Darken(s.dark1);
    return s;
}

int BarRight(int lo, int hi, int pos, int width) {
    if (hi == lo) return 0;
    double right = static_cast<double>(pos - lo) * width / (static_cast<double>(hi) - lo);
    // Out-of-range positions cannot paint outside the client area.
    if (right < 0) return 0;
    if (right > width) return width;
    return static_cast<int>(right);
}

}  // namespace lumetra
