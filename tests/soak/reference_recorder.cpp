#include "tests/soak/reference_recorder.h"

#include <dshow.h>

#include "tests/soak/reference_player.h"

namespace lumetra::soak {
namespace {

// The simulated devices, made directly rather than found among the system's devices.
const CLSID kClsidSimVideoCapture = {0xE6EBE972, 0x930E, 0x4DE3, {0xBA, 0x2D, 0xBA, 0xF0, 0xEC, 0x0E, 0x01, 0x7F}};
const CLSID kClsidSimAudioCapture = {0x8667331E, 0x57F8, 0x4AF9, {0xAA, 0xE7, 0xCF, 0xF3, 0x8A, 0xDE, 0xE3, 0x28}};

template <class Interface>
bool Make(const CLSID& clsid, REFIID iid, ComPtr<Interface>& out) {
    return SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, out.PutVoid()));
}

ComPtr<IPin> FirstPinOf(IBaseFilter* filter, PIN_DIRECTION wanted) {
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.Put()))) return {};
    for (ComPtr<IPin> pin; pins->Next(1, pin.Put(), nullptr) == S_OK;) {
        PIN_DIRECTION direction;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) return pin;
    }
    return {};
}

}  // namespace

ReferenceRecorder::ReferenceRecorder() {
    comReady_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (!Make(CLSID_CaptureGraphBuilder2, IID_ICaptureGraphBuilder2, builder_) ||
        !Make(CLSID_FilterGraph, IID_IGraphBuilder, graph_) || !Make(CLSID_FilterGraph, IID_IGraphBuilder, monitorGraph_) ||
        !Make(kClsidSimVideoCapture, IID_IBaseFilter, video_) || FAILED(builder_->SetFiltergraph(graph_.Get())) ||
        FAILED(graph_->AddFilter(video_.Get(), L"Video"))) {
        graph_.Reset();
        return;
    }
    graph_.As(IID_IMediaControl, control_.PutVoid());
    monitorGraph_.As(IID_IMediaControl, monitorControl_.PutVoid());
    Make(kClsidSimAudioCapture, IID_IBaseFilter, audio_);
    Make(kClsidSimAudioCapture, IID_IBaseFilter, monitorSource_);
    Make(CLSID_AudioRender, IID_IBaseFilter, monitorRenderer_);
    Make(kClsidSampleGrabber, IID_IBaseFilter, grabber_);
    frame_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "Reference recording", WS_POPUP | WS_VISIBLE, -2000, -1000,
                             640, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

ReferenceRecorder::~ReferenceRecorder() {
    if (graph_) {
        if (control_) control_->Stop();
        TakeApart();
        graph_->RemoveFilter(video_.Get());
    }
    StopMonitor();
    if (frame_) DestroyWindow(frame_);
    grabber_.Reset();
    monitorRenderer_.Reset();
    monitorSource_.Reset();
    audio_.Reset();
    video_.Reset();
    monitorControl_.Reset();
    control_.Reset();
    monitorGraph_.Reset();
    graph_.Reset();
    builder_.Reset();
    if (comReady_) CoUninitialize();
}

bool ReferenceRecorder::Record(const std::string& path, DWORD runMs) {
    if (!graph_ || !control_) return false;
    // The preview of the last call, as the program has it between recordings.
    bool recorded = BuildPreview() && SUCCEEDED(control_->Run());
    PumpMessagesFor(100);
    control_->Stop();
    StopMonitor();
    TakeApart();
    recorded = recorded && BuildCapture(std::wstring(path.begin(), path.end())) && SUCCEEDED(control_->Run());
    PumpMessagesFor(runMs);
    control_->Stop();
    StopMonitor();
    TakeApart();
    return recorded;
}

bool ReferenceRecorder::BuildPreview() {
    IBaseFilter* grabber = grabber_ && SUCCEEDED(graph_->AddFilter(grabber_.Get(), L"SampleGrabber")) ? grabber_.Get()
                                                                                                      : nullptr;
    const bool built = SUCCEEDED(
        builder_->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, video_.Get(), grabber, nullptr));
    StartMonitor();
    ShowIn(graph_.Get());
    return built;
}

bool ReferenceRecorder::BuildCapture(const std::wstring& file) {
    ComPtr<IBaseFilter> mux;
    ComPtr<IFileSinkFilter> sink;
    if (FAILED(builder_->SetOutputFileName(&MEDIASUBTYPE_Avi, file.c_str(), mux.Put(), sink.Put()))) return false;
    bool built = builder_->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, video_.Get(), nullptr, mux.Get()) ==
                     S_OK &&
                 SUCCEEDED(builder_->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, video_.Get(), nullptr,
                                                  nullptr));
    if (audio_ && SUCCEEDED(graph_->AddFilter(audio_.Get(), L"Audio")))
        builder_->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, audio_.Get(), nullptr, mux.Get());
    ShowIn(graph_.Get());
    StartMonitor();
    return built;
}

void ReferenceRecorder::TakeApart() {
    // The video window goes first, as the program lets go of it before the filters.
    ComPtr<IVideoWindow> window;
    if (SUCCEEDED(graph_.As(IID_IVideoWindow, window.PutVoid()))) {
        window->put_Visible(OAFALSE);
        window->put_Owner(0);
    }
    window.Reset();
    if (audio_) {
        TakeOutDownstream(graph_.Get(), audio_.Get());
        graph_->RemoveFilter(audio_.Get());
    }
    TakeOutDownstream(graph_.Get(), video_.Get());
    if (grabber_) graph_->RemoveFilter(grabber_.Get());
}

void ReferenceRecorder::StartMonitor() {
    if (!monitorSource_ || !monitorRenderer_ || !monitorControl_) return;
    monitorGraph_->AddFilter(monitorSource_.Get(), L"Sound");
    monitorGraph_->AddFilter(monitorRenderer_.Get(), L"Speakers");
    ComPtr<IPin> out = FirstPinOf(monitorSource_.Get(), PINDIR_OUTPUT);
    ComPtr<IPin> in = FirstPinOf(monitorRenderer_.Get(), PINDIR_INPUT);
    if (out && in) monitorGraph_->Connect(out.Get(), in.Get());
    if (FAILED(monitorControl_->Run())) monitorControl_->Stop();
}

void ReferenceRecorder::StopMonitor() {
    if (!monitorControl_) return;
    monitorControl_->Stop();
    TakeOutDownstream(monitorGraph_.Get(), monitorSource_.Get());
    monitorGraph_->RemoveFilter(monitorSource_.Get());
    monitorGraph_->RemoveFilter(monitorRenderer_.Get());
}

void ReferenceRecorder::ShowIn(IGraphBuilder* graph) {
    ComPtr<IVideoWindow> window;
    if (!frame_ || FAILED(graph->QueryInterface(IID_IVideoWindow, window.PutVoid()))) return;
    window->put_Owner(reinterpret_cast<OAHWND>(frame_));
    window->put_MessageDrain(reinterpret_cast<OAHWND>(frame_));
    window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    window->SetWindowPosition(0, 0, 640, 480);
    window->put_Visible(OATRUE);
}

}  // namespace lumetra::soak
