// The video device in a capture graph: connection through the capture graph builder, frames of the
// negotiated format at the frame rate, live-source states, format changes and unplugging.
#include "simdev/tests/device_fixture.h"

#include "simdev/picture.h"

namespace simdev_test {
namespace {

class Streaming : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        device = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
        ASSERT_TRUE(device);
        ASSERT_TRUE(graph.AddDevice(device.Get(), kDefaultVideoFriendly));
    }
    bool FramesArrive(long atLeast, DWORD timeoutMs = 5000) {
        const long start = graph.counter.Count();
        return WaitUntil([&] { return graph.counter.Count() >= start + atLeast; }, timeoutMs);
    }

    ComPtr<IBaseFilter> device;
    Graph graph;
};

TEST_F(Streaming, CrossbarJoinsTheGraphConnectedToTheAnalogInput) {
    ComPtr<IPin> analog = FindPin(device.Get(), PINDIR_INPUT);
    ASSERT_TRUE(analog);
    ComPtr<IPin> upstream;
    ASSERT_EQ(analog->ConnectedTo(upstream.Put()), S_OK);
    PIN_INFO info{};
    ASSERT_EQ(upstream->QueryPinInfo(&info), S_OK);
    ComPtr<IBaseFilter> crossbarFilter;
    crossbarFilter.Attach(info.pFilter);
    EXPECT_TRUE(Query<IAMCrossbar>(crossbarFilter.Get(), IID_IAMCrossbar));
    FILTER_INFO fi{};
    ASSERT_EQ(crossbarFilter->QueryFilterInfo(&fi), S_OK);
    ComPtr<IFilterGraph> inGraph;
    inGraph.Attach(fi.pGraph);
    EXPECT_EQ(Query<IUnknown>(inGraph.Get(), IID_IUnknown).Get(), Query<IUnknown>(graph.graph.Get(), IID_IUnknown).Get());
}

TEST_F(Streaming, BuilderFindsTunerAndStreamInterfaces) {
    ComPtr<IAMTVTuner> tuner;
    EXPECT_EQ(graph.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, device.Get(), IID_IAMTVTuner,
                                           tuner.PutVoid()),
              S_OK);
    ComPtr<IAMTVAudio> tvAudio;
    EXPECT_EQ(graph.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, device.Get(), IID_IAMTVAudio,
                                           tvAudio.PutVoid()),
              S_OK);
    ComPtr<IAMStreamConfig> config;
    EXPECT_EQ(graph.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, device.Get(),
                                           IID_IAMStreamConfig, config.PutVoid()),
              S_OK);
    ComPtr<IAMDroppedFrames> dropped;
    EXPECT_EQ(graph.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, device.Get(),
                                           IID_IAMDroppedFrames, dropped.PutVoid()),
              S_OK);
    ComPtr<IAMCrossbar> crossbar;
    EXPECT_EQ(graph.builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, device.Get(), IID_IAMCrossbar,
                                           crossbar.PutVoid()),
              S_OK);
}

TEST_F(Streaming, FramesHaveTheDefaultFormatAndAdvanceAtTheFrameRate) {
    ASSERT_TRUE(SUCCEEDED(graph.RenderCapture(MEDIATYPE_Video)));
    simdev::PixelFormat f;
    int w = 0, h = 0;
    ASSERT_TRUE(graph.Format(f, w, h));
    EXPECT_EQ(f, simdev::PixelFormat::YUY2);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);

    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_TRUE(FramesArrive(3));
    const long firstFrame = graph.FrameNumber();
    const long firstCount = graph.counter.Count();
    const DWORD start = GetTickCount();
    Sleep(1000);
    const long frames = graph.counter.Count() - firstCount;
    const double seconds = (GetTickCount() - start) / 1000.0;
    const long lastFrame = graph.FrameNumber();
    // 30 frames a second, counted loosely.
    EXPECT_GT(frames, 12 * seconds);
    EXPECT_LT(frames, 45 * seconds);
    ASSERT_GE(firstFrame, 0);
    EXPECT_GT(lastFrame - firstFrame, 12 * seconds);
    EXPECT_LT(lastFrame - firstFrame, 45 * seconds);

    std::vector<uint8_t> frame;
    ASSERT_TRUE(graph.Frame(frame));
    EXPECT_EQ(frame.size(), 640u * 480 * 2);

    // Time stamps come from the graph clock: increasing, one frame apart on average.
    std::vector<REFERENCE_TIME> starts = graph.counter.Starts();
    ASSERT_GT(starts.size(), 10u);
    for (size_t i = 1; i < starts.size(); ++i) ASSERT_GT(starts[i], starts[i - 1]);
    const double average = static_cast<double>(starts.back() - starts.front()) / (starts.size() - 1);
    EXPECT_NEAR(average, 333333, 60000);
}

TEST_F(Streaming, PausedLiveSourceCannotCueAndDeliversNothing) {
    ASSERT_TRUE(SUCCEEDED(graph.RenderCapture(MEDIATYPE_Video)));
    EXPECT_EQ(device->Pause(), VFW_S_CANT_CUE);
    FILTER_STATE state;
    EXPECT_EQ(device->GetState(0, &state), VFW_S_CANT_CUE);
    EXPECT_EQ(state, State_Paused);
    device->Stop();

    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_TRUE(FramesArrive(3));
    graph.Pause();
    EXPECT_EQ(device->GetState(0, &state), VFW_S_CANT_CUE);
    Sleep(150);
    const long paused = graph.counter.Count();
    Sleep(400);
    EXPECT_LE(graph.counter.Count() - paused, 1);
    graph.Run();
    EXPECT_TRUE(FramesArrive(3));
}

TEST_F(Streaming, RepeatedStopPauseRunCycles) {
    ASSERT_TRUE(SUCCEEDED(graph.RenderCapture(MEDIATYPE_Video)));
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(SUCCEEDED(graph.Run())) << i;
        if (i % 3 == 0) {
            ASSERT_TRUE(FramesArrive(1)) << i;
        }
        if (i % 2) {
            ASSERT_TRUE(SUCCEEDED(graph.Pause())) << i;
        }
        ASSERT_TRUE(SUCCEEDED(graph.Stop())) << i;
        FILTER_STATE state;
        ASSERT_EQ(device->GetState(0, &state), S_OK);
        ASSERT_EQ(state, State_Stopped);
    }
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    EXPECT_TRUE(FramesArrive(5));
}

// The application's way: stop, take the graph apart downstream, set the format, build again.
TEST_F(Streaming, FormatChangeBetweenRunsWithARebuiltGraph) {
    ASSERT_TRUE(SUCCEEDED(graph.RenderCapture(MEDIATYPE_Video)));
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_TRUE(FramesArrive(2));
    ComPtr<IAMStreamConfig> config = Query<IAMStreamConfig>(FindPin(device.Get(), PINDIR_OUTPUT).Get(),
                                                            IID_IAMStreamConfig);
    ASSERT_TRUE(config);
    // Capability 9 is I420 at 320 x 240 (formats in the order YUY2, I420, RGB24; seven sizes each).
    AM_MEDIA_TYPE* mt = nullptr;
    VIDEO_STREAM_CONFIG_CAPS caps;
    ASSERT_EQ(config->GetStreamCaps(9, &mt, reinterpret_cast<BYTE*>(&caps)), S_OK);
    EXPECT_EQ(config->SetFormat(mt), VFW_E_NOT_STOPPED);
    graph.Stop();
    graph.graph->RemoveFilter(graph.grabberFilter.Get());
    graph.graph->RemoveFilter(graph.renderer.Get());
    EXPECT_EQ(config->SetFormat(mt), S_OK);
    CoTaskMemFree(mt->pbFormat);
    CoTaskMemFree(mt);

    graph.counter.Reset();
    ASSERT_TRUE(SUCCEEDED(graph.RenderCapture(MEDIATYPE_Video)));
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_TRUE(FramesArrive(3));
    simdev::PixelFormat f;
    int w = 0, h = 0;
    ASSERT_TRUE(graph.Format(f, w, h));
    EXPECT_EQ(f, simdev::PixelFormat::I420);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    std::vector<uint8_t> frame;
    ASSERT_TRUE(graph.Frame(frame));
    EXPECT_EQ(frame.size(), 320u * 240 * 3 / 2);
    EXPECT_GE(graph.FrameNumber(), 0);
}

// Connected straight to a renderer, SetFormat while stopped reconnects the pin itself.
TEST_F(Streaming, FormatChangeWhileConnectedReconnectsThePin) {
    ComPtr<IBaseFilter> renderer;
    ASSERT_EQ(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               renderer.PutVoid()),
              S_OK);
    ASSERT_EQ(graph.graph->AddFilter(renderer.Get(), L"Null Renderer"), S_OK);
    ComPtr<IPin> capture = FindPin(device.Get(), PINDIR_OUTPUT);
    ASSERT_EQ(graph.graph->ConnectDirect(capture.Get(), FindPin(renderer.Get(), PINDIR_INPUT).Get(), nullptr), S_OK);
    ComPtr<IAMStreamConfig> config = Query<IAMStreamConfig>(capture.Get(), IID_IAMStreamConfig);
    AM_MEDIA_TYPE* mt = nullptr;
    VIDEO_STREAM_CONFIG_CAPS caps;
    ASSERT_EQ(config->GetStreamCaps(1, &mt, reinterpret_cast<BYTE*>(&caps)), S_OK);  // YUY2 176 x 144
    EXPECT_EQ(config->SetFormat(mt), S_OK);
    CoTaskMemFree(mt->pbFormat);
    CoTaskMemFree(mt);

    AM_MEDIA_TYPE now{};
    ASSERT_EQ(capture->ConnectionMediaType(&now), S_OK);
    ASSERT_EQ(now.formattype, FORMAT_VideoInfo);
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(now.pbFormat)->bmiHeader.biWidth, 176);
    CoTaskMemFree(now.pbFormat);
    AM_MEDIA_TYPE* current = nullptr;
    ASSERT_EQ(config->GetFormat(&current), S_OK);
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(current->pbFormat)->bmiHeader.biHeight, 144);
    CoTaskMemFree(current->pbFormat);
    CoTaskMemFree(current);

    ComPtr<IAMDroppedFrames> frames = Query<IAMDroppedFrames>(capture.Get(), IID_IAMDroppedFrames);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    long delivered = 0;
    EXPECT_TRUE(WaitUntil([&] { return SUCCEEDED(frames->GetNumNotDropped(&delivered)) && delivered >= 3; }, 5000));
}

TEST_F(Streaming, InjectedDropsAreCounted) {
    ASSERT_TRUE(SUCCEEDED(graph.RenderCapture(MEDIATYPE_Video)));
    ComPtr<IAMDroppedFrames> dropped = Query<IAMDroppedFrames>(FindPin(device.Get(), PINDIR_OUTPUT).Get(),
                                                               IID_IAMDroppedFrames);
    ASSERT_TRUE(dropped);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_TRUE(FramesArrive(2));
    SetControlDword(simdev::kValDropFrames, 5);
    long n = 0;
    EXPECT_TRUE(WaitUntil([&] { return SUCCEEDED(dropped->GetNumDropped(&n)) && n >= 5; }, 3000));
    DWORD left = 1;
    EXPECT_TRUE(ReadControlDword(simdev::kValDropFrames, left));
    EXPECT_EQ(left, 0u);
    long delivered = 0;
    EXPECT_EQ(dropped->GetNumNotDropped(&delivered), S_OK);
    EXPECT_GT(delivered, 0);
}

TEST_F(Streaming, UnplugSendsDeviceLostAndStopsDelivery) {
    ASSERT_TRUE(SUCCEEDED(graph.RenderCapture(MEDIATYPE_Video)));
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_TRUE(FramesArrive(2));
    SetControlDword(simdev::kValUnplugged, 1);
    LONG_PTR which = 0;
    ASSERT_TRUE(graph.WaitForEvent(EC_DEVICE_LOST, 3000, &which));
    EXPECT_EQ(reinterpret_cast<IUnknown*>(which), Query<IUnknown>(device.Get(), IID_IUnknown).Get());
    Sleep(100);
    const long count = graph.counter.Count();
    Sleep(400);
    EXPECT_EQ(graph.counter.Count(), count);
}

}  // namespace
}  // namespace simdev_test
