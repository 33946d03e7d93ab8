#pragma once
// YUV (BT.601, studio range) to RGB conversion for the stand-in YUY2/I420 decoder, and the inverse
// for test patterns. Output is a Windows DIB: BGR(A) byte order, rows bottom-up, stride a multiple of 4.
#include <cstddef>
#include <cstdint>

namespace lumetra::standins {

struct Rgb { uint8_t r, g, b; };
struct Yuv { uint8_t y, u, v; };

Rgb YuvToRgb(Yuv c);
Yuv RgbToYuv(Rgb c);

enum class YuvLayout { Yuy2, Uyvy, I420, Yv12 };

// Bytes of one YUV picture of that layout. Packed rows hold whole pixel pairs; planar chroma planes
// hold (width + 1) / 2 x (height + 1) / 2 samples, so odd sizes keep their last column and row.
size_t YuvImageSize(YuvLayout layout, int width, int height);
// Bytes of one bottom-up DIB row of 24 or 32 bits per pixel.
size_t DibStride(int width, int bitCount);

// Converts a top-down YUV picture into a bottom-up DIB of bitCount 24 or 32.
// dstStride is the DIB row pitch (DibStride unless the renderer asks for a wider surface).
// Both buffers are checked against the picture: false, with nothing written, when the source holds
// fewer bytes than YuvImageSize, the destination cannot take height rows of dstStride, a size is not
// positive or the bit count is neither 24 nor 32.
bool YuvToDib(YuvLayout layout, const uint8_t* src, size_t srcBytes, int width, int height,
              uint8_t* dst, size_t dstBytes, size_t dstStride, int bitCount);

}  // namespace lumetra::standins
