#include "media/device_set.h"

#include "app/settings_store.h"
#include "framework/text.h"
#include "media/device_names.h"

namespace lumetra {
namespace {

// Kernel-streaming categories the audio device also appears in.
const GUID kKsCategoryAudio = {0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
const GUID kKsCategoryAudioDevice = {0xFBF6F530, 0x07B9, 0x11D2, {0xA7, 0x1E, 0x00, 0x00, 0xF8, 0x00, 0x47, 0x88}};

const char kDirectSoundName[] = "Default DirectSound Device";
const char kWaveOutName[] = "Default WaveOut Device";

std::string ReadDriverName(const char* keyPath, const char* first, const char* second, const char* fallback) {
    RegKey key = OpenDriverKey(keyPath);
    std::string name;
    // The driver's texts may be up to 255 bytes; the program keeps 127 characters of them.
    if (key && (ReadString(key.Get(), first, name, kDeviceNameBytes) ||
                (second && ReadString(key.Get(), second, name, kDeviceNameBytes))))
        return name;
    return fallback;
}

std::string FriendlyName(IMoniker* moniker) {
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid())) || !bag) return {};
    VARIANT value;
    VariantInit(&value);
    std::string name;
    if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR) name = WideToAnsi(value.bstrVal);
    VariantClear(&value);
    return name;
}

}  // namespace

std::string DeviceSet::ReadVideoDeviceName() {
    return ReadDriverName("Software\\Norrin\\TwainDS", "RealDSName", "DSName", kDefaultVideoDeviceName);
}

std::string DeviceSet::ReadAudioDeviceName() {
    return ReadDriverName("Software\\Norrin\\Audio", "DeviceName", nullptr, kDefaultAudioDeviceName);
}

ComPtr<IBaseFilter> DeviceSet::FindByName(const GUID& category, const std::string& name) {
    if (name.empty()) return {};
    ComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.PutVoid())))
        return {};
    ComPtr<IEnumMoniker> monikers;
    // An empty category answers S_FALSE without an enumerator.
    if (devices->CreateClassEnumerator(category, monikers.Put(), 0) != S_OK || !monikers) return {};
    monikers->Reset();
    for (;;) {
        ComPtr<IMoniker> moniker;
        if (monikers->Next(1, moniker.Put(), nullptr) != S_OK) return {};
        if (!FriendlyNameMatches(FriendlyName(moniker.Get()), name)) continue;
        ComPtr<IBaseFilter> filter;
        if (SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.PutVoid())) && filter)
            return filter;
    }
}

ComPtr<IBaseFilter> DeviceSet::FindDevice(const GUID& category, std::string& name, const char* const* list) {
    for (const std::string& candidate : NamesToTry(name, list)) {
        if (ComPtr<IBaseFilter> filter = FindByName(category, candidate)) {
            name = candidate;
            return filter;
        }
    }
    return {};
}

void DeviceSet::Discover() {
    Release();
    displayNames_[kDirectSound] = kDirectSoundName;
    displayNames_[kWaveOut] = kWaveOutName;
    videoName_ = ReadVideoDeviceName();
    audioName_ = ReadAudioDeviceName();

    filters_[kVideo] = FindDevice(CLSID_VideoInputDeviceCategory, videoName_, kKnownVideoNames);
    displayNames_[kVideo] = videoName_;
    filters_[kAudioCapture] = FindDevice(CLSID_AudioInputDeviceCategory, audioName_, kKnownAudioNames);
    filters_[kKsAudio] = FindDevice(kKsCategoryAudio, audioName_, kKnownAudioNames);
    filters_[kKsAudioDevice] = FindDevice(kKsCategoryAudioDevice, audioName_, kKnownAudioNames);
    std::string directSound = kDirectSoundName, waveOut = kWaveOutName;
    filters_[kDirectSound] = FindDevice(CLSID_AudioRendererCategory, directSound, nullptr);
    filters_[kWaveOut] = FindDevice(CLSID_AudioRendererCategory, waveOut, nullptr);

    displayNames_[kAudioCapture] = audioName_ + " : QCap.dll";
    displayNames_[kKsAudio] = audioName_ + " : WDM Streaming Capture";
    displayNames_[kKsAudioDevice] = audioName_ + " : WDM Streaming System";
}

IBaseFilter* DeviceSet::Filter(int row) const {
    return row >= 0 && row < kRows ? filters_[static_cast<size_t>(row)].Get() : nullptr;
}

std::string DeviceSet::DisplayName(int row) const {
    return row >= 0 && row < kRows ? displayNames_[static_cast<size_t>(row)] : std::string();
}

void DeviceSet::Release() {
    for (auto& f : filters_) f.Reset();
}

}  // namespace lumetra
