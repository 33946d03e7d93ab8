#pragma once
// "Motion detection setup": what counts as motion (granularity, sensitivity, percentage, the area
// drawn on the live picture), what happens on a trigger (video, snapshot with FTP and e-mail, run a
// file, re-arm), and the ARM button behind a countdown. The object lives as long as the main
// window and also carries the detector, so its settings stay in effect after the dialog closes.
#include <windows.h>

#include <string>

#include "controls/gradient_progress.h"
#include "framework/dialog.h"
#include "framework/handles.h"
#include "motion/motion_engine.h"

namespace lumetra {

class InternetDestinationDialog;

// What a trigger does, and the arming delay.
struct MotionActions {
    int countdown = 30;  // seconds, 0..60
    int video = 0;
    int vidAlert = 0;    // with video: mail an alert when the recording ends
    int snap = 0;
    int ftp = 0;         // with snap: upload the image
    int email = 0;       // with snap: mail the image
    int run = 0;
    std::string runFile = "Not selected";
    int rearm = 0;
    int rearmSecs = 0;
};

// The longest re-arm delay: its milliseconds must fit a timer's interval.
constexpr int kMaxRearmSeconds = 2147483;

class MotionSetupDialog : public Dialog {
public:
    // Restores the stored settings, so that detection works as last set up.
    explicit MotionSetupDialog(InternetDestinationDialog& internet);

    MotionEngine& Engine() { return engine_; }
    MotionActions& Actions() { return actions_; }
    void SetFrameSource(MotionFrameSource* source) { engine_.SetFrameSource(source); }

    // One detection step (the main window's 200 ms motion timer); true for a trigger.
    bool ProcessFrame();
    // Arms again after a trigger (the re-arm timer).
    void Arm() { engine_.Arm(); }
    bool Armed() const { return engine_.Armed(); }

    // The trigger actions.
    bool GetSnapshotAction(bool& ftp, bool& email) const;
    bool GetVideoAction(bool& alert) const;
    bool GetRunAction(std::string& file) const;
    bool GetRearmDelay(UINT& milliseconds) const;

    void LoadMotionSettings();
    void SaveMotionSettings() const;

protected:
    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Exchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;
    // Shows the countdown modally; IDOK when it ran out.
    virtual INT_PTR RunCountdown(int seconds);

private:
    // Controls to settings; false (after the standard message) when the re-arm delay is not an integer.
    bool ReadControls();
    void ReadControlsLeniently();
    void ShowValues();
    void EnableActionControls();
    void RewritePercentCaption();
    void ResetMeterRange();
    void PlaceAndSizePicture();
    void ReleaseBackdrop();
    void ShowPicture(bool motion);
    void OnTrackbarMoved(HWND trackbar);
    void OnMouseMove(UINT keys, POINT point);
    void RestoreDefaults();
    void Browse();
    void TestRunFile();
    void ArmWithCountdown();

    InternetDestinationDialog& internet_;
    MotionEngine engine_;
    MotionActions actions_;
    GradientProgress meter_;
    Bitmap picture_;
    bool strictRead_ = true;
};

}  // namespace lumetra
