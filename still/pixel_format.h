#pragma once
// What a grabbed video frame looks like in memory, and the sizes of the pictures made from it.
// No Windows headers: shared by the snapshot, the motion engine and their native tests.
#include <cstddef>

namespace lumetra {

enum class PixelFormat {
    Unsupported,
    Yuy2,   // packed 4:2:2, Y0 U Y1 V, rows of width x 2 bytes, top row first
    I420,   // planar 4:2:0: Y plane, then U (Cb), then V (Cr), each chroma plane width/2 x height/2
    Yv12,   // planar 4:2:0 with the V plane before the U plane
    Rgb24,  // device-independent bitmap rows of B G R, each row padded to 4 bytes
    Rgb32,  // device-independent bitmap rows of B G R X
};

// A frame's format and size. YUV frames are always stored top row first; bitmap formats are
// bottom-up unless the device said otherwise (a negative height in its bitmap header).
struct FrameShape {
    PixelFormat format = PixelFormat::Unsupported;
    int width = 0;
    int height = 0;
    bool bottomUp = false;  // bitmap formats only
};

// Bytes one whole frame of this shape occupies; 0 when the shape cannot be converted (an
// unsupported format, a size of zero or below, an odd width of a YUV format or an odd height of a
// planar one).
size_t FrameBytes(const FrameShape& shape);

// Rows of a 24-bit picture: width x 3 bytes, padded to a multiple of 4 as device-independent
// bitmaps and BMP files require. Every capture width the program offers needs no padding.
size_t RgbRowBytes(int width);
size_t RgbPictureBytes(int width, int height);

// The grey picture of a frame reduced by factor (1 or 2): (width / factor) x (height / factor)
// pixels, 3 bytes each, in rows as above.
size_t GreyPictureBytes(int width, int height, int factor);

}  // namespace lumetra
