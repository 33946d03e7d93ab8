#include "still/color_convert.h"

#include <cstring>

#include "still/convert_kernels.h"
#include "still/yuv_tables.h"

#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace lumetra {

// ---- The reference kernels ----

namespace convert {

namespace {
void StoreBgr(const YuvTables& t, uint8_t y, uint8_t u, uint8_t v, uint8_t* dst) {
    const Bgr pixel = YuvToBgr(t, y, u, v);
    dst[0] = pixel.b;
    dst[1] = pixel.g;
    dst[2] = pixel.r;
}
}  // namespace

void Yuy2RowScalar(const uint8_t* src, uint8_t* dst, int width) {
    const YuvTables& t = GetYuvTables();
    for (int x = 0; x + 1 < width; x += 2, src += 4, dst += 6) {
        StoreBgr(t, src[0], src[1], src[3], dst);
        StoreBgr(t, src[2], src[1], src[3], dst + 3);
    }
}

void PlanarRowsScalar(const uint8_t* y0, const uint8_t* y1, const uint8_t* u, const uint8_t* v, uint8_t* dst0,
                      uint8_t* dst1, int width) {
    const YuvTables& t = GetYuvTables();
    for (int x = 0; x + 1 < width; x += 2) {
        const uint8_t cb = u[x / 2], cr = v[x / 2];
        StoreBgr(t, y0[x], cb, cr, dst0 + 3 * x);
        StoreBgr(t, y0[x + 1], cb, cr, dst0 + 3 * x + 3);
        StoreBgr(t, y1[x], cb, cr, dst1 + 3 * x);
        StoreBgr(t, y1[x + 1], cb, cr, dst1 + 3 * x + 3);
    }
}

}  // namespace convert

// ---- Choosing the kernels ----

namespace {

struct Kernels {
    convert::Yuy2RowFn yuy2Row;
    convert::PlanarRowsFn planarRows;
};

Kernels KernelsFor(SimdLevel level) {
    switch (level) {
    case SimdLevel::Avx2: return {convert::Yuy2RowAvx2, convert::PlanarRowsAvx2};
    case SimdLevel::Ssse3: return {convert::Yuy2RowSsse3, convert::PlanarRowsSsse3};
    case SimdLevel::Scalar: break;
    }
    return {convert::Yuy2RowScalar, convert::PlanarRowsScalar};
}

#if defined(_MSC_VER)
bool CpuHasSsse3() {
    int regs[4];
    __cpuid(regs, 1);
    return (regs[2] & (1 << 9)) != 0;
}
bool CpuHasAvx2() {
    int regs[4];
    __cpuid(regs, 0);
    if (regs[0] < 7) return false;
    __cpuid(regs, 1);
    const bool osSavesYmm = (regs[2] & (1 << 27)) != 0 && (regs[2] & (1 << 28)) != 0 && (_xgetbv(0) & 6) == 6;
    if (!osSavesYmm) return false;
    __cpuidex(regs, 7, 0);
    return (regs[1] & (1 << 5)) != 0;
}
#else
// The compiler's run-time check also asks whether the operating system saves the AVX registers.
bool CpuHasSsse3() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}
bool CpuHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

}  // namespace

bool SimdLevelAvailable(SimdLevel level) {
    switch (level) {
    case SimdLevel::Scalar: return true;
    case SimdLevel::Ssse3: return CpuHasSsse3();
    case SimdLevel::Avx2: return CpuHasSsse3() && CpuHasAvx2();
    }
    return false;
}

SimdLevel BestSimdLevel() {
    static const SimdLevel best = SimdLevelAvailable(SimdLevel::Avx2)    ? SimdLevel::Avx2
                                  : SimdLevelAvailable(SimdLevel::Ssse3) ? SimdLevel::Ssse3
                                                                         : SimdLevel::Scalar;
    return best;
}

// ---- Frames ----

namespace {

// Where image row `row` (0 at the top) goes in a bottom-up picture.
uint8_t* PictureRow(uint8_t* picture, size_t rowBytes, int height, int row) {
    return picture + static_cast<size_t>(height - 1 - row) * rowBytes;
}

void ClearRowPadding(uint8_t* picture, size_t rowBytes, int width, int height) {
    const size_t used = static_cast<size_t>(width) * 3;
    if (used == rowBytes) return;
    for (int row = 0; row < height; ++row) std::memset(picture + row * rowBytes + used, 0, rowBytes - used);
}

// The U and V planes of a planar 4:2:0 frame, in the frame's order.
void ChromaPlanes(const uint8_t* frame, const FrameShape& shape, const uint8_t*& u, const uint8_t*& v) {
    const size_t lumaBytes = static_cast<size_t>(shape.width) * shape.height;
    const size_t chromaBytes = lumaBytes / 4;
    const uint8_t* first = frame + lumaBytes;
    const uint8_t* second = first + chromaBytes;
    u = shape.format == PixelFormat::Yv12 ? second : first;
    v = shape.format == PixelFormat::Yv12 ? first : second;
}

// Image row `row` of a bitmap frame, whichever way up it is stored.
const uint8_t* BitmapRow(const uint8_t* frame, const FrameShape& shape, int row) {
    const size_t rowBytes = FrameBytes(shape) / static_cast<size_t>(shape.height);
    const int stored = shape.bottomUp ? shape.height - 1 - row : row;
    return frame + static_cast<size_t>(stored) * rowBytes;
}

void CopyBitmap(const uint8_t* src, const FrameShape& shape, uint8_t* dst, size_t rowBytes) {
    const int bytesPerPixel = shape.format == PixelFormat::Rgb32 ? 4 : 3;
    for (int row = 0; row < shape.height; ++row) {
        const uint8_t* in = BitmapRow(src, shape, row);
        uint8_t* out = PictureRow(dst, rowBytes, shape.height, row);
        if (bytesPerPixel == 3) {
            std::memcpy(out, in, static_cast<size_t>(shape.width) * 3);
            continue;
        }
        for (int x = 0; x < shape.width; ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
}

bool Convertible(const uint8_t* src, size_t srcBytes, const FrameShape& shape, const uint8_t* dst) {
    const size_t needed = FrameBytes(shape);
    return needed != 0 && src && dst && srcBytes >= needed;
}

}  // namespace

bool ConvertToRgbWith(SimdLevel level, const uint8_t* src, size_t srcBytes, const FrameShape& shape, uint8_t* dst,
                      size_t dstBytes) {
    if (!Convertible(src, srcBytes, shape, dst) || dstBytes < RgbPictureBytes(shape.width, shape.height)) return false;
    if (!SimdLevelAvailable(level)) level = SimdLevel::Scalar;
    const Kernels kernels = KernelsFor(level);
    const int w = shape.width, h = shape.height;
    const size_t rowBytes = RgbRowBytes(w);
    switch (shape.format) {
    case PixelFormat::Yuy2:
        for (int row = 0; row < h; ++row)
            kernels.yuy2Row(src + static_cast<size_t>(row) * w * 2, PictureRow(dst, rowBytes, h, row), w);
        break;
    case PixelFormat::I420:
    case PixelFormat::Yv12: {
        const uint8_t *u = nullptr, *v = nullptr;
        ChromaPlanes(src, shape, u, v);
        for (int row = 0; row < h; row += 2) {
            const uint8_t* luma = src + static_cast<size_t>(row) * w;
            const size_t chroma = static_cast<size_t>(row / 2) * (w / 2);
            kernels.planarRows(luma, luma + w, u + chroma, v + chroma, PictureRow(dst, rowBytes, h, row),
                               PictureRow(dst, rowBytes, h, row + 1), w);
        }
        break;
    }
    case PixelFormat::Rgb24:
    case PixelFormat::Rgb32: CopyBitmap(src, shape, dst, rowBytes); break;
    case PixelFormat::Unsupported: return false;
    }
    ClearRowPadding(dst, rowBytes, w, h);
    return true;
}

bool ConvertToRgb(const uint8_t* src, size_t srcBytes, const FrameShape& shape, uint8_t* dst, size_t dstBytes) {
    return ConvertToRgbWith(BestSimdLevel(), src, srcBytes, shape, dst, dstBytes);
}

// ---- Grey ----

namespace {

// The luma of a bitmap pixel (B G R in memory).
uint8_t BitmapLuma(const uint8_t* p) {
    return static_cast<uint8_t>((77 * p[2] + 150 * p[1] + 29 * p[0] + 128) >> 8);
}

// One grey row from luma samples `step` bytes apart.
void GreyRow(const uint8_t* luma, size_t step, uint8_t* out, int count) {
    for (int x = 0; x < count; ++x, luma += step, out += 3) out[0] = out[1] = out[2] = *luma;
}

}  // namespace

bool ConvertToGrey(const uint8_t* src, size_t srcBytes, const FrameShape& shape, int factor, uint8_t* dst,
                   size_t dstBytes) {
    if (!Convertible(src, srcBytes, shape, dst) || (factor != 1 && factor != 2)) return false;
    const int w = shape.width / factor, h = shape.height / factor;
    if (w == 0 || h == 0) return false;
    if (dstBytes < GreyPictureBytes(shape.width, shape.height, factor)) return false;
    const size_t rowBytes = RgbRowBytes(w);
    const size_t f = static_cast<size_t>(factor);
    for (int row = 0; row < h; ++row) {
        uint8_t* out = PictureRow(dst, rowBytes, h, row);
        const size_t sourceRow = static_cast<size_t>(row) * f;
        switch (shape.format) {
        case PixelFormat::Yuy2: GreyRow(src + sourceRow * shape.width * 2, 2 * f, out, w); break;
        case PixelFormat::I420:
        case PixelFormat::Yv12: GreyRow(src + sourceRow * shape.width, f, out, w); break;
        case PixelFormat::Rgb24:
        case PixelFormat::Rgb32: {
            const size_t bytesPerPixel = shape.format == PixelFormat::Rgb32 ? 4 : 3;
            const uint8_t* in = BitmapRow(src, shape, static_cast<int>(sourceRow));
            for (int x = 0; x < w; ++x, in += f * bytesPerPixel, out += 3) out[0] = out[1] = out[2] = BitmapLuma(in);
            break;
        }
        case PixelFormat::Unsupported: return false;
        }
    }
    ClearRowPadding(dst, rowBytes, w, h);
    return true;
}

}  // namespace lumetra
