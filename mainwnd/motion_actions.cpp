// Motion detection in the main window: the setup dialog from its button, the 200 ms motion timer
// with the trigger actions (snapshot with FTP upload and e-mail, run a file, record), the re-arm
// timer, and the alert mail when a recording a trigger started ends.
#include <string>

#include "app/helpers.h"
#include "app/main_window.h"
#include "mainwnd/timers.h"
#include "res/resource.h"

namespace lumetra {
namespace {

constexpr UINT kMotionTickMs = 200;

}  // namespace

bool MainWindow::OnMotionSetupButton() {
    // From the first opening on, the motion timer runs for the rest of the run: it paints the
    // setup picture while the dialog is open and looks for motion while the detector is armed
    // (a step costs nothing otherwise).
    SetTimer(Handle(), kTimerMotion, kMotionTickMs, nullptr);
    motion_.DoModal(Handle());
    return true;
}

void MainWindow::OnMotionTimer() {
    // The image of the previous trigger goes out first, by FTP, then by e-mail. The flags are
    // cleared before the delivery, so a failure is reported once and not retried.
    if (pendingFtp_) {
        pendingFtp_ = false;
        internet_.FtpUpload(LastSnapshotFile());
    }
    if (pendingEmail_) {
        pendingEmail_ = false;
        internet_.SendMail(LastSnapshotFile(), "Attached image was captured by Motion Detection in " + ProductTitle());
    }
    // While recording (or playing back) no frames are examined.
    if (!capture_.IsPreviewing()) return;
    if (motion_.ProcessFrame()) RunTriggerActions();
}

void MainWindow::RunTriggerActions() {
    bool ftp = false, email = false;
    if (motion_.GetSnapshotAction(ftp, email)) {
        pendingFtp_ = ftp;
        pendingEmail_ = email;
        TakeSnapshot();
        StartRearmTimer();
    }
    std::string file;
    if (motion_.GetRunAction(file)) {
        OpenWithShell(file);
        StartRearmTimer();
    }
    bool alert = false;
    if (motion_.GetVideoAction(alert)) {
        motionRecording_ = alert;
        KillTimer(Handle(), kTimerMotion);
        StartRecording(true);
        // A trigger whose recording could not start must not make a later recording of the user's
        // send the alert.
        if (!capture_.IsCapturing()) motionRecording_ = false;
        SetTimer(Handle(), kTimerMotion, kMotionTickMs, nullptr);
    }
}

void MainWindow::StartRearmTimer() {
    UINT delay = 0;
    if (motion_.GetRearmDelay(delay)) SetTimer(Handle(), kTimerRearm, delay, nullptr);
}

void MainWindow::OnRearmTimer() {
    KillTimer(Handle(), kTimerRearm);
    motion_.Arm();
}

std::string MainWindow::LastSnapshotFile() const {
    return stillSettings_.LastFileName();
}

void MainWindow::AlertCaptureEnd() {
    if (!motionRecording_) return;
    internet_.SendMail("", LoadResourceString(IDS_MOTION_CAPTURE_ALERT));
    StartRearmTimer();
    motionRecording_ = false;
}

}  // namespace lumetra
