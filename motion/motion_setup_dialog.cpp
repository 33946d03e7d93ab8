#include "motion/motion_setup_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>

#include "app/helpers.h"
#include "app/settings_store.h"
#include "motion/countdown_dialog.h"
#include "net/internet_destination.h"
#include "res/resource.h"

namespace lumetra {
namespace {

const char kMotionKey[] = "MotionDetection";
constexpr int kPictureTop = 10;
// The picture's size before any frame has been seen.
constexpr int kDefaultPictureWidth = 320, kDefaultPictureHeight = 240;

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ExchangeTrackbar(HWND dialog, int id, int& value, bool save) {
    HWND trackbar = GetDlgItem(dialog, id);
    if (save) value = static_cast<int>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
    else SendMessageA(trackbar, TBM_SETPOS, TRUE, value);
}

void SetTrackbarRange(HWND dialog, int id, int lo, int hi) {
    SendMessageA(GetDlgItem(dialog, id), TBM_SETRANGE, TRUE, MAKELPARAM(lo, hi));
}

RECT ChildRect(HWND dialog, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

MotionSetupDialog::MotionSetupDialog(InternetDestinationDialog& internet)
    : Dialog(IDD_MOTION_SETUP), internet_(internet) {
    LoadMotionSettings();
}

// ---- Stored record ----

void MotionSetupDialog::LoadMotionSettings() {
    RegKey key = OpenSettingsKey(kMotionKey);
    if (!key) return;
    HKEY k = key.Get();
    MotionSettings s = engine_.Settings();
    ReadDword(k, "Granularity", s.granularity);
    ReadDword(k, "Sensitivity", s.sensitivity);
    ReadDword(k, "AreaPercent", s.areaPercent);
    ReadDword(k, "Countdown", actions_.countdown);
    ReadDword(k, "AreaPosX", s.areaPosX);
    ReadDword(k, "AreaPosY", s.areaPosY);
    ReadDword(k, "AreaSizeX", s.areaSizeX);
    ReadDword(k, "AreaSizeY", s.areaSizeY);
    ReadDword(k, "Run", actions_.run);
    ReadDword(k, "Vid", actions_.video);
    ReadDword(k, "VidAlert", actions_.vidAlert);
    ReadDword(k, "Snap", actions_.snap);
    ReadDword(k, "FTP", actions_.ftp);
    ReadDword(k, "Email", actions_.email);
    ReadDword(k, "Rearm", actions_.rearm);
    ReadDword(k, "RearmSecs", actions_.rearmSecs);
    ReadString(k, "RunFile", actions_.runFile);
    // Whatever was stored, the values stay within what the dialog can set.
    actions_.countdown = Clamp(actions_.countdown, 0, 60);
    actions_.rearmSecs = Clamp(actions_.rearmSecs, 0, kMaxRearmSeconds);
    for (int* flag : {&actions_.run, &actions_.video, &actions_.vidAlert, &actions_.snap, &actions_.ftp,
                      &actions_.email, &actions_.rearm})
        *flag = *flag ? 1 : 0;
    engine_.SetSettings(s);
}

void MotionSetupDialog::SaveMotionSettings() const {
    RegKey key = OpenSettingsKey(kMotionKey);
    if (!key) return;
    HKEY k = key.Get();
    const MotionSettings& s = engine_.Settings();
    WriteDword(k, "Granularity", s.granularity);
    WriteDword(k, "Sensitivity", s.sensitivity);
    WriteDword(k, "AreaPercent", s.areaPercent);
    WriteDword(k, "Countdown", actions_.countdown);
    WriteDword(k, "AreaPosX", s.areaPosX);
    WriteDword(k, "AreaPosY", s.areaPosY);
    WriteDword(k, "AreaSizeX", s.areaSizeX);
    WriteDword(k, "AreaSizeY", s.areaSizeY);
    WriteDword(k, "Run", actions_.run);
    WriteDword(k, "Vid", actions_.video);
    WriteDword(k, "VidAlert", actions_.vidAlert);
    WriteDword(k, "Snap", actions_.snap);
    WriteDword(k, "FTP", actions_.ftp);
    WriteDword(k, "Email", actions_.email);
    WriteDword(k, "Rearm", actions_.rearm);
    WriteDword(k, "RearmSecs", actions_.rearmSecs);
    WriteString(k, "RunFile", actions_.runFile);
}

// ---- Trigger actions ----

bool MotionSetupDialog::GetSnapshotAction(bool& ftp, bool& email) const {
    if (!actions_.snap) return false;
    ftp = actions_.ftp != 0;
    email = actions_.email != 0;
    return true;
}

bool MotionSetupDialog::GetVideoAction(bool& alert) const {
    if (!actions_.video) return false;
    alert = actions_.vidAlert != 0;
    return true;
}

bool MotionSetupDialog::GetRunAction(std::string& file) const {
    file = actions_.runFile;
    return actions_.run != 0;
}

bool MotionSetupDialog::GetRearmDelay(UINT& milliseconds) const {
    if (!actions_.rearm) return false;
    milliseconds = static_cast<UINT>(Clamp(actions_.rearmSecs, 0, kMaxRearmSeconds)) * 1000u;
    return true;
}

bool MotionSetupDialog::ProcessFrame() {
    const bool visible = Handle() && IsWindowVisible(Handle());
    MotionStep step = engine_.Step(visible);
    if (step.drawn && Handle()) ShowPicture(step.motion);
    return step.trigger;
}

// ---- Dialog ----

void MotionSetupDialog::Exchange(DataExchange& dx) {
    MotionSettings s = engine_.Settings();
    ExchangeTrackbar(Handle(), IDC_MD_GRANULARITY, s.granularity, dx.Saving());
    ExchangeTrackbar(Handle(), IDC_MD_SENSITIVITY, s.sensitivity, dx.Saving());
    ExchangeTrackbar(Handle(), IDC_MD_PERCENT, s.areaPercent, dx.Saving());
    ExchangeTrackbar(Handle(), IDC_MD_COUNTDOWN, actions_.countdown, dx.Saving());
    if (dx.Saving()) {
        engine_.SetSettings(s);
    } else {
        int cellEdge = 4 * s.granularity;
        dx.Int(IDC_MD_CELL_EDGE, cellEdge);
        dx.Int(IDC_MD_SENSITIVITY_VALUE, s.sensitivity);
        dx.Int(IDC_MD_COUNTDOWN_VALUE, actions_.countdown);
    }
    dx.Check(IDC_MD_VIDEO, actions_.video);
    dx.Check(IDC_MD_EMAIL_ALERT, actions_.vidAlert);
    dx.Check(IDC_MD_SNAPSHOT, actions_.snap);
    dx.Check(IDC_MD_FTP, actions_.ftp);
    dx.Check(IDC_MD_EMAIL, actions_.email);
    dx.Check(IDC_MD_RUN, actions_.run);
    dx.Text(IDC_MD_RUN_FILE, actions_.runFile);
    dx.Check(IDC_MD_REARM, actions_.rearm);
    dx.Int(IDC_MD_REARM_SECONDS, actions_.rearmSecs);
}

bool MotionSetupDialog::ReadControls() {
    BOOL isInteger = FALSE;
    GetDlgItemInt(Handle(), IDC_MD_REARM_SECONDS, &isInteger, TRUE);
    if (!isInteger) {
        MessageBoxA(Handle(), "Please enter an integer.", ProductTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
        SetFocus(Item(IDC_MD_REARM_SECONDS));
        SendMessageA(Item(IDC_MD_REARM_SECONDS), EM_SETSEL, 0, -1);
        return false;
    }
    UpdateData(true);
    actions_.rearmSecs = Clamp(actions_.rearmSecs, 0, kMaxRearmSeconds);
    return true;
}

void MotionSetupDialog::ReadControlsLeniently() {
    // A re-arm delay that is not a number keeps its last value here; Save, ARM and Test refuse it.
    UpdateData(true);
    actions_.rearmSecs = Clamp(actions_.rearmSecs, 0, kMaxRearmSeconds);
}

BOOL MotionSetupDialog::OnInitDialog() {
    engine_.Disarm();
    meter_.Attach(Item(IDC_MD_METER));
    SetTrackbarRange(Handle(), IDC_MD_GRANULARITY, 1, 4);
    SetTrackbarRange(Handle(), IDC_MD_SENSITIVITY, 1, 10);
    SetTrackbarRange(Handle(), IDC_MD_COUNTDOWN, 0, 60);
    SetTrackbarRange(Handle(), IDC_MD_PERCENT, 1, 90);
    engine_.FetchFrame();
    ResetMeterRange();
    RewritePercentCaption();
    PlaceAndSizePicture();
    EnableActionControls();
    ShowValues();
    engine_.SetLiveView(true);
    return TRUE;
}

void MotionSetupDialog::ShowValues() {
    const MotionSettings& s = engine_.Settings();
    int granularity = s.granularity, sensitivity = s.sensitivity, percent = s.areaPercent;
    ExchangeTrackbar(Handle(), IDC_MD_GRANULARITY, granularity, false);
    ExchangeTrackbar(Handle(), IDC_MD_SENSITIVITY, sensitivity, false);
    ExchangeTrackbar(Handle(), IDC_MD_PERCENT, percent, false);
    ExchangeTrackbar(Handle(), IDC_MD_COUNTDOWN, actions_.countdown, false);
    SetDlgItemInt(Handle(), IDC_MD_CELL_EDGE, static_cast<UINT>(4 * s.granularity), FALSE);
    SetDlgItemInt(Handle(), IDC_MD_SENSITIVITY_VALUE, static_cast<UINT>(s.sensitivity), FALSE);
    SetDlgItemInt(Handle(), IDC_MD_COUNTDOWN_VALUE, static_cast<UINT>(actions_.countdown), FALSE);
}

void MotionSetupDialog::EnableActionControls() {
    for (int id : {IDC_MD_RUN_FILE, IDC_MD_BROWSE, IDC_MD_TEST}) EnableWindow(Item(id), actions_.run != 0);
    EnableWindow(Item(IDC_MD_EMAIL_ALERT), actions_.video != 0);
    EnableWindow(Item(IDC_MD_FTP), actions_.snap != 0);
    EnableWindow(Item(IDC_MD_EMAIL), actions_.snap != 0);
    EnableWindow(Item(IDC_MD_REARM_SECONDS), actions_.rearm != 0);
}

void MotionSetupDialog::RewritePercentCaption() {
    std::string caption = "Trigger the action when motion is detected in " +
                          std::to_string(engine_.Settings().areaPercent) + "% of selected area";
    SetDlgItemTextA(Handle(), IDC_MD_PERCENT_GROUP, caption.c_str());
}

void MotionSetupDialog::ResetMeterRange() {
    SendMessageA(Item(IDC_MD_METER), PBM_SETRANGE32, 0, engine_.Grid().cells);
    SendMessageA(Item(IDC_MD_METER), PBM_SETPOS, 0, 0);
}

void MotionSetupDialog::PlaceAndSizePicture() {
    HWND backdrop = Item(IDC_MD_BACKDROP), picture = Item(IDC_MD_PICTURE);
    RECT client{}, b = ChildRect(Handle(), backdrop);
    GetClientRect(Handle(), &client);
    const int bw = b.right - b.left, bh = b.bottom - b.top;
    const int bx = (client.right - bw) / 2, by = kPictureTop;
    SetWindowPos(backdrop, nullptr, bx, by, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const DisplayGeometry& d = engine_.Geometry();
    const int w = engine_.HasFrame() ? d.dw * d.zoom : kDefaultPictureWidth;
    const int h = engine_.HasFrame() ? d.dh * d.zoom : kDefaultPictureHeight;
    SetWindowPos(picture, HWND_TOP, bx + (bw - w) / 2, by + (bh - h) / 2, w, h, SWP_NOACTIVATE);
}

void MotionSetupDialog::ShowPicture(bool motion) {
    SendMessageA(Item(IDC_MD_METER), PBM_SETPOS, static_cast<WPARAM>(engine_.ChangedCount()), 0);
    meter_.SetBarColour(motion ? RGB(255, 0, 0) : RGB(0, 0, 255));

    const DisplayGeometry& d = engine_.Geometry();
    HWND picture = Item(IDC_MD_PICTURE);
    WindowDC dc(picture);
    if (!dc.Get() || d.dw <= 0 || d.dh <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = d.dw;
    info.bmiHeader.biHeight = d.dh;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    picture_.Reset();
    picture_.Reset(CreateDIBitmap(dc.Get(), &info.bmiHeader, CBM_INIT, engine_.Picture(), &info, DIB_RGB_COLORS));
    MemoryDC memory(dc.Get());
    if (!picture_ || !memory) return;
    SelectedObject selected(memory.Get(), picture_.Get());
    RECT client{};
    GetClientRect(picture, &client);
    SetStretchBltMode(dc.Get(), COLORONCOLOR);
    StretchBlt(dc.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, d.dw, d.dh, SRCCOPY);
}

void MotionSetupDialog::OnTrackbarMoved(HWND trackbar) {
    ReadControlsLeniently();
    if (trackbar == Item(IDC_MD_COUNTDOWN)) {
        SetDlgItemInt(Handle(), IDC_MD_COUNTDOWN_VALUE, static_cast<UINT>(actions_.countdown), FALSE);
        return;
    }
    engine_.Recompute();
    ResetMeterRange();
    RewritePercentCaption();
    ShowValues();
}

void MotionSetupDialog::OnMouseMove(UINT keys, POINT point) {
    if (!(keys & MK_LBUTTON)) return;
    RECT r = ChildRect(Handle(), Item(IDC_MD_PICTURE));
    if (point.x <= r.left || point.x >= r.right || point.y <= r.top || point.y >= r.bottom) return;
    const int zoom = engine_.Geometry().zoom;
    engine_.DragAreaCorner((point.x - r.left) / zoom, (point.y - r.top) / zoom);
    ResetMeterRange();
    ShowValues();
}

void MotionSetupDialog::RestoreDefaults() {
    actions_.countdown = MotionActions{}.countdown;
    engine_.SetSettings(MotionSettings{});
    RewritePercentCaption();
    ResetMeterRange();
    ShowValues();
}

void MotionSetupDialog::Browse() {
    char chosen[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter =
        "Executable (*.exe)\0*.exe\0Wave Sound File (*.wav)\0*.wav\0MP3 Sound File (*.mp3)\0*.mp3\0"
        "MIDI Sound File (*.mid)\0*.mid\0All files (*.*)\0*.*\0";
    ofn.lpstrFile = chosen;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = "Select a file to run when motion triggered";
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_NONETWORKBUTTON | OFN_EXPLORER;
    if (!GetOpenFileNameA(&ofn)) return;
    actions_.runFile = chosen;
    SetDlgItemTextA(Handle(), IDC_MD_RUN_FILE, chosen);
}

void MotionSetupDialog::TestRunFile() {
    if (!ReadControls()) return;
    if (!FileExists(actions_.runFile)) ShowError("File does not exist", -1);
    else OpenWithShell(actions_.runFile);
}

INT_PTR MotionSetupDialog::RunCountdown(int seconds) {
    CountdownDialog countdown(seconds);
    return countdown.DoModal(Handle());
}

void MotionSetupDialog::ArmWithCountdown() {
    if (!ReadControls()) return;
    if (!actions_.video && !actions_.run && !actions_.snap) {
        ShowError("No action is seleced for motion trigger", -1);
        return;
    }
    if (actions_.run && !FileExists(actions_.runFile)) {
        ShowError("[Run] selected for motion trigger action action but filename entered cannot be found", -1);
        return;
    }
    SaveMotionSettings();
    engine_.SetLiveView(false);
    ShowWindow(Handle(), SW_HIDE);
    if (RunCountdown(actions_.countdown) == IDOK) {
        // Armed like the re-arm timer arms: the first frame only refreshes the cell sums, so the
        // scene before the countdown is never compared with the scene after it.
        engine_.Arm();
        ReadControlsLeniently();
        End(IDOK);
        return;
    }
    ShowWindow(Handle(), SW_SHOW);
    engine_.SetLiveView(true);
}

bool MotionSetupDialog::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_MD_SNAPSHOT:
    case IDC_MD_VIDEO:
    case IDC_MD_RUN:
    case IDC_MD_FTP:
    case IDC_MD_EMAIL:
    case IDC_MD_EMAIL_ALERT:
    case IDC_MD_REARM:
        ReadControlsLeniently();
        EnableActionControls();
        return true;
    case IDC_MD_DEFAULTS: RestoreDefaults(); return true;
    case IDC_MD_BROWSE: Browse(); return true;
    case IDC_MD_TEST: TestRunFile(); return true;
    case IDC_MD_INTERNET: internet_.DoModal(Handle()); return true;
    case IDC_MD_ARM: ArmWithCountdown(); return true;
    default: return false;
    }
}

void MotionSetupDialog::OnOK() {
    if (!ReadControls()) return;
    engine_.SetLiveView(false);
    SaveMotionSettings();
    End(IDOK);
}

void MotionSetupDialog::OnCancel() {
    engine_.SetLiveView(false);
    End(IDCANCEL);
}

void MotionSetupDialog::ReleaseBackdrop() {
    // The backdrop's static control loads its bitmap from the template at every opening, and a static
    // control need not delete it when it goes (Wine's does not): taken back from the control, the
    // bitmap goes with the dialog.
    HWND backdrop = Item(IDC_MD_BACKDROP);
    if (!backdrop) return;
    Bitmap loaded(reinterpret_cast<HBITMAP>(SendMessageA(backdrop, STM_SETIMAGE, IMAGE_BITMAP, 0)));
}

INT_PTR MotionSetupDialog::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_HSCROLL:
        if (lp) OnTrackbarMoved(reinterpret_cast<HWND>(lp));
        return TRUE;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wp), POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return TRUE;
    case WM_DESTROY:
        ReleaseBackdrop();
        return Dialog::DlgProc(msg, wp, lp);
    default:
        return Dialog::DlgProc(msg, wp, lp);
    }
}

}  // namespace lumetra
