#pragma once
// A dialog that owns a tooltip control for its controls; the tooltip goes with the dialog's window.
#include <windows.h>

#include <string>

#include "framework/dialog.h"

namespace lumetra {

class CToolTipDialog : public Dialog {
public:
    explicit CToolTipDialog(int templateId) : Dialog(templateId) {}
    HWND ToolTip() const { return tooltip_; }

protected:
    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Gives a control of the dialog a tip (replacing an earlier one).
    void SetControlTip(int controlId, const std::string& text);
    // Shows the tips or keeps them quiet.
    void ActivateTips(bool on);

private:
    HWND tooltip_ = nullptr;  // destroyed with the dialog's window
};

}  // namespace lumetra
