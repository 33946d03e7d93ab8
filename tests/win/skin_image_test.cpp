// Skin images read through the loader's cache: files holding the same picture are decoded once and
// share one bitmap; any difference in the bytes gives a picture of its own.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "skin/skin_image.h"

namespace lumetra {
namespace {

// A 24-bit bottom-up bitmap file of one colour, with one pixel of another when odd is set.
std::vector<char> SolidBitmap(int width, int height, COLORREF color, bool odd = false) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t pixelBytes = static_cast<uint32_t>(stride * height);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixelBytes;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::vector<char> bytes(file.bfSize, 0);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char* p = bytes.data() + file.bfOffBits + y * stride + x * 3;
            p[0] = static_cast<char>(GetBValue(color));
            p[1] = static_cast<char>(GetGValue(color));
            p[2] = static_cast<char>(GetRValue(color));
        }
    if (odd) bytes[file.bfOffBits] ^= 0x7F;
    return bytes;
}

class SkinImageCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "lumetra-skin-image-test\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& path : written_) DeleteFileA(path.c_str());
        RemoveDirectoryA(folder_.c_str());
        CoUninitialize();
    }
    std::string Write(const std::string& name, const std::vector<char>& bytes) {
        std::string path = folder_ + name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        written_.push_back(path);
        return path;
    }

    std::string folder_;
    std::vector<std::string> written_;
};

TEST_F(SkinImageCacheTest, FilesWithTheSamePictureAreDecodedOnceAndShareTheBitmap) {
    const std::string a = Write("a.bmp", SolidBitmap(40, 30, RGB(200, 10, 10)));
    const std::string b = Write("b.bmp", SolidBitmap(40, 30, RGB(200, 10, 10)));
    SkinImageCache cache;
    SkinImage first, second;
    ASSERT_TRUE(cache.Load(a, first));
    ASSERT_TRUE(cache.Load(b, second));
    EXPECT_EQ(cache.Decodes(), 1);
    EXPECT_EQ(first.Handle(), second.Handle());
    EXPECT_EQ(second.width, 40);
    EXPECT_EQ(second.height, 30);
    // The same file named again is the same picture too.
    SkinImage third;
    ASSERT_TRUE(cache.Load(a, third));
    EXPECT_EQ(cache.Decodes(), 1);
    EXPECT_EQ(third.Handle(), first.Handle());
}

TEST_F(SkinImageCacheTest, AnyDifferenceInTheBytesGivesAPictureOfItsOwn) {
    // Same size and header, one pixel apart: only the whole bytes tell them apart.
    const std::string plain = Write("plain.bmp", SolidBitmap(40, 30, RGB(10, 200, 10)));
    const std::string odd = Write("odd.bmp", SolidBitmap(40, 30, RGB(10, 200, 10), true));
    const std::string other = Write("other.bmp", SolidBitmap(20, 10, RGB(10, 200, 10)));
    SkinImageCache cache;
    SkinImage p, o, q;
    ASSERT_TRUE(cache.Load(plain, p));
    ASSERT_TRUE(cache.Load(odd, o));
    ASSERT_TRUE(cache.Load(other, q));
    EXPECT_EQ(cache.Decodes(), 3);
    EXPECT_NE(p.Handle(), o.Handle());
    EXPECT_NE(p.Handle(), q.Handle());
    EXPECT_EQ(q.width, 20);
    // The shared bitmap outlives the cache: the images keep it.
    cache.Clear();
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(ImagePixels(o, pixels));
    ASSERT_EQ(pixels.size(), 40u * 30u);
    EXPECT_EQ(pixels[0], 0x0AC80Au);
    EXPECT_EQ(pixels[29 * 40], 0x0AC875u);  // the first pixel of the file is the bottom row's
}

TEST_F(SkinImageCacheTest, MissingAndUndecodableFilesFailEveryTime) {
    const std::string garbage = Write("garbage.bmp", std::vector<char>(300, 'x'));
    const std::string copy = Write("garbage-copy.bmp", std::vector<char>(300, 'x'));
    SkinImageCache cache;
    SkinImage image;
    EXPECT_FALSE(cache.Load(folder_ + "missing.bmp", image));
    EXPECT_FALSE(image.Valid());
    EXPECT_FALSE(cache.Load(garbage, image));
    EXPECT_FALSE(cache.Load(copy, image));
    EXPECT_FALSE(image.Valid());
    EXPECT_EQ(cache.Decodes(), 1);
}

}  // namespace
}  // namespace lumetra
