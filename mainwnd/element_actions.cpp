// What the skin's elements do in the main window: the button actions by element name, the
// property display, and the element states that follow the mode.
#include <string>
#include <vector>

#include "app/main_window.h"
#include "mainwnd/popup_menu.h"
#include "mainwnd/timers.h"

namespace lumetra {
// One row per element name; the result says whether the skin's own on/off and radio logic may run.
const MainWindow::ButtonActionRow* MainWindow::ButtonActions(size_t& count) {
    static const ButtonActionRow kRows[] = {
        // Window
        {"BUTTON_MINIMIZE", &MainWindow::OnMinimize},
        {"BUTTON_EXIT", &MainWindow::OnExitButton},
        {"BUTTON_VIEW_MENU", &MainWindow::OnViewMenu},
        {"BUTTON_WEBSITE", &MainWindow::OnWebsiteButton},
        // Transport
        {"BUTTON_VIDCAP", &MainWindow::OnRecordButton},
        {"BUTTON_VIDPLAY", &MainWindow::OnPlayButton},
        {"BUTTON_VIDPAUSE", &MainWindow::OnPauseButton},
        {"BUTTON_VIDSTOP", &MainWindow::OnStopButton},
        // Capture settings
        {"BUTTON_VID_FILE", &MainWindow::OnVideoFileButton},
        {"BUTTON_VIDCAP_SETUP", &MainWindow::OnVideoSetupButton},
        // Snapshots
        {"BUTTON_SNAPSHOT", &MainWindow::OnSnapshotButton},
        {"BUTTON_SNAP_FILE", &MainWindow::OnStillSettingsButton},
        {"BUTTON_SNAPSHOT_SETUP", &MainWindow::OnStillSettingsButton},
        // Motion detection
        {"BUTTON_MOTION_SETUP", &MainWindow::OnMotionSetupButton},
        // Inputs, device controls and sound
        {"BUTTON_CYCLE_UP", &MainWindow::OnCycleUp},
        {"BUTTON_CYCLE_DOWN", &MainWindow::OnCycleDown},
        {"BUTTON_CYCLE_PREV", &MainWindow::OnCyclePrevious},
        {"BUTTON_CYCLE_NEXT", &MainWindow::OnCycleNext},
        {"BUTTON_INPUT_WEBCAM", &MainWindow::OnInputWebcam},
        {"BUTTON_INPUT_TUNER", &MainWindow::OnInputTuner},
        {"BUTTON_INPUT_COMPOSITE", &MainWindow::OnInputComposite},
        {"BUTTON_INPUT_SVIDEO", &MainWindow::OnInputSVideo},
        {"BUTTON_XBAR", &MainWindow::OnCrossbarButton},
        {"BUTTON_DEVICE_PROPERTY", &MainWindow::OnDevicePropertyButton},
        {"BUTTON_CAPTURE_SIZE", &MainWindow::OnCaptureSizeButton},
        {"BUTTON_PROP_BRIGHTNESS", &MainWindow::OnPropertyButton},
        {"BUTTON_PROP_CONTRAST", &MainWindow::OnPropertyButton},
        {"BUTTON_PROP_SATURATION", &MainWindow::OnPropertyButton},
        {"BUTTON_PROP_VOLUME", &MainWindow::OnPropVolumeButton},
        {"BUTTON_MUTE", &MainWindow::OnMuteButton},
    };
    count = sizeof kRows / sizeof kRows[0];
    return kRows;
}

bool MainWindow::ButtonHook(const std::string& name, int onState, bool pressed) {
    // Behind a build's message box no action may start, nor a button change its state.
    if (GraphBusy()) return false;
    if (pressed) return true;
    // BUTTON_EXIT at a count of the hidden sequence runs a diagnostic instead of ending the program.
    if (FollowDiagnosticSequence(name)) return true;
    size_t count = 0;
    const ButtonActionRow* rows = ButtonActions(count);
    for (size_t i = 0; i < count; ++i)
        if (name == rows[i].name) return (this->*rows[i].run)();
    return OnUnknownElement(name);
}

bool MainWindow::OnMinimize() {
    WINDOWPLACEMENT placement{sizeof placement};
    GetWindowPlacement(Handle(), &placement);
    placement.showCmd = SW_SHOWMINIMIZED;
    SetWindowPlacement(Handle(), &placement);
    return true;
}

bool MainWindow::OnExitButton() {
    EndProgram();
    return true;
}

bool MainWindow::OnViewMenu() {
    ShowViewMenu();
    return true;
}

bool MainWindow::OnRecordButton() {
    // A recording is under way while the graph is built for it, running or paused.
    if (!capture_.IsRecording()) StartRecording();
    return false;
}

bool MainWindow::OnPlayButton() {
    PlayFromButton();
    return false;
}

bool MainWindow::OnPauseButton() {
    TogglePause();
    return false;
}

bool MainWindow::OnStopButton() {
    if (playbackActive_) StopPlayback();
    else if (capture_.IsRecording()) StopRecording();
    return true;
}

bool MainWindow::OnVideoFileButton() {
    OpenVideoSettings();
    RefreshFileTooltips();
    return true;
}

bool MainWindow::OnVideoSetupButton() {
    OpenVideoSettings();
    return true;
}

void MainWindow::ShowViewMenu() {
    std::vector<std::string> texts;
    for (int i = 0; i < ViewCount(); ++i) texts.push_back(ViewTitle(i));
    texts.push_back("SEPERATOR");
    const int scheduleItem = static_cast<int>(texts.size());
    texts.push_back("Recording Schedule...");
    texts.push_back("Full Screen Mode");
    RECT below{};
    bool found = GetElementScreenRect("BUTTON_VIEW_MENU", below);
    int choice = TrackTextMenu(Handle(), texts, found ? &below : nullptr);
    if (choice < 0) return;
    if (choice < ViewCount()) SwitchView(choice);
    else if (choice == scheduleItem) OpenRecordingSchedule();
    else capture_.SetFullScreen(true);
}

void MainWindow::SwitchView(int view) {
    ShowWindow(Handle(), SW_HIDE);
    SelectView(view, true);
    PlaceLiveVideo();
    state_.skinView = CurrentView();
    RefreshInputButtons();
    ShowWindow(Handle(), SW_SHOW);
}

void MainWindow::RefreshPropertyDisplay() {
    ShowPropertyDisplay();
    WritePropertyValue();
}

void MainWindow::ShowPropertyDisplay() {
    static const char* const kButtons[] = {"BUTTON_PROP_VOLUME", "BUTTON_PROP_BRIGHTNESS", "BUTTON_PROP_CONTRAST",
                                           "BUTTON_PROP_SATURATION"};
    for (const char* name : kButtons) ShowElement(name, false);
    ShowElement(kButtons[state_.propView], true);
    unsigned long value = state_.volume, maximum = state_.volumeMax;
    switch (state_.propView) {
    case kPropBrightness: value = state_.brightness; maximum = state_.brightnessMax; break;
    case kPropContrast: value = state_.contrast; maximum = state_.contrastMax; break;
    case kPropSaturation: value = state_.saturation; maximum = state_.saturationMax; break;
    default: break;
    }
    SetProgressValue("PROGRESS_PROPERTY", maximum ? static_cast<int>(value * 100ull / maximum) : 0);
}

void MainWindow::HoverHook(const std::string& name, POINT, UINT) {
    // Over the background the main window takes the focus, so that wheel messages reach it.
    if (name.empty()) SetFocus(Handle());
}

void MainWindow::OnBackgroundPress() {
    FocusVideo();
}


void MainWindow::RefreshElements() {
    for (const char* name : {"BUTTON_VIDCAP", "BUTTON_VIDPLAY", "BUTTON_VIDPAUSE", "BUTTON_VIDSTOP", "BUTTON_SNAPSHOT"})
        EnableElement(name, true);
    RefreshStreamFormat();
    bool settingsEnabled = true;
    if (playbackActive_) {
        SetButtonOn("BUTTON_VIDCAP", false);
        SetButtonOn("BUTTON_VIDPLAY", true);
        EnableElement("BUTTON_VIDCAP", false);
        EnableElement("BUTTON_VIDPLAY", false);
        EnableElement("PROGRESS_VIDEO", true);
        SetText("TEXT_FUNC", "PLAY");
        SetText("TEXT_FILENAME", playFile_);
        settingsEnabled = false;
    } else if (capture_.GetMode() == kModePreview) {
        SetButtonOn("BUTTON_VIDCAP", false);
        SetButtonOn("BUTTON_VIDPLAY", false);
        EnableElement("BUTTON_VIDPAUSE", false);
        EnableElement("BUTTON_VIDSTOP", false);
        EnableElement("PROGRESS_VIDEO", false);
        SetText("TEXT_FUNC", "MONITOR");
        SetText("TEXT_FILENAME", "");
    } else if (capture_.GetMode() == kModeCapture) {
        SetButtonOn("BUTTON_VIDCAP", true);
        SetButtonOn("BUTTON_VIDPLAY", false);
        for (const char* name : {"BUTTON_VIDCAP", "BUTTON_VIDPLAY", "BUTTON_VIDPAUSE", "PROGRESS_VIDEO", "BUTTON_SNAPSHOT"})
            EnableElement(name, false);
        SetText("TEXT_FUNC", "REC");
        SetText("TEXT_FILENAME", videoSettings_.CaptureFileName());
        settingsEnabled = false;
    }
    EnableElement("BUTTON_SNAPSHOT", settingsEnabled);
    RefreshInputButtons();
    for (const char* name : {"BUTTON_DEVICE_PROPERTY", "BUTTON_CAPTURE_SIZE", "BUTTON_VID_FILE", "BUTTON_SNAP_FILE",
                             "BUTTON_SNAPSHOT", "BUTTON_MOTION_SETUP", "BUTTON_PROP_VOLUME"})
        EnableElement(name, settingsEnabled);
    SetButtonOn("BUTTON_VIDPAUSE", capture_.IsPaused());
    if (!playbackActive_ && !HasLiveDevice()) DisableDeviceElements();
}

// Without a working video device there is nothing to record, pause, stop, grab or adjust. A file
// can still be played while a lost device is away, but not without any device: the playback graph
// is made only when one was found.
void MainWindow::DisableDeviceElements() {
    for (const char* name : {"BUTTON_VIDCAP", "BUTTON_VIDPAUSE", "BUTTON_VIDSTOP", "BUTTON_SNAPSHOT", "PROGRESS_VIDEO",
                             "BUTTON_DEVICE_PROPERTY", "BUTTON_CAPTURE_SIZE", "BUTTON_XBAR", "BUTTON_INPUT_TUNER",
                             "BUTTON_INPUT_COMPOSITE", "BUTTON_INPUT_SVIDEO", "BUTTON_INPUT_WEBCAM"})
        EnableElement(name, false);
    if (!playback_.HasGraph()) EnableElement("BUTTON_VIDPLAY", false);
}

void MainWindow::RefreshInputButtons() {
    // Inputs are routed through the crossbar only while the live picture runs.
    bool previewing = capture_.IsPreviewing();
    static const char* const kInputButtons[] = {"BUTTON_INPUT_TUNER", "BUTTON_INPUT_COMPOSITE", "BUTTON_INPUT_SVIDEO",
                                                "BUTTON_INPUT_WEBCAM"};
    for (int input = 0; input < 4; ++input)
        EnableElement(kInputButtons[input], previewing && inputSelector_.HasInput(input));
    EnableElement("BUTTON_XBAR", previewing && inputSelector_.HasAnalogInput());
    EnableElement("BUTTON_DEVICE_PROPERTY", previewing);
    RefreshPropertyDisplay();
}

void MainWindow::RefreshFileTooltips() {
    for (const char* name : {"BUTTON_VID_FILE", "BUTTON_VIDPLAY"}) {
        // The skin's own text is kept from the first refresh: it may hold " (" itself.
        const std::string& own = skinTooltips_.emplace(name, GetTooltip(name)).first->second;
        SetTooltip(name, own + " (" + videoSettings_.CaptureFileName() + ")");
    }
}

}  // namespace lumetra
