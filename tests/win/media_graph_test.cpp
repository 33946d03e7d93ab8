// The media engine against the simulated devices, through the real graphs of the platform.
#include <windows.h>
#include <dshow.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "app/settings_store.h"
#include "framework/com_ptr.h"
#include "media/capture_graph.h"
#include "media/device_controls.h"
#include "media/device_set.h"
#include "media/graph_util.h"
#include "media/playback_graph.h"
#include "media/vid_frame_wnd.h"
#include "res/resource.h"
#include "tests/win/box_watcher.h"
#include "tests/win/media_fixture.h"

namespace lumetra::testing {
namespace {

class ComThread : public ::testing::Environment {
public:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};
::testing::Environment* const kCom = ::testing::AddGlobalTestEnvironment(new ComThread);

const char kDriverVideoKey[] = "Software\\Norrin\\TwainDS";

void DeleteDriverKey() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kDriverVideoKey);
}

void SetDriverName(const char* value, const char* name) {
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDriverVideoKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(name), static_cast<DWORD>(strlen(name) + 1));
    RegCloseKey(key);
}

std::string VideoDisplayName() {
    DeviceSet devices;
    devices.Discover();
    std::string name = devices.HasVideoDevice() ? devices.DisplayName(DeviceSet::kVideo) : "(none)";
    devices.Release();
    return name;
}

TEST(DeviceDiscovery, DefaultDeviceAndDisplayNames) {
    DeleteDriverKey();
    DeviceSet devices;
    devices.Discover();
    ASSERT_TRUE(devices.HasVideoDevice());
    EXPECT_EQ(devices.DisplayName(DeviceSet::kVideo), "USB Vexa40 Video");
    ASSERT_NE(devices.Filter(DeviceSet::kAudioCapture), nullptr);
    EXPECT_EQ(devices.DisplayName(DeviceSet::kAudioCapture), "USB Vexa Audio Device : QCap.dll");
    EXPECT_EQ(devices.DisplayName(DeviceSet::kKsAudio), "USB Vexa Audio Device : WDM Streaming Capture");
    EXPECT_EQ(devices.DisplayName(DeviceSet::kKsAudioDevice), "USB Vexa Audio Device : WDM Streaming System");
    EXPECT_EQ(devices.DisplayName(DeviceSet::kWaveOut), "Default WaveOut Device");
    EXPECT_EQ(devices.Filter(6), nullptr);
    EXPECT_EQ(devices.DisplayName(-1), "");
    devices.Release();
}

TEST(DeviceDiscovery, KnownNamesInListOrderAndRegistryPreference) {
    DeleteDriverKey();
    SimulatedDevices sim;
    // A device of another family member, with a suffix after its name: found through the list.
    ASSERT_TRUE(sim.Register("USB Vexa31 Video", ""));
    EXPECT_EQ(VideoDisplayName(), "USB Vexa31 Video");

    // Two more: the list's order decides, not the order of enumeration.
    ASSERT_TRUE(sim.AddVideoEntry("AAA Vexa30", "USB Vexa30 Video"));
    ASSERT_TRUE(sim.AddVideoEntry("ZZZ Vexa70", "USB Vexa70 TV"));
    EXPECT_EQ(VideoDisplayName(), "USB Vexa70 TV");

    // The driver package's name comes first; RealDSName wins over DSName.
    SetDriverName("DSName", "USB Vexa70 TV");
    SetDriverName("RealDSName", "USB Vexa30 Video");
    EXPECT_EQ(VideoDisplayName(), "USB Vexa30 Video");
    DeleteDriverKey();
}

// A live capture graph built in the program's order, with the live window.
class CaptureFixture : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteDriverKey();
        ASSERT_TRUE(liveWnd_.CreateVideoWindow(owner_, nullptr, IDS_LIVE_VIDEO_TITLE));
        ShowWindow(liveWnd_.Handle(), SW_SHOWNA);
        devices_.Discover();
        ASSERT_TRUE(devices_.HasVideoDevice());
        target_.file = MediaOutFolder() + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".avi";
        DeleteFileA(target_.file.c_str());
        graph_.SetTarget(&target_);
        ASSERT_TRUE(graph_.CreateGraphs(liveWnd_.Handle(), &liveWnd_));
        graph_.AttachDevices(devices_, controls_);
        ASSERT_TRUE(graph_.AddVideoDevice());
        controls_.Attach(devices_.Filter(DeviceSet::kVideo), devices_.Filter(DeviceSet::kAudioCapture));
        graph_.CreateAuxFilters();
        AM_MEDIA_TYPE type{};
        type.majortype = MEDIATYPE_Video;
        ASSERT_NE(graph_.GetSampleGrabber(0), nullptr);
        graph_.GetSampleGrabber(0)->SetMediaType(&type);
        graph_.GetSampleGrabber(0)->SetBufferSamples(TRUE);
    }
    void TearDown() override {
        graph_.Stop();
        graph_.Dismantle();
        graph_.ReleaseGraph();
        graph_.ReleaseAuxFilters();
        controls_.Release();
        devices_.Release();
        EXPECT_TRUE(boxes_.Seen().empty() || expectBoxes_) << "unexpected box: " << boxes_.Seen()[0].text;
    }
    bool StartPreview() { return graph_.BuildPreview() && graph_.Run(); }
    // Whether the grabber sees new pictures: the simulated scene moves and counts its frames, so two
    // pictures some frames apart differ.
    bool FramesArrive() {
        auto grab = [this] {
            long size = 0;
            graph_.GetSampleGrabber(0)->GetCurrentBuffer(&size, nullptr);
            std::vector<char> frame(size > 0 ? static_cast<size_t>(size) : 0);
            if (size > 0) graph_.GetSampleGrabber(0)->GetCurrentBuffer(&size, reinterpret_cast<long*>(frame.data()));
            return frame;
        };
        PumpFor(500);
        std::vector<char> first = grab();
        PumpFor(500);
        std::vector<char> second = grab();
        return !first.empty() && !second.empty() && first != second;
    }
    long GrabbedBytes() {
        long size = 0;
        graph_.GetSampleGrabber(0)->GetCurrentBuffer(&size, nullptr);
        return size;
    }
    bool Record(DWORD milliseconds, bool unattended = false) {
        if (!graph_.BuildCapture(unattended) || !graph_.Run()) return false;
        bool seeking = graph_.EnableSeeking();
        PumpFor(milliseconds);
        EXPECT_TRUE(seeking) << "recording position not available";
        EXPECT_GT(graph_.GetCapturePosition(), static_cast<int64_t>(milliseconds) * 10000 / 2);
        return graph_.BuildPreview() && graph_.Run();
    }

    BoxWatcher boxes_;
    bool expectBoxes_ = false;
    RecordingVideoOwner owner_;
    CVidFrameWnd liveWnd_;
    DeviceSet devices_;
    DeviceControls controls_;
    CaptureGraph graph_;
    FixedTarget target_;
};

uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string FileStart(const std::string& path) {
    char head[12] = {};
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {};
    size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return std::string(head, n);
}

TEST_F(CaptureFixture, PreviewDeliversFramesToTheGrabber) {
    ASSERT_TRUE(StartPreview());
    EXPECT_TRUE(graph_.IsPreviewing());
    EXPECT_EQ(graph_.GetMode(), kModePreview);
    PumpFor(1500);
    EXPECT_EQ(GrabbedBytes(), 640 * 480 * 2);
    EXPECT_EQ(controls_.GetCaptureSizeIndex(), 5);
    EXPECT_GE(graph_.GetDroppedFrames(), 0);
}

TEST_F(CaptureFixture, CaptureSizeChangeBetweenBuilds) {
    graph_.Stop();
    graph_.Dismantle();
    ASSERT_TRUE(controls_.SetCaptureSize(4));
    ASSERT_TRUE(StartPreview());
    PumpFor(1500);
    EXPECT_EQ(controls_.GetCaptureSizeIndex(), 4);
    EXPECT_EQ(GrabbedBytes(), 352 * 288 * 2);
}

TEST_F(CaptureFixture, RecordWithAudioTwiceThenPreviewAgain) {
    ASSERT_TRUE(StartPreview());
    ASSERT_TRUE(Record(3000));
    EXPECT_TRUE(graph_.IsPreviewing());
    EXPECT_EQ(FileStart(target_.file).substr(0, 4), "RIFF");
    EXPECT_EQ(FileStart(target_.file).substr(8, 4), "AVI ");
    uint64_t first = FileSize(target_.file);
    EXPECT_GT(first, 40u * 640 * 480 * 2);  // at least about 40 frames

    // Recording again after stopping writes the file anew.
    target_.file = MediaOutFolder() + "\\RecordAgain.avi";
    DeleteFileA(target_.file.c_str());
    ASSERT_TRUE(Record(2000));
    EXPECT_GT(FileSize(target_.file), 20u * 640 * 480 * 2);
    PumpFor(500);
    EXPECT_GT(GrabbedBytes(), 0) << "preview does not run again after recording";
}

TEST_F(CaptureFixture, RecordingWhileRecordingIsRefusedByTheCaller) {
    ASSERT_TRUE(StartPreview());
    ASSERT_EQ(graph_.StartRecording(), RecordStart::kRecording);
    EXPECT_TRUE(graph_.IsCapturing());
    EXPECT_FALSE(graph_.IsPreviewing());
    PumpFor(1500);
    const int64_t before = graph_.GetCapturePosition();
    ASSERT_GT(before, 5000000) << "the recording's time does not run";

    // A second record request leaves the recording alone: its time goes on, not from zero.
    EXPECT_EQ(graph_.StartRecording(), RecordStart::kAlreadyRecording);
    EXPECT_GE(graph_.GetCapturePosition(), before);
    // Also while it is paused: the graph is still built for the recording.
    graph_.Pause();
    EXPECT_EQ(graph_.StartRecording(), RecordStart::kAlreadyRecording);
    EXPECT_TRUE(graph_.IsRecording());
    ASSERT_TRUE(graph_.Run());
    PumpFor(300);
    EXPECT_GE(graph_.GetCapturePosition(), before);

    ASSERT_TRUE(graph_.StopRecording());
    EXPECT_TRUE(graph_.IsPreviewing());
    // Back in preview the multiplexer and the writer are gone, so the file is released.
    HANDLE file = CreateFileA(target_.file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << "capture file still open";
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

TEST_F(CaptureFixture, PreallocatedFileKeepsItsSizeAndTakesTheRecording) {
    const uint64_t size = 64ull << 20;
    ASSERT_TRUE(graph_.PreallocateFile(size));
    EXPECT_EQ(FileSize(target_.file), size);
    ASSERT_TRUE(StartPreview());
    ASSERT_TRUE(Record(1500));
    EXPECT_EQ(FileSize(target_.file), size) << "the recording changed the preallocated size";
    EXPECT_EQ(FileStart(target_.file).substr(0, 4), "RIFF");
}

TEST_F(CaptureFixture, UnwritableCaptureFileLeavesPreviewWorking) {
    target_.file = "Z:\\no\\such\\folder\\capture.avi";
    ASSERT_TRUE(StartPreview());
    // The record request itself says why it failed and brings the live picture back.
    EXPECT_EQ(graph_.StartRecording(), RecordStart::kFailed);
    auto seen = boxes_.Seen();
    ASSERT_EQ(seen.size(), 1u) << "one message for the failure";
    EXPECT_EQ(seen[0].caption, "Error");
    EXPECT_EQ(seen[0].text, "Error 80070003 : Capture/Preview Graph : Cannot set output file");
    expectBoxes_ = true;
    EXPECT_FALSE(graph_.IsRecording());
    EXPECT_TRUE(graph_.IsPreviewing());
    EXPECT_TRUE(FramesArrive()) << "the live picture does not run after the failed recording";
}

TEST_F(CaptureFixture, ARecordingThatCannotWriteReportsAStopOnAnError) {
    // Past the record action's own check (the folder goes away between check and run, say): the
    // graph reports the failure as a stop on an error, with the file system's reason.
    target_.file = "Z:\\no\\such\\folder\\capture.avi";
    ASSERT_TRUE(StartPreview());
    ASSERT_TRUE(graph_.BuildCapture());
    graph_.Run();
    HRESULT code = S_OK;
    CaptureEvent event = CaptureEvent::kNone;
    for (int i = 0; i < 50 && event == CaptureEvent::kNone; ++i) {
        PumpFor(100);
        event = graph_.DrainEvents(&code);
    }
    EXPECT_EQ(event, CaptureEvent::kAborted);
    EXPECT_TRUE(FAILED(code)) << std::hex << code;
    ASSERT_TRUE(graph_.StopRecording());
    EXPECT_TRUE(FramesArrive());
}

TEST_F(CaptureFixture, FullScreenOnAndOff) {
    ASSERT_TRUE(StartPreview());
    graph_.SetFullScreen(true);
    EXPECT_TRUE(graph_.IsFullScreen());
    graph_.SetFullScreen(false);
    EXPECT_FALSE(graph_.IsFullScreen());
}

TEST_F(CaptureFixture, PlaybackOfARecording) {
    ASSERT_TRUE(StartPreview());
    ASSERT_TRUE(Record(3000));
    graph_.Stop();

    RecordingVideoOwner owner;
    CVidFrameWnd playbackWnd;
    ASSERT_TRUE(playbackWnd.CreateVideoWindow(owner, nullptr, IDS_PLAYBACK_TITLE));
    PlaybackGraph playback;
    ASSERT_TRUE(playback.Init(playbackWnd.Handle(), &playbackWnd));
    ASSERT_TRUE(playback.Open(target_.file));
    EXPECT_EQ(playback.GetVideoRect().right, 640);
    EXPECT_EQ(playback.GetVideoRect().bottom, 480);
    ASSERT_TRUE(playback.EnableSeeking());
    EXPECT_GT(playback.Duration(), 25000000);  // about three seconds, in 100 ns units
    EXPECT_LT(playback.Duration(), 45000000);

    playback.Pause();
    playback.SeekPercent(50);
    PumpFor(300);
    int64_t position = 0;
    int percent = playback.GetProgress(position);
    EXPECT_GE(percent, 45);
    EXPECT_LE(percent, 55);
    playback.SeekPercent(0);
    PumpFor(300);
    EXPECT_LE(playback.GetProgress(position), 5);

    ASSERT_TRUE(playback.Run());
    bool complete = false;
    for (int i = 0; i < 100 && !complete; ++i) {
        PumpFor(100);
        complete = playback.DrainEvents();
    }
    EXPECT_TRUE(complete) << "no end-of-stream event";
    playback.Stop();
    EXPECT_TRUE(playback.IsStopped());
    // Stopping closes the file: it can be replaced now.
    EXPECT_TRUE(DeleteFileA(target_.file.c_str()));
    playback.Release();
}

TEST_F(CaptureFixture, AFileWithoutPositionsDoesNotUseThePreviousDuration) {
    ASSERT_TRUE(StartPreview());
    ASSERT_TRUE(Record(1500));
    graph_.Stop();
    // Not a video: it opens through the plain file source, but nothing renders, so nothing seeks.
    const std::string other = MediaOutFolder() + "\\NotAVideo.avi";
    FILE* f = std::fopen(other.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("no video in here", f);
    std::fclose(f);

    RecordingVideoOwner owner;
    CVidFrameWnd playbackWnd;
    ASSERT_TRUE(playbackWnd.CreateVideoWindow(owner, nullptr, IDS_PLAYBACK_TITLE));
    PlaybackGraph playback;
    ASSERT_TRUE(playback.Init(playbackWnd.Handle(), &playbackWnd));
    ASSERT_TRUE(playback.Open(target_.file));
    ASSERT_TRUE(playback.EnableSeeking());
    ASSERT_GT(playback.Duration(), 0);
    playback.Stop();

    if (!playback.Open(other)) GTEST_SKIP() << "the platform refuses the file outright";
    EXPECT_FALSE(playback.EnableSeeking());
    EXPECT_EQ(playback.Duration(), 0) << "the last file's duration is still used";
    playback.Run();
    PumpFor(300);
    int64_t position = -1;
    EXPECT_EQ(playback.GetProgress(position), -1);
    EXPECT_EQ(position, -1) << "a position is reported for a file without one";
    playback.Stop();
    playback.Release();
    DeleteFileA(other.c_str());
}

TEST_F(CaptureFixture, PlaybackRefusesANameThatWouldBeCut) {
    RecordingVideoOwner owner;
    CVidFrameWnd playbackWnd;
    ASSERT_TRUE(playbackWnd.CreateVideoWindow(owner, nullptr, IDS_PLAYBACK_TITLE));
    PlaybackGraph playback;
    ASSERT_TRUE(playback.Init(playbackWnd.Handle(), &playbackWnd));
    // Its first 259 characters name an existing file; the whole name does not.
    const std::string folder = MediaOutFolder() + "\\";
    const std::string cut = folder + std::string(259 - folder.size(), 'c');
    FILE* f = std::fopen(cut.c_str(), "wb");
    if (!f) GTEST_SKIP() << "the file system does not take a name of 259 characters";
    std::fclose(f);
    EXPECT_FALSE(playback.Open(cut + ".avi"));
    DeleteFileA(cut.c_str());
    playback.Release();
}

TEST_F(CaptureFixture, TeardownReleasesEveryFilter) {
    ASSERT_TRUE(StartPreview());
    ComPtr<IBaseFilter> video(devices_.Filter(DeviceSet::kVideo));
    graph_.Stop();
    graph_.Dismantle();
    graph_.ReleaseGraph();
    graph_.ReleaseAuxFilters();
    controls_.Release();
    devices_.Release();
    // Ours is now the only reference left to the device.
    video->AddRef();
    EXPECT_EQ(video->Release(), 1u);
}

class Webcam : public CaptureFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim_.Register("USB Vexa20 Camera", "", " (simulated)", "webcam"));
        CaptureFixture::SetUp();
    }
    SimulatedDevices sim_;
};

TEST_F(Webcam, ACameraWithoutCrossbarOrTunerPreviewsAndRecords) {
    EXPECT_EQ(devices_.DisplayName(DeviceSet::kVideo), "USB Vexa20 Camera");
    EXPECT_EQ(controls_.Interface(DeviceControls::kTvTuner), nullptr);
    EXPECT_EQ(controls_.Interface(DeviceControls::kDecoder), nullptr);
    EXPECT_NE(controls_.Interface(DeviceControls::kStreamConfig), nullptr);
    ASSERT_TRUE(StartPreview());
    PumpFor(1000);
    EXPECT_EQ(GrabbedBytes(), 640 * 480 * 2);
    ASSERT_TRUE(Record(1000));
}

class NoAudioDevice : public CaptureFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim_.Register("", "Nothing Known"));
        CaptureFixture::SetUp();
    }
    void TearDown() override { CaptureFixture::TearDown(); }
    SimulatedDevices sim_;
};

TEST_F(NoAudioDevice, RecordingSaysSoOnceAndRecordsVideo) {
    expectBoxes_ = true;
    ASSERT_EQ(devices_.Filter(DeviceSet::kAudioCapture), nullptr);
    ASSERT_TRUE(StartPreview());
    ASSERT_TRUE(Record(1500));
    auto seen = boxes_.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Error");
    EXPECT_EQ(seen[0].text, "Error rendering Audio capture");
    EXPECT_GT(FileSize(target_.file), 10u * 640 * 480 * 2);
}

TEST_F(NoAudioDevice, AnUnattendedRecordingAsksNothingAndRecordsVideo) {
    ASSERT_TRUE(StartPreview());
    DeleteFileA(target_.file.c_str());
    ASSERT_TRUE(Record(1500, true));
    EXPECT_TRUE(boxes_.Seen().empty()) << "a box held back a recording nobody watches";
    EXPECT_GT(FileSize(target_.file), 10u * 640 * 480 * 2);
}

}  // namespace
}  // namespace lumetra::testing
