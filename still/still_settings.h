#pragma once
// The "STILL IMAGE CAPTURE SETTINGS" dialog (template 163) and the values snapshots use: the bitmap
// file and whether each snapshot overwrites it, the pop-up, the shutter sound, and the snapshot at
// a start by the device's button. Stored in "SOFTWARE\Orvex\Still".
#include <string>

#include "media/capture_settings.h"

namespace lumetra {

struct StillValues {
    int usePopupWindow = 1;
    int useShutterSound = 1;
    int stiSnapshot = 0;
};

// DoModal(owner) shows the dialog; OK keeps and saves the values, Cancel restores those it opened with.
class StillCaptureSettings : public CaptureSettingsBase {
public:
    StillCaptureSettings();

    bool UsePopupWindow() const { return values_.usePopupWindow != 0; }
    bool UseShutterSound() const { return values_.useShutterSound != 0; }
    // Take a snapshot shortly after a start by the device's snapshot button.
    bool StiSnapshot() const { return values_.stiSnapshot != 0; }
    const StillValues& Values() const { return values_; }
    StillValues& Values() { return values_; }

protected:
    // What the dialog does outside itself; tests replace these.
    virtual void PlayShutter();
    virtual void OpenFolder(const std::string& folder);

    void LoadValues(HKEY key) override;
    void SaveValues(HKEY key) const override;
    void Exchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void OnBrowse();

    StillValues values_;
    struct Opened {
        std::string fileName;
        int fileOverwrite;
        StillValues values;
    };
    Opened opened_{};
};

}  // namespace lumetra
