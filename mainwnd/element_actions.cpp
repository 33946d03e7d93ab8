// What the skin's elements do in the main window.
#include <string>
#include <vector>

#include "app/main_window.h"
#include "mainwnd/popup_menu.h"

namespace lumetra {

bool MainWindow::ButtonHook(const std::string& name, int onState, bool pressed) {
    if (pressed) return true;
    if (name == "BUTTON_MINIMIZE") {
        WINDOWPLACEMENT placement{sizeof placement};
        GetWindowPlacement(Handle(), &placement);
        placement.showCmd = SW_SHOWMINIMIZED;
        SetWindowPlacement(Handle(), &placement);
    } else if (name == "BUTTON_EXIT") {
        OnOK();
    } else if (name == "BUTTON_VIEW_MENU") {
        ShowViewMenu();
    }
    return true;
}

void MainWindow::ShowViewMenu() {
    std::vector<std::string> texts;
    for (int i = 0; i < ViewCount(); ++i) texts.push_back(ViewTitle(i));
    texts.push_back("SEPERATOR");
    texts.push_back("Full Screen Mode");
    RECT below{};
    bool found = GetElementScreenRect("BUTTON_VIEW_MENU", below);
    int choice = TrackTextMenu(Handle(), texts, found ? &below : nullptr);
    if (choice < 0) return;
    if (choice < ViewCount()) SwitchView(choice);
}

void MainWindow::SwitchView(int view) {
    ShowWindow(Handle(), SW_HIDE);
    SelectView(view, true);
    state_.skinView = CurrentView();
    RefreshPropertyDisplay();
    ShowWindow(Handle(), SW_SHOW);
}

void MainWindow::RefreshPropertyDisplay() {
    static const char* const kButtons[] = {"BUTTON_PROP_VOLUME", "BUTTON_PROP_BRIGHTNESS", "BUTTON_PROP_CONTRAST",
                                           "BUTTON_PROP_SATURATION"};
    for (const char* name : kButtons) ShowElement(name, false);
    ShowElement(kButtons[state_.propView], true);
    unsigned long value = state_.volume, maximum = state_.volumeMax;
    switch (state_.propView) {
    case kPropBrightness: value = state_.brightness; maximum = state_.brightnessMax; break;
    case kPropContrast: value = state_.contrast; maximum = state_.contrastMax; break;
    case kPropSaturation: value = state_.saturation; maximum = state_.saturationMax; break;
    default: break;
    }
    SetProgressValue("PROGRESS_PROPERTY", maximum ? static_cast<int>(value * 100ull / maximum) : 0);
}

void MainWindow::HoverHook(const std::string& name, POINT, UINT) {
    // Over the background the main window takes the focus, so that wheel messages reach it.
    if (name.empty()) SetFocus(Handle());
}

void MainWindow::OnBackgroundPress() {}

}  // namespace lumetra
