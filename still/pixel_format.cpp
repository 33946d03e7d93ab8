#include "still/pixel_format.h"

namespace lumetra {
namespace {

// Beyond this edge a frame is not a picture from a capture device but a damaged header; the limit
// also keeps every byte count below well within size_t and int arithmetic.
constexpr int kMaxEdge = 16384;

// Two pixels share their chroma across, and in the planar formats also down.
bool NeedsEvenWidth(PixelFormat format) {
    return format == PixelFormat::Yuy2 || format == PixelFormat::I420 || format == PixelFormat::Yv12;
}
bool NeedsEvenHeight(PixelFormat format) {
    return format == PixelFormat::I420 || format == PixelFormat::Yv12;
}

}  // namespace

size_t FrameBytes(const FrameShape& shape) {
    if (shape.width <= 0 || shape.height <= 0 || shape.width > kMaxEdge || shape.height > kMaxEdge) return 0;
    if ((NeedsEvenWidth(shape.format) && shape.width % 2 != 0) || (NeedsEvenHeight(shape.format) && shape.height % 2 != 0))
        return 0;
    const size_t w = static_cast<size_t>(shape.width), h = static_cast<size_t>(shape.height);
    switch (shape.format) {
    case PixelFormat::Yuy2: return w * h * 2;
    case PixelFormat::I420:
    case PixelFormat::Yv12: return w * h + 2 * (w / 2) * (h / 2);
    case PixelFormat::Rgb24: return RgbRowBytes(shape.width) * h;
    case PixelFormat::Rgb32: return w * 4 * h;
    case PixelFormat::Unsupported: break;
    }
    return 0;
}

size_t RgbRowBytes(int width) {
    if (width <= 0) return 0;
    return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
}

size_t RgbPictureBytes(int width, int height) {
    if (height <= 0) return 0;
    return RgbRowBytes(width) * static_cast<size_t>(height);
}

size_t GreyPictureBytes(int width, int height, int factor) {
    if (factor != 1 && factor != 2) return 0;
    return RgbPictureBytes(width / factor, height / factor);
}

}  // namespace lumetra
