#include "media/playback_graph.h"

#include "app/helpers.h"
#include "framework/media_type.h"
#include "media/capture_sizes.h"
#include "media/graph_util.h"
#include "media/vid_frame_wnd.h"

namespace lumetra {
namespace {

constexpr UINT kPlaybackGraphMessage = WM_USER + 101;
// Pending events are read without waiting: the window message says they are there.
constexpr long kEventWaitMs = 0;


}  // namespace

PlaybackGraph::~PlaybackGraph() {
    Release();
}

bool PlaybackGraph::Init(HWND notifyWindow, CVidFrameWnd* videoWnd) {
    notifyWindow_ = notifyWindow;
    videoWnd_ = videoWnd;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                  IID_IGraphBuilder, graph_.PutVoid());
    if (FAILED(hr)) {
        ShowError("Cannot create Playback Graph", hr);
        return false;
    }
    hr = graph_.As(control_);
    if (FAILED(hr)) {
        graph_.Reset();
        ShowError("Init Playback Graph : Cannot create Media Control for Playback Graph", hr);
        return false;
    }
    hr = graph_.As(IID_IMediaEventEx, events_.PutVoid());
    if (FAILED(hr)) ShowError("Init Playback Graph : Cannot create Media Events", hr);
    else events_->SetNotifyWindow(reinterpret_cast<OAHWND>(notifyWindow), kPlaybackGraphMessage, 18);
    hr = CoCreateInstance(kClsidSampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          grabberFilter_.PutVoid());
    if (FAILED(hr)) ShowError("Init Playback Graph : Cannot create Sample Grabber Filter", hr);
    hr = grabberFilter_.As(grabber_);
    if (FAILED(hr)) ShowError("Init Playback Graph : Cannot find Sample Grabber Interface", hr);
    if (grabber_) {
        // Video of any kind, so the grabber can sit in the file's video path and tell its size.
        AM_MEDIA_TYPE type{};
        type.majortype = MEDIATYPE_Video;
        grabber_->SetMediaType(&type);
    }
    state_ = kGraphStopped;
    return true;
}

bool PlaybackGraph::Open(const std::string& fileName) {
    // A name that does not fit the conversion would be cut, and the cut name is another file.
    if (!graph_ || fileName.empty() || fileName.size() >= MAX_PATH) return false;
    wchar_t name[MAX_PATH] = {};
    ToWideInto(fileName, name, MAX_PATH);
    if (FAILED(graph_->AddSourceFilter(name, name, source_.Put()))) {
        source_.Reset();
        return false;
    }
    if (grabberFilter_) graph_->AddFilter(grabberFilter_.Get(), L"SampleGrabber");
    ComPtr<IPin> output;
    HRESULT hr = source_->FindPin(L"Output", output.Put());
    if (FAILED(hr) || !output) {
        ShowError("Cannot play the selected file", hr);
        CloseFile();
        return false;
    }
    graph_->Render(output.Get());  // streams that cannot be rendered simply show nothing
    output.Reset();

    videoRect_ = RECT{0, 0, kFallbackWidth, kFallbackHeight};
    AM_MEDIA_TYPE type{};
    if (grabber_ && SUCCEEDED(grabber_->GetConnectedMediaType(&type))) {
        int width = 0, height = 0;
        if (PictureSizeOf(type, width, height)) videoRect_ = RECT{0, 0, width, height};
        FreeMediaTypeContents(type);
    }
    AcquireVideoWindow();
    FitVideoWindow();
    return true;
}

bool PlaybackGraph::EnableSeeking() {
    duration_ = 0;
    HRESULT hr = graph_ ? graph_.As(seeking_) : E_POINTER;
    if (FAILED(hr)) {
        ShowError("Cannot create IMediaSeeking for playback file", hr);
        return false;
    }
    DWORD capabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanGetDuration;
    if (seeking_->CheckCapabilities(&capabilities) != S_OK) {
        // Such a file plays without position, progress or seeking.
        seeking_.Reset();
        return false;
    }
    LONGLONG duration = 0;
    seeking_->GetDuration(&duration);
    duration_ = duration;
    LONGLONG start = 0;
    seeking_->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    return true;
}

int PlaybackGraph::GetProgress(int64_t& position) const {
    LONGLONG now = 0;
    if (!seeking_ || FAILED(seeking_->GetCurrentPosition(&now))) return -1;
    position = now;
    if (duration_ <= 0) return -1;
    return static_cast<int>(now * 100 / duration_);
}

void PlaybackGraph::SeekPercent(int percent) {
    LONGLONG position = duration_ * percent / 100;
    if (seeking_) seeking_->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

bool PlaybackGraph::Run() {
    return RunGraph(control_.Get(), state_);
}

void PlaybackGraph::Pause() {
    PauseGraph(control_.Get(), state_);
}

void PlaybackGraph::Stop() {
    StopGraph(control_.Get(), state_);
    if (control_) CloseFile();
}

void PlaybackGraph::CloseFile() {
    ReleaseVideoWindow();
    seeking_.Reset();
    duration_ = 0;  // the next file brings its own, or none
    if (!source_) return;
    RemoveDownstream(graph_.Get(), source_.Get());
    graph_->RemoveFilter(source_.Get());
    source_.Reset();
    // The grabber stays for the next file but leaves the graph with this one.
    if (grabberFilter_) graph_->RemoveFilter(grabberFilter_.Get());
}

void PlaybackGraph::AcquireVideoWindow() {
    videoWindow_.Acquire(graph_.Get(), videoWnd_, "Playback Graph : Cannot find a Video Window Interface");
}

void PlaybackGraph::ReleaseVideoWindow() {
    videoWindow_.Release();
}

void PlaybackGraph::FitVideoWindow() {
    videoWindow_.Fit(videoWnd_);
}

void PlaybackGraph::SetFullScreen(bool on) {
    videoWindow_.SetFullScreen(on);
}

bool PlaybackGraph::IsFullScreen() const {
    return videoWindow_.IsFullScreen();
}

bool PlaybackGraph::DrainEvents() {
    if (!events_) return false;
    bool complete = false;
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (SUCCEEDED(events_->GetEvent(&code, &p1, &p2, kEventWaitMs))) {
        if (code == EC_COMPLETE) complete = true;
        events_->FreeEventParams(code, p1, p2);
    }
    return complete;
}

void PlaybackGraph::Release() {
    if (control_) control_->Stop();
    CloseFile();
    grabber_.Reset();
    grabberFilter_.Reset();
    events_.Reset();
    control_.Reset();
    graph_.Reset();
    state_ = kGraphNone;
}

}  // namespace lumetra
