#pragma once
// The program's one top-level window: a modal skinned dialog that owns every engine object.
#include <string>

#include "app/main_state.h"
#include "media/capture_graph.h"
#include "media/capture_settings.h"
#include "media/device_controls.h"
#include "media/device_set.h"
#include "media/input_selector.h"
#include "media/playback_graph.h"
#include "media/vid_frame_wnd.h"
#include "schedule/schedule_runner.h"
#include "skin/skin_dialog.h"

namespace lumetra {

class MainWindow : public SkinDialog, private VideoWindowOwner, private CaptureFileAllocator,
                   private ScheduledRecorder {
public:
    MainWindow();
    ~MainWindow() override;

protected:
    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Skin element events (element actions).
    bool ButtonHook(const std::string& name, int onState, bool pressed) override;
    void HoverHook(const std::string& name, POINT point, UINT keys) override;
    void ProgressPositionHook(const std::string& name, int position) override;
    void ProgressReleaseHook(const std::string& name) override;
    void OnBackgroundPress() override;
    BOOL OnInitDialog() override;
    void OnOK() override;      // the "OK" ending
    void OnCancel() override;  // Esc: closes the top-most thing, finally the program

private:
    // Start-up and shutdown.
    void SetIcons();
    void CreateVideoWindows();
    // Opens the video device and starts the live picture; false without a device.
    bool OpenDevice();
    void CloseDevice();
    void StartPeriodicTimers();
    void KillShutdownTimers();
    // Leaves full screen or hides a pop-up when one is up; false when nothing was closed.
    bool CloseTopmostThing();

    // Button actions by element name (element_actions.cpp); each returns whether the skin's own
    // on/off and radio logic may run.
    struct ButtonActionRow {
        const char* name;
        bool (MainWindow::*run)();
    };
    static const ButtonActionRow* ButtonActions(size_t& count);
    bool OnMinimize();
    bool OnExitButton();
    bool OnViewMenu();
    bool OnRecordButton();
    bool OnPlayButton();
    bool OnPauseButton();
    bool OnStopButton();
    bool OnVideoFileButton();
    bool OnVideoSetupButton();

    // Element actions.
    void ShowViewMenu();
    void SwitchView(int view);
    void StartRecording();
    void StopRecording();
    void PlayFromButton();
    void PlayFile(const std::string& path);
    void StopPlayback();
    void TogglePause();
    void OpenVideoSettings();
    // Brings every element up to date with the mode (preview, recording, playback, stopped).
    void RefreshElements();
    void RefreshInputButtons();
    void RefreshFileTooltips();
    // Shows the button of the selected property and its value on the property bar.
    void RefreshPropertyDisplay();

    // Live status.
    void OnTimer(UINT_PTR id);
    void RefreshClock();
    void RefreshPlaybackTime();
    void RefreshRecordingTime();
    void RefreshStreamFormat();

    // The video windows follow the skin's screen rectangle.
    void PlaceLiveVideo();
    void RaiseVideoWindow();
    RECT ScreenRectOnScreen() const;

    // VideoWindowOwner
    void PlayDroppedFile(const std::string& path) override;
    void RefitVideo(Kind kind) override;
    void ResizeVideo(Kind kind, int command) override;
    bool IsVideoFullScreen(Kind kind) override;
    void SetVideoFullScreen(Kind kind, bool on) override;

    // CaptureFileAllocator
    bool HasMpegEncoder() const override { return capture_.HasMpegEncoder(); }
    bool PreallocateFile(uint64_t sizeBytes) override { return capture_.PreallocateFile(sizeBytes); }
    void ShowEncoderProperties(HWND owner) override { capture_.ShowEncoderProperties(owner); }
    bool ReadEncoderPreset(int& compType) override;

    // The recording schedule (mainwnd/schedule_actions.cpp): its dialog, and the recorder the schedule
    // starts and stops through the record button's own path.
    void OpenRecordingSchedule();
    bool IsRecording() const override;
    bool IsPlaybackActive() const override { return playbackActive_; }
    bool StartScheduledRecording() override;
    void StopScheduledRecording() override;

    // Members in construction order; destroyed in reverse.
    CaptureGraph capture_;
    PlaybackGraph playback_;
    DeviceSet devices_;
    DeviceControls deviceControls_;
    CVidFrameWnd liveWnd_;
    CVidFrameWnd playbackWnd_;
    VideoCaptureSettings videoSettings_;
    InputSelector inputSelector_;

    MainWindowState state_;
    bool playbackActive_ = false;
    bool liveSized_ = false;  // the live picture's size was chosen from its menu
    bool pausedForSeeking_ = false;
    bool ignoreNextPosition_ = false;
    std::string playFile_;
    ScheduleRunner scheduleRunner_{*this};
};

}  // namespace lumetra
