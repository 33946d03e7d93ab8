#include "app/main_window.h"

#include "app/helpers.h"
#include "app/main_settings.h"
#include "app/still_image.h"
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
constexpr UINT kPlaceVideoMessage = WM_APP + 1;
constexpr UINT kShowVideoMessage = WM_APP + 2;

}  // namespace

MainWindow::MainWindow() : SkinDialog(IDD_MAIN), videoSettings_(*this) {
    devices_.Discover();
}

MainWindow::~MainWindow() = default;

BOOL MainWindow::OnInitDialog() {
    state_.launchedByButton = QueryStillImageLaunch(state_.stillDeviceName);
    SetWindowTextA(Handle(), ProductTitle().c_str());
    SkinDialog::OnInitDialog();
    LoadMainSettings(state_, inputSelector_, ViewCount());
    videoSettings_.Load();
    SetIcons();
    capture_.SetTarget(&videoSettings_);
    CreateVideoWindows();
    OpenDevice();
    SelectView(state_.skinView, false);
    PlaceLiveVideo();
    RefreshPropertyDisplay();
    RefreshElements();
    RefreshFileTooltips();
    if (!devices_.HasVideoDevice())
        MessageBoxA(Handle(), "Video Capture device not connected", "Warning", MB_OK | MB_ICONEXCLAMATION);
    // The live window is shown once this window is on screen, so it comes up above it.
    PostMessageA(Handle(), kShowVideoMessage, 0, 0);
    if (playbackWnd_.Handle()) ShowWindow(playbackWnd_.Handle(), SW_HIDE);
    StartPeriodicTimers();
    scheduleRunner_.Start();
    return TRUE;
}

void MainWindow::CreateVideoWindows() {
    liveWnd_.CreateVideoWindow(*this, Handle(), IDS_LIVE_VIDEO_TITLE);
    playbackWnd_.CreateVideoWindow(*this, Handle(), IDS_PLAYBACK_TITLE);
}

bool MainWindow::OpenDevice() {
    if (!capture_.CreateGraphs(Handle(), &liveWnd_) || !devices_.HasVideoDevice()) return false;
    capture_.AttachDevices(devices_, deviceControls_);
    if (!capture_.AddVideoDevice()) return false;
    deviceControls_.Attach(devices_.Filter(DeviceSet::kVideo), devices_.Filter(DeviceSet::kAudioCapture));
    capture_.CreateAuxFilters();
    PlaceLiveVideo();
    capture_.FitVideoWindow();
    playback_.Init(Handle(), &playbackWnd_);
    deviceControls_.SetCaptureSize(state_.streamFormat);
    if (ISampleGrabber* grabber = capture_.GetSampleGrabber(0)) {
        // Video of any kind: the grabber takes whatever the preview pin offers.
        AM_MEDIA_TYPE type{};
        type.majortype = MEDIATYPE_Video;
        grabber->SetMediaType(&type);
        grabber->SetBufferSamples(TRUE);
    }
    if (capture_.BuildPreview()) capture_.Run();
    return true;
}

void MainWindow::CloseDevice() {
    if (!devices_.HasVideoDevice()) return;
    if (playbackActive_) StopPlayback();
    capture_.Stop();
    capture_.Dismantle();
    capture_.ReleaseGraph();
    capture_.ReleaseAuxFilters();
    playback_.Release();
    deviceControls_.Release();
    devices_.Release();
}

void MainWindow::RaiseVideoWindow() {
    // Down and back up to just above this window: the window system restacks it on screen even when
    // it already counts as above this one (an activation may have raised this window over it), and
    // a dialog this window opened stays on top.
    CVidFrameWnd& video = playbackActive_ ? playbackWnd_ : liveWnd_;
    if (!video.Handle() || !IsWindowVisible(video.Handle())) return;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(video.Handle(), HWND_BOTTOM, 0, 0, 0, 0, flags);
    HWND above = GetWindow(Handle(), GW_HWNDPREV);
    SetWindowPos(video.Handle(), above && above != video.Handle() ? above : HWND_TOP, 0, 0, 0, 0, flags);
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
        SetTimer(Handle(), kTimerResync, static_cast<UINT>(state_.cfgResync) * 60000u, nullptr);
        break;
    case kTimerRaiseVideo:
        KillTimer(Handle(), kTimerRaiseVideo);
        RaiseVideoWindow();
        break;
    case kTimerStartupSnapshot:
        KillTimer(Handle(), kTimerStartupSnapshot);
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
    RegisterStillImageLaunch(state_.stillDeviceName.empty() ? AlternateTitle() : state_.stillDeviceName,
                             ModulePath());
    scheduleRunner_.Stop();
    CloseDevice();
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
    return false;
}

void MainWindow::OnCancel() {
    if (CloseTopmostThing()) return;
    OnOK();
}

INT_PTR MainWindow::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wp));
        return TRUE;
    case kCaptureGraphMessage:
        capture_.DrainEvents();
        return TRUE;
    case kPlaybackGraphMessage:
        if (playback_.DrainEvents() && playbackActive_) StopPlayback();
        return TRUE;
    case WM_WINDOWPOSCHANGED:
        // Moved, shown or raised: the video windows stay on the skin's screen, above this window.
        // Placed again once the change is complete, after the system has restacked this window.
        PlaceLiveVideo();
        PostMessageA(Handle(), kPlaceVideoMessage, 0, 0);
        break;
    case kPlaceVideoMessage:
        PlaceLiveVideo();
        RaiseVideoWindow();
        return TRUE;
    case kShowVideoMessage:
        if (liveWnd_.Handle() && !playbackActive_) ShowWindow(liveWnd_.Handle(), SW_SHOWNA);
        RaiseVideoWindow();
        SetTimer(Handle(), kTimerRaiseVideo, kRaiseVideoDelayMs, nullptr);
        return TRUE;
    case WM_ACTIVATE:
        // Activation, or a dialog of this window coming up, may raise this window over the video
        // window: put the video back above it.
        SetTimer(Handle(), kTimerRaiseVideo, kRaiseVideoDelayMs, nullptr);
        break;
    default:
        break;
    }
    return SkinDialog::DlgProc(msg, wp, lp);
}

}  // namespace lumetra
