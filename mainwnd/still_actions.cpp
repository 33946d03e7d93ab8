// Snapshots from the main window: the camera button, the still settings buttons, and the one
// entry that every source of a snapshot uses.
#include "app/main_window.h"

namespace lumetra {

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

}  // namespace lumetra
