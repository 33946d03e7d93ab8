#include "simdev/picture.h"

#include <algorithm>
#include <cstring>

namespace simdev {
namespace {

// 5x7 font: seven rows per glyph, bit 4 is the leftmost dot.
struct Glyph { char ch; uint8_t rows[7]; };
const Glyph kFont[] = {
    {' ', {0, 0, 0, 0, 0, 0, 0}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
};

const uint8_t* GlyphRows(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const Glyph& g : kFont)
        if (g.ch == c) return g.rows;
    return kFont[0].rows;  // unknown characters print as blanks
}

constexpr Yuv kBlack{16, 128, 128};
constexpr Yuv kWhite{235, 128, 128};

// 75 % colour bars, left to right.
const Rgb kBars[8] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                      {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {0, 0, 0}};

uint8_t Clamp(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }
uint8_t Clamp64(int64_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

void Fill(Picture& pic, Rect r, Yuv c) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, pic.width);
    r.bottom = std::min(r.bottom, pic.height);
    for (int y = r.top; y < r.bottom; ++y) {
        size_t row = static_cast<size_t>(y) * pic.width;
        for (int x = r.left; x < r.right; ++x) {
            pic.y[row + x] = c.y;
            pic.u[row + x] = c.u;
            pic.v[row + x] = c.v;
        }
    }
}

// Small deterministic generator for the snow of a channel without signal.
struct XorShift {
    uint32_t state;
    explicit XorShift(uint64_t seed) : state(static_cast<uint32_t>(seed * 2654435761u) | 1u) {}
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

// Position along a track of `length` pixels, going back and forth at `speed` pixels per frame.
int Bounce(uint64_t frame, int speed, int length) {
    if (length <= 0) return 0;
    uint64_t period = static_cast<uint64_t>(length) * 2;
    int p = static_cast<int>((frame * static_cast<uint64_t>(speed)) % period);
    return p < length ? p : static_cast<int>(period) - p;
}

void DrawBackground(const SceneSettings& s, uint64_t frame, Picture& pic) {
    const int w = pic.width, h = pic.height;
    if (!s.signal) {
        XorShift rng(s.mode == SceneMode::Moving ? frame + 1 : 1);
        for (size_t i = 0; i < pic.y.size(); ++i) {
            pic.y[i] = static_cast<uint8_t>(16 + rng.Next() % 220);
            pic.u[i] = 128;
            pic.v[i] = 128;
        }
        return;
    }
    const int barsBottom = h * 2 / 3;
    const int rotate = s.look == InputLook::Tuner ? ((s.channel % 8) + 8) % 8 : 0;
    for (int i = 0; i < 8; ++i) {
        Rect r{i * w / 8, 0, (i + 1) * w / 8, barsBottom};
        Fill(pic, r, ToYuv(kBars[(i + rotate) % 8]));
    }
    // Lower band: tells the inputs apart.
    for (int y = barsBottom; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Yuv c = kBlack;
            switch (s.look) {
            case InputLook::Composite:
                c = Yuv{static_cast<uint8_t>(16 + x * 219 / std::max(w - 1, 1)), 128, 128};
                break;
            case InputLook::SVideo:
                c = Yuv{static_cast<uint8_t>(235 - x * 219 / std::max(w - 1, 1)), 128, 128};
                break;
            case InputLook::Tuner: {
                int cell = 8 + (((s.channel % 5) + 5) % 5) * 4;
                c = (((x / cell) + ((y - barsBottom) / cell)) % 2) ? kWhite : kBlack;
                break;
            }
            case InputLook::Camera: {
                int t = (y - barsBottom) * 255 / std::max(h - barsBottom, 1);
                c = ToYuv(Rgb{Clamp(60 + t * 3 / 4), Clamp(90 + t / 3), Clamp(200 - t * 2 / 3)});
                break;
            }
            }
            size_t i = static_cast<size_t>(y) * w + x;
            pic.y[i] = c.y;
            pic.u[i] = c.u;
            pic.v[i] = c.v;
        }
    }
}

// A column at the left edge with one white tick per 48 lines of the analog standard.
void DrawLineRuler(const SceneSettings& s, Picture& pic) {
    if (s.activeLines <= 0) return;
    const int rulerWidth = std::max(4, pic.width / 64);
    Fill(pic, Rect{0, 0, rulerWidth, pic.height}, kBlack);
    int previousGroup = -1;
    for (int y = 0; y < pic.height; ++y) {
        int sourceLine = static_cast<int>(static_cast<int64_t>(y) * s.activeLines / pic.height);
        int group = sourceLine / 48;
        if (group != previousGroup) Fill(pic, Rect{0, y, rulerWidth, y + 1}, kWhite);
        previousGroup = group;
    }
}

void DrawSquare(Picture& pic, Rect r) {
    if (r.Empty()) return;
    Fill(pic, r, kWhite);
    int border = std::max(1, std::min(r.Width(), r.Height()) / 10);
    Fill(pic, Rect{r.left + border, r.top + border, r.right - border, r.bottom - border},
         ToYuv(Rgb{255, 160, 0}));
}

void ApplyPictureControls(const SceneSettings& s, Picture& pic) {
    if (s.brightness == 128 && s.contrast == 100 && s.saturation == 100 && s.exposure == 100) return;
    uint8_t lumaMap[256], chromaMap[256];
    for (int i = 0; i < 256; ++i) {
        // 64-bit, with the factors brought into a range no product can leave: the settings are whatever
        // the scene was given, and Clamp64 takes the result to 0..255.
        const int64_t contrast = std::clamp<int64_t>(s.contrast, -100000, 100000);
        const int64_t exposure = std::clamp<int64_t>(s.exposure, -100000, 100000);
        lumaMap[i] = Clamp64((i - 16) * contrast * exposure / 10000 + 16 + (int64_t{s.brightness} - 128));
        chromaMap[i] = Clamp64(128 + (i - 128) * int64_t{s.saturation} / 100);
    }
    for (size_t i = 0; i < pic.y.size(); ++i) {
        pic.y[i] = lumaMap[pic.y[i]];
        pic.u[i] = chromaMap[pic.u[i]];
        pic.v[i] = chromaMap[pic.v[i]];
    }
}

std::string SizeText(int w, int h) { return std::to_string(w) + "X" + std::to_string(h); }

std::string CounterText(uint64_t frame) {
    std::string digits = std::to_string(frame % 1000000);
    return "#" + std::string(6 - digits.size(), '0') + digits;
}

void DrawLabel(Picture& pic, int line, const std::string& text) {
    if (text.empty()) return;
    const int scale = TextScale(pic.width);
    Rect box = LabelRect(pic.width, line);
    box.right = box.left + TextWidth(text, scale) + 2 * scale;
    Fill(pic, box, kBlack);
    DrawText(pic, box.left + scale, box.top + scale, text, scale, kWhite);
}

void DrawFrameCode(Picture& pic, uint64_t frame) {
    const Rect r = FrameCodeRect(pic.width);
    const int cell = FrameCodeCell(pic.width);
    Fill(pic, Rect{r.left - cell / 2, r.top - cell / 2, r.right + cell / 2, r.bottom + cell / 2}, kBlack);
    for (int bit = 0; bit < kFrameCodeBits; ++bit) {
        bool set = (frame >> (kFrameCodeBits - 1 - bit)) & 1u;
        Rect c{r.left + bit * cell, r.top, r.left + (bit + 1) * cell, r.bottom};
        Fill(pic, c, set ? kWhite : kBlack);
    }
}

}  // namespace

void Picture::Resize(int w, int h) {
    // A size without pixels (zero or negative, from a damaged format) gives an empty picture.
    if (w <= 0 || h <= 0) w = h = 0;
    width = w;
    height = h;
    size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
    y.assign(n, 16);
    u.assign(n, 128);
    v.assign(n, 128);
}

Yuv ToYuv(Rgb c) {
    int r = c.r, g = c.g, b = c.b;
    return Yuv{Clamp(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16),
               Clamp(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128),
               Clamp(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128)};
}

Rgb ToRgb(Yuv c) {
    int cy = c.y - 16, d = c.u - 128, e = c.v - 128;
    return Rgb{Clamp((298 * cy + 409 * e + 128) >> 8), Clamp((298 * cy - 100 * d - 208 * e + 128) >> 8),
               Clamp((298 * cy + 516 * d + 128) >> 8)};
}

int TextScale(int width) { return width >= 320 ? 2 : 1; }

int FrameCodeCell(int width) { return std::max(2, width / 80); }

Rect FrameCodeRect(int width) {
    const int cell = FrameCodeCell(width);
    const int left = width - (kFrameCodeBits + 1) * cell;
    return Rect{left, cell, left + kFrameCodeBits * cell, 2 * cell};
}

Rect LabelRect(int width, int line) {
    const int scale = TextScale(width);
    const int lineHeight = 9 * scale;
    const int left = std::max(4, width / 64) + 2 * scale;  // right of the line ruler
    const int top = 2 * scale + line * (lineHeight + scale);
    return Rect{left, top, left + TextWidth("XXXXXXXXXXXXXXXX", scale), top + lineHeight};
}

Rect MovingSquareRect(const SceneSettings& s, uint64_t frame) {
    if (s.mode == SceneMode::Still || s.width <= 0 || s.height <= 0) return Rect{};
    Rect area{0, 0, s.width, s.height};
    int side = std::max(4, s.height / 6);
    if (s.mode == SceneMode::MotionInRect) {
        area = s.motion;
        area.left = std::max(area.left, 0);
        area.top = std::max(area.top, 0);
        area.right = std::min(area.right, s.width);
        area.bottom = std::min(area.bottom, s.height);
        if (area.Empty()) return Rect{};
        side = std::max(2, std::min(area.Width(), area.Height()) / 2);
    }
    int x = area.left + Bounce(frame, std::max(1, s.width / 160), area.Width() - side);
    int y = area.top + Bounce(frame, std::max(1, s.height / 160), area.Height() - side);
    return Rect{x, y, x + side, y + side};
}

void RenderScene(const SceneSettings& s, uint64_t frame, Picture& pic) {
    pic.Resize(s.width, s.height);
    DrawBackground(s, frame, pic);
    if (s.signal) DrawSquare(pic, MovingSquareRect(s, frame));
    DrawLineRuler(s, pic);
    ApplyPictureControls(s, pic);

    // Labels and the frame code stay readable whatever the picture controls say.
    DrawLabel(pic, 0, s.signal ? s.inputLabel : s.inputLabel + " NO SIGNAL");
    std::string second = s.standardLabel.empty() ? SizeText(s.width, s.height)
                                                 : s.standardLabel + " " + SizeText(s.width, s.height);
    DrawLabel(pic, 1, second);
    if (s.mode == SceneMode::Moving) {
        DrawLabel(pic, 2, CounterText(frame));
        DrawFrameCode(pic, frame);
    }
}

int TextWidth(const std::string& text, int scale) { return static_cast<int>(text.size()) * 6 * scale; }

int DrawText(Picture& pic, int x, int y, const std::string& text, int scale, Yuv colour) {
    int penX = x;
    for (char ch : text) {
        const uint8_t* rows = GlyphRows(ch);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (rows[row] & (0x10 >> col))
                    Fill(pic, Rect{penX + col * scale, y + row * scale, penX + (col + 1) * scale,
                                   y + (row + 1) * scale},
                         colour);
        penX += 6 * scale;
    }
    return penX - x;
}

bool ReadFrameCode(const std::function<int(int x, int y)>& luma, int width, uint32_t& value) {
    const Rect r = FrameCodeRect(width);
    const int cell = FrameCodeCell(width);
    const int cy = (r.top + r.bottom) / 2;
    value = 0;
    for (int bit = 0; bit < kFrameCodeBits; ++bit) {
        int level = luma(r.left + bit * cell + cell / 2, cy);
        if (level > 60 && level < 190) return false;
        value = (value << 1) | (level >= 190 ? 1u : 0u);
    }
    return true;
}

int CountRulerTicks(const std::function<int(int x, int y)>& luma, int width, int height) {
    const int x = std::max(4, width / 64) / 2;
    int ticks = 0;
    bool previousWhite = false;
    for (int y = 0; y < height; ++y) {
        bool white = luma(x, y) > 128;
        if (white && !previousWhite) ++ticks;
        previousWhite = white;
    }
    return ticks;
}

}  // namespace simdev
