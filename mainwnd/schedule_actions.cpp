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

bool MainWindow::StartScheduledRecording() {
    if (!IsRecording()) StartRecording(true);
    return capture_.IsCapturing();
}

void MainWindow::StopScheduledRecording() {
    if (IsRecording()) StopRecording();
}

}  // namespace lumetra
