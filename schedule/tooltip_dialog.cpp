#include "schedule/tooltip_dialog.h"

#include <commctrl.h>

#include "framework/window.h"

namespace lumetra {

INT_PTR CToolTipDialog::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                   ModuleInstance(), nullptr);
        if (tooltip_) SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
        break;
    case WM_DESTROY:
        if (tooltip_) DestroyWindow(tooltip_);
        tooltip_ = nullptr;
        break;
    default:
        break;
    }
    return Dialog::DlgProc(msg, wp, lp);
}

void CToolTipDialog::SetControlTip(int controlId, const std::string& text) {
    HWND control = Item(controlId);
    if (!tooltip_ || !control) return;
    TOOLINFOA tool{sizeof tool};
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CToolTipDialog::ActivateTips(bool on) {
    if (tooltip_) SendMessageA(tooltip_, TTM_ACTIVATE, on, 0);
}

}  // namespace lumetra
