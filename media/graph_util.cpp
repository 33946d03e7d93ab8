#include "media/graph_util.h"

#include <dvdmedia.h>
#include <ocidl.h>
#include <olectl.h>

namespace lumetra {

const CLSID kClsidSampleGrabber = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

void RemoveDownstream(IGraphBuilder* graph, IBaseFilter* filter) {
    if (!graph || !filter) return;
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Put())) || !pins) return;
    for (;;) {
        ComPtr<IPin> pin;
        if (pins->Next(1, pin.Put(), nullptr) != S_OK) break;
        ComPtr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer.Put())) || !peer) continue;
        PIN_INFO info{};
        if (FAILED(peer->QueryPinInfo(&info))) continue;
        ComPtr<IBaseFilter> downstream;
        downstream.Attach(info.pFilter);  // QueryPinInfo returned a reference
        if (info.dir == PINDIR_INPUT) {
            RemoveDownstream(graph, downstream.Get());
            graph->Disconnect(peer.Get());
            graph->Disconnect(pin.Get());
            graph->RemoveFilter(downstream.Get());
        }
    }
}

bool RunGraph(IMediaControl* control, GraphState& state, HRESULT* result) {
    HRESULT hr = control ? control->Run() : E_POINTER;
    if (result) *result = hr;
    if (!control) {
        state = kGraphNone;
        return false;
    }
    if (FAILED(hr)) {
        control->Stop();
        state = kGraphStopped;
        return false;
    }
    state = kGraphRunning;
    return true;
}

void PauseGraph(IMediaControl* control, GraphState& state) {
    if (!control) {
        state = kGraphNone;
        return;
    }
    control->Pause();
    state = kGraphPaused;
}

void StopGraph(IMediaControl* control, GraphState& state) {
    if (!control) {
        state = kGraphNone;
        return;
    }
    control->Stop();
    state = kGraphStopped;
}

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.Put())) || !pins) return {};
    for (;;) {
        ComPtr<IPin> pin;
        if (pins->Next(1, pin.Put(), nullptr) != S_OK) return {};
        PIN_DIRECTION d;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction) return pin;
    }
}

namespace {
// FORMAT_MPEG2Video {E06D80E3-DB46-11CF-B4D1-00805F6CBBEA}, kept here as not every SDK's uuids.h has it.
const GUID kFormatMpeg2Video = {0xE06D80E3, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};

const BITMAPINFOHEADER* BitmapHeaderOf(const AM_MEDIA_TYPE& type) {
    auto holds = [&type](size_t bytes) { return type.pbFormat && type.cbFormat >= bytes; };
    // MPEG1VIDEOINFO begins with a VIDEOINFOHEADER, MPEG2VIDEOINFO with a VIDEOINFOHEADER2.
    if ((type.formattype == FORMAT_VideoInfo || type.formattype == FORMAT_MPEGVideo) && holds(sizeof(VIDEOINFOHEADER)))
        return &reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
    if ((type.formattype == FORMAT_VideoInfo2 || type.formattype == kFormatMpeg2Video) &&
        holds(sizeof(VIDEOINFOHEADER2)))
        return &reinterpret_cast<const VIDEOINFOHEADER2*>(type.pbFormat)->bmiHeader;
    return nullptr;
}
}  // namespace

bool PictureSizeOf(const AM_MEDIA_TYPE& type, int& width, int& height) {
    const BITMAPINFOHEADER* header = BitmapHeaderOf(type);
    if (!header) return false;
    VideoSize size;
    if (!VideoSizeFromFormat(header->biWidth, header->biHeight, size)) return false;
    width = size.width;
    height = size.height;
    return true;
}

HRESULT ShowObjectPropertyPages(HWND owner, IUnknown* object, int x, int y) {
    if (!object) return E_POINTER;
    ComPtr<ISpecifyPropertyPages> specify;
    HRESULT hr = object->QueryInterface(IID_ISpecifyPropertyPages, specify.PutVoid());
    if (FAILED(hr) || !specify) return FAILED(hr) ? hr : E_NOINTERFACE;
    CAUUID pages{};
    hr = specify->GetPages(&pages);
    if (FAILED(hr)) return hr;
    IUnknown* objects[] = {object};
    hr = OleCreatePropertyFrame(owner, static_cast<UINT>(x), static_cast<UINT>(y), nullptr, 1, objects, pages.cElems,
                                pages.pElems, 0, 0, nullptr);
    CoTaskMemFree(pages.pElems);
    return hr;
}

}  // namespace lumetra

#include "app/helpers.h"
#include "media/vid_frame_wnd.h"

namespace lumetra {

void RendererWindow::Acquire(IGraphBuilder* graph, CVidFrameWnd* host, const char* failureText) {
    HRESULT hr = graph ? graph->QueryInterface(IID_IVideoWindow, window_.PutVoid()) : E_POINTER;
    if (FAILED(hr)) {
        ShowError(failureText, hr);
        return;
    }
    if (host && host->Handle()) {
        window_->put_Owner(reinterpret_cast<OAHWND>(host->Handle()));
        window_->put_MessageDrain(reinterpret_cast<OAHWND>(host->Handle()));
    }
    window_->put_WindowStyle(WS_CHILD | WS_VISIBLE);
}

void RendererWindow::Release() {
    if (!window_) return;
    window_->put_Visible(OAFALSE);
    window_->put_Owner(0);
    window_.Reset();
}

void RendererWindow::Fit(CVidFrameWnd* host) {
    if (!window_ || !host || !host->Handle()) return;
    RECT client;
    GetClientRect(host->Handle(), &client);
    window_->SetWindowPosition(0, 0, client.right, client.bottom);
}

void RendererWindow::SetFullScreen(bool on) {
    if (window_) window_->put_FullScreenMode(on ? OATRUE : OAFALSE);
}

bool RendererWindow::IsFullScreen() const {
    long mode = OAFALSE;
    return window_ && SUCCEEDED(window_->get_FullScreenMode(&mode)) && mode == OATRUE;
}

}  // namespace lumetra
