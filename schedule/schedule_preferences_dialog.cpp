#include "schedule/schedule_preferences_dialog.h"

#include "controls/reflect.h"
#include "res/resource.h"

namespace lumetra {

SchedulePreferencesDialog::SchedulePreferencesDialog(uint32_t oneTimeColour, uint32_t recurringColour, bool tooltips)
    : Dialog(IDD_SCHEDULE_PREFERENCES), oneTimeColour_(oneTimeColour), recurringColour_(recurringColour),
      tooltips_(tooltips ? 1 : 0) {}

BOOL SchedulePreferencesDialog::OnInitDialog() {
    oneTimeButton_.AttachButton(Item(IDC_SPREF_ONCE_COLOR));
    recurringButton_.AttachButton(Item(IDC_SPREF_RECURRING_COLOR));
    oneTimeButton_.SetDefaultColor(kOneTimeDefault);
    recurringButton_.SetDefaultColor(kRecurringDefault);
    oneTimeButton_.SetColor(oneTimeColour_);
    recurringButton_.SetColor(recurringColour_);
    return TRUE;
}

void SchedulePreferencesDialog::Exchange(DataExchange& dx) {
    dx.Check(IDC_SPREF_TOOLTIPS, tooltips_);
    if (dx.Saving() && oneTimeButton_.Handle()) {
        oneTimeColour_ = oneTimeButton_.GetColor();
        recurringColour_ = recurringButton_.GetColor();
    }
}

bool SchedulePreferencesDialog::OnCommand(int id, int code, HWND) {
    if (code == BN_CLICKED && (id == IDC_SPREF_TOOLTIPS || id == IDC_SPREF_ONCE_COLOR || id == IDC_SPREF_RECURRING_COLOR)) {
        UpdateData(true);
        return true;
    }
    return false;
}

INT_PTR SchedulePreferencesDialog::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    // The colour buttons open their palettes on their own clicks.
    if (msg == WM_COMMAND) ReflectCommand(wp, lp);
    // A colour chosen from a palette is taken over at once.
    if (msg == kColourSelEndOk) UpdateData(true);
    return Dialog::DlgProc(msg, wp, lp);
}

}  // namespace lumetra
