#include "media/analog_video_dialog.h"

#include "media/video_standards.h"
#include "res/resource.h"

namespace lumetra {

AnalogVideoDialog::AnalogVideoDialog() : Dialog(IDD_ANALOG_VIDEO) {}

BOOL AnalogVideoDialog::OnInitDialog() {
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FillStandards();
    return TRUE;
}

void AnalogVideoDialog::AttachDecoder(IAMAnalogVideoDecoder* decoder) {
    decoder_ = ComPtr<IAMAnalogVideoDecoder>(decoder);
    FillStandards();
}

void AnalogVideoDialog::FillStandards() {
    HWND list = Item(IDC_AV_STANDARD);
    if (!list) return;
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    long available = 0;
    if (!decoder_ || FAILED(decoder_->get_AvailableTVFormats(&available))) return;
    for (const VideoStandard& s : StandardsIn(available)) {
        LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.name));
        SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(s.bit));
    }
    SelectCurrent();
}

void AnalogVideoDialog::SelectCurrent() {
    HWND list = Item(IDC_AV_STANDARD);
    long current = 0;
    if (!decoder_ || FAILED(decoder_->get_TVFormat(&current))) current = 0;
    LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (LRESULT i = 0; i < count; ++i)
        if (SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == current)
            SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

void AnalogVideoDialog::ApplySelection() {
    HWND list = Item(IDC_AV_STANDARD);
    LRESULT item = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR || !decoder_) return;
    long standard = static_cast<long>(SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(item), 0));
    // A standard the decoder refuses leaves the list showing the one still in use.
    if (FAILED(decoder_->put_TVFormat(standard))) SelectCurrent();
}

bool AnalogVideoDialog::OnCommand(int id, int code, HWND) {
    if (id == IDC_AV_STANDARD && code == CBN_SELCHANGE) {
        ApplySelection();
        return true;
    }
    return false;
}

}  // namespace lumetra
