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
#include "motion/grabber_frame_source.h"
#include "motion/motion_setup_dialog.h"
#include "net/internet_destination.h"
#include "skin/skin_dialog.h"
#include "still/snapshot_window.h"
#include "still/still_settings.h"

namespace lumetra {

class MainWindow : public SkinDialog, private VideoWindowOwner, private CaptureFileAllocator {
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
    bool OnSnapshotButton();
    bool OnStillSettingsButton();

    bool OnMotionSetupButton();

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
    InputSelector inputSelector_;
    InternetDestinationDialog internet_;
    MotionSetupDialog motion_{internet_};
    GrabberFrameSource motionFrames_{capture_};

    MainWindowState state_;
    bool playbackActive_ = false;
    bool liveSized_ = false;  // the live picture's size was chosen from its menu
    bool pausedForSeeking_ = false;
    bool ignoreNextPosition_ = false;
    std::string playFile_;
    bool pendingFtp_ = false;        // the image a trigger took still has to be uploaded
    bool pendingEmail_ = false;      // ... and mailed
    bool motionRecording_ = false;   // a trigger started the recording: mail an alert when it ends
};

}  // namespace lumetra
