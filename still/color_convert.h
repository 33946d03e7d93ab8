#pragma once
// Converts grabbed frames into 24-bit pictures: the snapshot's colour picture and the grey
// picture motion detection shows. Both are written bottom-up (the image's top row last), in rows
// of RgbRowBytes, as device-independent bitmaps and BMP files hold them. No Windows headers.
#include <cstddef>
#include <cstdint>

#include "still/pixel_format.h"

namespace lumetra {

// The instruction sets the YUV conversion has kernels for. All give the same bytes: Scalar is the
// reference (the tables of yuv_tables.h), the others compute the tables' numbers in vectors.
enum class SimdLevel { Scalar, Ssse3, Avx2 };

// Whether this processor (and its operating system) can run a level's kernels.
bool SimdLevelAvailable(SimdLevel level);
// The fastest available level; what ConvertToRgb uses.
SimdLevel BestSimdLevel();

// The colour picture of a frame: width x height pixels of B G R. YUY2 and planar 4:2:0 go through
// the tables; bitmap frames are copied (RGB32 without its fourth byte) the right way up.
// False, writing nothing, when the shape cannot be converted (FrameBytes is 0), srcBytes is
// shorter than a frame of that shape, or dstBytes is less than RgbPictureBytes.
bool ConvertToRgb(const uint8_t* src, size_t srcBytes, const FrameShape& shape, uint8_t* dst, size_t dstBytes);
bool ConvertToRgbWith(SimdLevel level, const uint8_t* src, size_t srcBytes, const FrameShape& shape, uint8_t* dst,
                      size_t dstBytes);

// The grey picture of a frame at factor 1 (full size) or 2 (half width and height): every factor-th
// luma sample of every factor-th row, in blue, green and red alike (for YUY2 at factor 2 the first
// luma sample of each group). Bitmap frames give their luma, (77 R + 150 G + 29 B + 128) / 256.
// False, writing nothing, on the conditions of ConvertToRgb, on another factor, or when dstBytes
// is less than GreyPictureBytes.
bool ConvertToGrey(const uint8_t* src, size_t srcBytes, const FrameShape& shape, int factor, uint8_t* dst,
                   size_t dstBytes);

}  // namespace lumetra
