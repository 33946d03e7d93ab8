// Rules of the device's inputs, standards, snapshot button, mixer source names and tool windows.
#include <gtest/gtest.h>

#include "mainwnd/device_menus.h"
#include "media/device_names.h"
#include "media/input_table.h"
#include "media/mixer_names.h"
#include "media/snapshot_button.h"
#include "media/video_standards.h"
#include "media/window_position.h"

namespace lumetra {
namespace {

// Crossbar connector types as the platform numbers them.
constexpr long kTuner = 1, kComposite = 2, kSVideo = 3, kAux = 9;
constexpr long kAudioTuner = 0x1000, kAudioLine = 0x1001, kAudioMic = 0x1002;

auto RoutableTo(int allowedOutput) {
    return [allowedOutput](int output) { return output == allowedOutput; };
}

TEST(InputTableTest, WithoutCrossbarOnlyTheCameraIsPresent) {
    InputTable table;
    EXPECT_TRUE(table.Present(kInputWebcam));
    for (int entry : {0, 1, 2, 4, 5, 6}) EXPECT_FALSE(table.Present(entry)) << entry;
    EXPECT_FALSE(table.Present(-1));
    EXPECT_FALSE(table.Present(7));
    EXPECT_EQ(table.Resolve(kInputComposite), kInputWebcam);
}

TEST(InputTableTest, ScanFillsEntriesByConnectorTypeAndOutput) {
    InputTable table;
    table.StartCrossbarScan();
    EXPECT_FALSE(table.Present(kInputWebcam));  // a crossbar without a camera input
    table.AddCrossbarPin(0, kTuner, 3, RoutableTo(0));
    table.AddCrossbarPin(1, kComposite, 4, RoutableTo(0));
    table.AddCrossbarPin(2, kSVideo, 4, RoutableTo(0));
    table.AddCrossbarPin(3, kAudioTuner, 0, RoutableTo(1));
    table.AddCrossbarPin(4, kAudioLine, 1, RoutableTo(1));
    table.AddCrossbarPin(5, kAudioMic, 2, RoutableTo(1));
    for (int entry : {0, 1, 2, 4, 5, 6}) EXPECT_TRUE(table.Present(entry)) << entry;
    EXPECT_FALSE(table.Present(kInputWebcam));
    EXPECT_EQ(table.At(kInputSVideo).inputPin, 2);
    EXPECT_EQ(table.At(kInputSVideo).relatedPin, 4);
    EXPECT_EQ(table.At(4).inputPin, 3);
    // A video connector offered only to the audio output is not an input.
    InputTable wrong;
    wrong.AddCrossbarPin(0, kComposite, 1, RoutableTo(1));
    EXPECT_FALSE(wrong.Present(kInputComposite));
}

TEST(InputTableTest, LaterPinOfATypeOverridesAndACameraInputCanBeUnroutable) {
    InputTable table;
    table.AddCrossbarPin(0, kComposite, 5, RoutableTo(0));
    table.AddCrossbarPin(3, kComposite, 6, RoutableTo(0));
    EXPECT_EQ(table.At(kInputComposite).inputPin, 3);
    EXPECT_EQ(table.At(kInputComposite).relatedPin, 6);
    table.AddCrossbarPin(4, kComposite, 7, RoutableTo(1));
    EXPECT_FALSE(table.Present(kInputComposite));
    table.AddCrossbarPin(1, kAux, 5, RoutableTo(1));
    EXPECT_FALSE(table.Present(kInputWebcam));
}

TEST(InputTableTest, ResolveFallsBackToTheFirstPresentVideoInput) {
    InputTable svideoOnly;
    svideoOnly.AddCrossbarPin(0, kSVideo, 1, RoutableTo(0));
    svideoOnly.AddCrossbarPin(1, kAudioLine, 0, RoutableTo(1));
    svideoOnly.AddCrossbarPin(2, kAux, 1, RoutableTo(1));  // the camera entry is withdrawn
    EXPECT_EQ(svideoOnly.Resolve(kInputComposite), kInputSVideo);
    EXPECT_EQ(svideoOnly.Resolve(kInputSVideo), kInputSVideo);
    // Damaged stored inputs: audio entries and numbers out of range.
    EXPECT_EQ(svideoOnly.Resolve(5), kInputSVideo);
    EXPECT_EQ(svideoOnly.Resolve(99), kInputSVideo);
    EXPECT_EQ(svideoOnly.Resolve(-7), kInputSVideo);
    InputTable none;
    none.AddCrossbarPin(0, kAux, 1, RoutableTo(1));
    EXPECT_EQ(none.Resolve(kInputWebcam), -1);
}

TEST(InputTableTest, RoutedConnectorsNameTheirInput) {
    EXPECT_EQ(InputTable::InputForConnector(kTuner), kInputTuner);
    EXPECT_EQ(InputTable::InputForConnector(kComposite), kInputComposite);
    EXPECT_EQ(InputTable::InputForConnector(kSVideo), kInputSVideo);
    EXPECT_EQ(InputTable::InputForConnector(4), kInputWebcam);  // RGB
    EXPECT_EQ(InputTable::InputForConnector(kAux), kInputWebcam);
    EXPECT_EQ(InputTable::InputForConnector(kAudioLine), -1);
    EXPECT_EQ(InputTable::OutputOf(3), 0);
    EXPECT_EQ(InputTable::OutputOf(4), 1);
}

TEST(VideoStandardsTest, ListsExactlyTheAvailableOnesInTableOrder) {
    ASSERT_EQ(AllVideoStandards().size(), 18u);
    std::vector<VideoStandard> two = StandardsIn(0x40000 | 0x10);  // SECAM_L | PAL_B
    ASSERT_EQ(two.size(), 2u);
    EXPECT_STREQ(two[0].name, "PAL_B");
    EXPECT_STREQ(two[1].name, "SECAM_L");
    EXPECT_TRUE(StandardsIn(0).empty());
    // Bits that name no standard (0x8, 0x40) add nothing.
    EXPECT_TRUE(StandardsIn(0x8 | 0x40).empty());
    EXPECT_EQ(StandardsIn(-1).size(), 18u);
    EXPECT_STREQ(AllVideoStandards().back().name, "SECAM_L1");
}

TEST(SnapshotButtonTest, AHeldButtonIsReportedOnce) {
    SnapshotButtonLatch latch;
    SnapshotButtonLatch::Decision first = latch.Poll(0x25);
    EXPECT_TRUE(first.report);
    EXPECT_TRUE(first.writeBack);
    EXPECT_EQ(first.value, 0x05);  // the other bits are written back unchanged
    for (int i = 0; i < 5; ++i) {
        SnapshotButtonLatch::Decision held = latch.Poll(0x20);
        EXPECT_FALSE(held.report);
        EXPECT_FALSE(held.writeBack);
    }
    EXPECT_FALSE(latch.Poll(0x00).report);  // released
    EXPECT_TRUE(latch.Poll(0x20).report);   // a new press
    EXPECT_FALSE(latch.Poll(0xDF).report);  // every bit but the button's
}

TEST(MixerNamesTest, WholeNamesWithoutRegardToCase) {
    EXPECT_EQ(ClassifyRecordingSource("Microphone"), RecordingSource::Microphone);
    EXPECT_EQ(ClassifyRecordingSource("MIC"), RecordingSource::Microphone);
    EXPECT_EQ(ClassifyRecordingSource("Wave In"), RecordingSource::Microphone);
    EXPECT_EQ(ClassifyRecordingSource("Line In"), RecordingSource::Line);
    EXPECT_EQ(ClassifyRecordingSource("line-in 1"), RecordingSource::Line);
    EXPECT_EQ(ClassifyRecordingSource("Line"), RecordingSource::Line);
    EXPECT_EQ(ClassifyRecordingSource("Mic Volume"), RecordingSource::None);
    EXPECT_EQ(ClassifyRecordingSource("CD Player"), RecordingSource::None);
    EXPECT_EQ(ClassifyRecordingSource("Lin"), RecordingSource::None);
    EXPECT_EQ(ClassifyRecordingSource(""), RecordingSource::None);
}

TEST(DeviceNames, CameraModelsAreTheListsCameras) {
    EXPECT_TRUE(IsCameraModel("USB Vexa20 Camera"));
    EXPECT_TRUE(IsCameraModel("USB Vexa10 Camera (simulated)"));
    EXPECT_TRUE(IsCameraModel("USB Vexa21 Camera"));
    EXPECT_FALSE(IsCameraModel("USB Vexa40 Video"));
    EXPECT_FALSE(IsCameraModel("Some Camera"));
    EXPECT_FALSE(IsCameraModel(""));
}

TEST(DeviceMenus, RecordingInputItems) {
    std::vector<std::string> plain = RecordingInputMenu(false);
    EXPECT_EQ(plain, (std::vector<std::string>{"TITLE:--- Recording Input ---", "Line-In", "Mic", "SEPERATOR", "Mute",
                                               "_____________________"}));
    std::vector<std::string> tuner = RecordingInputMenu(true);
    ASSERT_EQ(tuner.size(), 8u);
    EXPECT_EQ(tuner[6], "TV Tuner Audio Properties");
    EXPECT_EQ(tuner[7], "SEPERATOR");
}

TEST(ToolWindowPosition, StoredPlaceOnlyWhenReachable) {
    const ScreenArea screen{0, 0, 1280, 1024};
    const WindowOrigin fallback{20, 20};
    auto at = [&](int left, int top) {
        WindowOrigin o = ReachableOrigin(WindowOrigin{left, top}, 300, screen, fallback);
        return std::make_pair(o.left, o.top);
    };
    EXPECT_EQ(at(500, 400), std::make_pair(500, 400));
    EXPECT_EQ(at(-200, 10), std::make_pair(-200, 10));   // partly off the left edge, still grabbable
    EXPECT_EQ(at(-280, 10), std::make_pair(20, 20));     // too little left on screen
    EXPECT_EQ(at(1250, 10), std::make_pair(20, 20));
    EXPECT_EQ(at(100, -5), std::make_pair(20, 20));      // caption above the screen
    EXPECT_EQ(at(100, 1010), std::make_pair(20, 20));
    EXPECT_EQ(at(2147483647, 2147483647), std::make_pair(20, 20));
    EXPECT_EQ(at(-2147483647 - 1, 0), std::make_pair(20, 20));
}

}  // namespace
}  // namespace lumetra
