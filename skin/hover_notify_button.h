#pragma once
// An owner-drawn push button for dialogs that tells its parent when the pointer enters and leaves it
// (the registered message "WM_HOVERBUTTON"), draws itself hovered, and can act as a check box, open a
// menu below itself or open a URL. Attach it to a button of a dialog template.
#include <windows.h>

#include <string>

#include "framework/window.h"

namespace lumetra {

// The registered "WM_HOVERBUTTON" message: wParam the button, lParam 1 on entering, 0 on leaving.
UINT HoverButtonMessage();

class HoverNotifyButton : public Window {
public:
    // Subclasses the button; it becomes owner-drawn and keeps its default-button flag.
    bool AttachButton(HWND button);

    void SetCheckBoxMode(bool on) { checkBox_ = on; }
    void SetMenu(HMENU menu, HWND commandTarget) { menu_ = menu; menuTarget_ = commandTarget; }
    void SetUrl(const std::string& url) { url_ = url; }
    // Sounds played on entering and on a click (file names for PlaySound), empty for none.
    void SetSounds(const std::string& hover, const std::string& click) { hoverSound_ = hover; clickSound_ = click; }
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
    void SetTooltipText(const std::string& text);
    void EnableTooltip(bool on);

    bool Checked() const { return checked_; }
    bool Hovered() const { return hover_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnMouseMove();
    void ClearHover();
    void OnClick();
    void Paint();
    void RefreshColours();

    bool checkBox_ = false;
    bool checked_ = false;
    bool hover_ = false;
    bool pressed_ = false;
    bool defaultButton_ = false;
    HMENU menu_ = nullptr;       // owned by the caller
    HWND menuTarget_ = nullptr;
    HCURSOR cursor_ = nullptr;   // shared cursor, not owned
    std::string url_;
    std::string hoverSound_, clickSound_;
    HWND tooltip_ = nullptr;     // owned by the button: destroyed with it
    std::string tooltipText_;
    COLORREF face_ = 0, text_ = 0;
};

}  // namespace lumetra
