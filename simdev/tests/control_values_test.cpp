#include "simdev/control_values.h"

#include <gtest/gtest.h>

namespace simdev {
namespace {

TEST(ControlValues, Profiles) {
    EXPECT_EQ(ParseProfile("grabber"), Profile::Grabber);
    EXPECT_EQ(ParseProfile(" WebCam "), Profile::Webcam);
    EXPECT_EQ(ParseProfile("tvbox"), Profile::TvBox);
    EXPECT_EQ(ParseProfile("toaster"), Profile::TvBox);
    EXPECT_STREQ(ProfileName(Profile::Webcam), "webcam");
}

TEST(ControlValues, ChannelListsWithRanges) {
    EXPECT_EQ(ParseChannelList("7, 2,4-5,4"), (std::vector<int>{2, 4, 5, 7}));
    EXPECT_EQ(ParseChannelList("x,3,9-8,,12"), (std::vector<int>{3, 12}));
    EXPECT_TRUE(ParseChannelList("").empty());
    std::vector<int> list = ParseChannelList("2-4");
    EXPECT_TRUE(ContainsChannel(list, 3));
    EXPECT_FALSE(ContainsChannel(list, 5));
}

TEST(ControlValues, Rectangles) {
    Rect r;
    ASSERT_TRUE(ParseRect("10, 20,110,220", r));
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 220);
    EXPECT_FALSE(ParseRect("10,20,5,30", r));
    EXPECT_TRUE(r.Empty());
    EXPECT_FALSE(ParseRect("1,2,3", r));
    EXPECT_FALSE(ParseRect("a,b,c,d", r));
}

TEST(ControlValues, Ranges) {
    ValueRange r;
    ASSERT_TRUE(ParseRange("-64, 64", r));
    EXPECT_EQ(r.minimum, -64);
    EXPECT_EQ(r.maximum, 64);
    EXPECT_EQ(r.Middle(), 0);
    EXPECT_EQ((ValueRange{0, 255}.Middle()), 128);
    EXPECT_FALSE(ParseRange("64,-64", r));
    EXPECT_FALSE(ParseRange("5,5", r));
    EXPECT_FALSE(ParseRange("1,2,3", r));
    EXPECT_FALSE(ParseRange("", r));
}

class Registers : public ::testing::Test {
protected:
    uint8_t ReadButtonRegister() {
        uint8_t v = 0xEE;
        EXPECT_TRUE(regs.Select((12u << 8) | 1));
        EXPECT_TRUE(regs.Read(&v));
        return v;
    }
    void WriteButtonRegister(uint8_t v) {
        EXPECT_TRUE(regs.Select((12u << 8) | 1));
        EXPECT_TRUE(regs.Write(&v));
    }
    RegisterFile regs;
};

TEST_F(Registers, SelectThenTransferSeveralBytes) {
    const uint8_t data[3] = {1, 2, 3};
    ASSERT_TRUE(regs.Select((40u << 8) | 3));
    ASSERT_TRUE(regs.Write(data));
    uint8_t back[3] = {};
    ASSERT_TRUE(regs.Select((40u << 8) | 3));
    ASSERT_TRUE(regs.Read(back));
    EXPECT_EQ(back[0], 1);
    EXPECT_EQ(back[2], 3);
    EXPECT_EQ(regs.Selection(), (40u << 8) | 3);
}

TEST_F(Registers, ReleasedSelectionRefusesTransfers) {
    uint8_t v = 0;
    ASSERT_TRUE(regs.Select(0));
    EXPECT_FALSE(regs.Read(&v));
    EXPECT_FALSE(regs.Write(&v));
    EXPECT_FALSE(regs.Select((255u << 8) | 2));  // runs past the last register
    EXPECT_FALSE(regs.Select(0x10000));
}

TEST_F(Registers, ButtonPressStaysUntilWrittenBack) {
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0);
    regs.SetButton(true);
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0x20);
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0x20);  // reading does not clear it
    WriteButtonRegister(static_cast<uint8_t>(ReadButtonRegister() & ~0x20));
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0);     // acknowledged while still held
    regs.SetButton(true);
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0);     // holding is not a new press
    regs.SetButton(false);
    regs.SetButton(true);
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0x20);  // a new press shows again
}

TEST_F(Registers, ReleaseClearsAnUnacknowledgedPress) {
    regs.SetButton(true);
    regs.SetButton(false);
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0);
}

TEST_F(Registers, WritingTheBitSetDoesNotPressTheButton) {
    WriteButtonRegister(0x21);
    EXPECT_EQ(ReadButtonRegister(), 0x01);
}

TEST_F(Registers, ShortPressIsLatchedUntilAcknowledged) {
    regs.Pulse();
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0x20);  // seen although the button is up again
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0x20);
    WriteButtonRegister(static_cast<uint8_t>(ReadButtonRegister() & ~0x20));
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0);
    regs.Pulse();
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0x20);  // the next short press
}

TEST_F(Registers, AStickyDeviceKeepsAHeldPressShowing) {
    regs.SetSticky(true);
    regs.SetButton(true);
    WriteButtonRegister(static_cast<uint8_t>(ReadButtonRegister() & ~0x20));
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0x20);  // still held, still set
    regs.SetButton(false);
    EXPECT_EQ(ReadButtonRegister() & 0x20, 0);
}

TEST(ControlValues, CrossbarLayouts) {
    EXPECT_EQ(ParseCrossbarLayout("NoComposite"), CrossbarLayout::NoComposite);
    EXPECT_EQ(ParseCrossbarLayout(" svideo "), CrossbarLayout::SVideoOnly);
    EXPECT_EQ(ParseCrossbarLayout("full"), CrossbarLayout::Full);
    EXPECT_EQ(ParseCrossbarLayout(""), CrossbarLayout::Full);
    EXPECT_EQ(ParseCrossbarLayout("junk"), CrossbarLayout::Full);
}

TEST(CameraControlsTest, ReadWriteRangesAndExposure) {
    CameraControls camera;
    int32_t v = -1;
    ASSERT_EQ(camera.Get(CameraControls::kAutoExposure, v), CameraControls::Result::Ok);
    EXPECT_EQ(v, 1);
    ASSERT_EQ(camera.Get(CameraControls::kAutoMax, v), CameraControls::Result::Ok);
    EXPECT_EQ(v, 255);
    ASSERT_EQ(camera.Get(CameraControls::kManualMax, v), CameraControls::Result::Ok);
    EXPECT_EQ(v, 1000);
    EXPECT_EQ(camera.ExposurePercent(), 100);
    EXPECT_EQ(camera.Set(CameraControls::kAutoValue, 192), CameraControls::Result::Ok);
    EXPECT_EQ(camera.ExposurePercent(), 150);
    // Manual mode takes the manual value.
    EXPECT_EQ(camera.Set(CameraControls::kAutoExposure, 0), CameraControls::Result::Ok);
    EXPECT_EQ(camera.ExposurePercent(), 100);
    EXPECT_EQ(camera.Set(CameraControls::kManualValue, 250), CameraControls::Result::Ok);
    EXPECT_EQ(camera.ExposurePercent(), 50);
    EXPECT_EQ(camera.Set(CameraControls::kManualValue, 1001), CameraControls::Result::OutOfRange);
    EXPECT_EQ(camera.Set(CameraControls::kAmbientLight, 3), CameraControls::Result::OutOfRange);
    EXPECT_EQ(camera.Set(CameraControls::kFlicker, 2), CameraControls::Result::Ok);
    EXPECT_EQ(camera.Set(CameraControls::kAutoMax, 9), CameraControls::Result::ReadOnly);
    EXPECT_EQ(camera.Get(37, v), CameraControls::Result::UnknownId);
    ASSERT_EQ(camera.Get(CameraControls::kFlicker, v), CameraControls::Result::Ok);
    EXPECT_EQ(v, 2);
}

}  // namespace
}  // namespace simdev
