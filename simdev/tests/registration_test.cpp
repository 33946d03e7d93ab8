// Registration with regsvr32: categories, names chosen through the control key, profiles, and
// unregistration that removes exactly what was registered.
#include "simdev/tests/device_fixture.h"

#include <algorithm>

#include "framework/handles.h"

namespace simdev_test {
namespace {

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool ClassRegistered(const GUID& clsid) {
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    lumetra::RegKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + text + L"\\InprocServer32").c_str(), 0,
                         KEY_READ, key.Put()) == ERROR_SUCCESS;
}

class Registration : public DeviceTest {
protected:
    void TearDown() override {
        EXPECT_TRUE(RestoreDefaultRegistration());
        DeviceTest::TearDown();
    }
};

TEST_F(Registration, DefaultNamesInEveryCategory) {
    ASSERT_TRUE(RestoreDefaultRegistration());
    EXPECT_TRUE(Contains(FriendlyNames(CLSID_VideoInputDeviceCategory), kDefaultVideoFriendly));
    EXPECT_TRUE(Contains(FriendlyNames(CLSID_AudioInputDeviceCategory), kDefaultAudioFriendly));
    EXPECT_TRUE(Contains(FriendlyNames(kCategoryKsAudio), kDefaultAudioFriendly));
    EXPECT_TRUE(Contains(FriendlyNames(kCategoryKsAudioDevice), kDefaultAudioFriendly));
    EXPECT_TRUE(ClassRegistered(CLSID_SimVideoCapture));
    EXPECT_TRUE(ClassRegistered(CLSID_SimPicturePage));
    // The names begin with the names the program looks for.
    EXPECT_TRUE(BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video"));
    EXPECT_TRUE(BindDevice(CLSID_AudioInputDeviceCategory, L"USB Vexa Audio Device"));
}

TEST_F(Registration, OtherNameReplacesTheOldOne) {
    ASSERT_TRUE(Reregister(L"grabber", L"USB Vexa31 Video", L"USB Audio Device"));
    const std::vector<std::wstring> video = FriendlyNames(CLSID_VideoInputDeviceCategory);
    EXPECT_TRUE(Contains(video, L"USB Vexa31 Video (simulated)"));
    EXPECT_FALSE(Contains(video, kDefaultVideoFriendly));
    EXPECT_TRUE(Contains(FriendlyNames(kCategoryKsAudio), L"USB Audio Device (simulated)"));
    EXPECT_FALSE(Contains(FriendlyNames(CLSID_AudioInputDeviceCategory), kDefaultAudioFriendly));
}

TEST_F(Registration, SuffixCanBeChosen) {
    SetControlString(simdev::kValNameSuffix, L" (2)");
    ASSERT_TRUE(Reregister(L"tvbox", nullptr, L"USB Audio Device"));
    EXPECT_TRUE(Contains(FriendlyNames(CLSID_VideoInputDeviceCategory), L"USB Vexa40 Video (2)"));
    EXPECT_TRUE(Contains(FriendlyNames(CLSID_AudioInputDeviceCategory), L"USB Audio Device (2)"));
}

TEST_F(Registration, ProfilesDecideInputsAndInterfaces) {
    ASSERT_TRUE(Reregister(L"webcam", L"USB Vexa20 Camera", nullptr));
    {
        ComPtr<IBaseFilter> cam = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa20 Camera");
        ASSERT_TRUE(cam);
        EXPECT_FALSE(FindPin(cam.Get(), PINDIR_INPUT));
        EXPECT_FALSE(Query<IAMAnalogVideoDecoder>(cam.Get(), IID_IAMAnalogVideoDecoder));
        EXPECT_FALSE(Query<IAMTVTuner>(cam.Get(), IID_IAMTVTuner));
        EXPECT_TRUE(Query<IAMVideoProcAmp>(cam.Get(), IID_IAMVideoProcAmp));
        Graph g;
        ASSERT_TRUE(g.AddDevice(cam.Get()));
        ComPtr<IEnumFilters> filters;
        ASSERT_EQ(g.graph->EnumFilters(filters.Put()), S_OK);
        ComPtr<IBaseFilter> f;
        int count = 0;
        while (filters->Next(1, f.Put(), nullptr) == S_OK) ++count;
        EXPECT_EQ(count, 1);  // no crossbar comes along
    }
    ASSERT_TRUE(Reregister(L"grabber", nullptr, nullptr));
    {
        ComPtr<IBaseFilter> grabber = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
        ASSERT_TRUE(grabber);
        EXPECT_TRUE(Query<IAMAnalogVideoDecoder>(grabber.Get(), IID_IAMAnalogVideoDecoder));
        EXPECT_FALSE(Query<IAMTVTuner>(grabber.Get(), IID_IAMTVTuner));
        Graph g;
        ASSERT_TRUE(g.AddDevice(grabber.Get()));
        ComPtr<IAMCrossbar> crossbar;
        ASSERT_EQ(g.builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, grabber.Get(), IID_IAMCrossbar,
                                           crossbar.PutVoid()),
                  S_OK);
        long outputs = 0, inputs = 0;
        crossbar->get_PinCounts(&outputs, &inputs);
        EXPECT_EQ(inputs, 4);
        for (long i = 0; i < inputs; ++i) {
            long related, type;
            crossbar->get_CrossbarPinInfo(TRUE, i, &related, &type);
            EXPECT_NE(type, PhysConn_Video_Tuner);
            EXPECT_NE(type, PhysConn_Audio_Tuner);
        }
    }
}

TEST_F(Registration, UnregisterRemovesEverything) {
    ASSERT_TRUE(Reregister(L"tvbox", L"USB Vexa60 Video", nullptr));
    ASSERT_TRUE(RunRegsvr32(true));
    for (const std::wstring& n : FriendlyNames(CLSID_VideoInputDeviceCategory))
        EXPECT_EQ(n.find(L"USB Vexa"), std::wstring::npos) << "left behind: " << std::string(n.begin(), n.end());
    EXPECT_FALSE(Contains(FriendlyNames(kCategoryKsAudioDevice), kDefaultAudioFriendly));
    EXPECT_FALSE(ClassRegistered(CLSID_SimVideoCapture));
    EXPECT_FALSE(ClassRegistered(CLSID_SimAudioCapture));
    EXPECT_FALSE(ClassRegistered(CLSID_SimCrossbarPage));
    lumetra::RegKey recorded;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, simdev::kRegisteredKey, 0, KEY_READ, recorded.Put()), ERROR_SUCCESS);
}

}  // namespace
}  // namespace simdev_test
