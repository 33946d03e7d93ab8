#pragma once
// The program's one top-level window: a modal skinned dialog that owns every engine object.
#include "app/main_state.h"
#include "media/input_selector.h"
#include "skin/skin_dialog.h"

namespace lumetra {

class MainWindow : public SkinDialog {
public:
    MainWindow();

protected:
    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Skin element events (element actions).
    bool ButtonHook(const std::string& name, int onState, bool pressed) override;
    void HoverHook(const std::string& name, POINT point, UINT keys) override;
    void OnBackgroundPress() override;
    BOOL OnInitDialog() override;
    void OnOK() override;      // the "OK" ending
    void OnCancel() override;  // Esc: closes the top-most thing, finally the program

private:
    void SetIcons();
    void OnTimer(UINT_PTR id);
    void StartPeriodicTimers();
    void KillShutdownTimers();
    // Leaves full screen or hides a pop-up when one is up; false when nothing was closed.
    bool CloseTopmostThing();
    void ShowViewMenu();
    void SwitchView(int view);
    // Shows the button of the selected property and its value on the property bar.
    void RefreshPropertyDisplay();
    void RefreshClock();

    MainWindowState state_;
    InputSelector inputSelector_;
};

}  // namespace lumetra
