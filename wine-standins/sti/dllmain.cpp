// lumetra_standin_sti.dll: the Still Image service's object (CLSID_Sti) for the test prefix. Wine's
// service never reports a launch by a device event; this one does when a test asks it to, so the
// start-up snapshot can be tested. Test control, HKLM\Software\Lumetra\WineStandins\Sti:
//   "LaunchDevice" (REG_SZ): the next GetSTILaunchInformation reports a launch by this device's
//                            button event, once (the value is deleted when it is read);
//   "Registered"   (REG_SZ): written by RegisterLaunchApplication, "application|command line".
#include <windows.h>
#include <sti.h>

#include <string>

#include "wine-standins/dshow/com.h"
#include "wine-standins/dshow/registry.h"

using namespace lumetra::standins;

namespace {

HMODULE g_module;
const CLSID kClsidSti = {0xB323F8E0, 0x2E68, 0x11D0, {0x90, 0xEA, 0x00, 0xAA, 0x00, 0x60, 0xF8, 0x6C}};
const IID kIidStillImageW = {0x641BD880, 0x2DC8, 0x11D0, {0x90, 0xEA, 0x00, 0xAA, 0x00, 0x60, 0xF8, 0x6C}};
const wchar_t kControlKey[] = L"Software\\Lumetra\\WineStandins\\Sti";
constexpr DWORD kButtonEventCode = 1;

// Reads and deletes the launch device; empty when no launch was asked for.
std::wstring TakeLaunchDevice() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kControlKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return {};
    wchar_t device[STI_MAX_INTERNAL_NAME_LENGTH] = {};
    DWORD size = sizeof device - sizeof(wchar_t), type = 0;
    std::wstring result;
    if (RegQueryValueExW(key, L"LaunchDevice", nullptr, &type, reinterpret_cast<BYTE*>(device), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        result = device;
        RegDeleteValueW(key, L"LaunchDevice");
    }
    RegCloseKey(key);
    return result;
}

void RecordRegistration(const std::wstring& text) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kControlKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, L"Registered", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

class StillImage : public IStillImageW {
public:
    virtual ~StillImage() { InterlockedDecrement(&g_liveObjects); }
    StillImage() { InterlockedIncrement(&g_liveObjects); }
    STANDINS_REFCOUNT(refs_)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == kIidStillImageW) {
            *out = static_cast<IStillImageW*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP Initialize(HINSTANCE, DWORD) override { return S_OK; }
    STDMETHODIMP GetDeviceList(DWORD, DWORD, DWORD*, LPVOID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetDeviceInfo(LPWSTR, LPVOID*) override { return E_NOTIMPL; }
    STDMETHODIMP CreateDevice(LPWSTR, DWORD, PSTIDEVICE*, LPUNKNOWN) override { return E_NOTIMPL; }
    STDMETHODIMP GetDeviceValue(LPWSTR, LPWSTR, LPDWORD, LPBYTE, LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetDeviceValue(LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetSTILaunchInformation(LPWSTR device, DWORD* eventCode, LPWSTR eventName) override {
        const std::wstring launched = TakeLaunchDevice();
        if (launched.empty()) return E_FAIL;
        if (device) lstrcpynW(device, launched.c_str(), STI_MAX_INTERNAL_NAME_LENGTH);
        if (eventCode) *eventCode = kButtonEventCode;
        if (eventName) lstrcpynW(eventName, L"Button", STI_MAX_INTERNAL_NAME_LENGTH);
        return S_OK;
    }
    STDMETHODIMP RegisterLaunchApplication(LPWSTR appName, LPWSTR commandLine) override {
        RecordRegistration(std::wstring(appName ? appName : L"") + L"|" + (commandLine ? commandLine : L""));
        return S_OK;
    }
    STDMETHODIMP UnregisterLaunchApplication(LPWSTR) override { return S_OK; }
    STDMETHODIMP EnableHwNotifications(LPCWSTR, WINBOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetHwNotificationState(LPCWSTR, WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP RefreshDeviceBus(LPCWSTR) override { return E_NOTIMPL; }
    STDMETHODIMP LaunchApplicationForDevice(LPWSTR, LPWSTR, LPSTINOTIFY) override { return E_NOTIMPL; }
    STDMETHODIMP SetupDeviceParameters(PSTI_DEVICE_INFORMATIONW) override { return E_NOTIMPL; }
    STDMETHODIMP WriteToErrorLog(DWORD, LPCWSTR) override { return S_OK; }

private:
    LONG refs_ = 1;
};

class Factory : public IClassFactory {
public:
    virtual ~Factory() = default;
    STANDINS_REFCOUNT(refs_)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* object = new StillImage();
        HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) InterlockedIncrement(&g_liveObjects);
        else InterlockedDecrement(&g_liveObjects);
        return S_OK;
    }

private:
    LONG refs_ = 1;
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != kClsidSti) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new Factory();
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return g_liveObjects == 0 ? S_OK : S_FALSE; }

// Takes over the service's class in this prefix; the platform's entry is saved for unregistering.
extern "C" HRESULT WINAPI DllRegisterServer() {
    return OverrideClass(kClsidSti, ModulePath(g_module)) ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    RestoreClass(kClsidSti);
    return S_OK;
}
