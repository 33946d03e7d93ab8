#pragma once
// The headers of the 24-bit BMP files snapshots are written to. No Windows headers: the bitmap
// header is mirrored field by field and written little-endian.
#include <array>
#include <cstddef>
#include <cstdint>

namespace lumetra {

// The fields of a BITMAPINFOHEADER.
struct BitmapHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

constexpr size_t kBmpFileHeaderBytes = 14;
constexpr size_t kBmpInfoHeaderBytes = 40;
constexpr size_t kBmpHeadersBytes = kBmpFileHeaderBytes + kBmpInfoHeaderBytes;  // where the pixels start

// The header of the picture made from a frame: the device's header with 24 bits per pixel, no
// compression and no image size; a header size of 40 (what is written); and a positive height,
// as the picture's rows are bottom-up whatever the frame's were.
BitmapHeader PictureHeader(const BitmapHeader& device);

// The 54 bytes before the pixels: "BM", the file size (54 + the picture's bytes), two reserved
// zeros, the pixel offset 54, then the picture header.
std::array<uint8_t, kBmpHeadersBytes> BmpHeaders(const BitmapHeader& picture);

// The size of a 24-bit BMP file of a picture: headers and rows of RgbRowBytes.
size_t BmpFileBytes(int width, int height);

}  // namespace lumetra
