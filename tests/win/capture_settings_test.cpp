// The video capture settings' registry values and the values a recording reads.
#include "media/capture_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "app/settings_store.h"

namespace lumetra {
namespace {

class NoEncoder : public CaptureFileAllocator {
public:
    bool mpeg = false;
    bool HasMpegEncoder() const override { return mpeg; }
    bool PreallocateFile(uint64_t) override { return true; }
    void ShowEncoderProperties(HWND) override {}
    bool ReadEncoderPreset(int&) override { return false; }
};

// Each test starts and ends without the "Video" key.
class VideoSettingsStore : public ::testing::Test {
protected:
    void SetUp() override { DeleteVideoKey(); }
    void TearDown() override { DeleteVideoKey(); }
    static void DeleteVideoKey() {
        RegKey orvex = OpenSettingsKey();
        if (orvex) RegDeleteKeyA(orvex.Get(), "Video");
    }
    static RegKey VideoKey() { return OpenSettingsKey("Video"); }

    // The stored DWORD of a value, checking that it is a REG_DWORD of 4 bytes.
    static int StoredDword(HKEY key, const char* name) {
        DWORD type = 0, data = 0, size = sizeof data;
        EXPECT_EQ(RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size), ERROR_SUCCESS)
            << name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(size, 4u) << name;
        return static_cast<int>(data);
    }

    NoEncoder encoder_;
};

VideoCaptureValues SampleValues() {
    VideoCaptureValues v;
    v.compIndex = 6;
    v.compType = 7;
    v.captureAudio = 0;
    v.useFrameRate = 1;
    v.frameRate = 15;
    v.useTimeLimit = 1;
    v.timeLimit = 45;
    v.timeUnits = kTimeUnitSeconds;
    v.useSizeLimit = 1;
    v.sizeLimit = 700;
    v.preallocate = 250;
    return v;
}

TEST_F(VideoSettingsStore, DefaultsWhenNothingIsStored) {
    VideoCaptureSettings settings(encoder_);
    settings.Load();
    EXPECT_EQ(settings.FileName(), "C:\\__temp__.avi");
    EXPECT_EQ(settings.CaptureFileName(), "C:\\__temp__.avi");
    EXPECT_EQ(settings.FileOverwrite(), -1);
    const VideoCaptureValues& v = settings.Values();
    EXPECT_EQ(v.compIndex, 0);
    EXPECT_EQ(v.captureAudio, 1);
    EXPECT_EQ(v.frameRate, 30);
    EXPECT_EQ(v.timeLimit, 1);
    EXPECT_EQ(v.timeUnits, kTimeUnitMinutes);
    EXPECT_EQ(v.sizeLimit, 1);
    EXPECT_EQ(v.preallocate, 0);
    EXPECT_FALSE(settings.UseTimeLimit());
    EXPECT_EQ(settings.TimeLimit100ns(), 600000000ull);  // one minute
    EXPECT_EQ(settings.EffectiveCompression(), 0);
    // Loading creates the key even when it stores nothing yet.
    EXPECT_TRUE(VideoKey());
}

TEST_F(VideoSettingsStore, SaveWritesEveryValueWithItsType) {
    VideoCaptureSettings settings(encoder_);
    settings.Values() = SampleValues();
    settings.SetFileName("D:\\clips\\evening.mpg");
    settings.SetFileOverwrite(1);
    settings.Save();

    RegKey key = VideoKey();
    ASSERT_TRUE(key);
    EXPECT_EQ(StoredDword(key.Get(), "FrameRate"), 15);
    EXPECT_EQ(StoredDword(key.Get(), "UseFrameRate"), 1);
    EXPECT_EQ(StoredDword(key.Get(), "UseTimeLimit"), 1);
    EXPECT_EQ(StoredDword(key.Get(), "UseSizeLimit"), 1);
    EXPECT_EQ(StoredDword(key.Get(), "Preallocate"), 250);
    EXPECT_EQ(StoredDword(key.Get(), "TimeLimit"), 45);
    EXPECT_EQ(StoredDword(key.Get(), "SizeLimit"), 700);
    EXPECT_EQ(StoredDword(key.Get(), "TimeUnits"), 1);
    EXPECT_EQ(StoredDword(key.Get(), "CompIndex"), 6);
    EXPECT_EQ(StoredDword(key.Get(), "CompType"), 7);
    EXPECT_EQ(StoredDword(key.Get(), "CaptureAudio"), 0);
    EXPECT_EQ(StoredDword(key.Get(), "FileOverwrite"), 1);

    char name[64] = {};
    DWORD type = 0, size = sizeof name;
    ASSERT_EQ(RegQueryValueExA(key.Get(), "FileName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, sizeof "D:\\clips\\evening.mpg");  // with its terminating zero
    EXPECT_STREQ(name, "D:\\clips\\evening.mpg");

    DWORD valueCount = 0;
    RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, nullptr,
                     nullptr, nullptr, nullptr);
    EXPECT_EQ(valueCount, 13u);
}

TEST_F(VideoSettingsStore, LoadReadsBackWhatSaveWrote) {
    {
        VideoCaptureSettings saved(encoder_);
        saved.Values() = SampleValues();
        saved.SetFileName("C:\\video\\clip.avi");
        saved.SetFileOverwrite(0);
        saved.Save();
    }
    VideoCaptureSettings loaded(encoder_);
    loaded.Load();
    const VideoCaptureValues expected = SampleValues();
    const VideoCaptureValues& v = loaded.Values();
    EXPECT_EQ(v.compIndex, expected.compIndex);
    EXPECT_EQ(v.compType, expected.compType);
    EXPECT_EQ(v.captureAudio, expected.captureAudio);
    EXPECT_EQ(v.useFrameRate, expected.useFrameRate);
    EXPECT_EQ(v.frameRate, expected.frameRate);
    EXPECT_EQ(v.useTimeLimit, expected.useTimeLimit);
    EXPECT_EQ(v.timeLimit, expected.timeLimit);
    EXPECT_EQ(v.timeUnits, expected.timeUnits);
    EXPECT_EQ(v.useSizeLimit, expected.useSizeLimit);
    EXPECT_EQ(v.sizeLimit, expected.sizeLimit);
    EXPECT_EQ(v.preallocate, expected.preallocate);
    EXPECT_EQ(loaded.FileName(), "C:\\video\\clip.avi");
    EXPECT_EQ(loaded.FileOverwrite(), 0);
    EXPECT_TRUE(loaded.UseTimeLimit());
    EXPECT_EQ(loaded.TimeLimit100ns(), 450000000ull);  // 45 seconds
}

TEST_F(VideoSettingsStore, MissingValuesKeepTheirFields) {
    {
        RegKey key = VideoKey();
        ASSERT_TRUE(key);
        WriteDword(key.Get(), "TimeLimit", 3);
        WriteDword(key.Get(), "UseTimeLimit", 1);
    }
    VideoCaptureSettings settings(encoder_);
    settings.Values().frameRate = 12;  // a value already changed in this run survives a load without it
    settings.Load();
    EXPECT_EQ(settings.Values().timeLimit, 3);
    EXPECT_TRUE(settings.UseTimeLimit());
    EXPECT_EQ(settings.TimeLimit100ns(), 1800000000ull);  // three minutes
    EXPECT_EQ(settings.Values().frameRate, 12);
    EXPECT_EQ(settings.Values().captureAudio, 1);
    EXPECT_EQ(settings.FileName(), "C:\\__temp__.avi");
    EXPECT_EQ(settings.FileOverwrite(), -1);
}

TEST_F(VideoSettingsStore, LongFileNameIsCutTo127Characters) {
    const std::string longName = "C:\\" + std::string(200, 'v') + ".avi";
    {
        RegKey key = VideoKey();
        ASSERT_TRUE(WriteString(key.Get(), "FileName", longName));
    }
    VideoCaptureSettings settings(encoder_);
    settings.Load();
    EXPECT_EQ(settings.FileName(), longName.substr(0, 127));
}

TEST_F(VideoSettingsStore, StoredMpegTypeAppliesOnlyWithTheEncoder) {
    {
        RegKey key = VideoKey();
        WriteDword(key.Get(), "CompIndex", 6);
        WriteDword(key.Get(), "CompType", 7);
    }
    VideoCaptureSettings settings(encoder_);
    settings.Load();
    EXPECT_EQ(settings.EffectiveCompression(), 0);
    encoder_.mpeg = true;
    EXPECT_EQ(settings.EffectiveCompression(), 7);
}

}  // namespace
}  // namespace lumetra
