// The DLL's COM entry points: class objects, unloading, and registration of the simulated devices
// in the device categories under the names the test-control key chooses.
#include <windows.h>
#include <dshow.h>

#include <string>

#include "framework/handles.h"
#include "simdev/audio_filter.h"
#include "simdev/property_pages.h"
#include "simdev/sim_control.h"
#include "simdev/simdev.h"
#include "simdev/video_filter.h"

using namespace simdev;

namespace {

template <class T>
HRESULT CreateFilter(REFIID iid, void** out) {
    auto* filter = new T();
    HRESULT hr = filter->QueryInterface(iid, out);
    static_cast<IBaseFilter*>(filter)->Release();
    return hr;
}

using Creator = HRESULT (*)(REFIID, void**);

class ClassFactory final : public ComObject<IClassFactory> {
public:
    explicit ClassFactory(Creator create) : create_(create) {}
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) ModuleLock();
        else ModuleUnlock();
        return S_OK;
    }

private:
    void* Lookup(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) return static_cast<IClassFactory*>(this);
        return nullptr;
    }
    Creator create_;
};

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* description;
    Creator create;
};
const ClassEntry kClasses[] = {
    {&CLSID_SimVideoCapture, L"Lumetra simulated video capture", &CreateFilter<VideoCaptureFilter>},
    {&CLSID_SimAudioCapture, L"Lumetra simulated audio capture", &CreateFilter<AudioCaptureFilter>},
    {&CLSID_SimPicturePage, L"Lumetra simulated device: picture page", &CreatePicturePage},
    {&CLSID_SimCrossbarPage, L"Lumetra simulated device: crossbar page", &CreateCrossbarPage},
    {&CLSID_SimFormatPage, L"Lumetra simulated device: format page", &CreateFormatPage},
};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[64] = {};
    StringFromGUID2(guid, text, 64);
    return text;
}

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

HRESULT RegisterClassKey(const ClassEntry& entry, const std::wstring& dllPath) {
    const std::wstring path = L"CLSID\\" + GuidText(*entry.clsid);
    lumetra::RegKey key, server;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    SetString(key.Get(), nullptr, entry.description);
    if (RegCreateKeyExW(key.Get(), L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, server.Put(), nullptr) !=
        ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    SetString(server.Get(), nullptr, dllPath);
    SetString(server.Get(), L"ThreadingModel", L"Both");
    return S_OK;
}

// The categories each device is listed in. The two kernel-streaming audio categories are spelled
// out here rather than taken from the kernel-streaming headers.
const GUID kCategoryKsAudio = {0x6994ad04, 0x93ef, 0x11d0, {0xa3, 0xcc, 0x00, 0xa0, 0xc9, 0x22, 0x31, 0x96}};
const GUID kCategoryKsAudioDevice = {0xfbf6f530, 0x07b9, 0x11d2, {0xa7, 0x1e, 0x00, 0x00, 0xf8, 0x00, 0x47, 0x88}};
const GUID* const kVideoCategories[] = {&CLSID_VideoInputDeviceCategory};
const GUID* const kAudioCategories[] = {&CLSID_AudioInputDeviceCategory, &kCategoryKsAudio, &kCategoryKsAudioDevice};

HRESULT RegisterDevice(IFilterMapper2* mapper, const CLSID& clsid, const std::wstring& name, const GUID& major,
                       const GUID* const* categories, size_t count) {
    REGPINTYPES type = {&major, &GUID_NULL};
    REGFILTERPINS2 pin{};
    pin.dwFlags = REG_PINFLAG_B_OUTPUT;
    pin.cInstances = 1;
    pin.nMediaTypes = 1;
    pin.lpMediaType = &type;
    pin.clsPinCategory = &PIN_CATEGORY_CAPTURE;
    REGFILTER2 filter{};
    filter.dwVersion = 2;
    filter.dwMerit = MERIT_DO_NOT_USE;
    filter.cPins2 = 1;
    filter.rgPins2 = &pin;
    for (size_t i = 0; i < count; ++i) {
        HRESULT hr = mapper->RegisterFilter(clsid, name.c_str(), nullptr, categories[i], name.c_str(), &filter);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

void UnregisterDevice(IFilterMapper2* mapper, const CLSID& clsid, const std::wstring& name,
                      const GUID* const* categories, size_t count) {
    if (name.empty()) return;
    for (size_t i = 0; i < count; ++i) mapper->UnregisterFilter(categories[i], name.c_str(), clsid);
}

// Removes the registration recorded last (names may differ from the current control values).
void UnregisterRecorded(IFilterMapper2* mapper) {
    Registration old = RecordedRegistration();
    UnregisterDevice(mapper, CLSID_SimVideoCapture, old.videoName, kVideoCategories, 1);
    UnregisterDevice(mapper, CLSID_SimAudioCapture, old.audioName, kAudioCategories, 3);
    ForgetRegistration();
}

class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const ClassEntry& entry : kClasses) {
        if (*entry.clsid != clsid) continue;
        auto* factory = new ClassFactory(entry.create);
        HRESULT hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
    ComScope com;
    wchar_t path[MAX_PATH] = {};
    if (!GetModuleFileNameW(ModuleHandle(), path, MAX_PATH)) return SELFREG_E_CLASS;
    for (const ClassEntry& entry : kClasses) {
        HRESULT hr = RegisterClassKey(entry, path);
        if (FAILED(hr)) return hr;
    }
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper.PutVoid());
    if (FAILED(hr)) return hr;
    UnregisterRecorded(mapper.Get());
    const Registration now = RegistrationFromControl();
    hr = RegisterDevice(mapper.Get(), CLSID_SimVideoCapture, now.videoName, MEDIATYPE_Video, kVideoCategories, 1);
    if (SUCCEEDED(hr))
        hr = RegisterDevice(mapper.Get(), CLSID_SimAudioCapture, now.audioName, MEDIATYPE_Audio, kAudioCategories, 3);
    RecordRegistration(now);  // recorded even after a partial failure, so that unregistration finds it
    return hr;
}

STDAPI DllUnregisterServer() {
    ComScope com;
    ComPtr<IFilterMapper2> mapper;
    if (SUCCEEDED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                   mapper.PutVoid())))
        UnregisterRecorded(mapper.Get());
    for (const ClassEntry& entry : kClasses)
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(*entry.clsid)).c_str());
    return S_OK;
}
