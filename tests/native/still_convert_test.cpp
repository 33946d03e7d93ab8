// The snapshot's colour conversion: the tables' values, the frame layouts, the bottom-up order,
// the grey picture, and every vector kernel against the table reference.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "still/color_convert.h"
#include "still/yuv_tables.h"

namespace lumetra {
namespace {

using Bytes = std::vector<uint8_t>;

struct Pixel {
    int b, g, r;
    bool operator==(const Pixel& o) const { return b == o.b && g == o.g && r == o.r; }
};
std::ostream& operator<<(std::ostream& os, const Pixel& p) { return os << "(" << p.b << "," << p.g << "," << p.r << ")"; }

// Pixel (x, y) of a bottom-up 24-bit picture, y counted from the image's top.
Pixel PictureAt(const Bytes& picture, int width, int height, int x, int y) {
    const size_t row = RgbRowBytes(width) * static_cast<size_t>(height - 1 - y);
    const uint8_t* p = &picture[row + static_cast<size_t>(x) * 3];
    return {p[0], p[1], p[2]};
}

Bytes Convert(const Bytes& frame, const FrameShape& shape, SimdLevel level = SimdLevel::Scalar) {
    Bytes picture(RgbPictureBytes(shape.width, shape.height), 0xEE);
    EXPECT_TRUE(ConvertToRgbWith(level, frame.data(), frame.size(), shape, picture.data(), picture.size()));
    return picture;
}

Pixel Yuv(uint8_t y, uint8_t u, uint8_t v) {
    const Bytes frame = {y, u, y, v};
    return PictureAt(Convert(frame, {PixelFormat::Yuy2, 2, 1}), 2, 1, 0, 0);
}

// Colours worked out by hand from the formulas (BT.601 studio-range red, green, blue).
const Pixel kBlack{0, 0, 0}, kRed{0, 0, 253}, kGreen{0, 255, 0}, kBlue{254, 1, 0};

TEST(YuvTables, EdgeValuesAndRounding) {
    const YuvTables& t = GetYuvTables();
    // Shifts round towards minus infinity: 1192 x -16 / 1024 = -18.6 gives -19.
    EXPECT_EQ(t.luma[0], 237);
    EXPECT_EQ(t.luma[16], 256);
    EXPECT_EQ(t.luma[235], 510);
    EXPECT_EQ(t.luma[255], 534);
    EXPECT_EQ(t.uToBlue[0], -259);
    EXPECT_EQ(t.uToBlue[255], 256);
    EXPECT_EQ(t.vToRed[0], -205);
    EXPECT_EQ(t.vToGreen[0], -105);
    EXPECT_EQ(t.uToGreen[0], -51);
    EXPECT_EQ(t.uToGreen[128], 0);
    EXPECT_EQ(t.clamp[255], 0);
    EXPECT_EQ(t.clamp[256], 0);
    EXPECT_EQ(t.clamp[300], 44);
    EXPECT_EQ(t.clamp[511], 255);
    EXPECT_EQ(t.clamp[1023], 255);

    EXPECT_EQ(Yuv(16, 128, 128), kBlack);
    EXPECT_EQ(Yuv(235, 128, 128), (Pixel{254, 254, 254}));  // the luma product is truncated
    EXPECT_EQ(Yuv(255, 128, 128), (Pixel{255, 255, 255}));  // through the clamp table
    EXPECT_EQ(Yuv(0, 128, 128), kBlack);
    // An index below the table (Y 0, U 0: 237 - 259) counts as 0.
    EXPECT_EQ(Yuv(0, 0, 128).b, 0);
    EXPECT_EQ(Yuv(81, 90, 240), kRed);
    EXPECT_EQ(Yuv(145, 54, 34), kGreen);
    EXPECT_EQ(Yuv(41, 240, 110), kBlue);
}

TEST(ConvertToRgb, Yuy2PairsShareTheirChromaAndRowsRunBottomUp) {
    // 4 x 2: top row red then green (two pixels each), bottom row black then white.
    const Bytes frame = {81, 90, 81, 240,  145, 54, 145, 34,
                         16, 128, 16, 128, 235, 128, 235, 128};
    const FrameShape shape{PixelFormat::Yuy2, 4, 2};
    const Bytes picture = Convert(frame, shape);
    ASSERT_EQ(picture.size(), 24u);
    // The image's top row is the last row of the picture.
    EXPECT_EQ((Pixel{picture[12], picture[13], picture[14]}), kRed);
    EXPECT_EQ((Pixel{picture[0], picture[1], picture[2]}), kBlack);
    EXPECT_EQ(PictureAt(picture, 4, 2, 1, 0), kRed);
    EXPECT_EQ(PictureAt(picture, 4, 2, 2, 0), kGreen);
    EXPECT_EQ(PictureAt(picture, 4, 2, 3, 0), kGreen);
    EXPECT_EQ(PictureAt(picture, 4, 2, 1, 1), kBlack);
    EXPECT_EQ(PictureAt(picture, 4, 2, 2, 1), (Pixel{254, 254, 254}));
    // Y1 takes the group's U and V, not its neighbour's: a luma step inside a pair keeps the hue.
    const Pixel second = PictureAt(Convert({16, 90, 81, 240}, {PixelFormat::Yuy2, 2, 1}), 2, 1, 1, 0);
    EXPECT_EQ(second, kRed);
}

// A planar frame of 4 x 4 whose four 2 x 2 blocks are red, green, blue and black.
Bytes PlanarBlocks(bool vFirst) {
    Bytes y = {81, 81, 145, 145,  81, 81, 145, 145,  41, 41, 16, 16,  41, 41, 16, 16};
    const Bytes u = {90, 54, 240, 128}, v = {240, 34, 110, 128};
    y.insert(y.end(), vFirst ? v.begin() : u.begin(), vFirst ? v.end() : u.end());
    y.insert(y.end(), vFirst ? u.begin() : v.begin(), vFirst ? u.end() : v.end());
    return y;
}

TEST(ConvertToRgb, PlanarBlocksShareOneChromaSample) {
    for (PixelFormat format : {PixelFormat::I420, PixelFormat::Yv12}) {
        const FrameShape shape{format, 4, 4};
        const Bytes picture = Convert(PlanarBlocks(format == PixelFormat::Yv12), shape);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const Pixel expected = y < 2 ? (x < 2 ? kRed : kGreen) : (x < 2 ? kBlue : kBlack);
                EXPECT_EQ(PictureAt(picture, 4, 4, x, y), expected) << "pixel " << x << "," << y;
            }
    }
}

TEST(ConvertToRgb, BitmapFramesAreCopiedTheRightWayUp) {
    // 2 x 2, B G R per pixel; top row (10,20,30) (40,50,60), bottom row (70,80,90) (100,110,120).
    const Bytes topDown24 = {10, 20, 30, 40, 50, 60, 0, 0, 70, 80, 90, 100, 110, 120, 0, 0};
    const Bytes bottomUp24 = {70, 80, 90, 100, 110, 120, 0, 0, 10, 20, 30, 40, 50, 60, 0, 0};
    const Bytes bottomUp32 = {70, 80, 90, 255, 100, 110, 120, 255, 10, 20, 30, 255, 40, 50, 60, 255};
    struct Case {
        Bytes frame;
        FrameShape shape;
    } cases[] = {{topDown24, {PixelFormat::Rgb24, 2, 2, false}},
                 {bottomUp24, {PixelFormat::Rgb24, 2, 2, true}},
                 {bottomUp32, {PixelFormat::Rgb32, 2, 2, true}}};
    for (const Case& c : cases) {
        const Bytes picture = Convert(c.frame, c.shape);
        EXPECT_EQ(picture, bottomUp24);  // rows of 6 bytes padded to 8 with zeros
    }
}

TEST(ConvertToRgb, RefusesWhatItCannotReadWithoutWriting) {
    Bytes picture(64, 0xEE);
    const Bytes frame(64, 0);
    auto refused = [&](const FrameShape& shape, size_t srcBytes, size_t dstBytes) {
        return !ConvertToRgb(frame.data(), srcBytes, shape, picture.data(), dstBytes);
    };
    EXPECT_TRUE(refused({PixelFormat::Unsupported, 2, 2}, 64, 64));
    EXPECT_TRUE(refused({PixelFormat::Yuy2, 3, 2}, 64, 64));   // odd width
    EXPECT_TRUE(refused({PixelFormat::I420, 4, 3}, 64, 64));   // odd height
    EXPECT_TRUE(refused({PixelFormat::Yuy2, 0, 2}, 64, 64));
    EXPECT_TRUE(refused({PixelFormat::Yuy2, 4, 4}, 31, 64));   // the sample is shorter than the frame
    EXPECT_TRUE(refused({PixelFormat::Yuy2, 4, 4}, 32, 47));   // the picture does not fit
    EXPECT_EQ(picture, Bytes(64, 0xEE));
    EXPECT_FALSE(refused({PixelFormat::Yuy2, 4, 4}, 32, 48));
}

TEST(ConvertToGrey, FullAndHalfSize) {
    // YUY2 4 x 2 with luma 1..8; planar 4 x 2 with luma 11..18.
    const Bytes yuy2 = {1, 99, 2, 99, 3, 99, 4, 99,  5, 99, 6, 99, 7, 99, 8, 99};
    const Bytes planar = {11, 12, 13, 14, 15, 16, 17, 18, 99, 99, 99, 99};
    auto grey = [](const Bytes& frame, PixelFormat format, int factor) {
        const FrameShape shape{format, 4, 2};
        Bytes out(GreyPictureBytes(4, 2, factor), 0xEE);
        EXPECT_TRUE(ConvertToGrey(frame.data(), frame.size(), shape, factor, out.data(), out.size()));
        return out;
    };
    // Bottom-up: the second source row comes first; each sample fills blue, green and red.
    EXPECT_EQ(grey(yuy2, PixelFormat::Yuy2, 1),
              (Bytes{5, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}));
    // Half size: Y0 of each group of the first row only, in a row of 6 bytes padded to 8.
    EXPECT_EQ(grey(yuy2, PixelFormat::Yuy2, 2), (Bytes{1, 1, 1, 3, 3, 3, 0, 0}));
    EXPECT_EQ(grey(planar, PixelFormat::I420, 1),
              (Bytes{15, 15, 15, 16, 16, 16, 17, 17, 17, 18, 18, 18, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14}));
    EXPECT_EQ(grey(planar, PixelFormat::I420, 2), (Bytes{11, 11, 11, 13, 13, 13, 0, 0}));

    Bytes out(64);
    EXPECT_FALSE(ConvertToGrey(yuy2.data(), yuy2.size(), {PixelFormat::Yuy2, 4, 2}, 3, out.data(), out.size()));
    EXPECT_FALSE(ConvertToGrey(yuy2.data(), yuy2.size(), {PixelFormat::Yuy2, 4, 2}, 1, out.data(), 23));
}

TEST(ConvertToGrey, BitmapFramesGiveTheirLuma) {
    // One white and one pure red pixel, bottom-up.
    const Bytes frame = {255, 255, 255, 0, 0, 0, 255, 0};
    Bytes out(8, 0xEE);
    ASSERT_TRUE(ConvertToGrey(frame.data(), frame.size(), {PixelFormat::Rgb32, 2, 1, true}, 1, out.data(), out.size()));
    EXPECT_EQ(out, (Bytes{255, 255, 255, 77, 77, 77, 0, 0}));
}

// ---- The vector kernels against the tables ----

std::vector<SimdLevel> VectorLevels() {
    std::vector<SimdLevel> levels;
    for (SimdLevel level : {SimdLevel::Ssse3, SimdLevel::Avx2})
        if (SimdLevelAvailable(level)) levels.push_back(level);
    return levels;
}

const char* Name(SimdLevel level) { return level == SimdLevel::Avx2 ? "AVX2" : "SSSE3"; }

// The first pixel where two pictures differ, as text, or empty.
std::string FirstDifference(const Bytes& expected, const Bytes& actual, int width) {
    if (expected.size() != actual.size()) return "sizes differ";
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != actual[i]) {
            const size_t row = i / RgbRowBytes(width), column = i % RgbRowBytes(width);
            return "byte " + std::to_string(column % 3) + " of pixel " + std::to_string(column / 3) + " in picture row " +
                   std::to_string(row) + ": " + std::to_string(expected[i]) + " expected, " + std::to_string(actual[i]);
        }
    return {};
}

TEST(VectorConversion, Yuy2EqualsTheTablesForEveryYuvCombination) {
    // Rows of 16 runs of 256 pixels; each run carries every Y in order with one of the 65,536
    // U and V pairs: run s of row r has pair 16 r + s.
    const int width = 4096, height = 4096;
    Bytes frame(static_cast<size_t>(width) * 2 * height);
    for (int row = 0; row < height; ++row) {
        uint8_t* p = &frame[static_cast<size_t>(row) * width * 2];
        for (int x = 0; x < width; x += 2, p += 4) {
            const int pair = 16 * row + x / 256;
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(pair >> 8);
            p[2] = static_cast<uint8_t>(x + 1);
            p[3] = static_cast<uint8_t>(pair);
        }
    }
    const FrameShape shape{PixelFormat::Yuy2, width, height};
    const Bytes reference = Convert(frame, shape);
    for (SimdLevel level : VectorLevels())
        EXPECT_EQ(FirstDifference(reference, Convert(frame, shape, level), width), "") << Name(level);
}

TEST(VectorConversion, PlanarEqualsTheTablesForEveryYuvCombination) {
    // For each U one frame: row pair p has V = p for all its chroma, its first row every Y.
    const int width = 256, height = 512;
    const size_t lumaBytes = static_cast<size_t>(width) * height, chromaBytes = lumaBytes / 4;
    Bytes frame(lumaBytes + 2 * chromaBytes);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            frame[static_cast<size_t>(row) * width + x] = static_cast<uint8_t>(row % 2 ? 255 - x : x);
    for (size_t i = 0; i < chromaBytes; ++i) frame[lumaBytes + chromaBytes + i] = static_cast<uint8_t>(i / (width / 2));
    const FrameShape shape{PixelFormat::I420, width, height};
    const std::vector<SimdLevel> levels = VectorLevels();
    for (int u = 0; u < 256; ++u) {
        std::fill(frame.begin() + lumaBytes, frame.begin() + lumaBytes + chromaBytes, static_cast<uint8_t>(u));
        const Bytes reference = Convert(frame, shape);
        for (SimdLevel level : levels) {
            const std::string difference = FirstDifference(reference, Convert(frame, shape, level), width);
            ASSERT_EQ(difference, "") << Name(level) << " at U " << u;
        }
    }
}

TEST(VectorConversion, RandomFramesOfManySizesEqualTheTables) {
    std::mt19937 random(20240611);
    std::vector<std::pair<int, int>> sizes = {{160, 120}, {176, 144}, {320, 240}, {352, 240}, {352, 288}, {640, 480}, {720, 480}};
    for (int width = 2; width <= 98; width += 2) sizes.push_back({width, 2 + (width % 6)});
    for (const auto& [width, height] : sizes) {
        for (PixelFormat format : {PixelFormat::Yuy2, PixelFormat::I420, PixelFormat::Yv12}) {
            const FrameShape shape{format, width, height};
            Bytes frame(FrameBytes(shape));
            for (uint8_t& byte : frame) byte = static_cast<uint8_t>(random());
            const Bytes reference = Convert(frame, shape);
            for (SimdLevel level : VectorLevels())
                ASSERT_EQ(FirstDifference(reference, Convert(frame, shape, level), width), "")
                    << Name(level) << " " << width << " x " << height << " format " << static_cast<int>(format);
        }
    }
}

}  // namespace
}  // namespace lumetra
