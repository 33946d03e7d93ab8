// The start-up trace's steps that happen after the initialisation: the main window's first showing and
// painting, and the live picture's first frame drawn.
#include "app/main_window.h"
#include "framework/startup_trace.h"
#include "mainwnd/timers.h"

namespace lumetra {
namespace {

constexpr UINT kFirstFrameWatchMs = 5;
constexpr int kFirstFrameWatchTicks = 2000;  // about ten seconds

}  // namespace

void MainWindow::TraceWindowMessage(UINT msg, WPARAM wp) {
    if (msg == WM_SHOWWINDOW && wp && !tracedShown_) {
        tracedShown_ = true;
        TraceStartupStep("main window shown");
    } else if (msg == WM_PAINT && tracedShown_ && !tracedPainted_) {
        tracedPainted_ = true;
        TraceStartupStep("main window painted");
    }
}

void MainWindow::WatchFirstFrame() {
    if (!StartupTraceOn()) return;
    firstFrameWaits_ = 0;
    SetTimer(Handle(), kTimerFirstFrame, kFirstFrameWatchMs, nullptr);
}

void MainWindow::OnFirstFrameTimer() {
    // The renderer counts the frames it has drawn; without that count, a frame in the sample grabber is
    // the nearest sign, since the grabber passes each frame on to the renderer.
    int drawn = capture_.FramesDrawn();
    bool seen = drawn > 0 || (drawn < 0 && snapshotWnd_.HasFrame());
    if (!seen && ++firstFrameWaits_ < kFirstFrameWatchTicks) return;
    KillTimer(Handle(), kTimerFirstFrame);
    EndStartupTrace(seen ? "first frame drawn" : "no frame drawn within ten seconds");
}

}  // namespace lumetra
