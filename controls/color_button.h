#pragma once
// A push button that shows a colour swatch and a drop-down arrow; a click opens a pop-up palette of
// ten pastel colours with a "Default" box on top and a "More Colors..." box that opens the system's
// colour dialog. Attach it to a button of a dialog template; the dialog reflects its WM_COMMAND.
#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/colour_palette.h"
#include "controls/reflect.h"
#include "framework/window.h"

namespace lumetra {

// Notifications to the button's parent: wParam the colour, lParam the button's control ID.
// The pop-up sends ColourSelChange, ColourSelEndOk and ColourSelEndCancel to the button likewise.
constexpr UINT kColourSelChange = WM_USER + 1001;     // 2025: the hot colour changed
constexpr UINT kColourDropDown = WM_USER + 1002;      // 2026: the pop-up opened
constexpr UINT kColourCloseUp = WM_USER + 1003;       // 2027: the pop-up closed
constexpr UINT kColourSelEndOk = WM_USER + 1004;      // 2028: the selection was accepted
constexpr UINT kColourSelEndCancel = WM_USER + 1005;  // 2029: the selection was cancelled

class ColourPopup;

class CColorButton : public Window, public ReflectedControl {
public:
    CColorButton();
    ~CColorButton() override;

    // Subclasses a dialog button and makes it owner-drawn.
    bool AttachButton(HWND button);

    // The colour, or the default colour while the colour is kDefaultColour.
    uint32_t GetColor() const { return colour_ == kDefaultColour ? defaultColour_ : colour_; }
    uint32_t RawColor() const { return colour_; }
    void SetColor(uint32_t colour);
    void SetDefaultColor(uint32_t colour);
    void SetTrackSelection(bool on) { trackSelection_ = on; }
    bool PopupOpen() const { return popupOpen_; }
    // The open palette's window, or null.
    HWND PopupWindow() const;

    bool OnReflectedCommand(int code) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OpenPopup();
    void Paint();
    void NotifyParent(UINT message, uint32_t colour);
    void OnSelEndOk(uint32_t colour);
    void OnSelEndCancel(uint32_t colour);
    void OnSelChange(uint32_t colour);

    uint32_t colour_ = kDefaultColour;
    uint32_t defaultColour_;
    std::string defaultText_ = "Default";
    std::string customText_ = "More Colors...";
    bool popupOpen_ = false;
    bool trackSelection_ = false;
    ColourPopup* popup_ = nullptr;  // deletes itself when its window is destroyed
};

}  // namespace lumetra
