// The main window's live texts.
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "app/main_window.h"
#include "mainwnd/live_texts.h"

namespace lumetra {

void MainWindow::RefreshClock() {
    if (state_.showDroppedFrames) {
        // The count is read from the capture pin; a graph being built is left alone meanwhile.
        if (GraphBusy()) return;
        SetText("TEXT_CLOCK", std::to_string(capture_.GetDroppedFrames()));
        return;
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M", &local);
    SetText("TEXT_CLOCK", text);
}

void MainWindow::RefreshPlaybackTime() {
    int64_t position = -1;  // stays so for a file without position
    int percent = playback_.GetProgress(position);
    if (percent != -1) SetProgressValue("PROGRESS_VIDEO", percent);
    if (position >= 0) SetText("TEXT_FUNC", FormatMinutesSeconds("PLAY", position));
}

void MainWindow::RefreshRecordingTime() {
    int64_t elapsed = capture_.GetCapturePosition();
    SetText("TEXT_FUNC", FormatMinutesSeconds("REC", elapsed));
    if (videoSettings_.UseTimeLimit() && elapsed > static_cast<int64_t>(videoSettings_.TimeLimit100ns()))
        StopRecording();
}

void MainWindow::RefreshStreamFormat() {
    int width = 0, height = 0;
    if (playbackActive_) {
        RECT video = playback_.GetVideoRect();
        width = video.right;
        height = video.bottom;
    } else if (!deviceControls_.GetCaptureSize(width, height)) {
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%d x %d", width, height);
    SetText("TEXT_STREAMFORMAT", text);
}

}  // namespace lumetra
