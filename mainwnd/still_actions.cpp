// Snapshots from the main window: the camera button, the still settings buttons, the one entry
// that every source of a snapshot uses, and the snapshot after a start by the device's button.
#include "app/main_window.h"
#include "mainwnd/timers.h"

namespace lumetra {
namespace {

// A live picture delivers its first frame a few hundred milliseconds after it starts; the
// start-up snapshot waits for it up to 100 ticks of timer 14 (5 s).
constexpr int kStartupSnapshotWaits = 100;

}  // namespace

bool MainWindow::OnSnapshotButton() {
    TakeSnapshot();
    return true;
}

bool MainWindow::OnStillSettingsButton() {
    stillSettings_.DoModal(Handle());
    return true;
}

void MainWindow::TakeSnapshot() {
    snapshotWnd_.TakeSnapshot();
}

void MainWindow::OnStartupSnapshotTimer() {
    if (!snapshotWnd_.HasFrame() && ++startupSnapshotWaits_ < kStartupSnapshotWaits) {
        SetTimer(Handle(), kTimerStartupSnapshot, kStartupSnapshotMs, nullptr);
        return;
    }
    TakeSnapshot();
}

}  // namespace lumetra
