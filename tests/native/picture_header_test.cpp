#include "skin/picture_header.h"
#include "skin/skin_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumetra {
namespace {

PictureHeader Read(const std::vector<uint8_t>& bytes, int64_t& w, int64_t& h) {
    return ReadPictureSize(bytes.data(), bytes.size(), w, h);
}

std::vector<uint8_t> Bitmap(int32_t width, int32_t height) {
    std::vector<uint8_t> b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(14, 40);
    put(18, static_cast<uint32_t>(width));
    put(22, static_cast<uint32_t>(height));
    return b;
}

// SOI, an APP0 segment, then a baseline frame header claiming width x height.
std::vector<uint8_t> Jpeg(uint16_t width, uint16_t height, uint8_t frameMarker = 0xC0) {
    return {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 'J', 'F', 0xFF, 0xFF, frameMarker, 0x00, 0x0B, 0x08,
            uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8), uint8_t(width), 0x01, 0x01, 0x11, 0x00};
}

TEST(PictureHeader, ReadsTheClaimedSizeOfEachFormat) {
    int64_t w = 0, h = 0;
    EXPECT_EQ(Read(Bitmap(300, -200), w, h), PictureHeader::Sized);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 200);
    EXPECT_EQ(Read(Jpeg(65500, 65500), w, h), PictureHeader::Sized);
    EXPECT_EQ(w, 65500);
    EXPECT_EQ(h, 65500);
    EXPECT_EQ(Read(Jpeg(640, 480, 0xC2), w, h), PictureHeader::Sized);  // progressive
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(Read({'G', 'I', 'F', '8', '9', 'a', 0x20, 0x03, 0x58, 0x02}, w, h), PictureHeader::Sized);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                0,    0,   0x40, 0,  0,    0,    0x10, 0};
    EXPECT_EQ(Read(png, w, h), PictureHeader::Sized);
    EXPECT_EQ(w, 0x4000);
    EXPECT_EQ(h, 0x1000);
}

TEST(PictureHeader, ExtremeAndCutShortHeaders) {
    int64_t w = 0, h = 0;
    EXPECT_EQ(Read(Bitmap(10, INT32_MIN), w, h), PictureHeader::Sized);
    EXPECT_EQ(h, 2147483648LL);
    EXPECT_EQ(Read(Bitmap(-10, 10), w, h), PictureHeader::Damaged);
    std::vector<uint8_t> jpeg = Jpeg(10, 10);
    jpeg.resize(12);  // the frame header is missing
    EXPECT_EQ(Read(jpeg, w, h), PictureHeader::Damaged);
    EXPECT_EQ(Read({0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02}, w, h), PictureHeader::Damaged);  // scan before frame
    EXPECT_EQ(Read({'B', 'M', 40}, w, h), PictureHeader::Damaged);
    EXPECT_EQ(Read({0, 0, 1, 0, 1, 0}, w, h), PictureHeader::Unknown);  // an icon: the decoder's size counts
    EXPECT_EQ(ReadPictureSize(nullptr, 0, w, h), PictureHeader::Unknown);
}

TEST(SkinLimits, PicturesBeyondAScreenAreRefused) {
    EXPECT_TRUE(SkinPictureSizeAllowed(700, 450));
    EXPECT_TRUE(SkinPictureSizeAllowed(kMaxSkinSide, kMaxSkinSide));
    EXPECT_FALSE(SkinPictureSizeAllowed(16384, 16384));
    EXPECT_FALSE(SkinPictureSizeAllowed(65500, 65500));
    EXPECT_FALSE(SkinPictureSizeAllowed(10, kMaxSkinSide + 1));
    EXPECT_FALSE(SkinPictureSizeAllowed(0, 10));
}

TEST(SkinLimits, RectanglesAreClippedToTheWindow) {
    EXPECT_EQ(ClipToArea({10, 20, 40, 60}, 300, 200), (SkinRect{10, 20, 40, 60}));
    EXPECT_EQ(ClipToArea({-50, -50, 99950, 99950}, 300, 200), (SkinRect{0, 0, 300, 200}));
    EXPECT_EQ(ClipToArea({100, 100, 20100, 20100}, 300, 200), (SkinRect{100, 100, 300, 200}));
    EXPECT_EQ(ClipToArea({500, 10, 600, 20}, 300, 200), (SkinRect{300, 10, 300, 20}));  // wholly outside
    EXPECT_EQ(ClipToArea({50, 50, 10, 10}, 300, 200), (SkinRect{50, 50, 50, 50}));     // negative size
}

}  // namespace
}  // namespace lumetra
