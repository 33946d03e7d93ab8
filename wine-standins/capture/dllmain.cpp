// lumetra_standin_capture.dll: the capture graph builder and the AVI multiplexer stand-ins.
#include "wine-standins/capture/avi_mux.h"
#include "wine-standins/capture/builder.h"
#include "wine-standins/dshow/registry.h"

using namespace lumetra::standins;

namespace {

HMODULE g_module;
const CLSID kCaptureGraphBuilder2 = {0xBF87B6E1, 0x8C27, 0x11D0, {0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};

class Factory : public IClassFactory {
public:
    explicit Factory(const CLSID& clsid) : clsid_(clsid) {}
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
        if (clsid_ == kCaptureGraphBuilder2) return CaptureBuilder::Create(iid, out);
        auto* mux = new AviMux();
        HRESULT hr = mux->QueryInterface(iid, out);
        mux->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) InterlockedIncrement(&g_liveObjects);
        else InterlockedDecrement(&g_liveObjects);
        return S_OK;
    }

private:
    LONG refs_ = 1;
    CLSID clsid_;
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
    if (clsid != kCaptureGraphBuilder2 && clsid != CLSID_AviDest) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new Factory(clsid);
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return g_liveObjects == 0 ? S_OK : S_FALSE; }

// Takes over the two classes in this prefix; the platform's entries are saved for unregistering.
extern "C" HRESULT WINAPI DllRegisterServer() {
    std::wstring dll = ModulePath(g_module);
    if (!OverrideClass(kCaptureGraphBuilder2, dll) || !OverrideClass(CLSID_AviDest, dll)) return SELFREG_E_CLASS;
    return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    RestoreClass(kCaptureGraphBuilder2);
    RestoreClass(CLSID_AviDest);
    return S_OK;
}
