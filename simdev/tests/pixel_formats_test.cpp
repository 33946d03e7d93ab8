#include "simdev/pixel_formats.h"

#include <gtest/gtest.h>

#include <vector>

namespace simdev {
namespace {

// A 4x2 picture with known samples.
Picture Small() {
    Picture p;
    p.Resize(4, 2);
    for (int i = 0; i < 8; ++i) {
        p.y[i] = static_cast<uint8_t>(16 + i * 10);
        p.u[i] = static_cast<uint8_t>(100 + i * 2);
        p.v[i] = static_cast<uint8_t>(200 - i * 2);
    }
    return p;
}

TEST(PixelFormats, FrameSizes) {
    EXPECT_EQ(FrameBytes(PixelFormat::YUY2, 640, 480), 614400u);
    EXPECT_EQ(FrameBytes(PixelFormat::I420, 640, 480), 460800u);
    EXPECT_EQ(FrameBytes(PixelFormat::RGB24, 176, 144), 176u * 3 * 144);
    EXPECT_EQ(RowBytes(PixelFormat::RGB24, 2), 8u);  // padded to four bytes
    EXPECT_EQ(FrameBytes(PixelFormat::RGB32, 160, 120), 76800u);
}

TEST(PixelFormats, Yuy2PacksPairsWithAveragedChroma) {
    Picture p = Small();
    std::vector<uint8_t> out(FrameBytes(PixelFormat::YUY2, 4, 2));
    WriteYuy2(p, out.data());
    // First pair of the first row: Y0 U Y1 V.
    EXPECT_EQ(out[0], 16);
    EXPECT_EQ(out[1], (100 + 102 + 1) / 2);
    EXPECT_EQ(out[2], 26);
    EXPECT_EQ(out[3], (200 + 198 + 1) / 2);
    // Second row starts at width * 2.
    EXPECT_EQ(out[8], 56);
}

TEST(PixelFormats, I420HasFullLumaThenQuarterChromaPlanes) {
    Picture p = Small();
    std::vector<uint8_t> out(FrameBytes(PixelFormat::I420, 4, 2));
    ASSERT_EQ(out.size(), 8u + 2 + 2);
    WriteI420(p, out.data());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], p.y[i]);
    EXPECT_EQ(out[8], (100 + 102 + 108 + 110 + 2) / 4);  // U of the left 2x2 block
    EXPECT_EQ(out[10], (200 + 198 + 192 + 190 + 2) / 4); // V of the left 2x2 block
}

TEST(PixelFormats, RgbIsBottomUpBgr) {
    Picture p;
    p.Resize(2, 2);
    Yuv red = ToYuv(Rgb{255, 0, 0});
    // Top row red, bottom row black.
    for (int x = 0; x < 2; ++x) {
        p.y[x] = red.y;
        p.u[x] = red.u;
        p.v[x] = red.v;
    }
    std::vector<uint8_t> out(FrameBytes(PixelFormat::RGB24, 2, 2));
    WriteRgb24(p, out.data());
    // The first row in memory is the bottom (black) row.
    EXPECT_LT(out[2], 10);
    const uint8_t* top = out.data() + RowBytes(PixelFormat::RGB24, 2);
    EXPECT_GT(top[2], 245);  // R
    EXPECT_LT(top[0], 10);   // B
    std::vector<uint8_t> out32(FrameBytes(PixelFormat::RGB32, 2, 2));
    WriteRgb32(p, out32.data());
    EXPECT_GT(out32[8 + 2], 245);
    EXPECT_EQ(out32[8 + 3], 0xFF);
}

TEST(PixelFormats, LumaReadsBackFromEveryFormat) {
    SceneSettings s;
    s.width = 176;
    s.height = 144;
    Picture p;
    RenderScene(s, 9999, p);
    for (PixelFormat f : {PixelFormat::YUY2, PixelFormat::I420, PixelFormat::RGB24, PixelFormat::RGB32}) {
        std::vector<uint8_t> frame(FrameBytes(f, 176, 144));
        WriteFrame(f, p, frame.data());
        uint32_t code = 0;
        ASSERT_TRUE(ReadFrameCode([&](int x, int y) { return LumaAt(f, frame.data(), 176, 144, x, y); }, 176, code));
        EXPECT_EQ(code, 9999u);
    }
}

}  // namespace
}  // namespace simdev
