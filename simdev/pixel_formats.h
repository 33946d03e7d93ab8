#pragma once
// Packs a Picture into the formats the capture pin delivers: YUY2 (4:2:2 packed), I420 (4:2:0 planar,
// Y then U then V) and bottom-up RGB24 / RGB32 device-independent bitmaps. No Windows headers.
#include <cstddef>
#include <cstdint>

#include "simdev/picture.h"

namespace simdev {

enum class PixelFormat { YUY2, I420, RGB24, RGB32 };

int BitsPerPixel(PixelFormat f);
// Bytes in one row of the packed formats (RGB rows are padded to 4 bytes, as in a DIB).
size_t RowBytes(PixelFormat f, int width);
// Bytes of a whole frame.
size_t FrameBytes(PixelFormat f, int width, int height);

void WriteYuy2(const Picture& pic, uint8_t* dst);
void WriteI420(const Picture& pic, uint8_t* dst);
void WriteRgb24(const Picture& pic, uint8_t* dst);  // bottom-up, B G R
void WriteRgb32(const Picture& pic, uint8_t* dst);  // bottom-up, B G R X
void WriteFrame(PixelFormat f, const Picture& pic, uint8_t* dst);

// Luma of one pixel of a delivered frame, for reading frames back.
int LumaAt(PixelFormat f, const uint8_t* frame, int width, int height, int x, int y);

}  // namespace simdev
