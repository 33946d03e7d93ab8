#pragma once
// The pixel size a picture file claims, read from its header before anything is decoded, so that a
// small file claiming a huge picture is refused before the decoder allocates it. No platform headers.
#include <cstddef>
#include <cstdint>

namespace lumetra {

enum class PictureHeader {
    Unknown,  // not a format read here (icon, metafile, ...): the decoder's own size must be checked
    Sized,    // width and height were read
    Damaged,  // a known format whose header is cut short or holds no size
};

// Bitmap (core and info headers), JPEG (the first frame header), GIF (logical screen) and PNG (IHDR).
// Width and height are given as the header holds them (a bitmap's negative height as its magnitude).
PictureHeader ReadPictureSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height);

// A 64-bit hash of a picture file's bytes, so that files holding the same picture are found
// without comparing every pair byte by byte.
uint64_t PictureBytesHash(const uint8_t* data, size_t size);

}  // namespace lumetra
