#include "skin/hover_notify_button.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <windowsx.h>

#include "framework/handles.h"

namespace lumetra {

UINT HoverButtonMessage() {
    static const UINT message = RegisterWindowMessageA("WM_HOVERBUTTON");
    return message;
}

namespace {
// Registered once when the program starts, so every window agrees on its number from the beginning.
const UINT kRegisteredAtStart = HoverButtonMessage();

HWND NotifyTarget(HWND button) {
    HWND parent = GetParent(button);
    return parent ? parent : GetWindow(button, GW_OWNER);
}
}  // namespace

bool HoverNotifyButton::AttachButton(HWND button) {
    if (!Attach(button)) return false;
    LONG style = GetWindowLongA(button, GWL_STYLE);
    defaultButton_ = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    SetWindowLongA(button, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    RefreshColours();
    InvalidateRect(button, nullptr, TRUE);
    return true;
}

void HoverNotifyButton::RefreshColours() {
    face_ = GetSysColor(COLOR_BTNFACE);
    text_ = GetSysColor(COLOR_BTNTEXT);
}

void HoverNotifyButton::SetTooltipText(const std::string& text) {
    tooltipText_ = text;
    if (!tooltip_) {
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                   ModuleInstance(), nullptr);
        if (!tooltip_) return;
        SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
        TOOLINFOA tool{sizeof tool};
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(Handle());
        tool.lpszText = const_cast<char*>(tooltipText_.c_str());
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    TOOLINFOA tool{sizeof tool};
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = const_cast<char*>(tooltipText_.c_str());
    SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void HoverNotifyButton::EnableTooltip(bool on) {
    if (tooltip_) SendMessageA(tooltip_, TTM_ACTIVATE, on, 0);
}

void HoverNotifyButton::OnMouseMove() {
    if (hover_) return;
    HWND active = GetActiveWindow();
    if (!active) return;  // only while the application is active
    hover_ = true;
    if (!hoverSound_.empty()) PlaySoundA(hoverSound_.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
    TrackMouseEvent(&track);
    SendMessageA(NotifyTarget(Handle()), HoverButtonMessage(), reinterpret_cast<WPARAM>(Handle()), 1);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void HoverNotifyButton::ClearHover() {
    if (!hover_) return;
    hover_ = false;
    SendMessageA(NotifyTarget(Handle()), HoverButtonMessage(), reinterpret_cast<WPARAM>(Handle()), 0);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void HoverNotifyButton::OnClick() {
    SetFocus(Handle());
    if (!clickSound_.empty()) PlaySoundA(clickSound_.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
    if (checkBox_) {
        checked_ = !checked_;
        InvalidateRect(Handle(), nullptr, FALSE);
    } else if (menu_) {
        HMENU sub = GetSubMenu(menu_, 0);
        RECT r;
        GetWindowRect(Handle(), &r);
        int command = sub ? TrackPopupMenu(sub, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, r.left, r.bottom, 0,
                                           Handle(), nullptr)
                          : 0;
        if (command && menuTarget_) PostMessageA(menuTarget_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    } else if (!url_.empty()) {
        ShellExecuteA(nullptr, "open", url_.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    }
}

void HoverNotifyButton::Paint() {
    PaintScope paint(Handle());
    RECT r;
    GetClientRect(Handle(), &r);
    bool enabled = IsWindowEnabled(Handle()) != FALSE;
    bool down = pressed_ || (checkBox_ && checked_);
    Brush face(CreateSolidBrush(face_));
    FillRect(paint.Get(), &r, face.Get());
    // Raised at rest, sunken when pressed or checked, with a flat highlight edge while hovered.
    UINT edge = down ? EDGE_SUNKEN : (hover_ ? EDGE_RAISED : BDR_RAISEDINNER);
    DrawEdge(paint.Get(), &r, edge, BF_RECT);
    if (defaultButton_) FrameRect(paint.Get(), &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    char text[256] = {};
    GetWindowTextA(Handle(), text, sizeof text);
    SetBkMode(paint.Get(), TRANSPARENT);
    SetTextColor(paint.Get(), enabled ? text_ : GetSysColor(COLOR_GRAYTEXT));
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
    SelectedObject selectFont(paint.Get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    if (down) OffsetRect(&r, 1, 1);
    DrawTextA(paint.Get(), text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (GetFocus() == Handle()) {
        RECT focus = r;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(paint.Get(), &focus);
    }
}

LRESULT HoverNotifyButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // transparent background: the face is painted whole in WM_PAINT
    case WM_MOUSEMOVE:
        OnMouseMove();
        break;
    case WM_MOUSELEAVE:
        ClearHover();
        return 0;
    case WM_KILLFOCUS:
    case WM_CANCELMODE:
        ClearHover();
        break;
    case WM_ENABLE:
        if (!wp) {
            ClearHover();
            if (GetFocus() == Handle()) {
                HWND parent = GetParent(Handle());
                HWND next = parent ? GetNextDlgTabItem(parent, Handle(), FALSE) : nullptr;
                SetFocus(next && next != Handle() ? next : parent);
            }
        }
        InvalidateRect(Handle(), nullptr, FALSE);
        break;
    case WM_SETCURSOR:
        if (cursor_) {
            ::SetCursor(cursor_);
            return TRUE;
        }
        break;
    case WM_SYSCOLORCHANGE:
        RefreshColours();
        InvalidateRect(Handle(), nullptr, FALSE);
        break;
    case WM_GETDLGCODE:
        return defaultButton_ ? DLGC_DEFPUSHBUTTON | DLGC_BUTTON : DLGC_UNDEFPUSHBUTTON | DLGC_BUTTON;
    case BM_SETCHECK:
        checked_ = wp == BST_CHECKED || wp == BST_INDETERMINATE;
        InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case BM_GETCHECK:
        return checked_ ? BST_CHECKED : BST_UNCHECKED;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed_ = true;
        InvalidateRect(Handle(), nullptr, FALSE);
        break;
    case WM_LBUTTONUP: {
        bool wasPressed = pressed_;
        pressed_ = false;
        RECT client;
        GetClientRect(Handle(), &client);
        POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        LRESULT result = Window::WndProc(msg, wp, lp);
        if (wasPressed && PtInRect(&client, at)) OnClick();
        InvalidateRect(Handle(), nullptr, FALSE);
        return result;
    }
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace lumetra
