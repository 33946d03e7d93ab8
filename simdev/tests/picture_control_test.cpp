// The delivered picture follows the device's controls: picture controls, crossbar routing, the
// analog standard, the tuner channel and the scene switches of the control key.
#include "simdev/tests/device_fixture.h"

#include "simdev/picture.h"

namespace simdev_test {
namespace {

class PictureFollowsControls : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        device = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
        ASSERT_TRUE(device);
        ASSERT_TRUE(graph.AddDevice(device.Get()));
        ASSERT_EQ(graph.builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, device.Get(), IID_IAMCrossbar,
                                               crossbar.PutVoid()),
                  S_OK);
        ASSERT_TRUE(SUCCEEDED(graph.RenderCapture(MEDIATYPE_Video)));
        ASSERT_TRUE(SUCCEEDED(graph.Run()));
        ASSERT_TRUE(WaitUntil([&] { return graph.counter.Count() >= 2; }, 5000));
    }
    // A frame delivered after the controls changed (the stream picks changes up within a frame).
    std::vector<uint8_t> FreshFrame() {
        Sleep(120);
        const long n = graph.counter.Count();
        WaitUntil([&] { return graph.counter.Count() >= n + 2; }, 3000);
        std::vector<uint8_t> frame;
        graph.Frame(frame);
        return frame;
    }
    double MeanLuma(const std::vector<uint8_t>& f, int x0, int y0, int x1, int y1) {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) sum += graph.Luma(f, x, y);
        return sum / ((x1 - x0) * (y1 - y0));
    }
    int Differences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, simdev::Rect r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += graph.Luma(a, x, y) != graph.Luma(b, x, y);
        return n;
    }
    int Ticks(const std::vector<uint8_t>& f) {
        return simdev::CountRulerTicks([&](int x, int y) { return graph.Luma(f, x, y); }, 640, 480);
    }

    ComPtr<IBaseFilter> device;
    ComPtr<IAMCrossbar> crossbar;
    Graph graph;
};

TEST_F(PictureFollowsControls, BrightnessAndSaturation) {
    ComPtr<IAMVideoProcAmp> amp = Query<IAMVideoProcAmp>(device.Get(), IID_IAMVideoProcAmp);
    const std::vector<uint8_t> normal = FreshFrame();
    amp->Set(VideoProcAmp_Brightness, 220, VideoProcAmp_Flags_Manual);
    const std::vector<uint8_t> bright = FreshFrame();
    // Inside the bars, away from the labels and the moving square's usual path is not needed:
    // the mean over a wide band rises clearly.
    EXPECT_GT(MeanLuma(bright, 40, 200, 600, 300), MeanLuma(normal, 40, 200, 600, 300) + 50);
    amp->Set(VideoProcAmp_Brightness, 128, VideoProcAmp_Flags_Manual);
    amp->Set(VideoProcAmp_Saturation, 0, VideoProcAmp_Flags_Manual);
    const std::vector<uint8_t> grey = FreshFrame();
    // YUY2: U and V of the yellow bar (second bar, x 80..160) become neutral.
    const size_t at = (250u * 640 + 120) * 2;
    EXPECT_EQ(grey[at + 1], 128);
    EXPECT_EQ(grey[at + 3], 128);
    EXPECT_NE(normal[at + 1], 128);
}

TEST_F(PictureFollowsControls, RoutingChangesLabelAndBand) {
    const simdev::Rect label = simdev::LabelRect(640, 0);
    const std::vector<uint8_t> composite = FreshFrame();
    ASSERT_EQ(crossbar->Route(0, 2), S_OK);  // S-Video
    const std::vector<uint8_t> svideo = FreshFrame();
    EXPECT_GT(Differences(composite, svideo, label), 50);
    // The lower band ramps the other way.
    EXPECT_LT(graph.Luma(composite, 40, 400), graph.Luma(composite, 600, 400));
    EXPECT_GT(graph.Luma(svideo, 40, 400), graph.Luma(svideo, 600, 400));
}

TEST_F(PictureFollowsControls, StandardChangesLabelAndLineCount) {
    const std::vector<uint8_t> ntsc = FreshFrame();
    EXPECT_EQ(Ticks(ntsc), 10);
    ComPtr<IAMAnalogVideoDecoder> decoder = Query<IAMAnalogVideoDecoder>(device.Get(), IID_IAMAnalogVideoDecoder);
    ASSERT_EQ(decoder->put_TVFormat(AnalogVideo_PAL_D), S_OK);
    const std::vector<uint8_t> pal = FreshFrame();
    EXPECT_EQ(Ticks(pal), 12);
    EXPECT_GT(Differences(ntsc, pal, simdev::LabelRect(640, 1)), 30);
}

TEST_F(PictureFollowsControls, TunerChannelsWithAndWithoutSignal) {
    SetControlString(simdev::kValSignalChannels, L"4,7");
    ComPtr<IAMTVTuner> tuner = Query<IAMTVTuner>(device.Get(), IID_IAMTVTuner);
    ASSERT_EQ(crossbar->Route(0, 0), S_OK);
    ASSERT_EQ(tuner->put_Channel(4, -1, -1), S_OK);
    const std::vector<uint8_t> ch4 = FreshFrame();
    ASSERT_EQ(tuner->put_Channel(7, -1, -1), S_OK);
    const std::vector<uint8_t> ch7 = FreshFrame();
    ASSERT_EQ(tuner->put_Channel(5, -1, -1), S_OK);
    const std::vector<uint8_t> ch5 = FreshFrame();
    // Channels with signal show rotated bars: the first bar differs between 4 and 7.
    EXPECT_GT(std::abs(graph.Luma(ch4, 40, 250) - graph.Luma(ch7, 40, 250)), 20);
    // No signal: snow, neighbouring pixels jump.
    int jumps = 0;
    for (int x = 100; x < 500; ++x) jumps += std::abs(graph.Luma(ch5, x, 300) - graph.Luma(ch5, x + 1, 300)) > 30;
    EXPECT_GT(jumps, 150);
    EXPECT_GT(Differences(ch4, ch5, simdev::LabelRect(640, 0)), 50);
}

TEST_F(PictureFollowsControls, StillSceneAndMotionRectangle) {
    SetControlDword(simdev::kValScene, 1);
    const std::vector<uint8_t> a = FreshFrame();
    const std::vector<uint8_t> b = FreshFrame();
    EXPECT_EQ(a, b);
    SetControlString(simdev::kValMotionRect, L"400,300,560,420");
    SetControlDword(simdev::kValScene, 2);
    const std::vector<uint8_t> c = FreshFrame();
    const std::vector<uint8_t> d = FreshFrame();
    EXPECT_EQ(Differences(c, d, simdev::Rect{0, 0, 640, 300}), 0);
    EXPECT_EQ(Differences(c, d, simdev::Rect{0, 0, 400, 480}), 0);
    EXPECT_GT(Differences(c, d, simdev::Rect{400, 300, 560, 420}), 0);
}

}  // namespace
}  // namespace simdev_test
