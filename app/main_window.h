#pragma once
// The program's one top-level window: a modal skinned dialog that owns every engine object.
#include <map>
#include <memory>
#include <string>

#include "app/main_state.h"
#include "media/analog_video_dialog.h"
#include "media/audio_mixer.h"
#include "media/capture_graph.h"
#include "media/capture_settings.h"
#include "media/device_controls.h"
#include "media/device_set.h"
#include "media/input_selector.h"
#include "media/playback_graph.h"
#include "media/vid_frame_wnd.h"
#include "media/webcam_dialog.h"
#include "motion/grabber_frame_source.h"
#include "motion/motion_setup_dialog.h"
#include "net/internet_destination.h"
#include "still/snapshot_window.h"
#include "still/still_settings.h"
#include "schedule/schedule_runner.h"
#include "skin/skin_dialog.h"
#include "tv/tv_tuner_dialog.h"

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
    void WheelHook(const std::string& name, int delta) override;
    void OnBackgroundPress() override;
    BOOL OnInitDialog() override;
    void OnOK() override;      // Enter (the dialog manager's OK): nothing, the program goes on
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
    // The "OK" ending, reached from BUTTON_EXIT and the last Esc step.
    void EndProgram();
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
    bool OnSnapshotButton();
    bool OnStillSettingsButton();

    bool OnMotionSetupButton();

    // The window's own buttons and gestures (window_actions.cpp).
    bool OnWebsiteButton();
    // A button whose name no action knows: the warning that names it and the view file.
    bool OnUnknownElement(const std::string& name);
    // Follows the hidden diagnostic sequence; true when it took the click (BUTTON_EXIT at a count).
    bool FollowDiagnosticSequence(const std::string& name);
    // The keyboard to the picture of the current mode, on activation and on a background press;
    // false when there is no picture window.
    bool FocusVideo();

    // Motion detection (motion_actions.cpp).
    void OnMotionTimer();
    void RunTriggerActions();
    void StartRearmTimer();
    void OnRearmTimer();
    // The last step of stopping a recording: the alert of a recording a trigger started.
    void AlertCaptureEnd();
    // The file of the last snapshot, which a trigger uploads and mails.
    std::string LastSnapshotFile() const;
    // Takes one snapshot through the snapshot pop-up: the snapshot button, the device's button,
    // the start by the device's button and a motion trigger all come here.
    void TakeSnapshot();
    // Timer 14: the snapshot of a start by the device's button, once the live picture has a frame.
    void OnStartupSnapshotTimer();

    // Start-up trace (mainwnd/startup_steps.cpp): the window's first showing, and the live picture's
    // first frame, watched from before the preview runs (timer 18 writes it down).
    void TraceWindowMessage(UINT msg, WPARAM wp);
    // What start-up leaves until the window is on the screen (read before any input): the device
    // dialogs' windows.
    void OnLaterStartupSteps();
    // Creates the device dialogs' windows if start-up has not yet (any dialog about to be shown asks).
    void FinishDeviceDialogs();
    void WatchFirstFrame();
    void OnFirstFrameTimer();

    // Element actions.
    void ShowViewMenu();
    void SwitchView(int view);
    // unattended: started by motion detection or the schedule, so nothing may wait for an answer.
    void StartRecording(bool unattended = false);
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

    // Graph builds. Their message boxes have no owner, so the window stays usable while one is up:
    // every entry point that touches a graph is refused while a build runs (GraphBusy), and graph
    // events that arrive meanwhile are read once the build is over.
    class GraphBuild {
    public:
        explicit GraphBuild(MainWindow& window);
        ~GraphBuild();
        GraphBuild(const GraphBuild&) = delete;
        GraphBuild& operator=(const GraphBuild&) = delete;

    private:
        MainWindow& window_;
    };
    bool GraphBusy() const { return graphBuilds_ > 0; }
    void OnCaptureGraphEvent();
    void OnPlaybackGraphEvent();

    // The video device: lost (unplugged, or its graph stopped on an error), looked for again, back.
    enum class DeviceState { kPresent, kLost, kProbing };
    // A device was found at start-up and is neither lost nor still being tried again.
    bool HasLiveDevice() const { return devices_.HasVideoDevice() && deviceState_ == DeviceState::kPresent; }
    // Builds the capture graph around the discovered device and runs the live picture.
    bool ConnectDevice();
    void DisconnectDevice();
    // The live graph stopped: its device went away, or it stopped on an error (aborted, with code).
    void OnCaptureStopped(bool aborted, HRESULT code);
    // A recording's file could not be written any further: the recording ends, the picture goes on.
    void OnRecordingWriteFailed(HRESULT code);
    void RetryDevice();
    void OnDeviceConfirmed();
    void OnDeviceChange(WPARAM event);
    void ShowDeviceLostState();
    void DisableDeviceElements();

    // Inputs, device controls, the sound card's mixer and the device dialogs (device_actions.cpp).
    bool OnCycleUp();
    bool OnCycleDown();
    bool OnCyclePrevious();
    bool OnCycleNext();
    bool OnPropertyButton();
    bool OnInputTuner();
    bool OnInputComposite();
    bool OnInputSVideo();
    bool OnInputWebcam();
    bool OnCrossbarButton();
    bool OnDevicePropertyButton();
    bool OnCaptureSizeButton();
    bool OnPropVolumeButton();
    bool OnMuteButton();
    bool SwitchInput(int input);
    void ShowInputDialog(int input, bool show);
    bool IsInputDialogVisible(int input) const;
    void StepProperty(int direction);
    void SetSelectedProperty(long long value);
    void OnPropertyPosition(int position);
    // The selected property's value out to the device or the mixer.
    void WritePropertyValue();
    // Shows the selected property's button and level, without writing it out.
    void ShowPropertyDisplay();
    void ReadDeviceProperties();
    void ReadProcAmpValues();
    void RefreshPropertyElements();
    void RefreshInputRadio();
    void ShowMuteState();
    void ShowRecordingInputMenu();
    void OnMixerControlChange(WPARAM mixer, LPARAM control);
    void CreateDeviceDialogs();
    // CreateDeviceDialogs in two steps: what reaches the device (the tuner's stored channel) before the
    // live picture starts, the dialogs' hidden windows once the main window is on the screen.
    void PrepareDeviceDialogs();
    void CreateDeviceDialogWindows();
    void DestroyDeviceDialogs();
    void PollHardwareButton();
    // A press of the device's snapshot button.
    void OnHardwareSnapshotButton();
    // The recording schedule (mainwnd/schedule_actions.cpp): its dialog, and the recorder the schedule
    // starts and stops through the record button's own path.
    void OpenRecordingSchedule();
    bool IsRecording() const override;
    bool IsPlaybackActive() const override { return playbackActive_; }
    bool IsBusy() const override { return GraphBusy(); }
    bool StartScheduledRecording(int source, int channel) override;
    void SelectScheduledSource(int source, int channel);
    void StopScheduledRecording() override;

    // Members in construction order; destroyed in reverse.
    CaptureGraph capture_;
    PlaybackGraph playback_;
    DeviceSet devices_;
    DeviceControls deviceControls_;
    CVidFrameWnd liveWnd_;
    CVidFrameWnd playbackWnd_;
    VideoCaptureSettings videoSettings_;
    StillCaptureSettings stillSettings_;
    SnapshotWindow snapshotWnd_{stillSettings_};
    int startupSnapshotWaits_ = 0;  // timer 14 ticks spent waiting for the first frame
    InternetDestinationDialog internet_;
    MotionSetupDialog motion_{internet_};
    GrabberFrameSource motionFrames_{capture_};
    AudioMixer mixer_;
    InputSelector inputSelector_;
    // The modeless device dialogs, created once the device is open when it has their input.
    std::unique_ptr<WebcamDialog> webcamDialog_;
    std::unique_ptr<AnalogVideoDialog> analogVideoDialog_;
    std::unique_ptr<TvTunerDialog> tvTunerDialog_;

    MainWindowState state_;
    bool playbackActive_ = false;
    bool liveSized_ = false;  // the live picture's size was chosen from its menu
    bool pausedForSeeking_ = false;
    bool ignoreNextPosition_ = false;
    std::string playFile_;
    int graphBuilds_ = 0;
    bool captureEventPending_ = false;
    bool playbackEventPending_ = false;
    DeviceState deviceState_ = DeviceState::kPresent;
    int deviceRetriesLeft_ = 0;
    std::string lastRecording_;  // the file the last recording went to, played by BUTTON_VIDPLAY
    std::map<std::string, std::string> skinTooltips_;  // each file button's own tooltip text
    bool pendingFtp_ = false;        // the image a trigger took still has to be uploaded
    bool pendingEmail_ = false;      // ... and mailed
    bool motionRecording_ = false;   // a trigger started the recording: mail an alert when it ends
    ScheduleRunner scheduleRunner_{*this};
    bool tracedShown_ = false;     // the start-up trace has the window's first showing
    int firstFrameWaits_ = 0;      // timer 18 ticks spent waiting for the first frame
    bool deviceDialogWindowsPending_ = false;  // the device was opened at start-up: its dialogs' windows follow
};

}  // namespace lumetra
