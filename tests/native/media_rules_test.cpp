#include "media/capture_sizes.h"
#include "media/device_names.h"

#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace lumetra
