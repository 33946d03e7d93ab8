#include "media/webcam_dialog.h"

#include <commctrl.h>

#include "app/settings_store.h"
#include "media/tool_window.h"
#include "res/resource.h"

namespace lumetra {
namespace {

const char* const kLightNames[] = {"Fluorescent", "Incandescent", "Natural"};
const char* const kFlickerNames[] = {"60 Hz", "50 Hz", "No flicker"};
constexpr WindowOrigin kDefaultOrigin{20, 20};

void FillCombo(HWND combo, const char* const* names, int count) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
}

}  // namespace

WebcamDialog::WebcamDialog() : Dialog(IDD_WEBCAM) {}

WebcamDialog::~WebcamDialog() {
    if (Handle() && IsWindowVisible(Handle())) StorePosition();
}

void WebcamDialog::AttachCameraControls(IDevicePrivateProperties* camera) {
    camera_ = ComPtr<IDevicePrivateProperties>(camera);
    if (Handle()) ReadValues();
}

BOOL WebcamDialog::OnInitDialog() {
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FillCombo(Item(IDC_WC_LIGHT), kLightNames, 3);
    FillCombo(Item(IDC_WC_FLICKER), kFlickerNames, 3);
    ReadValues();
    return TRUE;
}

void WebcamDialog::Show(bool show) {
    if (!Handle()) return;
    if (!show) {
        if (IsWindowVisible(Handle())) Close();
        return;
    }
    MoveToStoredPosition();
    ReadValues();
    ShowWindow(Handle(), SW_SHOW);
}

long WebcamDialog::Read(DWORD id) const {
    long value = 0;
    // A control the camera cannot report reads as 0.
    if (!camera_ || FAILED(camera_->GetProperty(id, &value))) return 0;
    return value;
}

void WebcamDialog::Write(DWORD id, long value) const {
    if (camera_) camera_->SetProperty(id, &value);
}

void WebcamDialog::ReadValues() {
    CheckDlgButton(Handle(), IDC_WC_AUTO, Read(kCamAutoExposure) ? BST_CHECKED : BST_UNCHECKED);
    ConfigureExposure();
    SendMessageA(Item(IDC_WC_LIGHT), CB_SETCURSEL, static_cast<WPARAM>(Read(kCamAmbientLight)), 0);
    SendMessageA(Item(IDC_WC_FLICKER), CB_SETCURSEL, static_cast<WPARAM>(Read(kCamFlicker)), 0);
}

void WebcamDialog::ConfigureExposure() {
    HWND bar = Item(IDC_WC_EXPOSURE);
    bool automatic = IsDlgButtonChecked(Handle(), IDC_WC_AUTO) == BST_CHECKED;
    long maximum = Read(automatic ? kCamAutoExposureMax : kCamManualExposureMax);
    long value = Read(automatic ? kCamAutoExposureValue : kCamManualExposureValue);
    SendMessageA(bar, TBM_CLEARTICS, TRUE, 0);
    SendMessageA(bar, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageA(bar, TBM_SETRANGEMAX, TRUE, maximum < 0 ? 0 : maximum);
    SendMessageA(bar, TBM_SETPOS, TRUE, value);
    if (automatic) SendMessageA(bar, TBM_SETTIC, 0, maximum);
}

void WebcamDialog::OnExposureMoved() {
    bool automatic = IsDlgButtonChecked(Handle(), IDC_WC_AUTO) == BST_CHECKED;
    long position = static_cast<long>(SendMessageA(Item(IDC_WC_EXPOSURE), TBM_GETPOS, 0, 0));
    Write(automatic ? kCamAutoExposureValue : kCamManualExposureValue, position);
}

bool WebcamDialog::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_WC_AUTO:
        if (code != BN_CLICKED) return false;
        Write(kCamAutoExposure, IsDlgButtonChecked(Handle(), IDC_WC_AUTO) == BST_CHECKED ? 1 : 0);
        ConfigureExposure();
        return true;
    case IDC_WC_LIGHT:
    case IDC_WC_FLICKER: {
        if (code != CBN_SELCHANGE) return false;
        LRESULT index = SendMessageA(Item(id), CB_GETCURSEL, 0, 0);
        if (index != CB_ERR) Write(id == IDC_WC_LIGHT ? kCamAmbientLight : kCamFlicker, static_cast<long>(index));
        return true;
    }
    default:
        return false;
    }
}

INT_PTR WebcamDialog::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_HSCROLL && reinterpret_cast<HWND>(lp) == Item(IDC_WC_EXPOSURE)) {
        OnExposureMoved();
        return TRUE;
    }
    return Dialog::DlgProc(msg, wp, lp);
}

void WebcamDialog::OnOK() { Close(); }
void WebcamDialog::OnCancel() { Close(); }

void WebcamDialog::Close() {
    StorePosition();
    ShowWindow(Handle(), SW_HIDE);
}

void WebcamDialog::StorePosition() const {
    RECT r;
    if (!GetWindowRect(Handle(), &r)) return;
    RegKey key = OpenSettingsKey();
    WriteDword(key.Get(), "Webcam_Top", r.top);
    WriteDword(key.Get(), "Webcam_Left", r.left);
}

void WebcamDialog::MoveToStoredPosition() const {
    WindowOrigin origin = kDefaultOrigin;
    RegKey key = OpenSettingsKey();
    ReadDword(key.Get(), "Webcam_Left", origin.left);
    ReadDword(key.Get(), "Webcam_Top", origin.top);
    PlaceToolWindow(Handle(), origin, kDefaultOrigin);
}

}  // namespace lumetra
