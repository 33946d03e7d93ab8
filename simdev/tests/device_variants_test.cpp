// Device variants and faults for the program's tests: crossbars without composite or with S-Video
// alone, a crossbar that refuses a route, failing property pages, a device that has gone, the
// webcam's camera controls and a short press of the snapshot button.
#include "simdev/tests/device_fixture.h"

namespace simdev_test {
namespace {

const HRESULT kGone = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);

class Variants : public DeviceTest {
protected:
    // Binds the video device (after the control values are written) and puts it in a graph, where
    // it brings its crossbar.
    void Open() {
        device = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
        ASSERT_TRUE(device);
        ASSERT_TRUE(graph.AddDevice(device.Get()));
        ASSERT_EQ(graph.builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, device.Get(), IID_IAMCrossbar,
                                               crossbar.PutVoid()),
                  S_OK);
    }
    std::vector<long> InputTypes() {
        long outputs = 0, inputs = 0;
        crossbar->get_PinCounts(&outputs, &inputs);
        std::vector<long> types;
        for (long i = 0; i < inputs; ++i) {
            long related = 0, type = 0;
            crossbar->get_CrossbarPinInfo(TRUE, i, &related, &type);
            types.push_back(type);
        }
        return types;
    }
    long RoutedType(long output) {
        long input = -1, related = 0, type = 0;
        crossbar->get_IsRoutedTo(output, &input);
        crossbar->get_CrossbarPinInfo(TRUE, input, &related, &type);
        return type;
    }
    Graph graph;
    ComPtr<IBaseFilter> device;
    ComPtr<IAMCrossbar> crossbar;
};

TEST_F(Variants, CrossbarWithoutComposite) {
    SetControlString(simdev::kValCrossbar, L"nocomposite");
    Open();
    EXPECT_EQ(InputTypes(), (std::vector<long>{PhysConn_Video_Tuner, PhysConn_Video_SVideo, PhysConn_Audio_Tuner,
                                               PhysConn_Audio_Line, PhysConn_Audio_Mic}));
    // S-Video and the line input are routed at power-on.
    EXPECT_EQ(RoutedType(0), PhysConn_Video_SVideo);
    EXPECT_EQ(RoutedType(1), PhysConn_Audio_Line);
    long related = -1, type = 0;
    ASSERT_EQ(crossbar->get_CrossbarPinInfo(TRUE, 0, &related, &type), S_OK);
    EXPECT_EQ(related, 2);  // the tuner's sound
}

TEST_F(Variants, CrossbarWithSVideoAlone) {
    SetControlString(simdev::kValCrossbar, L"svideo");
    Open();
    EXPECT_EQ(InputTypes(), (std::vector<long>{PhysConn_Video_SVideo, PhysConn_Audio_Line, PhysConn_Audio_Mic}));
    EXPECT_EQ(RoutedType(0), PhysConn_Video_SVideo);
}

TEST_F(Variants, CrossbarRefusingARoute) {
    SetControlDword(simdev::kValRefuseRoute, PhysConn_Video_SVideo);
    Open();
    EXPECT_EQ(crossbar->CanRoute(0, 2), S_OK);
    EXPECT_EQ(crossbar->Route(0, 2), E_FAIL);
    EXPECT_EQ(RoutedType(0), PhysConn_Video_Composite);
    EXPECT_EQ(crossbar->Route(0, 0), S_OK);
}

TEST_F(Variants, FailingPropertyPages) {
    Open();
    SetControlDword(simdev::kValFailPages, 1);
    CAUUID pages{};
    EXPECT_EQ(Query<ISpecifyPropertyPages>(device.Get(), IID_ISpecifyPropertyPages)->GetPages(&pages), E_FAIL);
    EXPECT_EQ(Query<ISpecifyPropertyPages>(crossbar.Get(), IID_ISpecifyPropertyPages)->GetPages(&pages), E_FAIL);
    EXPECT_EQ(Query<ISpecifyPropertyPages>(FindPin(device.Get(), PINDIR_OUTPUT).Get(), IID_ISpecifyPropertyPages)
                  ->GetPages(&pages),
              E_FAIL);
}

TEST_F(Variants, ControlsOfAGoneDeviceFail) {
    Open();
    ComPtr<IAMTVTuner> tuner = Query<IAMTVTuner>(device.Get(), IID_IAMTVTuner);
    ComPtr<IAMAnalogVideoDecoder> decoder = Query<IAMAnalogVideoDecoder>(device.Get(), IID_IAMAnalogVideoDecoder);
    ComPtr<IAMVideoProcAmp> amp = Query<IAMVideoProcAmp>(device.Get(), IID_IAMVideoProcAmp);
    ComPtr<IVexaDeviceProperties> vendor = Query<IVexaDeviceProperties>(device.Get(), IID_IVexaDeviceProperties);
    SetControlDword(simdev::kValUnplugged, 1);
    long value = 0, flags = 0;
    DWORD select = (12u << 8) | 1;
    EXPECT_EQ(tuner->put_Channel(5, -1, -1), kGone);
    EXPECT_EQ(decoder->put_TVFormat(AnalogVideo_PAL_B), kGone);
    EXPECT_EQ(amp->Get(VideoProcAmp_Brightness, &value, &flags), kGone);
    EXPECT_EQ(vendor->SetProperty(simdev::kPropRegisterSelect, &select), kGone);
    EXPECT_EQ(crossbar->Route(0, 2), kGone);
    SetControlDword(simdev::kValUnplugged, 0);
    EXPECT_EQ(tuner->put_Channel(5, -1, -1), S_OK);
    EXPECT_EQ(amp->Get(VideoProcAmp_Brightness, &value, &flags), S_OK);
}

TEST_F(Variants, ShortPressOfTheSnapshotButton) {
    Open();
    ComPtr<IVexaDeviceProperties> vendor = Query<IVexaDeviceProperties>(device.Get(), IID_IVexaDeviceProperties);
    auto read12 = [&] {
        DWORD select = (12u << 8) | 1;
        BYTE v = 0;
        vendor->SetProperty(simdev::kPropRegisterSelect, &select);
        vendor->GetProperty(simdev::kPropRegisterData, &v);
        return v;
    };
    SetControlDword(simdev::kValButtonPulse, 1);
    EXPECT_EQ(read12() & 0x20, 0x20);  // the button is up again, the press is kept
    DWORD pulse = 1;
    ASSERT_TRUE(ReadControlDword(simdev::kValButtonPulse, pulse));
    EXPECT_EQ(pulse, 0u);  // taken
    EXPECT_EQ(read12() & 0x20, 0x20);
    BYTE clear = 0;
    vendor->SetProperty(simdev::kPropRegisterData, &clear);
    EXPECT_EQ(read12() & 0x20, 0);
}

TEST_F(Variants, TvBoxHasNoCameraControls) {
    Open();
    ComPtr<IVexaDeviceProperties> vendor = Query<IVexaDeviceProperties>(device.Get(), IID_IVexaDeviceProperties);
    LONG value = 0;
    EXPECT_EQ(vendor->GetProperty(32, &value), E_PROP_ID_UNSUPPORTED);
}

class WebcamControls : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_TRUE(Reregister(L"webcam", L"USB Vexa20 Camera", nullptr));
    }
    void TearDown() override {
        RestoreDefaultRegistration();
        DeviceTest::TearDown();
    }
};

TEST_F(WebcamControls, PrivateIdsAndExposureInThePicture) {
    ComPtr<IBaseFilter> camera = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa20 Camera");
    ASSERT_TRUE(camera);
    ComPtr<IVexaDeviceProperties> vendor = Query<IVexaDeviceProperties>(camera.Get(), IID_IVexaDeviceProperties);
    ASSERT_TRUE(vendor);
    auto get = [&](DWORD id) {
        LONG v = -1;
        EXPECT_EQ(vendor->GetProperty(id, &v), S_OK) << id;
        return v;
    };
    EXPECT_EQ(get(32), 1);
    EXPECT_EQ(get(0x1004), 255);
    EXPECT_EQ(get(0x1003), 1000);
    EXPECT_EQ(get(33), 128);
    LONG light = 2, tooBig = 3, maxWrite = 5;
    EXPECT_EQ(vendor->SetProperty(35, &light), S_OK);
    EXPECT_EQ(get(35), 2);
    EXPECT_EQ(vendor->SetProperty(36, &tooBig), E_INVALIDARG);
    EXPECT_EQ(vendor->SetProperty(0x1004, &maxWrite), E_ACCESSDENIED);

    Graph g;
    ASSERT_TRUE(g.AddDevice(camera.Get()));
    ASSERT_TRUE(SUCCEEDED(g.RenderCapture(MEDIATYPE_Video)));
    ASSERT_TRUE(SUCCEEDED(g.Run()));
    auto meanLuma = [&] {
        Sleep(150);
        long n = g.counter.Count();
        WaitUntil([&] { return g.counter.Count() >= n + 2; }, 3000);
        std::vector<uint8_t> frame;
        g.Frame(frame);
        double sum = 0;
        for (int y = 100; y < 300; y += 4)
            for (int x = 40; x < 600; x += 4) sum += g.Luma(frame, x, y);
        return sum / (50.0 * 140.0);
    };
    double normal = meanLuma();
    LONG brighter = 230;
    ASSERT_EQ(vendor->SetProperty(33, &brighter), S_OK);
    EXPECT_GT(meanLuma(), normal + 20);
    LONG manual = 0, dim = 150;
    ASSERT_EQ(vendor->SetProperty(32, &manual), S_OK);
    ASSERT_EQ(vendor->SetProperty(34, &dim), S_OK);
    EXPECT_LT(meanLuma(), normal - 20);
    g.Stop();
}

}  // namespace
}  // namespace simdev_test
