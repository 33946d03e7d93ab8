// Shows the simulated video device in a window for a few seconds: the capture pin in RGB24,
// rendered by the system's GDI video renderer (which takes RGB only). For demonstrations and
// screenshots: simdev_preview.exe [seconds]
#include <windows.h>
#include <dshow.h>

#include <cstdlib>

#include "framework/com_ptr.h"
#include "simdev/pixel_formats.h"
#include "simdev/video_format.h"

using lumetra::ComPtr;

namespace {
ComPtr<IBaseFilter> FindDevice() {
    ComPtr<IBaseFilter> filter;
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IEnumMoniker> monikers;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.PutVoid())) ||
        devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.Put(), 0) != S_OK)
        return filter;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        VARIANT v;
        VariantInit(&v);
        if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid())) &&
            SUCCEEDED(bag->Read(L"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR &&
            wcsncmp(v.bstrVal, L"USB Vexa", 8) == 0)
            moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.PutVoid());
        VariantClear(&v);
        if (filter) break;
    }
    return filter;
}

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
    ComPtr<IEnumPins> pins;
    ComPtr<IPin> pin;
    filter->EnumPins(pins.Put());
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_DIRECTION d;
        pin->QueryDirection(&d);
        if (d == direction) return pin;
    }
    pin.Reset();
    return pin;
}
}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    lumetra::ComApartment com;
    ComPtr<IBaseFilter> device = FindDevice();
    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> renderer;
    if (!device || FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                           graph.PutVoid())) ||
        FAILED(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                renderer.PutVoid())))
        return 1;
    graph->AddFilter(device.Get(), L"Simulated device");
    graph->AddFilter(renderer.Get(), L"Video Renderer");
    simdev::MediaType rgb = simdev::MakeVideoType(simdev::PixelFormat::RGB24, 640, 480);
    HRESULT hr = graph->ConnectDirect(FirstPin(device.Get(), PINDIR_OUTPUT).Get(),
                                      FirstPin(renderer.Get(), PINDIR_INPUT).Get(), &rgb.Get());
    if (FAILED(hr)) return 2;
    ComPtr<IVideoWindow> window;
    graph->QueryInterface(IID_IVideoWindow, window.PutVoid());
    if (window) {
        window->put_Caption(const_cast<BSTR>(L"Simulated capture device"));
        window->SetWindowPosition(20, 20, 660, 500);
    }
    ComPtr<IMediaControl> control;
    graph->QueryInterface(IID_IMediaControl, control.PutVoid());
    if (FAILED(control->Run())) return 3;
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
    control->Stop();
    if (window) window->put_Visible(OAFALSE);
    return 0;
}
