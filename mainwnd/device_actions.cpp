// What the main window does with the device's inputs, picture controls, capture size, the sound
// card's mixer and the hardware snapshot button; and the device dialogs it owns.
#include <string>
#include <vector>

#include "app/main_window.h"
#include "framework/startup_trace.h"
#include "mainwnd/device_menus.h"
#include "mainwnd/popup_menu.h"

namespace lumetra {
namespace {

const char* const kInputButtons[] = {"BUTTON_INPUT_TUNER", "BUTTON_INPUT_COMPOSITE", "BUTTON_INPUT_SVIDEO",
                                     "BUTTON_INPUT_WEBCAM"};
const char* const kPropertyTrackbars[] = {"TRACKBAR_VOLUME", "TRACKBAR_BRIGHTNESS", "TRACKBAR_CONTRAST",
                                          "TRACKBAR_SATURATION"};
// The device's picture control behind each property selector value (volume has none).
const long kProcAmpProperty[] = {-1, 0, 1, 3};

long long Clamped(long long value, unsigned long maximum) {
    if (value < 0) return 0;
    return value > static_cast<long long>(maximum) ? static_cast<long long>(maximum) : value;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The property selector and its value

namespace {
struct PropertySlot {
    unsigned long* value;
    unsigned long* maximum;
    long* minimum;  // the device's, for the picture controls; null for the volume
};

PropertySlot Slot(MainWindowState& state, int property) {
    switch (property) {
    case kPropBrightness: return {&state.brightness, &state.brightnessMax, &state.brightnessMin};
    case kPropContrast: return {&state.contrast, &state.contrastMax, &state.contrastMin};
    case kPropSaturation: return {&state.saturation, &state.saturationMax, &state.saturationMin};
    default: return {&state.volume, &state.volumeMax, nullptr};
    }
}
}  // namespace

void MainWindow::SetSelectedProperty(long long value) {
    PropertySlot slot = Slot(state_, state_.propView);
    *slot.value = static_cast<unsigned long>(Clamped(value, *slot.maximum));
    // The property's trackbar only shows the value: it follows whatever set it.
    SetTrackbarPosition(kPropertyTrackbars[state_.propView], static_cast<int>(*slot.value));
    RefreshPropertyDisplay();
}

void MainWindow::StepProperty(int direction) {
    PropertySlot slot = Slot(state_, state_.propView);
    long long step = direction * static_cast<long long>(*slot.maximum / 100);
    SetSelectedProperty(static_cast<long long>(*slot.value) + step);
}

void MainWindow::WheelHook(const std::string& name, int delta) {
    // The property buttons and the property bar ("..._PROP...") take the wheel.
    if (name.find("_PROP", 1) == std::string::npos || delta == 0) return;
    PropertySlot slot = Slot(state_, state_.propView);
    long long step = static_cast<long long>(*slot.maximum / 50);
    SetSelectedProperty(static_cast<long long>(*slot.value) + (delta > 0 ? step : -step));
}

void MainWindow::OnPropertyPosition(int position) {
    PropertySlot slot = Slot(state_, state_.propView);
    SetSelectedProperty(static_cast<long long>(*slot.maximum) * position / 100);
}

void MainWindow::WritePropertyValue() {
    if (state_.propView == kPropVolume) {
        mixer_.SetVolume(state_.volume);
        return;
    }
    PropertySlot slot = Slot(state_, state_.propView);
    deviceControls_.SetProcAmp(kProcAmpProperty[state_.propView], *slot.minimum + static_cast<long>(*slot.value));
}

bool MainWindow::OnCycleUp() {
    StepProperty(+1);
    return true;
}

bool MainWindow::OnCycleDown() {
    StepProperty(-1);
    return true;
}

bool MainWindow::OnCyclePrevious() {
    state_.propView = state_.propView == kPropVolume ? kPropSaturation : state_.propView - 1;
    RefreshPropertyDisplay();
    return true;
}

bool MainWindow::OnCycleNext() {
    state_.propView = state_.propView == kPropSaturation ? kPropVolume : state_.propView + 1;
    RefreshPropertyDisplay();
    return true;
}

bool MainWindow::OnPropertyButton() {
    return true;  // it shows which property is selected and takes the wheel
}

void MainWindow::ReadProcAmpValues() {
    for (int property = kPropBrightness; property <= kPropSaturation; ++property) {
        PropertySlot slot = Slot(state_, property);
        long value = 0;
        if (deviceControls_.GetProcAmp(kProcAmpProperty[property], value))
            *slot.value = static_cast<unsigned long>(Clamped(static_cast<long long>(value) - *slot.minimum, *slot.maximum));
    }
}

void MainWindow::ReadDeviceProperties() {
    // The device's own values are read before anything is written to it.
    for (int property = kPropBrightness; property <= kPropSaturation; ++property) {
        long minimum = 0, maximum = 0;
        if (!deviceControls_.GetProcAmpRange(kProcAmpProperty[property], minimum, maximum) || maximum <= minimum)
            continue;
        PropertySlot slot = Slot(state_, property);
        *slot.minimum = minimum;
        *slot.maximum = static_cast<unsigned long>(static_cast<long long>(maximum) - minimum);
    }
    ReadProcAmpValues();
    if (!mixer_.Open(Handle())) return;
    unsigned long maximum = 0, minimum = 0;
    mixer_.GetVolumeRange(maximum, minimum);
    if (maximum > 0) state_.volumeMax = maximum;
    unsigned long volume = 0;
    if (mixer_.GetVolume(volume)) state_.volume = static_cast<unsigned long>(Clamped(volume, state_.volumeMax));
    mixer_.GetMute(state_.mute);
}

void MainWindow::RefreshPropertyElements() {
    for (int property = kPropVolume; property <= kPropSaturation; ++property) {
        PropertySlot slot = Slot(state_, property);
        SetTrackbarRange(kPropertyTrackbars[property], static_cast<int>(*slot.maximum));
        SetTrackbarPosition(kPropertyTrackbars[property], static_cast<int>(*slot.value));
    }
    ShowMuteState();
}

// ---------------------------------------------------------------------------------------------
// Inputs

void MainWindow::RefreshInputRadio() {
    int input = inputSelector_.CurrentInput();
    if (input >= kInputTuner && input <= kInputWebcam) SetButtonOn(kInputButtons[input], true);
}

bool MainWindow::IsInputDialogVisible(int input) const {
    switch (input) {
    case kInputTuner: return tvTunerDialog_ && tvTunerDialog_->IsVisible();
    case kInputComposite:
    case kInputSVideo: return analogVideoDialog_ && IsWindowVisible(analogVideoDialog_->Handle());
    case kInputWebcam: return webcamDialog_ && IsWindowVisible(webcamDialog_->Handle());
    default: return false;
    }
}

void MainWindow::ShowInputDialog(int input, bool show) {
    if (show) FinishDeviceDialogs();
    switch (input) {
    case kInputTuner:
        if (tvTunerDialog_) tvTunerDialog_->Show(show);
        break;
    case kInputComposite:
    case kInputSVideo:
        if (analogVideoDialog_) ShowWindow(analogVideoDialog_->Handle(), show ? SW_SHOW : SW_HIDE);
        break;
    case kInputWebcam:
        if (webcamDialog_) webcamDialog_->Show(show);
        break;
    default:
        break;
    }
}

bool MainWindow::SwitchInput(int input) {
    if (inputSelector_.IsCurrent(input)) {
        ShowInputDialog(input, !IsInputDialogVisible(input));
        return true;
    }
    if (inputSelector_.HasInput(input)) inputSelector_.SelectInput(input);
    // A route the device refuses leaves the picture, and the radio buttons, on the input in use.
    if (!inputSelector_.IsCurrent(input)) {
        RefreshInputRadio();
        return false;
    }
    // Composite and S-Video share the analog video dialog.
    bool analog = input == kInputComposite || input == kInputSVideo;
    if (input != kInputTuner) ShowInputDialog(kInputTuner, false);
    if (!analog) ShowInputDialog(kInputComposite, false);
    if (input != kInputWebcam) ShowInputDialog(kInputWebcam, false);
    return true;
}

bool MainWindow::OnInputTuner() { return SwitchInput(kInputTuner); }
bool MainWindow::OnInputComposite() { return SwitchInput(kInputComposite); }
bool MainWindow::OnInputSVideo() { return SwitchInput(kInputSVideo); }
bool MainWindow::OnInputWebcam() { return SwitchInput(kInputWebcam); }

bool MainWindow::OnCrossbarButton() {
    inputSelector_.ShowCrossbarProperties(Handle());
    RefreshInputRadio();
    return true;
}

bool MainWindow::OnDevicePropertyButton() {
    deviceControls_.ShowProcAmpProperties(Handle());
    ReadProcAmpValues();
    RefreshPropertyElements();
    RefreshPropertyDisplay();
    return true;
}

bool MainWindow::OnCaptureSizeButton() {
    capture_.Stop();
    capture_.Dismantle();
    int index = deviceControls_.ShowStreamConfigProperties(Handle());
    // A format the table does not know keeps the stored size.
    if (index >= 0) state_.streamFormat = index;
    if (capture_.BuildPreview()) capture_.Run();
    ResizeVideo(VideoWindowOwner::kLive, 2);
    RefreshElements();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Sound

void MainWindow::ShowMuteState() {
    SetButtonOn("BUTTON_PROP_VOLUME", state_.mute != 0);
    SetButtonOn("BUTTON_MUTE", state_.mute != 0);
}

bool MainWindow::OnPropVolumeButton() {
    if (state_.mute) {
        if (mixer_.SetMute(0)) state_.mute = 0;
        ShowMuteState();
        return false;
    }
    ShowRecordingInputMenu();
    return false;
}

bool MainWindow::OnMuteButton() {
    int wanted = state_.mute ? 0 : 1;
    if (mixer_.SetMute(wanted)) state_.mute = wanted;
    SetButtonOn("BUTTON_PROP_VOLUME", state_.mute != 0);
    return true;  // the skin turns the button itself
}

void MainWindow::ShowRecordingInputMenu() {
    std::vector<std::string> texts = RecordingInputMenu(inputSelector_.IsCurrent(kInputTuner));
    RECT below{};
    bool found = GetElementScreenRect("BUTTON_PROP_VOLUME", below);
    int choice = TrackTextMenu(Handle(), texts, found ? &below : nullptr);
    if (choice < 0) return;
    const std::string& chosen = texts[static_cast<size_t>(choice)];
    if (chosen == kMenuLineIn) {
        mixer_.SelectSource(1);
    } else if (chosen == kMenuMic) {
        mixer_.SelectSource(0);
    } else if (chosen == kMenuMute) {
        if (mixer_.SetMute(1)) state_.mute = 1;
        ShowMuteState();
    } else if (chosen == kMenuResyncAudio) {
        if (!playbackActive_) {
            capture_.StopAudioMonitor();
            capture_.RunAudioMonitor();
        }
    } else if (chosen == kMenuTvAudio) {
        if (IUnknown* tvAudio = deviceControls_.Interface(DeviceControls::kTvAudio))
            DeviceControls::ShowPropertyPages(Handle(), tvAudio);
    }
}

void MainWindow::OnMixerControlChange(WPARAM mixer, LPARAM control) {
    AudioMixer::Change change = mixer_.ChangeOf(mixer, control);
    if (change == AudioMixer::Change::Volume) {
        unsigned long volume = 0;
        if (!mixer_.GetVolume(volume)) return;
        state_.volume = static_cast<unsigned long>(Clamped(volume, state_.volumeMax));
        SetTrackbarPosition("TRACKBAR_VOLUME", static_cast<int>(state_.volume));
        // Shown, not written back: the mixer already has it, and a write would notify again.
        ShowPropertyDisplay();
    } else if (change == AudioMixer::Change::Mute) {
        if (mixer_.GetMute(state_.mute)) ShowMuteState();
    }
}

// ---------------------------------------------------------------------------------------------
// Device dialogs and the hardware button

void MainWindow::CreateDeviceDialogs() {
    PrepareDeviceDialogs();
    CreateDeviceDialogWindows();
}

void MainWindow::PrepareDeviceDialogs() {
    if (inputSelector_.HasInput(kInputTuner) && deviceControls_.Interface(DeviceControls::kTvTuner)) {
        tvTunerDialog_ = std::make_unique<TvTunerDialog>();
        tvTunerDialog_->TuneFromStoredState(
            static_cast<IAMTVTuner*>(deviceControls_.Interface(DeviceControls::kTvTuner)),
            static_cast<IAMTVAudio*>(deviceControls_.Interface(DeviceControls::kTvAudio)));
    }
}

void MainWindow::CreateDeviceDialogWindows() {
    if (inputSelector_.HasInput(kInputWebcam) && deviceControls_.CameraControls()) {
        webcamDialog_ = std::make_unique<WebcamDialog>();
        if (webcamDialog_->CreateModeless(Handle())) webcamDialog_->AttachCameraControls(deviceControls_.CameraControls());
        else webcamDialog_.reset();
    }
    if ((inputSelector_.HasInput(kInputComposite) || inputSelector_.HasInput(kInputSVideo)) &&
        deviceControls_.Interface(DeviceControls::kDecoder)) {
        analogVideoDialog_ = std::make_unique<AnalogVideoDialog>();
        if (analogVideoDialog_->CreateModeless(Handle()))
            analogVideoDialog_->AttachDecoder(
                static_cast<IAMAnalogVideoDecoder*>(deviceControls_.Interface(DeviceControls::kDecoder)));
        else analogVideoDialog_.reset();
    }
    if (tvTunerDialog_ && !tvTunerDialog_->CreateWindowFor(Handle())) tvTunerDialog_.reset();
    TraceStartupStep("device dialogs created");
}

void MainWindow::DestroyDeviceDialogs() {
    deviceDialogWindowsPending_ = false;
    // The tuner stores its state on the way out when it is up.
    webcamDialog_.reset();
    analogVideoDialog_.reset();
    tvTunerDialog_.reset();
}

void MainWindow::PollHardwareButton() {
    if (deviceControls_.PollSnapshotButton()) OnHardwareSnapshotButton();
}

void MainWindow::OnHardwareSnapshotButton() {
    TakeSnapshot();
}

}  // namespace lumetra
