#include "wine-standins/core/yuv.h"

namespace lumetra::standins {

namespace {

inline uint8_t Clip(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// One pixel into the DIB, given precomputed chroma terms.
inline void Put(uint8_t* p, int y, int rv, int guv, int bu, int bytes) {
    int c = 298 * (y - 16) + 128;
    p[0] = Clip((c + bu) >> 8);
    p[1] = Clip((c - guv) >> 8);
    p[2] = Clip((c + rv) >> 8);
    if (bytes == 4) p[3] = 0xFF;
}

}  // namespace

Rgb YuvToRgb(Yuv c) {
    int y = 298 * (int(c.y) - 16) + 128, u = int(c.u) - 128, v = int(c.v) - 128;
    return {Clip((y + 409 * v) >> 8), Clip((y - 100 * u - 208 * v) >> 8), Clip((y + 516 * u) >> 8)};
}

Yuv RgbToYuv(Rgb c) {
    int r = c.r, g = c.g, b = c.b;
    return {Clip(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16),
            Clip(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128),
            Clip(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128)};
}

size_t YuvImageSize(YuvLayout layout, int width, int height) {
    size_t pixels = size_t(width) * size_t(height);
    return layout == YuvLayout::Yuy2 || layout == YuvLayout::Uyvy ? pixels * 2 : pixels * 3 / 2;
}

size_t DibStride(int width, int bitCount) {
    return (size_t(width) * size_t(bitCount / 8) + 3) & ~size_t(3);
}

void YuvToDib(YuvLayout layout, const uint8_t* src, int width, int height,
              uint8_t* dst, size_t dstStride, int bitCount) {
    const int bytes = bitCount / 8;
    for (int row = 0; row < height; ++row) {
        uint8_t* out = dst + size_t(height - 1 - row) * dstStride;
        if (layout == YuvLayout::Yuy2 || layout == YuvLayout::Uyvy) {
            const uint8_t* in = src + size_t(row) * size_t(width) * 2;
            const bool yFirst = layout == YuvLayout::Yuy2;
            for (int x = 0; x + 1 < width; x += 2, in += 4) {
                int y0 = yFirst ? in[0] : in[1], y1 = yFirst ? in[2] : in[3];
                int u = (yFirst ? in[1] : in[0]) - 128, v = (yFirst ? in[3] : in[2]) - 128;
                int rv = 409 * v, guv = 100 * u + 208 * v, bu = 516 * u;
                Put(out, y0, rv, guv, bu, bytes);
                Put(out + bytes, y1, rv, guv, bu, bytes);
                out += 2 * bytes;
            }
        } else {
            const size_t ySize = size_t(width) * size_t(height), cSize = ySize / 4;
            const uint8_t* yp = src + size_t(row) * size_t(width);
            const uint8_t* up = src + ySize + size_t(row / 2) * size_t(width / 2);
            const uint8_t* vp = up + cSize;
            if (layout == YuvLayout::Yv12) { const uint8_t* t = up; up = vp; vp = t; }
            for (int x = 0; x + 1 < width; x += 2) {
                int u = up[x / 2] - 128, v = vp[x / 2] - 128;
                int rv = 409 * v, guv = 100 * u + 208 * v, bu = 516 * u;
                Put(out, yp[x], rv, guv, bu, bytes);
                Put(out + bytes, yp[x + 1], rv, guv, bu, bytes);
                out += 2 * bytes;
            }
        }
    }
}

}  // namespace lumetra::standins
