// The audio device: PCM capture through the capture graph builder, its stream capabilities, its
// mixer, and the sound following the video device's routing and tuner.
#include "simdev/tests/device_fixture.h"

#include <cmath>

namespace simdev_test {
namespace {

class AudioDevice : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        audio = BindDevice(CLSID_AudioInputDeviceCategory, L"USB Vexa Audio Device");
        ASSERT_TRUE(audio);
    }
    ComPtr<IBaseFilter> audio;
};

int CountCrossings(const std::vector<uint8_t>& pcm) {
    const auto* s = reinterpret_cast<const int16_t*>(pcm.data());
    const size_t frames = pcm.size() / 4;
    int n = 0;
    for (size_t i = 1; i < frames; ++i) n += (s[2 * (i - 1)] < 0) != (s[2 * i] < 0);
    return n;
}

TEST_F(AudioDevice, InterfacesAndCapabilities) {
    EXPECT_TRUE(Query<IAMAudioInputMixer>(audio.Get(), IID_IAMAudioInputMixer));
    EXPECT_EQ(Query<IAMFilterMiscFlags>(audio.Get(), IID_IAMFilterMiscFlags)->GetMiscFlags(),
              static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_SOURCE));
    ComPtr<IPin> pin = FindPin(audio.Get(), PINDIR_OUTPUT);
    GUID category = GUID_NULL;
    DWORD returned = 0;
    ASSERT_EQ(Query<IKsPropertySet>(pin.Get(), IID_IKsPropertySet)
                  ->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, sizeof(category), &returned),
              S_OK);
    EXPECT_EQ(category, PIN_CATEGORY_CAPTURE);
    ComPtr<IAMStreamConfig> config = Query<IAMStreamConfig>(pin.Get(), IID_IAMStreamConfig);
    int count = 0, size = 0;
    ASSERT_EQ(config->GetNumberOfCapabilities(&count, &size), S_OK);
    EXPECT_EQ(count, 14);
    EXPECT_EQ(size, static_cast<int>(sizeof(AUDIO_STREAM_CONFIG_CAPS)));
    AM_MEDIA_TYPE* mt = nullptr;
    ASSERT_EQ(config->GetFormat(&mt), S_OK);
    const auto* wfx = reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat);
    EXPECT_EQ(wfx->nSamplesPerSec, 48000u);
    EXPECT_EQ(wfx->nChannels, 2);
    EXPECT_EQ(wfx->wBitsPerSample, 16);
    CoTaskMemFree(mt->pbFormat);
    CoTaskMemFree(mt);

    ComPtr<IAMAudioInputMixer> mixer = Query<IAMAudioInputMixer>(audio.Get(), IID_IAMAudioInputMixer);
    double level = 0;
    EXPECT_EQ(mixer->put_MixLevel(0.5), S_OK);
    EXPECT_EQ(mixer->get_MixLevel(&level), S_OK);
    EXPECT_DOUBLE_EQ(level, 0.5);
    EXPECT_EQ(mixer->put_MixLevel(1.5), E_INVALIDARG);
    BOOL enabled = FALSE;
    EXPECT_EQ(mixer->get_Enable(&enabled), S_OK);
    EXPECT_TRUE(enabled);
}

TEST_F(AudioDevice, CapturesAToneThatFollowsTheTuner) {
    SetControlString(simdev::kValSignalChannels, L"10");
    // The video half of the device decides what the audio half hears; a fresh one routes the line input.
    ComPtr<IBaseFilter> video = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
    Graph g;
    ASSERT_TRUE(g.AddDevice(audio.Get(), L"Audio"));
    ASSERT_TRUE(SUCCEEDED(g.RenderCapture(MEDIATYPE_Audio)));
    ASSERT_TRUE(SUCCEEDED(g.Run()));
    ASSERT_TRUE(WaitUntil([&] { return g.counter.Count() >= 5; }, 5000));
    std::vector<uint8_t> block;
    ASSERT_TRUE(g.Frame(block));
    ASSERT_EQ(block.size(), 1920u * 4);  // 40 ms of 48 kHz stereo
    // Line input: 440 Hz gives about 35 crossings in 40 ms.
    EXPECT_NEAR(CountCrossings(block), 35, 4);
    std::vector<REFERENCE_TIME> starts = g.counter.Starts();
    for (size_t i = 1; i < starts.size(); ++i) EXPECT_EQ(starts[i] - starts[i - 1], 400000);

    // Route the tuner's sound on the video device and tune a channel with a programme.
    ASSERT_TRUE(g.AddDevice(video.Get(), L"Video"));
    ComPtr<IAMCrossbar> crossbar;
    ASSERT_EQ(g.builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, video.Get(), IID_IAMCrossbar, crossbar.PutVoid()),
              S_OK);
    ASSERT_EQ(crossbar->Route(1, 3), S_OK);
    ASSERT_EQ(Query<IAMTVTuner>(video.Get(), IID_IAMTVTuner)->put_Channel(10, -1, -1), S_OK);
    Sleep(200);
    ASSERT_TRUE(g.Frame(block));
    // Channel 10 sounds at 550 Hz: about 44 crossings in 40 ms.
    EXPECT_NEAR(CountCrossings(block), 44, 4);
    g.Stop();
}

}  // namespace
}  // namespace simdev_test
