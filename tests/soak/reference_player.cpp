#include "tests/soak/reference_player.h"

#include <dshow.h>

#include <vector>

namespace lumetra::soak {

const CLSID kClsidSampleGrabber = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

void PumpMessagesFor(DWORD ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(20);
    }
}

void TakeOutDownstream(IGraphBuilder* graph, IBaseFilter* filter) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Put()))) return;
    std::vector<ComPtr<IPin>> outputs;
    for (ComPtr<IPin> pin; pins->Next(1, pin.Put(), nullptr) == S_OK;) outputs.push_back(pin);
    for (const ComPtr<IPin>& pin : outputs) {
        ComPtr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer.Put()))) continue;
        PIN_INFO info{};
        if (FAILED(peer->QueryPinInfo(&info))) continue;
        ComPtr<IBaseFilter> next;
        next.Attach(info.pFilter);
        if (info.dir != PINDIR_INPUT || !next) continue;
        TakeOutDownstream(graph, next.Get());
        graph->Disconnect(peer.Get());
        graph->Disconnect(pin.Get());
        graph->RemoveFilter(next.Get());
    }
}

namespace {

void SeekToStart(IMediaSeeking* seeking) {
    LONGLONG start = 0;
    seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

}  // namespace

ReferencePlayer::ReferencePlayer() {
    comReady_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph_.PutVoid())))
        return;
    graph_.As(IID_IMediaControl, control_.PutVoid());
    CoCreateInstance(kClsidSampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, grabber_.PutVoid());
    frame_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "Reference playback", WS_POPUP | WS_VISIBLE, -2000, -2000, 640,
                             480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

ReferencePlayer::~ReferencePlayer() {
    if (frame_) DestroyWindow(frame_);
    grabber_.Reset();
    control_.Reset();
    graph_.Reset();
    if (comReady_) CoUninitialize();
}

bool ReferencePlayer::Play(const std::string& path, DWORD runMs) {
    if (!graph_ || !control_) return false;
    std::wstring name(path.begin(), path.end());
    ComPtr<IBaseFilter> source;
    if (FAILED(graph_->AddSourceFilter(name.c_str(), name.c_str(), source.Put()))) return false;
    if (grabber_) graph_->AddFilter(grabber_.Get(), L"SampleGrabber");
    ComPtr<IPin> output;
    bool played = SUCCEEDED(source->FindPin(L"Output", output.Put())) && SUCCEEDED(graph_->Render(output.Get()));
    output.Reset();
    // The picture goes into a window of this process, as the program's goes into its playback window;
    // that window lies off the screen, so it covers nothing of the program's.
    ComPtr<IVideoWindow> window;
    if (frame_ && SUCCEEDED(graph_.As(IID_IVideoWindow, window.PutVoid()))) {
        window->put_Owner(reinterpret_cast<OAHWND>(frame_));
        window->put_MessageDrain(reinterpret_cast<OAHWND>(frame_));
        window->put_WindowStyle(WS_CHILD | WS_VISIBLE);
        window->SetWindowPosition(0, 0, 640, 480);
    }
    // Positions as the program's playback asks for them: the duration, the start before running,
    // the position while running, and the start again before stopping.
    ComPtr<IMediaSeeking> seeking;
    if (played && SUCCEEDED(graph_.As(IID_IMediaSeeking, seeking.PutVoid()))) {
        DWORD capabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanGetDuration;
        LONGLONG duration = 0;
        seeking->CheckCapabilities(&capabilities);
        seeking->GetDuration(&duration);
        SeekToStart(seeking.Get());
    }
    if (played) played = SUCCEEDED(control_->Run());
    if (played) PumpMessagesFor(runMs);
    if (seeking) {
        LONGLONG position = 0;
        seeking->GetCurrentPosition(&position);
        SeekToStart(seeking.Get());
    }
    seeking.Reset();
    control_->Stop();
    if (window) {
        window->put_Visible(OAFALSE);
        window->put_Owner(0);
    }
    window.Reset();
    TakeOutDownstream(graph_.Get(), source.Get());
    graph_->RemoveFilter(source.Get());
    if (grabber_) graph_->RemoveFilter(grabber_.Get());
    return played;
}

}  // namespace lumetra::soak
