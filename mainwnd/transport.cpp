// Transport: recording, playback and pause, and the playback position bar.
#include <string>

#include "app/main_window.h"
#include "mainwnd/timers.h"

#include <commdlg.h>

namespace lumetra {

void MainWindow::StartRecording() {
    if (capture_.IsCapturing()) return;
    KillTimer(Handle(), kTimerRecording);
    if (!capture_.BuildCapture()) {
        RefreshElements();
        return;
    }
    RefreshElements();
    capture_.Run();
    if (capture_.EnableSeeking()) SetTimer(Handle(), kTimerRecording, kLiveTextMs, nullptr);
    RefreshElements();
}

void MainWindow::StopRecording() {
    KillTimer(Handle(), kTimerRecording);
    if (capture_.BuildPreview()) capture_.Run();
    RefreshElements();
}

namespace {

std::string LastErrorText(DWORD error) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n && text ? std::string(text, n) : "The file cannot be opened";
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

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
    std::string file = videoSettings_.CaptureFileName();
    DWORD error = 0;
    if (!CanOpenForReading(file, error)) {
        std::string question = LastErrorText(error) + ".. : Play a different file from disk?";
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
    capture_.Stop();
    if (playback_.Open(path)) {
        RECT video = playback_.GetVideoRect();
        playbackWnd_.PlaceClientArea(ScreenRectOnScreen());
        playbackWnd_.SetClientSize(video.right + 1, video.bottom + 1);
        ShowWindow(liveWnd_.Handle(), SW_HIDE);
        ShowWindow(playbackWnd_.Handle(), SW_SHOWNA);
        playback_.FitVideoWindow();
        playback_.EnableSeeking();
        playback_.Run();
        SetTimer(Handle(), kTimerPlayback, kLiveTextMs, nullptr);
        playFile_ = path;
        playbackActive_ = true;
    } else {
        capture_.Run();
        playbackActive_ = false;
    }
    RefreshElements();
}

void MainWindow::StopPlayback() {
    if (playback_.IsFullScreen()) playback_.SetFullScreen(false);
    ShowWindow(playbackWnd_.Handle(), SW_HIDE);
    ShowWindow(liveWnd_.Handle(), SW_SHOWNA);
    KillTimer(Handle(), kTimerPlayback);
    SetProgressValue("PROGRESS_VIDEO", 0);
    playback_.SeekPercent(0);
    playback_.Stop();
    capture_.Run();
    playbackActive_ = false;
    RefreshElements();
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
    if (name != "PROGRESS_VIDEO") return;
    if (pausedForSeeking_) {
        playback_.Run();
        ignoreNextPosition_ = true;
    }
    pausedForSeeking_ = false;
}

}  // namespace lumetra
