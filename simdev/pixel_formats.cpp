#include "simdev/pixel_formats.h"

namespace simdev {

int BitsPerPixel(PixelFormat f) {
    switch (f) {
    case PixelFormat::YUY2: return 16;
    case PixelFormat::I420: return 12;
    case PixelFormat::RGB24: return 24;
    case PixelFormat::RGB32: return 32;
    }
    return 0;
}

size_t RowBytes(PixelFormat f, int width) {
    switch (f) {
    case PixelFormat::YUY2: return static_cast<size_t>(width) * 2;
    case PixelFormat::I420: return static_cast<size_t>(width);
    case PixelFormat::RGB24: return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    case PixelFormat::RGB32: return static_cast<size_t>(width) * 4;
    }
    return 0;
}

size_t FrameBytes(PixelFormat f, int width, int height) {
    if (f == PixelFormat::I420)
        return static_cast<size_t>(width) * height + 2 * (static_cast<size_t>(width / 2) * (height / 2));
    return RowBytes(f, width) * static_cast<size_t>(height);
}

void WriteYuy2(const Picture& pic, uint8_t* dst) {
    for (int y = 0; y < pic.height; ++y) {
        const size_t row = static_cast<size_t>(y) * pic.width;
        uint8_t* out = dst + static_cast<size_t>(y) * RowBytes(PixelFormat::YUY2, pic.width);
        for (int x = 0; x + 1 < pic.width; x += 2) {
            const size_t i = row + x;
            out[0] = pic.y[i];
            out[1] = static_cast<uint8_t>((pic.u[i] + pic.u[i + 1] + 1) / 2);
            out[2] = pic.y[i + 1];
            out[3] = static_cast<uint8_t>((pic.v[i] + pic.v[i + 1] + 1) / 2);
            out += 4;
        }
    }
}

void WriteI420(const Picture& pic, uint8_t* dst) {
    const int w = pic.width, h = pic.height, cw = w / 2, ch = h / 2;
    uint8_t* yPlane = dst;
    uint8_t* uPlane = dst + static_cast<size_t>(w) * h;
    uint8_t* vPlane = uPlane + static_cast<size_t>(cw) * ch;
    for (size_t i = 0; i < pic.y.size(); ++i) yPlane[i] = pic.y[i];
    for (int y = 0; y < ch; ++y) {
        for (int x = 0; x < cw; ++x) {
            const size_t a = static_cast<size_t>(2 * y) * w + 2 * x, b = a + w;
            uPlane[static_cast<size_t>(y) * cw + x] =
                static_cast<uint8_t>((pic.u[a] + pic.u[a + 1] + pic.u[b] + pic.u[b + 1] + 2) / 4);
            vPlane[static_cast<size_t>(y) * cw + x] =
                static_cast<uint8_t>((pic.v[a] + pic.v[a + 1] + pic.v[b] + pic.v[b + 1] + 2) / 4);
        }
    }
}

namespace {
template <int BytesPerPixel>
void WriteRgb(const Picture& pic, uint8_t* dst, PixelFormat f) {
    const size_t stride = RowBytes(f, pic.width);
    for (int y = 0; y < pic.height; ++y) {
        uint8_t* out = dst + static_cast<size_t>(pic.height - 1 - y) * stride;  // bottom-up
        const size_t row = static_cast<size_t>(y) * pic.width;
        for (int x = 0; x < pic.width; ++x) {
            Rgb c = ToRgb(Yuv{pic.y[row + x], pic.u[row + x], pic.v[row + x]});
            out[0] = c.b;
            out[1] = c.g;
            out[2] = c.r;
            if (BytesPerPixel == 4) out[3] = 0xFF;
            out += BytesPerPixel;
        }
    }
}
}  // namespace

void WriteRgb24(const Picture& pic, uint8_t* dst) { WriteRgb<3>(pic, dst, PixelFormat::RGB24); }
void WriteRgb32(const Picture& pic, uint8_t* dst) { WriteRgb<4>(pic, dst, PixelFormat::RGB32); }

void WriteFrame(PixelFormat f, const Picture& pic, uint8_t* dst) {
    switch (f) {
    case PixelFormat::YUY2: WriteYuy2(pic, dst); break;
    case PixelFormat::I420: WriteI420(pic, dst); break;
    case PixelFormat::RGB24: WriteRgb24(pic, dst); break;
    case PixelFormat::RGB32: WriteRgb32(pic, dst); break;
    }
}

int LumaAt(PixelFormat f, const uint8_t* frame, int width, int height, int x, int y) {
    switch (f) {
    case PixelFormat::YUY2: return frame[static_cast<size_t>(y) * width * 2 + static_cast<size_t>(x) * 2];
    case PixelFormat::I420: return frame[static_cast<size_t>(y) * width + x];
    case PixelFormat::RGB24:
    case PixelFormat::RGB32: {
        const int bpp = f == PixelFormat::RGB24 ? 3 : 4;
        const uint8_t* p = frame + static_cast<size_t>(height - 1 - y) * RowBytes(f, width) + static_cast<size_t>(x) * bpp;
        return ToYuv(Rgb{p[2], p[1], p[0]}).y;
    }
    }
    return 0;
}

}  // namespace simdev
