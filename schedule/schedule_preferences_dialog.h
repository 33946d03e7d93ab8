#pragma once
// The schedule's preferences: the background colours of the two lists and whether the schedule
// dialog's buttons show tips.
#include <cstdint>

#include "controls/color_button.h"
#include "framework/dialog.h"

namespace lumetra {

class SchedulePreferencesDialog : public Dialog {
public:
    static constexpr uint32_t kOneTimeDefault = 0xFFFFFF;
    static constexpr uint32_t kRecurringDefault = 0xF0FFFF;

    SchedulePreferencesDialog(uint32_t oneTimeColour, uint32_t recurringColour, bool tooltips);

    uint32_t OneTimeColour() const { return oneTimeColour_; }
    uint32_t RecurringColour() const { return recurringColour_; }
    bool Tooltips() const { return tooltips_ != 0; }

protected:
    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;
    void Exchange(DataExchange& dx) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    uint32_t oneTimeColour_, recurringColour_;
    int tooltips_;
    CColorButton oneTimeButton_, recurringButton_;
};

}  // namespace lumetra
