#include "motion/countdown_dialog.h"

#include <commctrl.h>

#include <string>

#include "res/resource.h"

namespace lumetra {
namespace {

constexpr UINT_PTR kSecondTimer = 1;
constexpr UINT kSecondMs = 1000;

}  // namespace

CountdownDialog::CountdownDialog(int totalSeconds) : Dialog(IDD_MOTION_COUNTDOWN), total_(totalSeconds) {}

BOOL CountdownDialog::OnInitDialog() {
    KillTimer(Handle(), kSecondTimer);
    bar_.Attach(Item(IDC_CD_BAR));
    bar_.SetBarColour(RGB(255, 0, 0));
    SendMessageA(Item(IDC_CD_BAR), PBM_SETRANGE32, 0, total_);
    SendMessageA(Item(IDC_CD_BAR), PBM_SETPOS, 0, 0);
    elapsed_ = 0;
    SetTimer(Handle(), kSecondTimer, kSecondMs, nullptr);
    ShowRemaining(total_);
    return TRUE;
}

void CountdownDialog::ShowRemaining(int seconds) {
    std::string text = "Motion detection trigger arming in " + std::to_string(seconds) + " seconds";
    SetDlgItemTextA(Handle(), IDC_CD_TEXT, text.c_str());
}

void CountdownDialog::OnTick() {
    ++elapsed_;
    SendMessageA(Item(IDC_CD_BAR), PBM_SETPOS, static_cast<WPARAM>(elapsed_), 0);
    ShowRemaining(total_ > elapsed_ ? total_ - elapsed_ : 0);
    if (elapsed_ < total_) return;
    KillTimer(Handle(), kSecondTimer);
    End(IDOK);
}

void CountdownDialog::OnCancel() {
    KillTimer(Handle(), kSecondTimer);
    End(IDCANCEL);
}

INT_PTR CountdownDialog::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        if (wp == kSecondTimer) OnTick();
        return TRUE;
    }
    return Dialog::DlgProc(msg, wp, lp);
}

}  // namespace lumetra
