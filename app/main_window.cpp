#include "app/main_window.h"

#include <dbt.h>

#include "app/helpers.h"
#include "app/main_settings.h"
#include "app/still_image.h"
#include "framework/startup_trace.h"
#include "lumetra_version.h"
#include "mainwnd/timers.h"
#include "res/resource.h"

namespace lumetra {
namespace {

constexpr UINT kStartupDelayMs = 1000;
constexpr UINT kClockMs = 100;
constexpr UINT kSnapshotPollMs = 50;
constexpr UINT kFirstResyncMs = 5;
constexpr UINT kCaptureGraphMessage = WM_USER + 102;
constexpr UINT kPlaybackGraphMessage = WM_USER + 101;
constexpr UINT kLaterStartupStepsMessage = WM_APP + 0x341;

}  // namespace

MainWindow::MainWindow() : SkinDialog(IDD_MAIN), videoSettings_(*this) {}

MainWindow::~MainWindow() = default;

BOOL MainWindow::OnInitDialog() {
    state_.launchedByButton = QueryStillImageLaunch(state_.stillDeviceName);
    TraceStartupStep("still image launch query");
    // The title (taskbar and task list) carries the version; the product name itself stays string 122.
    SetWindowTextA(Handle(), (ProductTitle() + " " LUMETRA_VERSION_TEXT).c_str());
    SkinDialog::OnInitDialog();
    TraceStartupStep("skin loaded");
    LoadMainSettings(state_, inputSelector_, ViewCount());
    videoSettings_.Load();
    stillSettings_.Load();
    internet_.LoadInternetSettings();
    motion_.SetFrameSource(&motionFrames_);
    TraceStartupStep("settings loaded, motion detection set up");
    SetIcons();
    capture_.SetTarget(&videoSettings_);
    CreateVideoWindows();
    TraceStartupStep("video windows created");
    OpenDevice();
    SelectView(state_.skinView, false);
    TraceStartupStep("skin view selected, window region set");
    PlaceLiveVideo();
    RefreshPropertyElements();
    RefreshInputRadio();
    RefreshPropertyDisplay();
    RefreshElements();
    RefreshFileTooltips();
    TraceStartupStep("elements refreshed");
    if (!devices_.HasVideoDevice())
        MessageBoxA(Handle(), "Video Capture device not connected", "Warning", MB_OK | MB_ICONEXCLAMATION);
    if (liveWnd_.Handle()) ShowWindow(liveWnd_.Handle(), SW_SHOWNA);
    if (playbackWnd_.Handle()) ShowWindow(playbackWnd_.Handle(), SW_HIDE);
    TraceStartupStep("live video window shown");
    // A press made before start-up is taken now and not acted upon.
    deviceControls_.PollSnapshotButton();
    StartPeriodicTimers();
    if (stillSettings_.StiSnapshot() && state_.launchedByButton) {
        SetTimer(Handle(), kTimerStartupSnapshot, kStartupSnapshotMs, nullptr);
        state_.launchedByButton = false;
    }
    TraceStartupStep("snapshot button polled, timers started");
    scheduleRunner_.Start();
    TraceStartupStep("schedule set up");
    PostMessageA(Handle(), kLaterStartupStepsMessage, 0, 0);
    return TRUE;
}

void MainWindow::CreateVideoWindows() {
    liveWnd_.CreateVideoWindow(*this, Handle(), IDS_LIVE_VIDEO_TITLE);
    playbackWnd_.CreateVideoWindow(*this, Handle(), IDS_PLAYBACK_TITLE);
}

bool MainWindow::OpenDevice() {
    GraphBuild build(*this);
    devices_.Discover();
    TraceStartupStep("device discovery");
    if (!devices_.HasVideoDevice()) {
        // The empty graph still serves the capture file's preallocation.
        capture_.CreateGraphs(Handle(), &liveWnd_);
        return false;
    }
    if (!ConnectDevice()) return false;
    TraceStartupStep("graph created, video device added");
    capture_.CreateAuxFilters();
    PlaceLiveVideo();
    capture_.FitVideoWindow();
    playback_.Init(Handle(), &playbackWnd_);
    deviceControls_.SetCaptureSize(state_.streamFormat);
    TraceStartupStep("sample grabber, playback graph, capture size");
    snapshotWnd_.AttachGrabber(capture_.GetSampleGrabber(0), Handle());
    PrepareDeviceDialogs();
    deviceDialogWindowsPending_ = true;
    TraceStartupStep("tuner set to its stored channel");
    if (capture_.BuildPreview()) {
        TraceStartupStep("preview built, renderer window");
        WatchFirstFrame();
        capture_.Run();
        TraceStartupStep("graph running");
    }
    ReadDeviceProperties();
    TraceStartupStep("device properties and mixer read");
    inputSelector_.SelectInput(-1);
    TraceStartupStep("input selected");
    return true;
}

bool MainWindow::ConnectDevice() {
    if (!capture_.CreateGraphs(Handle(), &liveWnd_)) return false;
    deviceControls_.FindVendorInterface();
    capture_.AttachDevices(devices_, deviceControls_);
    if (!capture_.AddVideoDevice()) return false;
    deviceControls_.Attach(devices_.Filter(DeviceSet::kVideo), devices_.Filter(DeviceSet::kAudioCapture),
                           devices_.DisplayName(DeviceSet::kVideo));
    inputSelector_.Attach(devices_.Filter(DeviceSet::kVideo));
    return true;
}

void MainWindow::DisconnectDevice() {
    capture_.Stop();
    capture_.Dismantle();
    capture_.ReleaseGraph();
    inputSelector_.Release();
    deviceControls_.Release();
    devices_.Release();
}

void MainWindow::CloseDevice() {
    GraphBuild build(*this);
    if (playbackActive_) StopPlayback();
    DisconnectDevice();
    capture_.ReleaseAuxFilters();
    playback_.Release();
}

MainWindow::GraphBuild::GraphBuild(MainWindow& window) : window_(window) {
    ++window_.graphBuilds_;
}

MainWindow::GraphBuild::~GraphBuild() {
    if (--window_.graphBuilds_ > 0 || !window_.Handle()) return;
    // Events that arrived during the build are read now.
    if (window_.captureEventPending_) PostMessageA(window_.Handle(), kCaptureGraphMessage, 0, 0);
    if (window_.playbackEventPending_) PostMessageA(window_.Handle(), kPlaybackGraphMessage, 0, 0);
    window_.captureEventPending_ = window_.playbackEventPending_ = false;
}

void MainWindow::OnCaptureGraphEvent() {
    if (GraphBusy()) {
        captureEventPending_ = true;
        return;
    }
    HRESULT code = S_OK;
    switch (capture_.DrainEvents(&code)) {
    case CaptureEvent::kDeviceLost:
        OnCaptureStopped(false, S_OK);
        break;
    case CaptureEvent::kAborted:
        OnCaptureStopped(true, code);
        break;
    case CaptureEvent::kDeviceBack:
        OnDeviceChange(DBT_DEVICEARRIVAL);
        break;
    case CaptureEvent::kRecordingStopped:
        OnRecordingWriteFailed(code);
        break;
    default:
        break;
    }
}

void MainWindow::OnPlaybackGraphEvent() {
    if (GraphBusy()) {
        playbackEventPending_ = true;
        return;
    }
    if (playback_.DrainEvents() && playbackActive_) StopPlayback();
}

bool MainWindow::ReadEncoderPreset(int& compType) {
    IMpegEncoderSettings* settings = capture_.EncoderSettings();
    return settings && SUCCEEDED(settings->GetCompressionType(&compType));
}

void MainWindow::SetIcons() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // Shared icons from LoadImage(LR_SHARED) are owned by the system, not by the window.
    auto largeIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_LUMETRA), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    auto smallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_LUMETRA), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                   LR_SHARED));
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

void MainWindow::StartPeriodicTimers() {
    SetTimer(Handle(), kTimerStartup, kStartupDelayMs, nullptr);
}

void MainWindow::OnTimer(UINT_PTR id) {
    // While a graph is built only the clock runs; the others tick again after it (the one-shot
    // timers are killed by their own tick, so they come back too).
    if (GraphBusy() && id != kTimerClock) return;
    switch (id) {
    case kTimerClock:
        RefreshClock();
        break;
    case kTimerPlayback:
        RefreshPlaybackTime();
        break;
    case kTimerRecording:
        RefreshRecordingTime();
        break;
    case kTimerSnapshotButton:
        PollHardwareButton();
        break;
    case kTimerStartup:
        KillTimer(Handle(), kTimerStartup);
        SetTimer(Handle(), kTimerClock, kClockMs, nullptr);
        SetTimer(Handle(), kTimerSnapshotButton, kSnapshotPollMs, nullptr);
        if (state_.cfgResync != 0) SetTimer(Handle(), kTimerResync, kFirstResyncMs, nullptr);
        break;
    case kTimerResync:
        KillTimer(Handle(), kTimerResync);
        if (!playbackActive_) {
            // Restarting the monitor graph brings the speakers back in step with the picture.
            capture_.StopAudioMonitor();
            capture_.RunAudioMonitor();
        }
        SetTimer(Handle(), kTimerResync, ResyncIntervalMs(state_.cfgResync), nullptr);
        break;
    case kTimerDeviceRetry:
        RetryDevice();
        break;
    case kTimerDeviceConfirm:
        KillTimer(Handle(), kTimerDeviceConfirm);
        OnDeviceConfirmed();
        break;
    case kTimerMotion:
        OnMotionTimer();
        break;
    case kTimerRearm:
        OnRearmTimer();
        break;
    case kTimerStartupSnapshot:
        KillTimer(Handle(), kTimerStartupSnapshot);
        OnStartupSnapshotTimer();
        break;
    case kTimerFirstFrame:
        OnFirstFrameTimer();
        break;
    default:
        break;
    }
}

void MainWindow::KillShutdownTimers() {
    static const UINT_PTR kOrder[] = {7, 6, 2, 3, 5, 4, 1, 8, 9, 10, 12};
    for (UINT_PTR id : kOrder) KillTimer(Handle(), id);
}

void MainWindow::OnOK() {
    // Enter reaches a dialog as its OK command; only BUTTON_EXIT and Esc end this one.
}

void MainWindow::EndProgram() {
    RegisterStillImageLaunch(state_.stillDeviceName.empty() ? AlternateTitle() : state_.stillDeviceName,
                             ModulePath());
    DestroyDeviceDialogs();
    scheduleRunner_.Stop();
    CloseDevice();
    mixer_.Close();
    SaveMainSettings(state_, inputSelector_);
    KillShutdownTimers();
    End(IDOK);
}

bool MainWindow::CloseTopmostThing() {
    if (capture_.IsFullScreen()) {
        capture_.SetFullScreen(false);
        return true;
    }
    if (playback_.IsFullScreen()) {
        playback_.SetFullScreen(false);
        return true;
    }
    if (snapshotWnd_.HideIfVisible()) return true;
    if (tvTunerDialog_ && tvTunerDialog_->IsVisible()) {
        tvTunerDialog_->Close();
        return true;
    }
    return false;
}

void MainWindow::OnCancel() {
    if (GraphBusy()) return;  // a build's message box is up: answer it first
    if (CloseTopmostThing()) return;
    EndProgram();
}

INT_PTR MainWindow::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wp));
        return TRUE;
    case kCaptureGraphMessage:
        OnCaptureGraphEvent();
        return TRUE;
    case MM_MIXM_CONTROL_CHANGE:
        OnMixerControlChange(wp, lp);
        return TRUE;
    case kPlaybackGraphMessage:
        OnPlaybackGraphEvent();
        return TRUE;
    case kLaterStartupStepsMessage:
        OnLaterStartupSteps();
        return TRUE;
    case WM_DEVICECHANGE:
        OnDeviceChange(wp);
        break;
    case WM_ACTIVATE:
        // Activated by any means: the picture takes the keyboard, instead of the control the dialog
        // manager would give it back to.
        if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp) && FocusVideo()) return TRUE;
        break;
    case WM_SETFOCUS:
        // Given the focus (the pointer over the background), the window keeps it, so that wheel
        // messages reach it; the dialog manager would hand it on to an element.
        return TRUE;
    default:
        break;
    }
    INT_PTR result = SkinDialog::DlgProc(msg, wp, lp);
    if (StartupTraceOn()) TraceWindowMessage(msg, wp);
    return result;
}

}  // namespace lumetra
