#include "media/capture_graph.h"

#include <cstdio>

#include "app/helpers.h"
#include "media/device_controls.h"
#include "media/device_set.h"
#include "media/graph_util.h"
#include "media/vid_frame_wnd.h"

namespace lumetra {

const CLSID kClsidMpegEncoder = {0x5083B9E8, 0x713F, 0x40AA, {0xB5, 0xF3, 0x2A, 0xD3, 0x5D, 0x3D, 0x74, 0x98}};
const IID kIidMpegEncoderSettings = {0xC291943E, 0x8A3F, 0x468E, {0xAA, 0xDD, 0x66, 0xFE, 0x34, 0xC5, 0xEB, 0x8A}};

namespace {

constexpr UINT kCaptureGraphMessage = WM_USER + 102;
constexpr DWORD kInprocServerOrHandler = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
// Pending events are read without waiting: the window message says they are there.
constexpr long kEventWaitMs = 0;

}  // namespace

CaptureGraph::~CaptureGraph() {
    RevokeFromRot();
    ReleaseVideoWindow();
}

bool CaptureGraph::CreateGraphs(HWND notifyWindow, CVidFrameWnd* videoWnd) {
    notifyWindow_ = notifyWindow;
    videoWnd_ = videoWnd;
    HRESULT hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, kInprocServerOrHandler,
                                  IID_ICaptureGraphBuilder2, builder_.PutVoid());
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, kInprocServerOrHandler, IID_ICaptureGraphBuilder2,
                              monitorBuilder_.PutVoid());
    if (FAILED(hr)) {
        ShowError("Capture/Preview Graph : Cannot create CaptureGraph builder", hr);
        return false;
    }
    hr = CoCreateInstance(CLSID_FilterGraph, nullptr, kInprocServerOrHandler, IID_IGraphBuilder, graph_.PutVoid());
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(CLSID_FilterGraph, nullptr, kInprocServerOrHandler, IID_IGraphBuilder,
                              monitorGraph_.PutVoid());
    if (FAILED(hr)) {
        ShowError("Capture/Preview Graph : Cannot create Filter Graph", hr);
        builder_.Reset();
        return false;
    }
    hr = graph_.As(control_);
    if (SUCCEEDED(hr)) hr = monitorGraph_.As(monitorControl_);
    if (FAILED(hr)) {
        graph_.Reset();
        builder_.Reset();
        ShowError("Capture/Preview Graph : Cannot create Media Control", hr);
        return false;
    }
    hr = graph_.As(IID_IMediaEventEx, events_.PutVoid());
    if (FAILED(hr)) ShowError("Capture/Preview Graph : Cannot create Media Events", hr);
    else events_->SetNotifyWindow(reinterpret_cast<OAHWND>(notifyWindow), kCaptureGraphMessage, 18);
    if (!GraphAlive()) return false;
    hr = builder_->SetFiltergraph(graph_.Get());
    if (FAILED(hr)) {
        ShowError("Capture/Preview Graph : Cannot associate graph with CaptureGraphBuilder", hr);
        control_.Reset();
        graph_.Reset();
        builder_.Reset();
        return false;
    }
    monitorBuilder_->SetFiltergraph(monitorGraph_.Get());
    return true;
}

void CaptureGraph::AttachDevices(const DeviceSet& devices, DeviceControls& controls) {
    auto take = [&](int row, ComPtr<IBaseFilter>& filter, std::string& name) {
        filter = ComPtr<IBaseFilter>(devices.Filter(row));
        name = devices.DisplayName(row);
    };
    take(DeviceSet::kVideo, videoDevice_, videoName_);
    take(DeviceSet::kAudioCapture, audioCaptureDevice_, audioCaptureName_);
    take(DeviceSet::kKsAudio, audioKsCapture_, audioKsCaptureName_);
    take(DeviceSet::kKsAudioDevice, audioKsSystem_, audioKsSystemName_);
    take(DeviceSet::kDirectSound, rendererDirectSound_, directSoundName_);
    take(DeviceSet::kWaveOut, rendererWaveOut_, waveOutName_);
    deviceControls_ = &controls;
    controls.SetBuilder(builder_.Get());
}

bool CaptureGraph::AddVideoDevice() {
    if (!graph_) return false;
    HRESULT hr = graph_->AddFilter(videoDevice_.Get(), ToWide(videoName_));
    if (FAILED(hr)) {
        ShowError("Capture/Preview Graph : Cannot add Video Capture device", hr);
        control_.Reset();
        graph_.Reset();
        builder_.Reset();
        return false;
    }
    return true;
}

void CaptureGraph::CreateAuxFilters() {
    HRESULT hr = CoCreateInstance(kClsidSampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  grabberFilter_.PutVoid());
    if (FAILED(hr)) ShowError("Capture/Preview Graph : Cannot create Sample Grabber Filter", hr);
    hr = grabberFilter_.As(grabber_);
    if (FAILED(hr)) ShowError("Capture/Preview Graph : Cannot find Sample Grabber ", hr);

    // The MPEG encoder is an optional outside component: without it only AVI is recorded.
    if (FAILED(CoCreateInstance(kClsidMpegEncoder, nullptr, kInprocServerOrHandler, IID_IBaseFilter,
                                encoderFilter_.PutVoid()))) {
        encoderFilter_.Reset();
        return;
    }
    hr = encoderFilter_.As(kIidMpegEncoderSettings, encoderSettings_.PutVoid());
    if (FAILED(hr)) ShowError("MPEG: Cannot get Settings Interface", hr);
}

bool CaptureGraph::BuildPreview() {
    if (!graph_) return false;
    Stop();
    Dismantle();
    RemoveAudioMonitor();
    IBaseFilter* grabber = nullptr;
    if (grabberFilter_ && SUCCEEDED(graph_->AddFilter(grabberFilter_.Get(), L"SampleGrabber")))
        grabber = grabberFilter_.Get();
    HRESULT hr = builder_->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, videoDevice_.Get(), grabber, nullptr);
    if (FAILED(hr)) {
        ShowError("Capture/Preview Graph : Cannot render video preview", hr);
        state_ = kGraphNone;
        return false;
    }
    StartAudioMonitor();
    AcquireVideoWindow();
    if (!GraphAlive()) return false;
    FitVideoWindow();
    mode_ = kModePreview;
    return true;
}

std::wstring CaptureGraph::CaptureFileWide() const {
    wchar_t name[MAX_PATH] = {};
    ToWideInto(target_ ? target_->CaptureFileName() : std::string(), name, MAX_PATH);
    return name;
}

bool CaptureGraph::BuildCapture(bool unattended) {
    if (!graph_) return false;
    Stop();
    Dismantle();
    RemoveAudioMonitor();

    recordingFile_ = target_ ? target_->NextRecordingFileName() : std::string();
    wchar_t file[MAX_PATH] = {};
    ToWideInto(recordingFile_, file, MAX_PATH);
    int compression = target_ ? target_->EffectiveCompression() : 0;
    HRESULT hr;
    if (encoderFilter_ && compression != 0) {
        hr = builder_->SetOutputFileName(&kClsidMpegEncoder, file, mux_.Put(), fileSink_.Put());
        if (SUCCEEDED(hr) && encoderSettings_) {
            hr = encoderSettings_->SetCompressionType(compression);
            encoderSettings_->SetRateControl(-1);
        }
    } else {
        hr = builder_->SetOutputFileName(&MEDIASUBTYPE_Avi, file, mux_.Put(), fileSink_.Put());
    }
    if (FAILED(hr)) {
        ShowError("Capture/Preview Graph : Cannot set output file", hr);
        DiscardOutput();
        return false;
    }
    hr = builder_->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, videoDevice_.Get(), nullptr, mux_.Get());
    if (hr != S_OK) {
        ShowError("Capture Graph : Cannot render video capture stream", hr);
        DiscardOutput();
        return false;
    }
    hr = builder_->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, videoDevice_.Get(), nullptr, nullptr);
    if (FAILED(hr)) {
        ShowError("Capture Graph : Cannot render video preview stream", hr);
        DiscardOutput();
        state_ = kGraphNone;
        return false;
    }
    if (audioCaptureDevice_) {
        hr = graph_->AddFilter(audioCaptureDevice_.Get(), ToWide(audioCaptureName_));
        if (FAILED(hr)) ShowError("Capture Graph : Cannot add Audio Capture device", hr);
        if (!GraphAlive()) return false;
    }
    hr = builder_->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, audioCaptureDevice_.Get(), nullptr,
                                mux_.Get());
    // Nobody waits at a recording that motion or the schedule starts: a box would hold it back until
    // answered, so such a recording goes on with video only without asking.
    if (hr != S_OK && !unattended) ShowError("Error rendering Audio capture", -1);
    if (!GraphAlive()) return false;
    AcquireVideoWindow();
    if (!GraphAlive()) return false;
    FitVideoWindow();
    mode_ = kModeCapture;
    StartAudioMonitor();
    return true;
}

void CaptureGraph::DiscardOutput() {
    // A recording that could not be set up leaves no multiplexer or writer behind holding the file.
    if (!graph_) {
        fileSink_.Reset();
        mux_.Reset();
        return;
    }
    RemoveDownstream(videoDevice_.Get());
    if (mux_) {
        RemoveDownstream(mux_.Get());
        graph_->RemoveFilter(mux_.Get());
    }
    ComPtr<IBaseFilter> writer;
    if (fileSink_) fileSink_.As(IID_IBaseFilter, writer.PutVoid());
    if (writer) graph_->RemoveFilter(writer.Get());
    fileSink_.Reset();
    mux_.Reset();
}

bool CaptureGraph::Run(HRESULT* result) {
    if (monitorControl_ && FAILED(monitorControl_->Run())) monitorControl_->Stop();
    return RunGraph(control_.Get(), state_, result);
}

RecordStart CaptureGraph::StartRecording(bool unattended) {
    if (IsRecording()) return RecordStart::kAlreadyRecording;
    const std::string file = target_ ? target_->NextRecordingFileName() : std::string();
    if (HRESULT hr = CheckWritable(file); FAILED(hr)) {
        ShowError("Capture/Preview Graph : Cannot set output file", hr);
        return RecordStart::kFailed;  // the live picture was not touched
    }
    if (!BuildCapture(unattended)) {  // the build has said why
        ReturnToPreview();
        return RecordStart::kFailed;
    }
    HRESULT hr = S_OK;
    if (!Run(&hr)) {
        ShowError("Capture Graph : Cannot start recording", hr);
        ReturnToPreview();
        return RecordStart::kFailed;
    }
    return EnableSeeking() ? RecordStart::kRecording : RecordStart::kRecordingUntimed;
}

HRESULT CaptureGraph::CheckWritable(const std::string& file) {
    if (file.empty() || file.size() >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    CloseHandle(handle);
    if (created) DeleteFileA(file.c_str());  // the recording makes it; a failed one leaves nothing
    return S_OK;
}

bool CaptureGraph::StopRecording() {
    return ReturnToPreview();
}

bool CaptureGraph::ReturnToPreview() {
    return BuildPreview() && Run();
}

void CaptureGraph::Pause() {
    PauseGraph(control_.Get(), state_);
}

void CaptureGraph::Stop() {
    if (monitorControl_) monitorControl_->Stop();
    StopGraph(control_.Get(), state_);
}

void CaptureGraph::Dismantle() {
    ReleaseVideoWindow();
    if (mode_ == kModeCapture) {
        if (audioCaptureDevice_ && graph_) {
            RemoveDownstream(audioCaptureDevice_.Get());
            graph_->RemoveFilter(audioCaptureDevice_.Get());
        }
        fileSink_.Reset();
        mux_.Reset();
        seeking_.Reset();
    }
    RemoveDownstream(videoDevice_.Get());
    mode_ = kModeIdle;
}

void CaptureGraph::RemoveDownstream(IBaseFilter* filter) {
    lumetra::RemoveDownstream(graph_.Get(), filter);
}

void CaptureGraph::StartAudioMonitor() {
    if (audioKsSystem_ && rendererWaveOut_ && monitorGraph_ && !monitorSourceAdded_) {
        monitorGraph_->AddFilter(audioKsSystem_.Get(), ToWide(audioKsSystemName_));
        monitorGraph_->AddFilter(rendererWaveOut_.Get(), ToWide(waveOutName_));
        ComPtr<IPin> out = FirstPin(audioKsSystem_.Get(), PINDIR_OUTPUT);
        ComPtr<IPin> in = FirstPin(rendererWaveOut_.Get(), PINDIR_INPUT);
        if (out && in) monitorGraph_->Connect(out.Get(), in.Get());
        monitorSourceAdded_ = true;
    }
    RunAudioMonitor();
}

void CaptureGraph::RemoveAudioMonitor() {
    StopAudioMonitor();
    if (!monitorSourceAdded_) return;
    lumetra::RemoveDownstream(monitorGraph_.Get(), audioKsSystem_.Get());
    monitorGraph_->RemoveFilter(audioKsSystem_.Get());
    monitorGraph_->RemoveFilter(rendererWaveOut_.Get());
    monitorSourceAdded_ = false;
}

void CaptureGraph::StopAudioMonitor() {
    if (monitorControl_) monitorControl_->Stop();
}

bool CaptureGraph::RunAudioMonitor() {
    if (!monitorControl_) return false;
    if (FAILED(monitorControl_->Run())) {
        monitorControl_->Stop();
        return false;
    }
    return true;
}

void CaptureGraph::ReleaseGraph() {
    RevokeFromRot();
    if (graph_) {
        ComPtr<IEnumFilters> filters;
        if (SUCCEEDED(graph_->EnumFilters(filters.Put())) && filters) {
            IBaseFilter* found[64] = {};
            ULONG count = 0;
            filters->Next(64, found, &count);
            for (ULONG i = 0; i < count; ++i) {
                graph_->RemoveFilter(found[i]);
                found[i]->Release();
            }
        }
    }
    RemoveAudioMonitor();
    events_.Reset();
    seeking_.Reset();
    control_.Reset();
    monitorControl_.Reset();
    graph_.Reset();
    monitorGraph_.Reset();
    builder_.Reset();
    monitorBuilder_.Reset();
    videoDevice_.Reset();
    audioCaptureDevice_.Reset();
    audioKsCapture_.Reset();
    audioKsSystem_.Reset();
    rendererDirectSound_.Reset();
    rendererWaveOut_.Reset();
}

void CaptureGraph::ReleaseAuxFilters() {
    grabber_.Reset();
    grabberFilter_.Reset();
    encoderSettings_.Reset();
    encoderFilter_.Reset();
    ReleaseVideoWindow();
}

void CaptureGraph::ShowEncoderProperties(HWND owner) {
    ShowObjectPropertyPages(owner, encoderFilter_.Get());
}

bool CaptureGraph::EnableSeeking() {
    HRESULT hr = graph_ ? graph_.As(seeking_) : E_POINTER;
    if (FAILED(hr)) {
        ShowError("Capture Graph : Cannot create IMediaSeeking", hr);
        return false;
    }
    DWORD capability = AM_SEEKING_CanGetDuration;
    return seeking_->CheckCapabilities(&capability) == S_OK;
}

int64_t CaptureGraph::GetCapturePosition() const {
    LONGLONG position = 0;
    if (!seeking_ || FAILED(seeking_->GetCurrentPosition(&position))) return -1;
    return position;
}

long CaptureGraph::GetDroppedFrames() const {
    if (!builder_) return -1;
    ComPtr<IAMDroppedFrames> dropped;
    if (FAILED(builder_->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, videoDevice_.Get(),
                                       IID_IAMDroppedFrames, dropped.PutVoid())) ||
        !dropped)
        return -1;
    long count = 0;
    dropped->GetNumDropped(&count);
    return count;
}

void CaptureGraph::AcquireVideoWindow() {
    videoWindow_.Acquire(graph_.Get(), videoWnd_, "Capture/Preview Graph : Cannot find a Video Window Interface");
}

void CaptureGraph::ReleaseVideoWindow() {
    videoWindow_.Release();
}

void CaptureGraph::FitVideoWindow() {
    videoWindow_.Fit(videoWnd_);
}

void CaptureGraph::SetFullScreen(bool on) {
    videoWindow_.SetFullScreen(on);
}

bool CaptureGraph::IsFullScreen() const {
    return videoWindow_.IsFullScreen();
}

CaptureEvent CaptureGraph::DrainEvents(HRESULT* abortCode) {
    CaptureEvent found = CaptureEvent::kNone;
    if (!events_) return found;
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (SUCCEEDED(events_->GetEvent(&code, &p1, &p2, kEventWaitMs))) {
        // A device reports its removal (second parameter 0) or its return (1); a graph that stopped
        // on an error (first parameter its result) delivers nothing more. The latest tells the state.
        if (code == EC_DEVICE_LOST) {
            found = p2 == 0 ? CaptureEvent::kDeviceLost : CaptureEvent::kDeviceBack;
        } else if (code == EC_ERRORABORT) {
            found = CaptureEvent::kAborted;
            if (abortCode) *abortCode = static_cast<HRESULT>(p1);
        } else if (code == EC_STREAM_ERROR_STOPPED && mode_ == kModeCapture) {
            // The writer gave up (a full disk, a removed drive): the live picture itself is fine.
            if (found == CaptureEvent::kNone) found = CaptureEvent::kRecordingStopped;
            if (abortCode) *abortCode = static_cast<HRESULT>(p1);
        }
        events_->FreeEventParams(code, p1, p2);
    }
    return found;
}

void CaptureGraph::RegisterInRot() {
    auto registerGraph = [](IGraphBuilder* graph, DWORD& cookie) {
        if (!graph || cookie) return;
        ComPtr<IRunningObjectTable> table;
        if (FAILED(GetRunningObjectTable(0, table.Put()))) return;
        char name[64];
        std::snprintf(name, sizeof name, "FilterGraph %08x pid %08x",
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(graph)),
                      static_cast<unsigned>(GetCurrentProcessId()));
        ComPtr<IMoniker> moniker;
        if (FAILED(CreateItemMoniker(L"!", ToWide(name), moniker.Put()))) return;
        table->Register(0, graph, moniker.Get(), &cookie);
    };
    registerGraph(graph_.Get(), rotCookie_);
    registerGraph(monitorGraph_.Get(), monitorRotCookie_);
}

void CaptureGraph::RevokeFromRot() {
    if (!rotCookie_ && !monitorRotCookie_) return;
    ComPtr<IRunningObjectTable> table;
    if (SUCCEEDED(GetRunningObjectTable(0, table.Put()))) {
        if (rotCookie_) table->Revoke(rotCookie_);
        if (monitorRotCookie_) table->Revoke(monitorRotCookie_);
    }
    rotCookie_ = monitorRotCookie_ = 0;
}

bool CaptureGraph::PreallocateFile(uint64_t sizeBytes) {
    std::wstring file = CaptureFileWide();
    HRESULT hr = builder_ ? builder_->AllocCapFile(file.c_str(), static_cast<DWORDLONG>(sizeBytes)) : E_POINTER;
    if (FAILED(hr)) {
        ShowError("Capture/Preview Graph : Cannot preallocate requested capture file size.", hr);
        return false;
    }
    return true;
}

}  // namespace lumetra
