#include "media/capture_sizes.h"
#include "media/device_names.h"

#include <gtest/gtest.h>

#include <climits>

namespace lumetra {
namespace {

TEST(DeviceNames, PrefixMatchIsCaseSensitive) {
    EXPECT_TRUE(FriendlyNameMatches("USB Vexa30 Video", "USB Vexa30 Video"));
    EXPECT_TRUE(FriendlyNameMatches("USB Vexa30 Video #2", "USB Vexa30 Video"));
    EXPECT_TRUE(FriendlyNameMatches("USB Audio Device (3)", "USB Audio Device"));
    EXPECT_FALSE(FriendlyNameMatches("usb vexa30 video", "USB Vexa30 Video"));
    EXPECT_FALSE(FriendlyNameMatches("USB Vexa30", "USB Vexa30 Video"));
    EXPECT_FALSE(FriendlyNameMatches("anything", ""));
}

TEST(DeviceNames, PreferredNameFirstThenTheListInOrder) {
    auto names = NamesToTry("My Camera", kKnownVideoNames);
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names[0], "My Camera");
    EXPECT_EQ(names[1], "USB Vexa70 TV");
    EXPECT_EQ(names[2], "USB Vexa30 Video");
    EXPECT_EQ(names[11], "USB Vexa21 Camera");
    EXPECT_EQ(NamesToTry("x", kKnownAudioNames).size(), 4u);
    EXPECT_EQ(NamesToTry("Default DirectSound Device", nullptr).size(), 1u);
    EXPECT_EQ(std::string(kVendorVideoNames[2]), "USB Vexa10 Camera");
}

TEST(CaptureSizes, IndexFromFormatWidth) {
    EXPECT_EQ(CaptureSizeIndex(160, 120), 0);
    EXPECT_EQ(CaptureSizeIndex(176, 144), 1);
    EXPECT_EQ(CaptureSizeIndex(352, 288), 4);
    EXPECT_EQ(CaptureSizeIndex(352, 240), 3);
    EXPECT_EQ(CaptureSizeIndex(720, 576), 6);
    EXPECT_EQ(CaptureSizeIndex(800, 600), 0);
    for (int i = 0; i < kCaptureSizes; ++i) {
        VideoSize s = CaptureSizeAt(i);
        EXPECT_EQ(CaptureSizeIndex(s.width, s.height), i);
    }
    EXPECT_EQ(CaptureSizeAt(99), (VideoSize{640, 480}));
    EXPECT_EQ(CaptureSizeAt(-1), (VideoSize{640, 480}));
}

TEST(CaptureSizes, VideoWindowFactors) {
    EXPECT_EQ(ScaledVideoSize({352, 288}, 3), (VideoSize{528, 432}));
    EXPECT_EQ(ScaledVideoSize({352, 288}, 1), (VideoSize{176, 144}));
    EXPECT_EQ(ScaledVideoSize({352, 288}, 2), (VideoSize{352, 288}));
    EXPECT_EQ(ScaledVideoSize({352, 288}, 4), (VideoSize{704, 576}));
    EXPECT_EQ(ScaledVideoSize({175, 143}, 3), (VideoSize{262, 214}));
    // Products that pass the int range are worked out in 64 bits and held at the largest int.
    EXPECT_EQ(ScaledVideoSize({1 << 30, 2}, 4), (VideoSize{INT_MAX, 4}));
    EXPECT_EQ(ScaledVideoSize({715827883, 2}, 3), (VideoSize{1073741824, 3}));
    EXPECT_EQ(ScaledVideoSize({INT_MAX, INT_MAX}, 3), (VideoSize{INT_MAX, INT_MAX}));
}

TEST(CaptureSizes, FormatSizesNoPictureHasAreRefused) {
    VideoSize size{1, 1};
    EXPECT_TRUE(VideoSizeFromFormat(352, -288, size));
    EXPECT_EQ(size, (VideoSize{352, 288}));
    EXPECT_TRUE(VideoSizeFromFormat(kMaxVideoSide, kMaxVideoSide, size));
    size = {7, 7};
    EXPECT_FALSE(VideoSizeFromFormat(640, INT_MIN, size));  // would stay negative when negated
    EXPECT_FALSE(VideoSizeFromFormat(640, 0, size));
    EXPECT_FALSE(VideoSizeFromFormat(0, 480, size));
    EXPECT_FALSE(VideoSizeFromFormat(-640, 480, size));
    EXPECT_FALSE(VideoSizeFromFormat(1 << 30, 480, size));
    EXPECT_FALSE(VideoSizeFromFormat(640, kMaxVideoSide + 1, size));
    EXPECT_EQ(size, (VideoSize{7, 7})) << "a refused size leaves the caller's value";
}

}  // namespace
}  // namespace lumetra
