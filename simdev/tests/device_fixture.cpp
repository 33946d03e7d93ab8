#include "simdev/tests/device_fixture.h"

#include <cmath>

#include "framework/handles.h"
#include "simdev/picture.h"

namespace simdev_test {

const GUID kCategoryKsAudio = {0x6994ad04, 0x93ef, 0x11d0, {0xa3, 0xcc, 0x00, 0xa0, 0xc9, 0x22, 0x31, 0x96}};
const GUID kCategoryKsAudioDevice = {0xfbf6f530, 0x07b9, 0x11d2, {0xa7, 0x1e, 0x00, 0x00, 0xf8, 0x00, 0x47, 0x88}};

namespace {

// COM for the whole test program: single-threaded, as the application uses it.
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { OleInitialize(nullptr); }
    void TearDown() override { OleUninitialize(); }
};
::testing::Environment* const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

lumetra::RegKey OpenControl() {
    lumetra::RegKey key;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, simdev::kControlKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
    return key;
}

std::wstring SimulatorPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/") + 1) + L"lumetra_simdev.dll";
}

}  // namespace

void SetControlString(const wchar_t* name, const std::wstring& value) {
    lumetra::RegKey key = OpenControl();
    RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void SetControlDword(const wchar_t* name, DWORD value) {
    lumetra::RegKey key = OpenControl();
    RegSetValueExW(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

void DeleteControlValue(const wchar_t* name) {
    lumetra::RegKey key = OpenControl();
    RegDeleteValueW(key.Get(), name);
}

bool ReadControlDword(const wchar_t* name, DWORD& value) {
    lumetra::RegKey key = OpenControl();
    DWORD bytes = sizeof(value), type = 0;
    return RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
}

void ResetRuntimeControl() {
    for (const wchar_t* name : {simdev::kValScene, simdev::kValMotionRect, simdev::kValSignalChannels,
                                simdev::kValDropFrames, simdev::kValUnplugged, simdev::kValButton,
                                simdev::kValStandards, simdev::kValCrossbar, simdev::kValRefuseRoute,
                                simdev::kValFailPages, simdev::kValButtonPulse, simdev::kValButtonSticky})
        DeleteControlValue(name);
}

bool RunRegsvr32(bool unregister) {
    std::wstring command = L"regsvr32.exe /s ";
    if (unregister) command += L"/u ";
    command += L"\"" + SimulatorPath() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(0);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    lumetra::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) return false;
    DWORD code = 1;
    GetExitCodeProcess(process.Get(), &code);
    return code == 0;
}

bool Reregister(const wchar_t* profile, const wchar_t* videoName, const wchar_t* audioName) {
    SetControlString(simdev::kValProfile, profile);
    if (videoName) SetControlString(simdev::kValVideoName, videoName);
    else DeleteControlValue(simdev::kValVideoName);
    if (audioName) SetControlString(simdev::kValAudioName, audioName);
    else DeleteControlValue(simdev::kValAudioName);
    return RunRegsvr32(false);
}

bool RestoreDefaultRegistration() {
    DeleteControlValue(simdev::kValNameSuffix);
    return Reregister(L"tvbox", nullptr, nullptr);
}

std::vector<std::wstring> FriendlyNames(const GUID& category) {
    std::vector<std::wstring> names;
    ComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.PutVoid())))
        return names;
    ComPtr<IEnumMoniker> monikers;
    if (devices->CreateClassEnumerator(category, monikers.Put(), 0) != S_OK) return names;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) continue;
        VARIANT v;
        VariantInit(&v);
        if (SUCCEEDED(bag->Read(L"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR) names.push_back(v.bstrVal);
        VariantClear(&v);
    }
    return names;
}

ComPtr<IBaseFilter> BindDevice(const GUID& category, const std::wstring& prefix) {
    ComPtr<IBaseFilter> filter;
    ComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.PutVoid())))
        return filter;
    ComPtr<IEnumMoniker> monikers;
    if (devices->CreateClassEnumerator(category, monikers.Put(), 0) != S_OK) return filter;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) continue;
        VARIANT v;
        VariantInit(&v);
        bool match = SUCCEEDED(bag->Read(L"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR &&
                     std::wstring(v.bstrVal).compare(0, prefix.size(), prefix) == 0;
        VariantClear(&v);
        if (match && SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.PutVoid()))) break;
    }
    return filter;
}

HRESULT SimulatorCanUnloadNow() {
    HMODULE module = GetModuleHandleW(L"lumetra_simdev.dll");
    if (!module) return E_FAIL;
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_FAIL;
}

ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int index) {
    ComPtr<IEnumPins> pins;
    ComPtr<IPin> pin;
    if (FAILED(filter->EnumPins(pins.Put()))) return pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_DIRECTION d;
        pin->QueryDirection(&d);
        if (d == direction && index-- == 0) return pin;
    }
    pin.Reset();
    return pin;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
    return true;
}

STDMETHODIMP SampleCounter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) {
        *out = static_cast<ISampleGrabberCB*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP SampleCounter::SampleCB(double, IMediaSample* sample) {
    REFERENCE_TIME start = -1, stop = -1;
    if (sample && FAILED(sample->GetTime(&start, &stop))) start = -1;
    {
        std::lock_guard<std::mutex> hold(lock_);
        starts_.push_back(start);
    }
    ++count_;
    return S_OK;
}

std::vector<REFERENCE_TIME> SampleCounter::Starts() {
    std::lock_guard<std::mutex> hold(lock_);
    return starts_;
}

void SampleCounter::Reset() {
    std::lock_guard<std::mutex> hold(lock_);
    starts_.clear();
    count_ = 0;
}

Graph::Graph() {
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid());
    CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                     builder.PutVoid());
    if (graph && builder) builder->SetFiltergraph(graph.Get());
    if (graph) graph->QueryInterface(IID_IMediaControl, control.PutVoid());
}

Graph::~Graph() {
    if (control) control->Stop();
    if (grabber) grabber->SetCallback(nullptr, 0);
    // Empty the graph so that every filter is released with it.
    if (graph) {
        ComPtr<IEnumFilters> filters;
        std::vector<ComPtr<IBaseFilter>> all;
        if (SUCCEEDED(graph->EnumFilters(filters.Put()))) {
            ComPtr<IBaseFilter> f;
            while (filters->Next(1, f.Put(), nullptr) == S_OK) all.push_back(f);
        }
        for (auto& f : all) graph->RemoveFilter(f.Get());
    }
}

bool Graph::AddDevice(IBaseFilter* device, const wchar_t* name) {
    return graph && device && SUCCEEDED(graph->AddFilter(device, name));
}

HRESULT Graph::RenderCapture(const GUID& major) {
    HRESULT hr = CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  grabberFilter.PutVoid());
    if (FAILED(hr)) return hr;
    grabberFilter->QueryInterface(IID_ISampleGrabber, grabber.PutVoid());
    AM_MEDIA_TYPE mt{};
    mt.majortype = major;
    grabber->SetMediaType(&mt);
    grabber->SetBufferSamples(TRUE);
    grabber->SetCallback(&counter, 0);
    hr = CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, renderer.PutVoid());
    if (FAILED(hr)) return hr;
    graph->AddFilter(grabberFilter.Get(), L"Grabber");
    graph->AddFilter(renderer.Get(), L"Null Renderer");
    ComPtr<IBaseFilter> device;
    // The device is the first filter added with a capture pin: find it by its class.
    ComPtr<IEnumFilters> filters;
    graph->EnumFilters(filters.Put());
    ComPtr<IBaseFilter> f;
    while (filters->Next(1, f.Put(), nullptr) == S_OK) {
        CLSID clsid;
        if (SUCCEEDED(f->GetClassID(&clsid)) &&
            (clsid == CLSID_SimVideoCapture || clsid == CLSID_SimAudioCapture))
            device = f;
    }
    return builder->RenderStream(&PIN_CATEGORY_CAPTURE, &major, device.Get(), grabberFilter.Get(), renderer.Get());
}

HRESULT Graph::Run() { return control->Run(); }
HRESULT Graph::Pause() { return control->Pause(); }
HRESULT Graph::Stop() { return control->Stop(); }

bool Graph::Frame(std::vector<uint8_t>& bytes) {
    long size = 0;
    if (FAILED(grabber->GetCurrentBuffer(&size, nullptr)) || size <= 0) return false;
    bytes.resize(static_cast<size_t>(size));
    return SUCCEEDED(grabber->GetCurrentBuffer(&size, reinterpret_cast<long*>(bytes.data())));
}

bool Graph::Format(simdev::PixelFormat& f, int& width, int& height) {
    AM_MEDIA_TYPE mt{};
    if (FAILED(grabber->GetConnectedMediaType(&mt))) return false;
    bool ok = mt.formattype == FORMAT_VideoInfo && mt.pbFormat;
    if (ok) {
        const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
        width = vih->bmiHeader.biWidth;
        height = vih->bmiHeader.biHeight;
        if (mt.subtype == MEDIASUBTYPE_YUY2) f = simdev::PixelFormat::YUY2;
        else if (mt.subtype == MEDIASUBTYPE_RGB24) f = simdev::PixelFormat::RGB24;
        else f = simdev::PixelFormat::I420;
    }
    CoTaskMemFree(mt.pbFormat);
    if (mt.pUnk) mt.pUnk->Release();
    return ok;
}

int Graph::Luma(const std::vector<uint8_t>& frame, int x, int y) {
    simdev::PixelFormat f;
    int w, h;
    if (!Format(f, w, h) || frame.size() < simdev::FrameBytes(f, w, h)) return -1;
    return simdev::LumaAt(f, frame.data(), w, h, x, y);
}

long Graph::FrameNumber() {
    std::vector<uint8_t> frame;
    simdev::PixelFormat f;
    int w, h;
    if (!Frame(frame) || !Format(f, w, h) || frame.size() < simdev::FrameBytes(f, w, h)) return -1;
    uint32_t code = 0;
    if (!simdev::ReadFrameCode([&](int x, int y) { return simdev::LumaAt(f, frame.data(), w, h, x, y); }, w, code))
        return -1;
    return static_cast<long>(code);
}

bool Graph::WaitForEvent(long code, DWORD timeoutMs, LONG_PTR* param1) {
    ComPtr<IMediaEvent> events;
    if (FAILED(graph->QueryInterface(IID_IMediaEvent, events.PutVoid()))) return false;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        long c;
        LONG_PTR p1, p2;
        if (events->GetEvent(&c, &p1, &p2, 50) == S_OK) {
            events->FreeEventParams(c, p1, p2);
            if (c == code) {
                if (param1) *param1 = p1;
                return true;
            }
        }
    }
    return false;
}

void DeviceTest::SetUp() { ResetRuntimeControl(); }

void DeviceTest::TearDown() { ResetRuntimeControl(); }

}  // namespace simdev_test
