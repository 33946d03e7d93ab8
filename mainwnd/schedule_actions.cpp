// The recording schedule in the main window: the view menu opens its dialog, and the schedule records
// through the same start and stop as the record and stop buttons.
#include "app/main_window.h"
#include "schedule/recording_schedule_dialog.h"

namespace lumetra {

void MainWindow::OpenRecordingSchedule() {
    RecordingScheduleDialog dialog(&scheduleRunner_);
    dialog.DoModal(Handle());
}

bool MainWindow::IsRecording() const { return capture_.GetMode() == kModeCapture; }

bool MainWindow::StartScheduledRecording(int source, int channel) {
    if (!IsRecording()) {
        SelectScheduledSource(source, channel);
        StartRecording(true);
    }
    return capture_.IsCapturing();
}

void MainWindow::SelectScheduledSource(int source, int channel) {
    // The schedule's sources are the input buttons' inputs, in the same order. A source the device
    // does not have leaves the input in use: a recording of it beats none.
    if (!inputSelector_.IsCurrent(source) && inputSelector_.HasInput(source) && SwitchInput(source))
        RefreshInputRadio();
    if (source == kInputTuner && channel >= 0 && inputSelector_.IsCurrent(kInputTuner) && tvTunerDialog_)
        tvTunerDialog_->TuneTo(channel);
}

void MainWindow::StopScheduledRecording() {
    if (IsRecording()) StopRecording();
}

}  // namespace lumetra
