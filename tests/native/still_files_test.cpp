// Snapshot files: the BMP headers and the names snapshots are written to.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "still/bmp_file.h"
#include "still/still_names.h"

namespace lumetra {
namespace {

uint32_t U32At(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t U16At(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

TEST(BmpFile, HeadersOfA720x480YuvFrame) {
    // What a capture device reports for 720 x 480 YUY2.
    BitmapHeader device;
    device.width = 720;
    device.height = 480;
    device.planes = 1;
    device.bitCount = 16;
    device.compression = 0x32595559;  // "YUY2"
    device.sizeImage = 691200;
    device.xPelsPerMeter = 2835;
    device.yPelsPerMeter = 2834;
    device.clrUsed = 0;
    device.clrImportant = 7;
    const auto bytes = BmpHeaders(PictureHeader(device));
    ASSERT_EQ(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(U32At(&bytes[2]), 1036854u);  // 54 + 720 x 480 x 3
    EXPECT_EQ(U16At(&bytes[6]), 0);
    EXPECT_EQ(U16At(&bytes[8]), 0);
    EXPECT_EQ(U32At(&bytes[10]), 54u);
    EXPECT_EQ(U32At(&bytes[14]), 40u);
    EXPECT_EQ(U32At(&bytes[18]), 720u);
    EXPECT_EQ(U32At(&bytes[22]), 480u);
    EXPECT_EQ(U16At(&bytes[26]), 1);
    EXPECT_EQ(U16At(&bytes[28]), 24);
    EXPECT_EQ(U32At(&bytes[30]), 0u);  // BI_RGB
    EXPECT_EQ(U32At(&bytes[34]), 0u);  // image size
    EXPECT_EQ(U32At(&bytes[38]), 2835u);
    EXPECT_EQ(U32At(&bytes[42]), 2834u);
    EXPECT_EQ(U32At(&bytes[46]), 0u);
    EXPECT_EQ(U32At(&bytes[50]), 7u);
    EXPECT_EQ(BmpFileBytes(720, 480), 1036854u);
}

TEST(BmpFile, PictureHeaderIsBottomUpWithItsOwnSize) {
    // A top-down bitmap frame with a larger header: the picture written is bottom-up, 40 bytes of header.
    BitmapHeader device;
    device.size = 108;
    device.width = 160;
    device.height = -120;
    device.bitCount = 32;
    const BitmapHeader picture = PictureHeader(device);
    EXPECT_EQ(picture.size, 40u);
    EXPECT_EQ(picture.height, 120);
    EXPECT_EQ(picture.bitCount, 24);
    // Widths whose rows are not whole words get the padding BMP rows need.
    EXPECT_EQ(BmpFileBytes(6, 2), 54u + 2 * 20);
}

TEST(StillNames, UniqueNamesCarryTheSeconds) {
    auto none = [](const std::string&) { return false; };
    EXPECT_EQ(StillFileNameFor("C:\\__temp__.bmp", 0, 1700000000, none), "C:\\__temp___1700000000.bmp");
    // Before the first ".bmp", wherever it is.
    EXPECT_EQ(StillFileNameFor("C:\\a.bmp.bmp", 0, 5, none), "C:\\a_5.bmp.bmp");
    // Case matters: without ".bmp" the number goes in front of the file's own name.
    EXPECT_EQ(StillFileNameFor("C:\\pics\\shot.BMP", 0, 42, none), "C:\\pics\\_42shot.BMP");
    EXPECT_EQ(StillFileNameFor("shot", 0, 42, none), "_42shot");
    // Overwrite (1), and no choice yet (-1): the same name every time.
    EXPECT_EQ(StillFileNameFor("C:\\__temp__.bmp", 1, 42, none), "C:\\__temp__.bmp");
    EXPECT_EQ(StillFileNameFor("C:\\__temp__.bmp", -1, 42, none), "C:\\__temp__.bmp");
}

TEST(StillNames, SnapshotsWithinOneSecondGetTheirOwnFiles) {
    std::set<std::string> written;
    auto exists = [&](const std::string& name) { return written.count(name) != 0; };
    for (int i = 0; i < 3; ++i) written.insert(StillFileNameFor("C:\\pics\\s.bmp", 0, 77, exists));
    EXPECT_EQ(written, (std::set<std::string>{"C:\\pics\\s_77.bmp", "C:\\pics\\s_77_2.bmp", "C:\\pics\\s_77_3.bmp"}));
    // Overwriting never looks at what exists.
    EXPECT_EQ(StillFileNameFor("C:\\pics\\s.bmp", 1, 77, exists), "C:\\pics\\s.bmp");
}

TEST(StillNames, ExtensionFolderAndName) {
    EXPECT_EQ(WithBmpExtension("C:\\pics\\shot"), "C:\\pics\\shot.bmp");
    EXPECT_EQ(WithBmpExtension("C:\\pics\\shot.BMP"), "C:\\pics\\shot.BMP");
    EXPECT_EQ(WithBmpExtension("C:\\pics\\shot.bmp"), "C:\\pics\\shot.bmp");
    EXPECT_EQ(WithBmpExtension("C:\\pics\\shot.bm"), "C:\\pics\\shot.bm.bmp");
    EXPECT_EQ(WithBmpExtension("bmp"), "bmp.bmp");
    EXPECT_EQ(ParentFolder("C:\\pics\\shot.bmp"), "C:\\pics");
    EXPECT_EQ(FileNameOf("C:\\pics\\shot.bmp"), "shot.bmp");
    EXPECT_EQ(ParentFolder("shot.bmp"), "");
    EXPECT_EQ(FileNameOf("shot.bmp"), "shot.bmp");
}

}  // namespace
}  // namespace lumetra
