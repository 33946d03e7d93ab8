// Transport: recording, playback and pause, and the playback position bar.
#include <string>

#include "app/helpers.h"
#include "app/main_window.h"
#include "mainwnd/timers.h"

#include <commdlg.h>

namespace lumetra {

void MainWindow::StartRecording(bool unattended) {
    if (capture_.IsRecording() || !HasLiveDevice()) return;
    KillTimer(Handle(), kTimerRecording);
    RecordStart started;
    {
        GraphBuild build(*this);
        started = capture_.StartRecording(unattended);
    }
    if (started == RecordStart::kRecording) SetTimer(Handle(), kTimerRecording, kLiveTextMs, nullptr);
    if (started == RecordStart::kRecording || started == RecordStart::kRecordingUntimed)
        lastRecording_ = capture_.RecordingFile();
    RefreshElements();
}

void MainWindow::StopRecording() {
    KillTimer(Handle(), kTimerRecording);
    {
        GraphBuild build(*this);
        capture_.StopRecording();
    }
    RefreshElements();
    AlertCaptureEnd();
}

namespace {

constexpr int kHundredPercent = 2;  // the picture menu's command for 100 %

bool CanOpenForReading(const std::string& path, DWORD& error) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    CloseHandle(file);
    return true;
}

}  // namespace

void MainWindow::PlayFromButton() {
    // The last recording of this run (numbered when recordings do not overwrite each other),
    // else the capture file.
    std::string file = lastRecording_.empty() ? videoSettings_.CaptureFileName() : lastRecording_;
    DWORD error = 0;
    if (!CanOpenForReading(file, error)) {
        std::string question = SystemErrorText(error) + ".. : Play a different file from disk?";
        if (MessageBoxA(Handle(), question.c_str(), "Warning", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
        char chosen[MAX_PATH] = {};
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = Handle();
        ofn.lpstrFilter = "MPEG File (*.mpg)\0*.mpg\0AVI File (*.avi)\0*.avi\0All files (*.*)\0*.*\0";
        ofn.lpstrFile = chosen;
        ofn.nMaxFile = MAX_PATH;
        ofn.lpstrTitle = "Select a video file to play";
        ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_NONETWORKBUTTON | OFN_EXPLORER;
        if (!GetOpenFileNameA(&ofn)) return;
        file = chosen;
    }
    PlayFile(file);
}

void MainWindow::PlayFile(const std::string& path) {
    GraphBuild build(*this);
    capture_.Stop();
    if (playback_.Open(path)) {
        playbackWnd_.PlaceClientArea(ScreenRectOnScreen());
        ResizeVideo(VideoWindowOwner::kPlayback, kHundredPercent);  // as the picture menu's "100%"
        ShowWindow(liveWnd_.Handle(), SW_HIDE);
        ShowWindow(playbackWnd_.Handle(), SW_SHOWNA);
        playback_.FitVideoWindow();
        playback_.EnableSeeking();
        playback_.Run();
        SetTimer(Handle(), kTimerPlayback, kLiveTextMs, nullptr);
        playFile_ = path;
        playbackActive_ = true;
    } else {
        if (HasLiveDevice()) capture_.Run();
        playbackActive_ = false;
    }
    RefreshElements();
}

void MainWindow::StopPlayback() {
    GraphBuild build(*this);
    if (playback_.IsFullScreen()) playback_.SetFullScreen(false);
    ShowWindow(playbackWnd_.Handle(), SW_HIDE);
    ShowWindow(liveWnd_.Handle(), SW_SHOWNA);
    KillTimer(Handle(), kTimerPlayback);
    SetProgressValue("PROGRESS_VIDEO", 0);
    playback_.SeekPercent(0);
    playback_.Stop();
    playbackActive_ = false;
    // A lost device's graph stays stopped until the device is back.
    if (HasLiveDevice()) capture_.Run();
    RefreshElements();
    if (deviceState_ != DeviceState::kPresent) ShowDeviceLostState();
}

void MainWindow::TogglePause() {
    bool paused;
    if (playbackActive_) {
        paused = !playback_.IsPaused();
        if (paused) playback_.Pause();
        else playback_.Run();
    } else {
        paused = !capture_.IsPaused();
        if (paused) capture_.Pause();
        else capture_.Run();
    }
    SetButtonOn("BUTTON_VIDPAUSE", paused);
}

void MainWindow::OpenVideoSettings() {
    videoSettings_.DoModal(Handle());
    RefreshElements();
}

void MainWindow::ProgressPositionHook(const std::string& name, int position) {
    if (GraphBusy()) return;
    if (name == "PROGRESS_PROPERTY") return OnPropertyPosition(position);
    if (name != "PROGRESS_VIDEO") return;
    if (ignoreNextPosition_) {
        ignoreNextPosition_ = false;
        return;
    }
    if (playback_.IsRunning()) {
        playback_.Pause();
        pausedForSeeking_ = true;
    }
    playback_.SeekPercent(position);
}

void MainWindow::ProgressReleaseHook(const std::string& name) {
    if (name != "PROGRESS_VIDEO" || GraphBusy()) return;
    if (pausedForSeeking_) {
        playback_.Run();
        ignoreNextPosition_ = true;
    }
    pausedForSeeking_ = false;
}

}  // namespace lumetra
