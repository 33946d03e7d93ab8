// A live graph that stops by itself, because its video device went away or on an error: a
// recording is closed so its file stays playable, the user is told once, the window shows a stopped
// state, and the live picture is rebuilt by itself when the device can be used again. The
// platform's device notices start a look at once; without them the device is looked for every few
// seconds for a while.
#include "app/main_window.h"

#include <dbt.h>

#include <cstdio>
#include <string>

#include "mainwnd/timers.h"

namespace lumetra {

void MainWindow::OnCaptureStopped(bool aborted, HRESULT code) {
    if (deviceState_ == DeviceState::kProbing) {
        // The rebuilt picture found the device still gone: look again later, without a message.
        KillTimer(Handle(), kTimerDeviceConfirm);
        deviceState_ = DeviceState::kLost;
        {
            GraphBuild build(*this);
            capture_.Stop();
        }
        if (deviceRetriesLeft_ > 0) SetTimer(Handle(), kTimerDeviceRetry, kDeviceRetryMs, nullptr);
        return;
    }
    // Told already (the audio device of a recording reports its loss too), or never had one.
    if (deviceState_ == DeviceState::kLost || !devices_.HasVideoDevice()) return;

    const bool recording = capture_.IsRecording();
    deviceState_ = DeviceState::kLost;
    KillTimer(Handle(), kTimerRecording);
    {
        GraphBuild build(*this);
        // Stopping the graph closes a recording's file with its index; the writer then leaves.
        capture_.Stop();
        capture_.Dismantle();
    }
    ShowDeviceLostState();

    char reason[96];
    std::snprintf(reason, sizeof reason, "Error %08x : Capture Graph : The capture graph stopped on an error.",
                  static_cast<unsigned>(code));
    std::string text = aborted ? reason : "Video Capture device disconnected.";
    if (recording) text += " The recording was stopped and saved to " + capture_.RecordingFile() + ".";
    text += aborted ? " The live picture is started again." : " The live picture returns when the device is connected again.";
    MessageBoxA(Handle(), text.c_str(), aborted ? "Error" : "Warning",
                MB_OK | (aborted ? MB_ICONERROR : MB_ICONEXCLAMATION));
    // A recording a motion trigger started has ended: its alert goes out as after a stop.
    if (recording) AlertCaptureEnd();

    deviceRetriesLeft_ = kDeviceRetries;
    SetTimer(Handle(), kTimerDeviceRetry, kDeviceRetryMs, nullptr);
}

void MainWindow::OnRecordingWriteFailed(HRESULT code) {
    if (!capture_.IsRecording()) return;
    const std::string file = capture_.RecordingFile();
    // Stopping closes the file with what reached it, so the part recorded so far stays playable.
    StopRecording();
    char reason[96];
    std::snprintf(reason, sizeof reason, "Error %08x : Capture Graph : ", static_cast<unsigned>(code));
    const std::string text = reason + std::string("The capture file cannot be written (the disk may be full). ") +
                             "The recording was stopped; what was recorded so far is in " + file + ".";
    MessageBoxA(Handle(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

void MainWindow::ShowDeviceLostState() {
    RefreshElements();
    SetButtonOn("BUTTON_VIDCAP", false);
    SetText("TEXT_FUNC", "STOPPED");
    SetText("TEXT_FILENAME", "");
}

// One look for the lost device: found again, its graph is rebuilt from new filters (a device that
// was unplugged cannot be used through its old ones) and the live picture runs on probation until
// it has run for a while without a new loss.
void MainWindow::RetryDevice() {
    if (deviceState_ != DeviceState::kLost || playbackActive_) return;  // during playback: at the next tick
    if (deviceRetriesLeft_ > 0) --deviceRetriesLeft_;
    if (deviceRetriesLeft_ == 0) KillTimer(Handle(), kTimerDeviceRetry);

    GraphBuild build(*this);
    // The device dialogs hold the old filters' interfaces: they are made again for the new ones.
    DestroyDeviceDialogs();
    DisconnectDevice();
    devices_.Discover();
    if (!devices_.HasVideoDevice()) return;  // not there yet
    if (!ConnectDevice()) {
        // Its message said why; trying again every few seconds would repeat it. A device notice
        // looks again.
        KillTimer(Handle(), kTimerDeviceRetry);
        return;
    }
    deviceControls_.SetCaptureSize(state_.streamFormat);
    CreateDeviceDialogs();
    if (!capture_.BuildPreview()) {
        KillTimer(Handle(), kTimerDeviceRetry);
        return;
    }
    PlaceLiveVideo();
    inputSelector_.SelectInput(-1);
    if (!capture_.Run()) return;  // not ready to run yet: the next tick tries again
    deviceState_ = DeviceState::kProbing;
    KillTimer(Handle(), kTimerDeviceRetry);
    SetTimer(Handle(), kTimerDeviceConfirm, kDeviceConfirmMs, nullptr);
}

void MainWindow::OnDeviceConfirmed() {
    if (deviceState_ != DeviceState::kProbing) return;
    deviceState_ = DeviceState::kPresent;
    RefreshElements();
}

void MainWindow::OnDeviceChange(WPARAM event) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVNODES_CHANGED) return;
    if (deviceState_ != DeviceState::kLost || GraphBusy()) return;
    // Something was plugged in: look now, and for a while longer in case the device is still starting.
    deviceRetriesLeft_ = kDeviceRetries;
    SetTimer(Handle(), kTimerDeviceRetry, kDeviceRetryMs, nullptr);
    RetryDevice();
}

}  // namespace lumetra
