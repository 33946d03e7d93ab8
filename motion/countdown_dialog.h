#pragma once
// "Motion detection countdown": counts the arming delay down second by second on a red bar, so
// that the user can leave the scene before the detector is armed. Ends with OK when the time has
// run out and with Cancel when the user abandons the arming.
#include <windows.h>

#include "controls/gradient_progress.h"
#include "framework/dialog.h"

namespace lumetra {

class CountdownDialog : public Dialog {
public:
    explicit CountdownDialog(int totalSeconds);

protected:
    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

private:
    void OnTick();
    void ShowRemaining(int seconds);

    int total_;
    int elapsed_ = 0;
    GradientProgress bar_;
};

}  // namespace lumetra
