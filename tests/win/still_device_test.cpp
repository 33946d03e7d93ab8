// Snapshots of the simulated device through the real preview graph: its colour bars in every
// format and at every size it offers, and a snapshot while recording. The pictures are left in
// LUMETRA_STILL_OUT for the ImageMagick check.
#include <windows.h>
#include <dshow.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/capture_graph.h"
#include "media/capture_sizes.h"
#include "media/device_controls.h"
#include "media/device_set.h"
#include "media/vid_frame_wnd.h"
#include "res/resource.h"
#include "still/snapshot_window.h"
#include "still/still_settings.h"
#include "tests/win/box_watcher.h"
#include "tests/win/media_fixture.h"

namespace lumetra::testing {
namespace {

const char kSimulatorKey[] = "Software\\LumetraSim";
using Bytes = std::vector<uint8_t>;

std::string StillOutFolder() {
    const char* out = std::getenv("LUMETRA_STILL_OUT");
    std::string folder;
    if (out && *out) {
        folder = out;
    } else {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "lumetra-still";
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

Bytes ReadFile(const std::string& path) {
    Bytes bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    unsigned char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

void SetSceneStill(bool still) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSimulatorKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return;
    if (still) {
        DWORD scene = 1;  // nothing moves: no square over the bars
        RegSetValueExA(key, "Scene", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&scene), sizeof scene);
    } else {
        RegDeleteValueA(key, "Scene");
    }
    RegCloseKey(key);
}

struct Format {
    const char* name;
    GUID subtype;
};
const Format kFormats[] = {{"YUY2", MEDIASUBTYPE_YUY2}, {"I420", {0x30323449, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}},
                           {"RGB24", MEDIASUBTYPE_RGB24}};

// The simulator's 75 % colour bars, left to right, as R G B.
const int kBars[8][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                         {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {0, 0, 0}};

// Pixel (x, y) of a 24-bit BMP file, y from the image's top, as R G B.
void FilePixel(const Bytes& file, int width, int height, int x, int y, int rgb[3]) {
    const size_t row = 54 + static_cast<size_t>(height - 1 - y) * ((width * 3 + 3) & ~3);
    const uint8_t* p = &file[row + static_cast<size_t>(x) * 3];
    rgb[0] = p[2];
    rgb[1] = p[1];
    rgb[2] = p[0];
}

// What is wrong with the picture of a snapshot of the bars, or empty: the bars at 45 % of the
// height, and below the bars (at 85 %) the input's grey band, not colour: so the picture is the
// right way up.
std::string CheckBars(const Bytes& file, int width, int height) {
    if (file.size() != 54 + static_cast<size_t>(width) * height * 3) return "file of " + std::to_string(file.size()) + " bytes";
    for (int bar = 0; bar < 8; ++bar) {
        const int x = (2 * bar + 1) * width / 16;
        int rgb[3];
        FilePixel(file, width, height, x, height * 45 / 100, rgb);
        for (int c = 0; c < 3; ++c)
            if (std::abs(rgb[c] - kBars[bar][c]) > 10)
                return "bar " + std::to_string(bar) + " reads " + std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) +
                       "," + std::to_string(rgb[2]);
        FilePixel(file, width, height, x, height * 85 / 100, rgb);
        if (std::abs(rgb[0] - rgb[1]) > 8 || std::abs(rgb[1] - rgb[2]) > 8)
            return "colour below bar " + std::to_string(bar) + ": upside down?";
    }
    return {};
}

class StillDevice : public ::testing::Test {
protected:
    void SetUp() override {
        SetSceneStill(true);
        ASSERT_TRUE(liveWnd_.CreateVideoWindow(owner_, nullptr, IDS_LIVE_VIDEO_TITLE));
        devices_.Discover();
        ASSERT_TRUE(devices_.HasVideoDevice());
        target_.file = StillOutFolder() + "\\still-recording.avi";
        graph_.SetTarget(&target_);
        ASSERT_TRUE(graph_.CreateGraphs(liveWnd_.Handle(), &liveWnd_));
        graph_.AttachDevices(devices_, controls_);
        ASSERT_TRUE(graph_.AddVideoDevice());
        controls_.Attach(devices_.Filter(DeviceSet::kVideo), devices_.Filter(DeviceSet::kAudioCapture));
        graph_.CreateAuxFilters();
        ASSERT_TRUE(snapshots_.AttachGrabber(graph_.GetSampleGrabber(0), nullptr));
        settings_.SetFileOverwrite(1);
        settings_.Values().usePopupWindow = 0;
        settings_.Values().useShutterSound = 0;
    }
    void TearDown() override {
        graph_.Stop();
        graph_.Dismantle();
        graph_.ReleaseGraph();
        graph_.ReleaseAuxFilters();
        controls_.Release();
        devices_.Release();
        SetSceneStill(false);
        EXPECT_TRUE(boxes_.Seen().empty()) << "unexpected box: " << boxes_.Seen()[0].text;
    }

    // Sets the device's format and builds and runs the preview; true once the grabber holds a frame of it.
    bool Preview(const GUID& subtype, int width, int height) {
        graph_.Stop();
        graph_.Dismantle();
        if (!SetFormat(subtype, width, height) || !graph_.BuildPreview() || !graph_.Run()) return false;
        const long expected = static_cast<long>(subtype == MEDIASUBTYPE_YUY2    ? width * height * 2
                                                : subtype == MEDIASUBTYPE_RGB24 ? width * height * 3
                                                                                : width * height * 3 / 2);
        for (int wait = 0; wait < 100; ++wait) {  // at most 5 s
            PumpFor(50);
            long size = 0;
            if (SUCCEEDED(graph_.GetSampleGrabber(0)->GetCurrentBuffer(&size, nullptr)) && size == expected) return true;
        }
        return false;
    }
    bool SetFormat(const GUID& subtype, int width, int height) {
        auto* config = static_cast<IAMStreamConfig*>(controls_.Interface(DeviceControls::kStreamConfig));
        if (!config) return false;
        int count = 0, size = 0;
        config->GetNumberOfCapabilities(&count, &size);
        for (int i = 0; i < count; ++i) {
            AM_MEDIA_TYPE* type = nullptr;
            VIDEO_STREAM_CONFIG_CAPS caps{};
            if (config->GetStreamCaps(i, &type, reinterpret_cast<BYTE*>(&caps)) != S_OK || !type) continue;
            const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat);
            const bool match = type->subtype == subtype && info && info->bmiHeader.biWidth == width &&
                               std::abs(info->bmiHeader.biHeight) == height;
            const bool set = match && SUCCEEDED(config->SetFormat(type));
            CoTaskMemFree(type->pbFormat);
            CoTaskMemFree(type);
            if (match) return set;
        }
        return false;
    }
    std::string Snapshot(const std::string& name) {
        const std::string path = StillOutFolder() + "\\" + name;
        DeleteFileA(path.c_str());
        settings_.SetFileName(path);
        EXPECT_TRUE(snapshots_.TakeSnapshot()) << name;
        return path;
    }

    BoxWatcher boxes_;
    RecordingVideoOwner owner_;
    CVidFrameWnd liveWnd_;
    DeviceSet devices_;
    DeviceControls controls_;
    CaptureGraph graph_;
    FixedTarget target_;
    StillCaptureSettings settings_;
    SnapshotWindow snapshots_{settings_};
};

std::string PictureName(const Format& format, VideoSize size) {
    return std::string("still-") + format.name + "-" + std::to_string(size.width) + "x" + std::to_string(size.height) +
           ".bmp";
}

TEST_F(StillDevice, ColourBarsInEveryFormatAndAtEverySize) {
    // No picture of an earlier run may stand in for one this run fails to take.
    for (const Format& format : kFormats)
        for (int index = 0; index < kCaptureSizes; ++index)
            DeleteFileA((StillOutFolder() + "\\" + PictureName(format, CaptureSizeAt(index))).c_str());
    for (const Format& format : kFormats) {
        for (int index = 0; index < kCaptureSizes; ++index) {
            const VideoSize size = CaptureSizeAt(index);
            const std::string name = PictureName(format, size);
            ASSERT_TRUE(Preview(format.subtype, size.width, size.height)) << name << ": no frames";
            const std::string path = Snapshot(name);
            EXPECT_EQ(CheckBars(ReadFile(path), size.width, size.height), "") << name;
        }
    }
}

TEST_F(StillDevice, WhileRecordingNothingIsWrittenAndRecordingGoesOn) {
    ASSERT_TRUE(Preview(MEDIASUBTYPE_YUY2, 640, 480));
    const std::string path = Snapshot("still-before-recording.bmp");
    const Bytes before = ReadFile(path);
    ASSERT_EQ(before.size(), 54u + 640 * 480 * 3);

    ASSERT_TRUE(graph_.BuildCapture());
    ASSERT_TRUE(graph_.Run());
    PumpFor(500);
    EXPECT_FALSE(snapshots_.TakeSnapshot());
    EXPECT_EQ(ReadFile(path), before) << "the last snapshot was touched";
    PumpFor(500);
    EXPECT_TRUE(graph_.IsCapturing());

    // Back to the live picture, snapshots work again.
    ASSERT_TRUE(graph_.BuildPreview());
    ASSERT_TRUE(graph_.Run());
    for (int wait = 0; wait < 100; ++wait) {
        PumpFor(50);
        long size = 0;
        if (SUCCEEDED(graph_.GetSampleGrabber(0)->GetCurrentBuffer(&size, nullptr))) break;
    }
    EXPECT_EQ(CheckBars(ReadFile(Snapshot("still-after-recording.bmp")), 640, 480), "");
}

}  // namespace
}  // namespace lumetra::testing
