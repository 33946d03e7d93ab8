#include "media/capture_settings_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace lumetra {
namespace {

TEST(VideoCaptureValues, DefaultsOfAFreshStart) {
    VideoCaptureValues v;
    EXPECT_EQ(v.compIndex, 0);
    EXPECT_EQ(v.captureAudio, 1);
    EXPECT_EQ(v.useFrameRate, 0);
    EXPECT_EQ(v.frameRate, 30);
    EXPECT_EQ(v.useTimeLimit, 0);
    EXPECT_EQ(v.timeLimit, 1);
    EXPECT_EQ(v.timeUnits, kTimeUnitMinutes);
    EXPECT_EQ(v.useSizeLimit, 0);
    EXPECT_EQ(v.sizeLimit, 1);
    EXPECT_EQ(v.preallocate, 0);
}

TEST(CompressionList, TextsAndTypesSkipPresetSix) {
    const auto& list = CompressionChoices();
    const char* texts[] = {"AVI (no compression)", "MPEG1", "MPEG2", "VCD-NTSC", "VCD-PAL",
                           "VCD-FLIM", "DVD-NTSC", "DVD-PAL", "SVCD-NTSC", "SVCD-PAL"};
    const int types[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10};
    ASSERT_EQ(list.size(), 10u);
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_STREQ(list[i].text, texts[i]) << i;
        EXPECT_EQ(list[i].compType, types[i]) << i;
        EXPECT_NE(list[i].compType, 6) << i;
    }
    // Choosing "DVD-NTSC" stores index 6 and type 7.
    EXPECT_STREQ(list[6].text, "DVD-NTSC");
    EXPECT_EQ(list[6].compType, 7);
}

TEST(CompressionList, OnlyAviWithoutTheEncoder) {
    EXPECT_EQ(OfferedCompressionCount(false), 1);
    EXPECT_EQ(OfferedCompressionCount(true), 10);

    EXPECT_EQ(StartCompressionIndex(6, true), 6);
    EXPECT_EQ(StartCompressionIndex(9, true), 9);
    EXPECT_EQ(StartCompressionIndex(6, false), 0);
    // Damaged stored indexes fall back to AVI rather than selecting nothing.
    EXPECT_EQ(StartCompressionIndex(10, true), 0);
    EXPECT_EQ(StartCompressionIndex(-1, true), 0);
}

TEST(CompressionList, IndexOfAnEncoderPreset) {
    EXPECT_EQ(CompressionIndexOfType(0, true), 0);
    EXPECT_EQ(CompressionIndexOfType(5, true), 5);
    EXPECT_EQ(CompressionIndexOfType(7, true), 6);
    EXPECT_EQ(CompressionIndexOfType(10, true), 9);
    EXPECT_EQ(CompressionIndexOfType(6, true), -1);
    EXPECT_EQ(CompressionIndexOfType(11, true), -1);
    EXPECT_EQ(CompressionIndexOfType(7, false), -1);
}

TEST(CompressionList, EffectiveCompressionNeedsTheEncoder) {
    EXPECT_EQ(EffectiveCompression(7, true), 7);
    EXPECT_EQ(EffectiveCompression(7, false), 0);
    EXPECT_EQ(EffectiveCompression(0, true), 0);
}

TEST(CaptureExtension, MpegReplacesAviWhateverItsCase) {
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip.avi", 1), "C:\\v\\clip.mpg");
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip.AVI", 7), "C:\\v\\clip.mpg");
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip.Avi", 10), "C:\\v\\clip.mpg");
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip.mpg", 2), "C:\\v\\clip.mpg");
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip", 2), "C:\\v\\clip.mpg");
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip.txt", 2), "C:\\v\\clip.txt.mpg");
}

TEST(CaptureExtension, AviReplacesMpegWhateverItsCase) {
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip.mpg", 0), "C:\\v\\clip.avi");
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip.MPG", 0), "C:\\v\\clip.avi");
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip.avi", 0), "C:\\v\\clip.avi");
    EXPECT_EQ(FixCaptureExtension("C:\\__temp__", 0), "C:\\__temp__.avi");
}

TEST(CaptureExtension, WantedExtensionIsRecognisedOnlyInLowerCase) {
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip.MPG", 1), "C:\\v\\clip.MPG.mpg");
    EXPECT_EQ(FixCaptureExtension("C:\\v\\clip.AVI", 0), "C:\\v\\clip.AVI.avi");
}

TEST(CaptureExtension, OnlyTheLastExtensionIsTouched) {
    EXPECT_EQ(FixCaptureExtension("C:\\my.videos\\a.b.avi", 3), "C:\\my.videos\\a.b.mpg");
    EXPECT_EQ(FixCaptureExtension(".avi", 3), ".mpg");
    EXPECT_EQ(FixCaptureExtension("avi", 3), "avi.mpg");
}

TEST(TimeLimit, MinutesAndSecondsIn100nsUnits) {
    EXPECT_EQ(TimeLimit100ns(1, kTimeUnitMinutes), 600000000ull);
    EXPECT_EQ(TimeLimit100ns(1, kTimeUnitSeconds), 10000000ull);
    EXPECT_EQ(TimeLimit100ns(90, kTimeUnitSeconds), 900000000ull);
    // Any unit value other than minutes counts seconds.
    EXPECT_EQ(TimeLimit100ns(5, 7), 50000000ull);
    EXPECT_EQ(TimeLimit100ns(0, kTimeUnitMinutes), 0ull);
}

TEST(TimeLimit, LargeLimitsDoNotOverflowAndNegativeCountsAsZero) {
    // 2^31 - 1 minutes needs more than 32 bits of 100-ns units.
    EXPECT_EQ(TimeLimit100ns(INT_MAX, kTimeUnitMinutes), 2147483647ull * 60ull * 10000000ull);
    EXPECT_EQ(TimeLimit100ns(-1, kTimeUnitMinutes), 0ull);
}

TEST(Preallocation, LimitIsFourFifthsOfTheAvailableSpace) {
    EXPECT_EQ(PreallocationLimitMB(1000), 800);
    EXPECT_EQ(PreallocationLimitMB(999), 799);  // integer arithmetic: 3996 / 5
    EXPECT_EQ(PreallocationLimitMB(4), 3);
    EXPECT_EQ(PreallocationLimitMB(1), 0);
    EXPECT_EQ(PreallocationLimitMB(0), 0);
    // A very large drive does not overflow the × 4.
    EXPECT_EQ(PreallocationLimitMB(INT_MAX), static_cast<int>(2147483647ll * 4 / 5));
}

TEST(Preallocation, BytesAreHeldBelowFourGigabytes) {
    EXPECT_EQ(PreallocationBytes(0), 0ull);
    EXPECT_EQ(PreallocationBytes(1), 1048576ull);
    EXPECT_EQ(PreallocationBytes(800), 800ull * 1048576ull);
    EXPECT_EQ(PreallocationBytes(4095), 4095ull * 1048576ull);
    EXPECT_EQ(PreallocationBytes(4096), 4095ull * 1048576ull);
    EXPECT_EQ(PreallocationBytes(INT_MAX), 4095ull * 1048576ull);
    EXPECT_LT(PreallocationBytes(INT_MAX), 1ull << 32);
    EXPECT_EQ(PreallocationBytes(-5), 0ull);
}

TEST(AvailableSpace, CountsTheExistingFileAsFree) {
    EXPECT_EQ(AvailableMegabytes(1000ull * 1048576, 0), 1000);
    EXPECT_EQ(AvailableMegabytes(10ull * 1048576, 3ull * 1048576), 13);
    // Rounded down after adding: two half megabytes make one.
    EXPECT_EQ(AvailableMegabytes(524288, 524288), 1);
    EXPECT_EQ(AvailableMegabytes(1048575, 0), 0);
    // Beyond 2^31 - 1 Mbytes the count stays at the largest value the field holds.
    EXPECT_EQ(AvailableMegabytes(1ull << 62, 0), INT_MAX);
    // A sum past 2^64 must not wrap around to a few bytes.
    EXPECT_EQ(AvailableMegabytes(UINT64_MAX, 2 * 1048576), INT_MAX);
    EXPECT_EQ(AvailableMegabytes(UINT64_MAX - 5, UINT64_MAX - 5), INT_MAX);
}

TEST(NumberedFileName, NumberGoesBeforeTheExtensionOfTheLastPart) {
    EXPECT_EQ(NumberedFileName("C:\\__temp__.avi", 1), "C:\\__temp___1.avi");
    EXPECT_EQ(NumberedFileName("C:\\rec\\clip.x.mpg", 12), "C:\\rec\\clip.x_12.mpg");
    // A dot in a folder name is not an extension.
    EXPECT_EQ(NumberedFileName("C:\\my.videos\\clip", 3), "C:\\my.videos\\clip_3");
    EXPECT_EQ(NumberedFileName("d:clip", 2), "d:clip_2");
    EXPECT_EQ(NumberedFileName("clip.avi", 100000), "clip_100000.avi");
}

TEST(Drive, SecondCharacterColonMeansADrive) {
    EXPECT_TRUE(HasDriveLetter("C:\\__temp__.avi"));
    EXPECT_TRUE(HasDriveLetter("d:clip.avi"));
    EXPECT_TRUE(HasDriveLetter("Z:"));
    EXPECT_FALSE(HasDriveLetter("\\\\server\\share\\clip.avi"));
    EXPECT_FALSE(HasDriveLetter("clip.avi"));
    EXPECT_FALSE(HasDriveLetter("C"));
    EXPECT_FALSE(HasDriveLetter(""));
    EXPECT_EQ(DriveOf("C:\\__temp__.avi"), "C:");
    EXPECT_EQ(DriveOf("d:clip.avi"), "d:");
}

}  // namespace
}  // namespace lumetra
