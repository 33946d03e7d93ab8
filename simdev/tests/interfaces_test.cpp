// Every interface of the video device and its crossbar, queried and exercised on a bound filter;
// the register interface with the snapshot button; references back to zero and the DLL unloadable.
#include "simdev/tests/device_fixture.h"

namespace simdev_test {
namespace {

class Interfaces : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        device = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
        ASSERT_TRUE(device);
    }
    ComPtr<IBaseFilter> device;
};

TEST_F(Interfaces, FilterAnswersEveryInterfaceOfTheTvBox) {
    const IID* iids[] = {&IID_IBaseFilter, &IID_IMediaFilter, &IID_IPersist, &IID_IAMFilterMiscFlags,
                         &IID_IAMVideoProcAmp, &IID_IAMAnalogVideoDecoder, &IID_IAMTVTuner, &IID_IAMTuner,
                         &IID_IAMTVAudio, &IID_ISpecifyPropertyPages, &IID_IVexaDeviceProperties};
    for (const IID* iid : iids) EXPECT_TRUE(Query<IUnknown>(device.Get(), *iid)) << "interface missing";
    EXPECT_FALSE(Query<IUnknown>(device.Get(), IID_IAMCrossbar));
    // One identity whatever interface it is reached through.
    EXPECT_EQ(Query<IUnknown>(Query<IAMTVTuner>(device.Get(), IID_IAMTVTuner).Get(), IID_IUnknown).Get(),
              Query<IUnknown>(device.Get(), IID_IUnknown).Get());
    CLSID clsid;
    EXPECT_EQ(device->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_SimVideoCapture);
    EXPECT_EQ(Query<IAMFilterMiscFlags>(device.Get(), IID_IAMFilterMiscFlags)->GetMiscFlags(),
              static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_SOURCE));
}

TEST_F(Interfaces, PinsReportTheirCategories) {
    ComPtr<IPin> capture = FindPin(device.Get(), PINDIR_OUTPUT);
    ComPtr<IPin> analog = FindPin(device.Get(), PINDIR_INPUT);
    ASSERT_TRUE(capture);
    ASSERT_TRUE(analog);
    auto category = [](IPin* pin) {
        GUID g = GUID_NULL;
        DWORD returned = 0;
        ComPtr<IKsPropertySet> ks = Query<IKsPropertySet>(pin, IID_IKsPropertySet);
        if (ks) ks->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &g, sizeof(g), &returned);
        return g;
    };
    EXPECT_EQ(category(capture.Get()), PIN_CATEGORY_CAPTURE);
    EXPECT_EQ(category(analog.Get()), PIN_CATEGORY_ANALOGVIDEOIN);
    for (const IID* iid : {&IID_IAMStreamConfig, &IID_IAMDroppedFrames, &IID_ISpecifyPropertyPages})
        EXPECT_TRUE(Query<IUnknown>(capture.Get(), *iid));
    DWORD support = 0;
    EXPECT_EQ(Query<IKsPropertySet>(capture.Get(), IID_IKsPropertySet)
                  ->QuerySupported(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, &support),
              S_OK);
    EXPECT_EQ(support, static_cast<DWORD>(KSPROPERTY_SUPPORT_GET));
    ComPtr<IPin> found;
    EXPECT_EQ(device->FindPin(L"Capture", found.Put()), S_OK);
    EXPECT_EQ(found.Get(), capture.Get());
}

TEST_F(Interfaces, StreamConfigOffersSevenSizesInEachFormat) {
    ComPtr<IAMStreamConfig> config = Query<IAMStreamConfig>(FindPin(device.Get(), PINDIR_OUTPUT).Get(),
                                                            IID_IAMStreamConfig);
    int count = 0, size = 0;
    ASSERT_EQ(config->GetNumberOfCapabilities(&count, &size), S_OK);
    EXPECT_EQ(count, 21);
    EXPECT_EQ(size, static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS)));
    const int sizes[7][2] = {{160, 120}, {176, 144}, {320, 240}, {352, 240}, {352, 288}, {640, 480}, {720, 480}};
    for (int i = 0; i < count; ++i) {
        AM_MEDIA_TYPE* mt = nullptr;
        VIDEO_STREAM_CONFIG_CAPS caps;
        ASSERT_EQ(config->GetStreamCaps(i, &mt, reinterpret_cast<BYTE*>(&caps)), S_OK);
        const auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat);
        EXPECT_EQ(vih->bmiHeader.biWidth, sizes[i % 7][0]);
        EXPECT_EQ(vih->bmiHeader.biHeight, sizes[i % 7][1]);
        EXPECT_EQ(vih->AvgTimePerFrame, 333333);
        EXPECT_EQ(mt->subtype.Data1, i < 7 ? MEDIASUBTYPE_YUY2.Data1 : (i < 14 ? MAKEFOURCC('I', '4', '2', '0') : MEDIASUBTYPE_RGB24.Data1));
        EXPECT_EQ(caps.MaxOutputSize.cx, sizes[i % 7][0]);
        EXPECT_EQ(caps.MinFrameInterval, 333333);
        CoTaskMemFree(mt->pbFormat);
        CoTaskMemFree(mt);
    }
    AM_MEDIA_TYPE* mt = nullptr;
    ASSERT_EQ(config->GetFormat(&mt), S_OK);
    EXPECT_EQ(mt->subtype, MEDIASUBTYPE_YUY2);
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat)->bmiHeader.biWidth, 640);
    // Sizes the device does not have are refused, as a kernel-streaming pin refuses them.
    reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat)->bmiHeader.biWidth = 800;
    EXPECT_EQ(config->SetFormat(mt), E_FAIL);
    CoTaskMemFree(mt->pbFormat);
    CoTaskMemFree(mt);
    // Media type enumeration offers the current format first.
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(FindPin(device.Get(), PINDIR_OUTPUT)->EnumMediaTypes(types.Put()), S_OK);
    AM_MEDIA_TYPE* first = nullptr;
    ASSERT_EQ(types->Next(1, &first, nullptr), S_OK);
    EXPECT_EQ(first->subtype, MEDIASUBTYPE_YUY2);
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(first->pbFormat)->bmiHeader.biHeight, 480);
    CoTaskMemFree(first->pbFormat);
    CoTaskMemFree(first);
}

// The capture pin follows a kernel-streaming pin: a format set is the only one offered afterwards;
// other major types and sizes fail with E_FAIL; a format without bit count and compression takes
// them from the current one; the capabilities end with S_FALSE.
TEST_F(Interfaces, StreamConfigFollowsAKernelStreamingPin) {
    ComPtr<IPin> pin = FindPin(device.Get(), PINDIR_OUTPUT);
    ComPtr<IAMStreamConfig> config = Query<IAMStreamConfig>(pin.Get(), IID_IAMStreamConfig);
    auto typeCount = [&] {
        ComPtr<IEnumMediaTypes> types;
        pin->EnumMediaTypes(types.Put());
        int n = 0;
        AM_MEDIA_TYPE* mt = nullptr;
        while (types->Next(1, &mt, nullptr) == S_OK) {
            ++n;
            CoTaskMemFree(mt->pbFormat);
            CoTaskMemFree(mt);
        }
        return n;
    };
    EXPECT_GT(typeCount(), 20);
    AM_MEDIA_TYPE* mt = nullptr;
    VIDEO_STREAM_CONFIG_CAPS caps;
    EXPECT_EQ(config->GetStreamCaps(21, &mt, reinterpret_cast<BYTE*>(&caps)), S_FALSE);
    ASSERT_EQ(config->GetStreamCaps(2, &mt, reinterpret_cast<BYTE*>(&caps)), S_OK);  // YUY2 320 x 240
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat);
    // Size only: bit count and compression come from the current format (YUY2).
    vih->bmiHeader.biBitCount = 0;
    vih->bmiHeader.biCompression = 0;
    mt->subtype = GUID_NULL;
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    EXPECT_EQ(typeCount(), 1);
    AM_MEDIA_TYPE* now = nullptr;
    ASSERT_EQ(config->GetFormat(&now), S_OK);
    EXPECT_EQ(now->subtype, MEDIASUBTYPE_YUY2);
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(now->pbFormat)->bmiHeader.biWidth, 320);
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(now->pbFormat)->bmiHeader.biBitCount, 16);
    CoTaskMemFree(now->pbFormat);
    CoTaskMemFree(now);
    // Another major type.
    mt->majortype = MEDIATYPE_Audio;
    EXPECT_EQ(config->SetFormat(mt), E_FAIL);
    CoTaskMemFree(mt->pbFormat);
    CoTaskMemFree(mt);
    // No format: every capability again.
    ASSERT_EQ(config->SetFormat(nullptr), S_OK);
    EXPECT_GT(typeCount(), 20);
}

TEST_F(Interfaces, ProcAmpRangesAndValues) {
    ComPtr<IAMVideoProcAmp> amp = Query<IAMVideoProcAmp>(device.Get(), IID_IAMVideoProcAmp);
    long min, max, step, def, caps, value, flags;
    ASSERT_EQ(amp->GetRange(VideoProcAmp_Brightness, &min, &max, &step, &def, &caps), S_OK);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 255);
    EXPECT_EQ(def, 128);
    ASSERT_EQ(amp->GetRange(VideoProcAmp_Saturation, &min, &max, &step, &def, &caps), S_OK);
    EXPECT_EQ(max, 200);
    EXPECT_EQ(amp->GetRange(VideoProcAmp_Hue, &min, &max, &step, &def, &caps), E_PROP_ID_UNSUPPORTED);
    EXPECT_EQ(amp->Set(VideoProcAmp_Contrast, 150, VideoProcAmp_Flags_Manual), S_OK);
    EXPECT_EQ(amp->Get(VideoProcAmp_Contrast, &value, &flags), S_OK);
    EXPECT_EQ(value, 150);
    EXPECT_EQ(amp->Set(VideoProcAmp_Contrast, 201, VideoProcAmp_Flags_Manual), E_INVALIDARG);
}

TEST_F(Interfaces, DecoderStandards) {
    ComPtr<IAMAnalogVideoDecoder> decoder = Query<IAMAnalogVideoDecoder>(device.Get(), IID_IAMAnalogVideoDecoder);
    long available = 0, standard = 0, lines = 0;
    ASSERT_EQ(decoder->get_AvailableTVFormats(&available), S_OK);
    EXPECT_TRUE(available & AnalogVideo_NTSC_M);
    EXPECT_TRUE(available & AnalogVideo_PAL_B);
    EXPECT_FALSE(available & AnalogVideo_SECAM_K1);
    EXPECT_EQ(decoder->get_TVFormat(&standard), S_OK);
    EXPECT_EQ(standard, AnalogVideo_NTSC_M);
    EXPECT_EQ(decoder->get_NumberOfLines(&lines), S_OK);
    EXPECT_EQ(lines, 525);
    EXPECT_EQ(decoder->put_TVFormat(AnalogVideo_PAL_B), S_OK);
    EXPECT_EQ(decoder->get_NumberOfLines(&lines), S_OK);
    EXPECT_EQ(lines, 625);
    EXPECT_EQ(decoder->put_TVFormat(AnalogVideo_SECAM_K1), E_INVALIDARG);
    EXPECT_EQ(decoder->put_TVFormat(AnalogVideo_PAL_B | AnalogVideo_PAL_D), E_INVALIDARG);
}

TEST_F(Interfaces, StandardsCanBeNarrowedForTests) {
    SetControlDword(simdev::kValStandards, AnalogVideo_PAL_B | AnalogVideo_SECAM_L);
    ComPtr<IBaseFilter> narrow = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
    long available = 0, standard = 0;
    ComPtr<IAMAnalogVideoDecoder> decoder = Query<IAMAnalogVideoDecoder>(narrow.Get(), IID_IAMAnalogVideoDecoder);
    decoder->get_AvailableTVFormats(&available);
    decoder->get_TVFormat(&standard);
    EXPECT_EQ(available, AnalogVideo_PAL_B | AnalogVideo_SECAM_L);
    EXPECT_EQ(standard, AnalogVideo_PAL_B);
}

TEST_F(Interfaces, TunerChannelsInputsAndSignal) {
    SetControlString(simdev::kValSignalChannels, L"3,5-6");
    ComPtr<IBaseFilter> fresh = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
    ComPtr<IAMTVTuner> tuner = Query<IAMTVTuner>(fresh.Get(), IID_IAMTVTuner);
    ASSERT_TRUE(tuner);
    LONG min = 0, max = 0, channel = 0, video = 0, audio = 0, signal = -5, country = 0;
    TunerInputType type;
    ASSERT_EQ(tuner->ChannelMinMax(&min, &max), S_OK);
    EXPECT_EQ(min, 1);
    EXPECT_EQ(max, 125);
    ASSERT_EQ(tuner->put_InputType(0, TunerInputAntenna), S_OK);
    ASSERT_EQ(tuner->get_InputType(0, &type), S_OK);
    EXPECT_EQ(type, TunerInputAntenna);
    ASSERT_EQ(tuner->ChannelMinMax(&min, &max), S_OK);
    EXPECT_EQ(min, 2);
    EXPECT_EQ(max, 69);
    EXPECT_EQ(tuner->put_Channel(70, -1, -1), E_INVALIDARG);
    ASSERT_EQ(tuner->put_Channel(5, -1, -1), S_OK);
    ASSERT_EQ(tuner->get_Channel(&channel, &video, &audio), S_OK);
    EXPECT_EQ(channel, 5);
    ASSERT_EQ(tuner->SignalPresent(&signal), S_OK);
    EXPECT_EQ(signal, AMTUNER_SIGNALPRESENT);
    ASSERT_EQ(tuner->put_Channel(4, -1, -1), S_OK);
    ASSERT_EQ(tuner->SignalPresent(&signal), S_OK);
    EXPECT_EQ(signal, AMTUNER_NOSIGNAL);
    ASSERT_EQ(tuner->AutoTune(3, &signal), S_OK);
    EXPECT_EQ(signal, AMTUNER_SIGNALPRESENT);
    EXPECT_EQ(tuner->StoreAutoTune(), S_OK);
    EXPECT_EQ(tuner->put_CountryCode(44), S_OK);
    EXPECT_EQ(tuner->get_CountryCode(&country), S_OK);
    EXPECT_EQ(country, 44);
    ComPtr<IAMTVAudio> tvAudio = Query<IAMTVAudio>(fresh.Get(), IID_IAMTVAudio);
    long modes = 0, mode = 0;
    EXPECT_EQ(tvAudio->GetHardwareSupportedTVAudioModes(&modes), S_OK);
    EXPECT_TRUE(modes & AMTVAUDIO_MODE_STEREO);
    EXPECT_EQ(tvAudio->put_TVAudioMode(AMTVAUDIO_MODE_LANG_B), S_OK);
    EXPECT_EQ(tvAudio->get_TVAudioMode(&mode), S_OK);
    EXPECT_EQ(mode, AMTVAUDIO_MODE_LANG_B);
}

TEST_F(Interfaces, CrossbarRoutingAndPinInfo) {
    Graph g;
    ASSERT_TRUE(g.AddDevice(device.Get()));
    ComPtr<IAMCrossbar> crossbar;
    ASSERT_EQ(g.builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, device.Get(), IID_IAMCrossbar, crossbar.PutVoid()),
              S_OK);
    long outputs = 0, inputs = 0;
    ASSERT_EQ(crossbar->get_PinCounts(&outputs, &inputs), S_OK);
    EXPECT_EQ(outputs, 2);
    EXPECT_EQ(inputs, 6);
    const long expected[6] = {PhysConn_Video_Tuner, PhysConn_Video_Composite, PhysConn_Video_SVideo,
                              PhysConn_Audio_Tuner, PhysConn_Audio_Line,      PhysConn_Audio_Mic};
    for (long i = 0; i < 6; ++i) {
        long related = -1, type = 0;
        ASSERT_EQ(crossbar->get_CrossbarPinInfo(TRUE, i, &related, &type), S_OK);
        EXPECT_EQ(type, expected[i]);
        long relatedType = 0, back = 0;
        ASSERT_EQ(crossbar->get_CrossbarPinInfo(TRUE, related, &back, &relatedType), S_OK);
        EXPECT_NE(relatedType >= 0x1000, type >= 0x1000) << "related pin of the other kind";
        EXPECT_EQ(crossbar->CanRoute(i < 3 ? 0 : 1, i), S_OK);
        EXPECT_EQ(crossbar->CanRoute(i < 3 ? 1 : 0, i), S_FALSE);
    }
    long routed = -1;
    EXPECT_EQ(crossbar->get_IsRoutedTo(0, &routed), S_OK);
    EXPECT_EQ(routed, 1);
    EXPECT_EQ(crossbar->Route(0, 2), S_OK);
    EXPECT_EQ(crossbar->Route(1, 3), S_OK);
    EXPECT_EQ(crossbar->Route(0, 4), E_INVALIDARG);
    crossbar->get_IsRoutedTo(0, &routed);
    EXPECT_EQ(routed, 2);
    crossbar->get_IsRoutedTo(1, &routed);
    EXPECT_EQ(routed, 3);
    EXPECT_TRUE(Query<ISpecifyPropertyPages>(crossbar.Get(), IID_ISpecifyPropertyPages));
}

// Register 12, bit 0x20: the snapshot button, driven from the control key.
class SnapshotButton : public Interfaces {
protected:
    HRESULT Read12(BYTE& value) {
        DWORD select = (12u << 8) | 1;
        HRESULT hr = vendor->SetProperty(simdev::kPropRegisterSelect, &select);
        if (SUCCEEDED(hr)) hr = vendor->GetProperty(simdev::kPropRegisterData, &value);
        DWORD none = 0;
        vendor->SetProperty(simdev::kPropRegisterSelect, &none);
        return hr;
    }
    HRESULT Write12(BYTE value) {
        DWORD select = (12u << 8) | 1;
        HRESULT hr = vendor->SetProperty(simdev::kPropRegisterSelect, &select);
        if (SUCCEEDED(hr)) hr = vendor->SetProperty(simdev::kPropRegisterData, &value);
        return hr;
    }
    void SetUp() override {
        Interfaces::SetUp();
        vendor = Query<IVexaDeviceProperties>(device.Get(), IID_IVexaDeviceProperties);
        ASSERT_TRUE(vendor);
    }
    ComPtr<IVexaDeviceProperties> vendor;
};

TEST_F(SnapshotButton, PressIsVisibleUntilWrittenBack) {
    BYTE v = 0xFF;
    ASSERT_EQ(Read12(v), S_OK);
    EXPECT_EQ(v & 0x20, 0);
    SetControlDword(simdev::kValButton, 1);
    ASSERT_EQ(Read12(v), S_OK);
    EXPECT_EQ(v & 0x20, 0x20);
    ASSERT_EQ(Read12(v), S_OK);
    EXPECT_EQ(v & 0x20, 0x20);
    ASSERT_EQ(Write12(static_cast<BYTE>(v & ~0x20)), S_OK);
    ASSERT_EQ(Read12(v), S_OK);
    EXPECT_EQ(v & 0x20, 0);  // acknowledged while still held
    SetControlDword(simdev::kValButton, 0);
    ASSERT_EQ(Read12(v), S_OK);
    SetControlDword(simdev::kValButton, 1);
    ASSERT_EQ(Read12(v), S_OK);
    EXPECT_EQ(v & 0x20, 0x20);  // the next press
    SetControlDword(simdev::kValButton, 0);
    ASSERT_EQ(Read12(v), S_OK);
    EXPECT_EQ(v & 0x20, 0);  // released before it was seen
}

TEST_F(SnapshotButton, SelectionProtocol) {
    BYTE v = 0;
    DWORD none = 0;
    ASSERT_EQ(vendor->SetProperty(simdev::kPropRegisterSelect, &none), S_OK);
    EXPECT_TRUE(FAILED(vendor->GetProperty(simdev::kPropRegisterData, &v)));
    DWORD tooFar = (255u << 8) | 4;
    EXPECT_TRUE(FAILED(vendor->SetProperty(simdev::kPropRegisterSelect, &tooFar)));
    EXPECT_EQ(vendor->SetProperty(0x1234, &v), E_PROP_ID_UNSUPPORTED);
    EXPECT_EQ(vendor->SetProperty(simdev::kPropRegisterSelect, nullptr), E_POINTER);
    // Several bytes at once.
    DWORD select = (100u << 8) | 2;
    BYTE two[2] = {0x12, 0x34}, back[2] = {};
    ASSERT_EQ(vendor->SetProperty(simdev::kPropRegisterSelect, &select), S_OK);
    ASSERT_EQ(vendor->SetProperty(simdev::kPropRegisterData, two), S_OK);
    ASSERT_EQ(vendor->GetProperty(simdev::kPropRegisterData, back), S_OK);
    EXPECT_EQ(back[1], 0x34);
    DWORD word = 0;
    ASSERT_EQ(vendor->GetProperty(simdev::kPropRegisterSelect, &word), S_OK);
    EXPECT_EQ(word, select);
}

// Through the vtable slots the program uses: after IUnknown, slot 2 sets and slot 3 gets.
TEST_F(SnapshotButton, VtableSlotsAreSetThenGet) {
    using Method = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD, void*);
    void** vtable = *reinterpret_cast<void***>(vendor.Get());
    auto set = reinterpret_cast<Method>(vtable[3 + 1]);
    auto get = reinterpret_cast<Method>(vtable[3 + 2]);
    DWORD select = (12u << 8) | 1;
    BYTE v = 0;
    SetControlDword(simdev::kValButton, 1);
    ASSERT_EQ(set(vendor.Get(), simdev::kPropRegisterSelect, &select), S_OK);
    ASSERT_EQ(get(vendor.Get(), simdev::kPropRegisterData, &v), S_OK);
    EXPECT_EQ(v & 0x20, 0x20);
}

TEST(Lifetime, EverythingIsReleasedAndTheDllCanUnload) {
    ResetRuntimeControl();
    {
        ComPtr<IBaseFilter> video = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
        ComPtr<IBaseFilter> audio = BindDevice(CLSID_AudioInputDeviceCategory, L"USB Vexa Audio Device");
        ASSERT_TRUE(video);
        ASSERT_TRUE(audio);
        {
            Graph g;
            ASSERT_TRUE(g.AddDevice(video.Get(), L"Video"));
            ASSERT_TRUE(g.AddDevice(audio.Get(), L"Audio"));
            ASSERT_TRUE(SUCCEEDED(g.RenderCapture(MEDIATYPE_Video)));
            ASSERT_TRUE(SUCCEEDED(g.Run()));
            EXPECT_TRUE(WaitUntil([&] { return g.counter.Count() >= 2; }, 5000));
            g.Stop();
        }
        EXPECT_EQ(SimulatorCanUnloadNow(), S_FALSE);
        // Ours are the last references: Release reports zero.
        EXPECT_EQ(video.Detach()->Release(), 0u);
        EXPECT_EQ(audio.Detach()->Release(), 0u);
    }
    EXPECT_EQ(SimulatorCanUnloadNow(), S_OK);

    // A graph released while it still holds a running device lets everything go as well.
    {
        ComPtr<IBaseFilter> video = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
        ComPtr<IGraphBuilder> graph;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.PutVoid()),
                  S_OK);
        ASSERT_EQ(graph->AddFilter(video.Get(), L"Video"), S_OK);
        video.Reset();
        ComPtr<IMediaControl> control;
        graph->QueryInterface(IID_IMediaControl, control.PutVoid());
        control->Run();
        Sleep(100);
        control.Reset();
        EXPECT_EQ(graph.Detach()->Release(), 0u);
    }
    EXPECT_EQ(SimulatorCanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace simdev_test
