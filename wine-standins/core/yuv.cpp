#include "wine-standins/core/yuv.h"

#include <utility>

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
    if (width <= 0 || height <= 0) return 0;
    const size_t w = size_t(width), h = size_t(height);
    if (layout == YuvLayout::Yuy2 || layout == YuvLayout::Uyvy) return (w + 1) / 2 * 4 * h;
    return w * h + 2 * ((w + 1) / 2) * ((h + 1) / 2);
}

size_t DibStride(int width, int bitCount) {
    if (width <= 0 || bitCount <= 0) return 0;
    return (size_t(width) * size_t(bitCount / 8) + 3) & ~size_t(3);
}

bool YuvToDib(YuvLayout layout, const uint8_t* src, size_t srcBytes, int width, int height,
              uint8_t* dst, size_t dstBytes, size_t dstStride, int bitCount) {
    if (!src || !dst || width <= 0 || height <= 0 || (bitCount != 24 && bitCount != 32)) return false;
    const int bytes = bitCount / 8;
    const size_t w = size_t(width), h = size_t(height);
    if (srcBytes < YuvImageSize(layout, width, height)) return false;
    if (dstStride < w * size_t(bytes) || dstBytes / dstStride < h) return false;

    const size_t packedRow = (w + 1) / 2 * 4;
    const size_t chromaWidth = (w + 1) / 2, chromaSize = chromaWidth * ((h + 1) / 2);
    for (size_t row = 0; row < h; ++row) {
        uint8_t* out = dst + (h - 1 - row) * dstStride;
        for (size_t x = 0; x < w; x += 2) {
            int y0, y1, u, v;
            if (layout == YuvLayout::Yuy2 || layout == YuvLayout::Uyvy) {
                const uint8_t* in = src + row * packedRow + x * 2;
                const bool yFirst = layout == YuvLayout::Yuy2;
                y0 = yFirst ? in[0] : in[1];
                y1 = yFirst ? in[2] : in[3];
                u = (yFirst ? in[1] : in[0]) - 128;
                v = (yFirst ? in[3] : in[2]) - 128;
            } else {
                const uint8_t* yp = src + row * w;
                const uint8_t* up = src + w * h + (row / 2) * chromaWidth;
                const uint8_t* vp = up + chromaSize;
                if (layout == YuvLayout::Yv12) std::swap(up, vp);
                y0 = yp[x];
                y1 = x + 1 < w ? yp[x + 1] : y0;
                u = up[x / 2] - 128;
                v = vp[x / 2] - 128;
            }
            const int rv = 409 * v, guv = 100 * u + 208 * v, bu = 516 * u;
            Put(out, y0, rv, guv, bu, bytes);
            if (x + 1 < w) Put(out + bytes, y1, rv, guv, bu, bytes);
            out += 2 * bytes;
        }
    }
    return true;
}

}  // namespace lumetra::standins
