#pragma once
// The webcam controls dialog: automatic or manual exposure with its trackbar, the ambient light
// colour and the fluorescent flicker, read and written through the camera's controls. Modeless and
// always on top; it comes back where the user left it.
#include <windows.h>

#include "framework/com_ptr.h"
#include "framework/dialog.h"
#include "media/vendor_properties.h"

namespace lumetra {

class WebcamDialog : public Dialog {
public:
    WebcamDialog();
    ~WebcamDialog() override;
    void AttachCameraControls(IDevicePrivateProperties* camera);
    // Shows the dialog at its stored place with the camera's current values, or hides it.
    void Show(bool show);

protected:
    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;

private:
    long Read(DWORD id) const;
    void Write(DWORD id, long value) const;
    void ReadValues();
    void ConfigureExposure();
    void OnExposureMoved();
    void Close();
    void StorePosition() const;
    void MoveToStoredPosition() const;

    ComPtr<IDevicePrivateProperties> camera_;
};

}  // namespace lumetra
