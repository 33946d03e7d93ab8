// The registered YUV decompressor, opened as the platform's decompressor filter opens it: it converts
// only what the buffers named by the format headers hold.
#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

BITMAPINFOHEADER YuvHeader(int width, int height) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 16;
    h.biCompression = mmioFOURCC('Y', 'U', 'Y', '2');
    h.biSizeImage = DWORD(width * height * 2);
    return h;
}

BITMAPINFOHEADER RgbHeader(int width, int height) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(width * height * 4);
    return h;
}

TEST(StandinCodec, ConvertsOnlyWhatTheBuffersHold) {
    HIC codec = ICOpen(ICTYPE_VIDEO, mmioFOURCC('Y', 'U', 'Y', '2'), ICMODE_DECOMPRESS);
    ASSERT_NE(codec, nullptr) << "vidc.YUY2 is not registered";
    BITMAPINFOHEADER in = YuvHeader(8, 4), out = RgbHeader(8, 4);
    std::vector<uint8_t> src(in.biSizeImage, 128), dst(out.biSizeImage, 0x11);
    ASSERT_EQ(ICDecompressBegin(codec, &in, &out), LRESULT(ICERR_OK));
    EXPECT_EQ(ICDecompress(codec, 0, &in, src.data(), &out, dst.data()), DWORD(ICERR_OK));
    EXPECT_EQ(dst[3], 0xFF) << "the picture was not converted";

    // A sample one byte short of the picture, or an output buffer too small for it: refused untouched.
    const std::vector<uint8_t> untouched(dst.size(), 0x11);
    dst = untouched;
    in.biSizeImage -= 1;
    EXPECT_NE(ICDecompress(codec, 0, &in, src.data(), &out, dst.data()), DWORD(ICERR_OK));
    EXPECT_EQ(dst, untouched);
    in.biSizeImage += 1;
    out.biSizeImage -= 4;
    EXPECT_NE(ICDecompress(codec, 0, &in, src.data(), &out, dst.data()), DWORD(ICERR_OK));
    EXPECT_EQ(dst, untouched);
    ICDecompressEnd(codec);
    ICClose(codec);
}

}  // namespace
