// YUV to RGB conversion of the stand-in decoder.
#include "wine-standins/core/yuv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace lumetra::standins;

namespace {
bool Near(Rgb a, Rgb b, int tol) {
    return std::abs(a.r - b.r) <= tol && std::abs(a.g - b.g) <= tol && std::abs(a.b - b.b) <= tol;
}
const Rgb kColours[] = {{255, 255, 255}, {0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255},
                        {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {128, 64, 32}};
}  // namespace

TEST(YuvColour, RoundTripsPrimariesWithinQuantisation) {
    for (Rgb c : kColours) EXPECT_TRUE(Near(YuvToRgb(RgbToYuv(c)), c, 3)) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    Yuv black = RgbToYuv({0, 0, 0}), white = RgbToYuv({255, 255, 255});
    EXPECT_EQ(black.y, 16);
    EXPECT_EQ(white.y, 235);
    EXPECT_EQ(black.u, 128);
    EXPECT_EQ(white.v, 128);
}

TEST(YuvSizes, PicturesAndDibRows) {
    EXPECT_EQ(YuvImageSize(YuvLayout::Yuy2, 640, 480), 614400u);
    EXPECT_EQ(YuvImageSize(YuvLayout::I420, 640, 480), 460800u);
    EXPECT_EQ(DibStride(6, 24), 20u);
    EXPECT_EQ(DibStride(6, 32), 24u);
}

// Four vertical bars, top half and bottom half different, in each layout.
class YuvToDibTest : public ::testing::TestWithParam<YuvLayout> {};

TEST_P(YuvToDibTest, PlacesColoursBottomUpInBgrOrder) {
    const YuvLayout layout = GetParam();
    const int w = 8, h = 4;
    auto colourAt = [](int x, int y) { return kColours[(y < 2 ? 2 : 5) + x / 4]; };
    std::vector<uint8_t> src(YuvImageSize(layout, w, h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Yuv c = RgbToYuv(colourAt(x, y));
            if (layout == YuvLayout::Yuy2 || layout == YuvLayout::Uyvy) {
                uint8_t* p = &src[size_t(y * w * 2 + (x / 2) * 4)];
                bool yuy2 = layout == YuvLayout::Yuy2;
                p[yuy2 ? (x % 2) * 2 : 1 + (x % 2) * 2] = c.y;
                p[yuy2 ? 1 : 0] = c.u;
                p[yuy2 ? 3 : 2] = c.v;
            } else {
                src[size_t(y * w + x)] = c.y;
                size_t chroma = size_t((y / 2) * (w / 2) + x / 2);
                uint8_t* u = &src[size_t(w * h)];
                uint8_t* v = u + w * h / 4;
                if (layout == YuvLayout::Yv12) std::swap(u, v);
                u[chroma] = c.u;
                v[chroma] = c.v;
            }
        }
    }
    for (int bits : {24, 32}) {
        size_t stride = DibStride(w, bits) + 4;   // a wider surface than needed
        std::vector<uint8_t> dib(stride * h, 0x11);
        ASSERT_TRUE(YuvToDib(layout, src.data(), src.size(), w, h, dib.data(), dib.size(), stride, bits));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = &dib[size_t(h - 1 - y) * stride + size_t(x * bits / 8)];
                EXPECT_TRUE(Near({p[2], p[1], p[0]}, colourAt(x, y), 3)) << "x=" << x << " y=" << y << " bits=" << bits;
            }
            EXPECT_EQ(dib[size_t(h - 1 - y) * stride + stride - 1], 0x11);   // beyond the row is untouched
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, YuvToDibTest,
                         ::testing::Values(YuvLayout::Yuy2, YuvLayout::Uyvy, YuvLayout::I420, YuvLayout::Yv12));

// Odd sizes: the last column and row of a planar picture have chroma samples of their own, in
// planes of (width + 1) / 2 x (height + 1) / 2.
TEST(YuvToDib, OddSizesReadTheirOwnChromaSamples) {
    const int w = 5, h = 3;
    EXPECT_EQ(YuvImageSize(YuvLayout::I420, w, h), size_t(15 + 2 * 3 * 2));
    EXPECT_EQ(YuvImageSize(YuvLayout::Yuy2, w, h), size_t(12 * 3));
    for (YuvLayout layout : {YuvLayout::I420, YuvLayout::Yv12}) {
        // Grey everywhere but the last U sample (the bottom-right pixel's): exactly the picture's
        // bytes, so that the sanitizers catch any read past them.
        std::vector<uint8_t> src(YuvImageSize(layout, w, h), 128);
        const size_t lastChroma = (layout == YuvLayout::I420 ? 15 : 15 + 6) + 5;
        src[lastChroma] = 240;
        std::vector<uint8_t> dib(DibStride(w, 32) * h, 0);
        ASSERT_TRUE(YuvToDib(layout, src.data(), src.size(), w, h, dib.data(), dib.size(), DibStride(w, 32), 32));
        const uint8_t* last = &dib[4 * 4];  // bottom row of the DIB, last column
        EXPECT_GT(last[0], last[2] + 100) << "the last pixel takes the last chroma sample";
        EXPECT_NEAR(dib[0], dib[2], 2) << "the first pixel stays grey";
        EXPECT_EQ(last[3], 0xFF) << "the last, odd column is written";
    }
    std::vector<uint8_t> packed(YuvImageSize(YuvLayout::Yuy2, w, h), 128);
    std::vector<uint8_t> dib(DibStride(w, 24) * h, 0);
    EXPECT_TRUE(YuvToDib(YuvLayout::Yuy2, packed.data(), packed.size(), w, h, dib.data(), dib.size(), DibStride(w, 24), 24));
}

TEST(YuvToDib, RefusesBuffersShorterThanThePicture) {
    const int w = 8, h = 4;
    for (YuvLayout layout : {YuvLayout::Yuy2, YuvLayout::I420}) {
        std::vector<uint8_t> src(YuvImageSize(layout, w, h), 128);
        std::vector<uint8_t> dib(DibStride(w, 24) * h, 0x11);
        EXPECT_FALSE(YuvToDib(layout, src.data(), src.size() - 1, w, h, dib.data(), dib.size(), DibStride(w, 24), 24));
        EXPECT_FALSE(YuvToDib(layout, src.data(), src.size(), w, h, dib.data(), dib.size() - 1, DibStride(w, 24), 24));
        EXPECT_FALSE(YuvToDib(layout, src.data(), src.size(), w, h, dib.data(), dib.size(), DibStride(w, 24) - 1, 24));
        EXPECT_FALSE(YuvToDib(layout, src.data(), src.size(), w, h, dib.data(), dib.size(), DibStride(w, 24), 16));
        EXPECT_FALSE(YuvToDib(layout, src.data(), src.size(), -w, h, dib.data(), dib.size(), DibStride(w, 24), 24));
        EXPECT_EQ(dib, std::vector<uint8_t>(DibStride(w, 24) * h, 0x11)) << "a refused picture writes nothing";
    }
}
