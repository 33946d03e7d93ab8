// The video windows on the skin's screen rectangle: placement, picture sizes and full screen.
#include "app/main_window.h"
#include "media/capture_sizes.h"

namespace lumetra {

RECT MainWindow::ScreenRectOnScreen() const {
    RECT r = ScreenRect();
    MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MainWindow::PlaceLiveVideo() {
    if (!Handle() || IsIconic(Handle())) return;
    RECT target = ScreenRectOnScreen();
    if (target.right <= target.left || target.bottom <= target.top) return;
    // Keep a size chosen from the menu; follow the skin's screen rectangle with the position.
    if (liveWnd_.Handle()) {
        RECT client;
        GetClientRect(liveWnd_.Handle(), &client);
        if (!liveSized_) {
            liveWnd_.PlaceClientArea(target);
        } else {
            target.right = target.left + client.right;
            target.bottom = target.top + client.bottom;
            liveWnd_.PlaceClientArea(target);
        }
    }
    if (playbackWnd_.Handle() && playbackActive_) {
        RECT client;
        GetClientRect(playbackWnd_.Handle(), &client);
        RECT at = ScreenRectOnScreen();
        at.right = at.left + client.right;
        at.bottom = at.top + client.bottom;
        playbackWnd_.PlaceClientArea(at);
    }
    capture_.FitVideoWindow();
}

void MainWindow::PlayDroppedFile(const std::string& path) {
    if (GraphBusy()) return;
    if (capture_.IsRecording()) return;  // a recording is not interrupted by a drop
    if (playbackActive_) StopPlayback();
    PlayFile(path);
}

void MainWindow::RefitVideo(Kind kind) {
    if (kind == kPlayback && playbackActive_) playback_.FitVideoWindow();
    else capture_.FitVideoWindow();
}

void MainWindow::ResizeVideo(Kind kind, int command) {
    if (kind == kLive) {
        int width = 0, height = 0;
        if (!deviceControls_.GetCaptureSize(width, height)) return;
        VideoSize size = ScaledVideoSize({width, height}, command);
        liveSized_ = true;
        liveWnd_.SetClientSize(size.width, size.height);
        capture_.FitVideoWindow();
    } else {
        RECT video = playback_.GetVideoRect();
        VideoSize size = ScaledVideoSize({video.right, video.bottom}, command);
        playbackWnd_.SetClientSize(size.width, size.height);
        playback_.FitVideoWindow();
    }
}

bool MainWindow::IsVideoFullScreen(Kind kind) {
    return kind == kPlayback && playbackActive_ ? playback_.IsFullScreen() : capture_.IsFullScreen();
}

void MainWindow::SetVideoFullScreen(Kind kind, bool on) {
    if (GraphBusy()) return;
    if (kind == kPlayback && playbackActive_) playback_.SetFullScreen(on);
    else capture_.SetFullScreen(on);
}

}  // namespace lumetra
