// What the skin's elements do in the main window.
#include <string>
#include <vector>

#include "app/main_window.h"
#include "mainwnd/popup_menu.h"
#include "mainwnd/timers.h"
#include "media/capture_sizes.h"

#include <commdlg.h>

namespace lumetra {

bool MainWindow::ButtonHook(const std::string& name, int onState, bool pressed) {
    if (pressed) return true;
    if (name == "BUTTON_MINIMIZE") {
        WINDOWPLACEMENT placement{sizeof placement};
        GetWindowPlacement(Handle(), &placement);
        placement.showCmd = SW_SHOWMINIMIZED;
        SetWindowPlacement(Handle(), &placement);
    } else if (name == "BUTTON_EXIT") {
        OnOK();
    } else if (name == "BUTTON_VIEW_MENU") {
        ShowViewMenu();
    } else if (name == "BUTTON_VIDCAP") {
        if (!capture_.IsCapturing()) StartRecording();
        return false;
    } else if (name == "BUTTON_VIDPLAY") {
        PlayFromButton();
        return false;
    } else if (name == "BUTTON_VIDPAUSE") {
        TogglePause();
        return false;
    } else if (name == "BUTTON_VIDSTOP") {
        if (playbackActive_) StopPlayback();
        else if (capture_.IsCapturing()) StopRecording();
    } else if (name == "BUTTON_VID_FILE") {
        OpenVideoSettings();
        RefreshFileTooltips();
    } else if (name == "BUTTON_VIDCAP_SETUP") {
        OpenVideoSettings();
    }
    return true;
}

void MainWindow::ShowViewMenu() {
    std::vector<std::string> texts;
    for (int i = 0; i < ViewCount(); ++i) texts.push_back(ViewTitle(i));
    texts.push_back("SEPERATOR");
    texts.push_back("Full Screen Mode");
    RECT below{};
    bool found = GetElementScreenRect("BUTTON_VIEW_MENU", below);
    int choice = TrackTextMenu(Handle(), texts, found ? &below : nullptr);
    if (choice < 0) return;
    if (choice < ViewCount()) SwitchView(choice);
    else capture_.SetFullScreen(true);
}

void MainWindow::SwitchView(int view) {
    ShowWindow(Handle(), SW_HIDE);
    SelectView(view, true);
    PlaceLiveVideo();
    state_.skinView = CurrentView();
    RefreshPropertyDisplay();
    ShowWindow(Handle(), SW_SHOW);
}

void MainWindow::RefreshPropertyDisplay() {
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
    // The keyboard goes to the picture of the current mode (its context menu, Esc in full screen).
    CVidFrameWnd& video = playbackActive_ ? playbackWnd_ : liveWnd_;
    if (video.Handle()) SetFocus(video.Handle());
}

}  // namespace lumetra

namespace lumetra {

void MainWindow::StartRecording() {
    if (capture_.IsCapturing()) return;
    KillTimer(Handle(), kTimerRecording);
    if (!capture_.BuildCapture()) {
        RefreshElements();
        return;
    }
    RefreshElements();
    capture_.Run();
    if (capture_.EnableSeeking()) SetTimer(Handle(), kTimerRecording, kLiveTextMs, nullptr);
    RefreshElements();
}

void MainWindow::StopRecording() {
    KillTimer(Handle(), kTimerRecording);
    if (capture_.BuildPreview()) capture_.Run();
    RefreshElements();
}

namespace {

std::string LastErrorText(DWORD error) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n && text ? std::string(text, n) : "The file cannot be opened";
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

bool CanOpenForReading(const std::string& path, DWORD& error) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    CloseHandle(file);
    return true;
}

}  // namespace

void MainWindow::PlayFromButton() {
    std::string file = videoSettings_.CaptureFileName();
    DWORD error = 0;
    if (!CanOpenForReading(file, error)) {
        std::string question = LastErrorText(error) + ".. : Play a different file from disk?";
        if (MessageBoxA(Handle(), question.c_str(), "Warning", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
        char chosen[MAX_PATH] = {};
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = Handle();
        ofn.lpstrFilter = "MPEG File (*.mpg)\0*.mpg\0AVI File (*.avi)\0*.avi\0All files (*.*)\0*.*\0";
        ofn.lpstrFile = chosen;
        ofn.nMaxFile = MAX_PATH;
        ofn.lpstrTitle = "Select a video file to play";
        ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_NONETWORKBUTTON | OFN_EXPLORER;
        if (!GetOpenFileNameA(&ofn)) return;
        file = chosen;
    }
    PlayFile(file);
}

void MainWindow::PlayFile(const std::string& path) {
    capture_.Stop();
    if (playback_.Open(path)) {
        RECT video = playback_.GetVideoRect();
        playbackWnd_.PlaceClientArea(ScreenRectOnScreen());
        playbackWnd_.SetClientSize(video.right + 1, video.bottom + 1);
        ShowWindow(liveWnd_.Handle(), SW_HIDE);
        ShowWindow(playbackWnd_.Handle(), SW_SHOWNA);
        playback_.FitVideoWindow();
        playback_.EnableSeeking();
        playback_.Run();
        SetTimer(Handle(), kTimerPlayback, kLiveTextMs, nullptr);
        playFile_ = path;
        playbackActive_ = true;
    } else {
        capture_.Run();
        playbackActive_ = false;
    }
    RefreshElements();
}

void MainWindow::StopPlayback() {
    if (playback_.IsFullScreen()) playback_.SetFullScreen(false);
    ShowWindow(playbackWnd_.Handle(), SW_HIDE);
    ShowWindow(liveWnd_.Handle(), SW_SHOWNA);
    KillTimer(Handle(), kTimerPlayback);
    SetProgressValue("PROGRESS_VIDEO", 0);
    playback_.SeekPercent(0);
    playback_.Stop();
    capture_.Run();
    playbackActive_ = false;
    RefreshElements();
}

void MainWindow::TogglePause() {
    bool paused;
    if (playbackActive_) {
        paused = !playback_.IsPaused();
        if (paused) playback_.Pause();
        else playback_.Run();
    } else {
        paused = !capture_.IsPaused();
        if (paused) capture_.Pause();
        else capture_.Run();
    }
    SetButtonOn("BUTTON_VIDPAUSE", paused);
}

void MainWindow::OpenVideoSettings() {
    videoSettings_.DoModal(Handle());
    RefreshElements();
}

void MainWindow::ProgressPositionHook(const std::string& name, int position) {
    if (name != "PROGRESS_VIDEO") return;
    if (ignoreNextPosition_) {
        ignoreNextPosition_ = false;
        return;
    }
    if (playback_.IsRunning()) {
        playback_.Pause();
        pausedForSeeking_ = true;
    }
    playback_.SeekPercent(position);
}

void MainWindow::ProgressReleaseHook(const std::string& name) {
    if (name != "PROGRESS_VIDEO") return;
    if (pausedForSeeking_) {
        playback_.Run();
        ignoreNextPosition_ = true;
    }
    pausedForSeeking_ = false;
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
}

void MainWindow::RefreshInputButtons() {
    // Inputs are routed through the crossbar only while the live picture runs.
    bool previewing = capture_.IsPreviewing();
    for (const char* name : {"BUTTON_INPUT_TUNER", "BUTTON_INPUT_COMPOSITE", "BUTTON_INPUT_SVIDEO", "BUTTON_INPUT_WEBCAM",
                             "BUTTON_XBAR"})
        EnableElement(name, false);
    EnableElement("BUTTON_DEVICE_PROPERTY", previewing);
    RefreshPropertyDisplay();
}

void MainWindow::RefreshFileTooltips() {
    for (const char* name : {"BUTTON_VID_FILE", "BUTTON_VIDPLAY"}) {
        std::string tip = GetTooltip(name);
        size_t cut = tip.find(" (");
        if (cut != std::string::npos) tip.erase(cut);
        SetTooltip(name, tip + " (" + videoSettings_.CaptureFileName() + ")");
    }
}

RECT MainWindow::ScreenRectOnScreen() const {
    RECT r = ScreenRect();
    MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MainWindow::PlaceLiveVideo() {
    if (!Handle() || IsIconic(Handle())) return;
    RECT target = ScreenRectOnScreen();
    if (target.right <= target.left || target.bottom <= target.top) return;
    // Keep a size chosen from the menu; follow the skin's screen rectangle with the position.
    if (liveWnd_.Handle()) {
        RECT client;
        GetClientRect(liveWnd_.Handle(), &client);
        if (!liveSized_) {
            liveWnd_.PlaceClientArea(target);
        } else {
            target.right = target.left + client.right;
            target.bottom = target.top + client.bottom;
            liveWnd_.PlaceClientArea(target);
        }
    }
    if (playbackWnd_.Handle() && playbackActive_) {
        RECT client;
        GetClientRect(playbackWnd_.Handle(), &client);
        RECT at = ScreenRectOnScreen();
        at.right = at.left + client.right;
        at.bottom = at.top + client.bottom;
        playbackWnd_.PlaceClientArea(at);
    }
    capture_.FitVideoWindow();
}

void MainWindow::PlayDroppedFile(const std::string& path) {
    if (playbackActive_) StopPlayback();
    if (capture_.IsCapturing()) return;  // a recording is not interrupted by a drop
    PlayFile(path);
}

void MainWindow::RefitVideo(Kind kind) {
    if (kind == kPlayback && playbackActive_) playback_.FitVideoWindow();
    else capture_.FitVideoWindow();
}

void MainWindow::ResizeVideo(Kind kind, int command) {
    if (kind == kLive) {
        int width = 0, height = 0;
        if (!deviceControls_.GetCaptureSize(width, height)) return;
        VideoSize size = ScaledVideoSize({width, height}, command);
        liveSized_ = true;
        liveWnd_.SetClientSize(size.width, size.height);
        capture_.FitVideoWindow();
    } else {
        RECT video = playback_.GetVideoRect();
        VideoSize size = ScaledVideoSize({video.right, video.bottom}, command);
        playbackWnd_.SetClientSize(size.width, size.height);
        playback_.FitVideoWindow();
    }
}

bool MainWindow::IsVideoFullScreen(Kind kind) {
    return kind == kPlayback && playbackActive_ ? playback_.IsFullScreen() : capture_.IsFullScreen();
}

void MainWindow::SetVideoFullScreen(Kind kind, bool on) {
    if (kind == kPlayback && playbackActive_) playback_.SetFullScreen(on);
    else capture_.SetFullScreen(on);
}

}  // namespace lumetra
