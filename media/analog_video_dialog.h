#pragma once
// The analog video standard dialog: a modeless, always-on-top window listing exactly the standards
// the device's decoder offers; choosing one applies it at once.
#include <dshow.h>

#include "framework/com_ptr.h"
#include "framework/dialog.h"
#include "framework/dshow_extra.h"

namespace lumetra {

class AnalogVideoDialog : public Dialog {
public:
    AnalogVideoDialog();
    // Lists the decoder's standards and selects the current one.
    void AttachDecoder(IAMAnalogVideoDecoder* decoder);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void FillStandards();
    void SelectCurrent();
    void ApplySelection();

    ComPtr<IAMAnalogVideoDecoder> decoder_;
};

}  // namespace lumetra
