#include "skin/hover_button.h"

#include <commctrl.h>
#include <windowsx.h>

#include "skin/skin_image.h"

namespace lumetra {

bool HoverButton::CreateButton(HWND parent, const RECT& rect, const std::string& text, DWORD extraStyle) {
    return CreateControl("BUTTON", 0, text.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | extraStyle, rect, parent);
}

HWND CreateSkinTooltip(HWND owner) {
    HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                   ModuleInstance(), nullptr);
    if (tooltip) SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
    return tooltip;
}

void HoverButton::EnsureTooltip() {
    if (tooltip_ || !Handle()) return;
    tooltip_ = sharedTooltip_ ? sharedTooltip_ : CreateSkinTooltip(Handle());
    if (!tooltip_) return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;  // the whole client area
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = const_cast<char*>("");
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void HoverButton::SetTooltipTexts(const std::string& off, const std::string& on) {
    offTip_ = off;
    onTip_ = on;
    ShowTooltipFor(false);
}

void HoverButton::ShowTooltipFor(bool onState) {
    const std::string& text = onState ? onTip_ : offTip_;
    if (!tooltip_ && text.empty()) return;
    EnsureTooltip();
    if (!tooltip_) return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void HoverButton::RelayToTooltip(UINT msg, WPARAM wp, LPARAM lp) {
    if (!tooltip_) return;
    MSG m{Handle(), msg, wp, lp, 0, {}};
    SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

HBITMAP HoverButton::Picture(ButtonPicture which) {
    Bitmap& picture = pictures_[static_cast<size_t>(which)];
    if (!picture && source_) picture = source_(which);
    return picture.Get();
}

ButtonVisualState HoverButton::VisualState(const DRAWITEMSTRUCT& item) const {
    ButtonVisualState s;
    s.enabled = !(item.itemState & ODS_DISABLED);
    s.pressed = (item.itemState & ODS_SELECTED) != 0;
    s.hover = hover_;
    return s;
}

void HoverButton::Draw(const DRAWITEMSTRUCT& item) {
    const RECT& r = item.rcItem;
    HBITMAP picture = Picture(ChooseButtonPicture(VisualState(item)));
    if (!picture) picture = Picture(ButtonPicture::Normal);
    if (picture) DrawBitmap(item.hDC, picture, r.left, r.top, r.right - r.left, r.bottom - r.top);
    else FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
}

void HoverButton::TrackHover(WPARAM keys) {
    if ((keys & MK_LBUTTON) && !hover_) return;
    if (GetCapture() != Handle()) {
        if (GetActiveWindow() && GetParent(Handle())) {
            hover_ = true;
            SetCapture(Handle());
            Repaint();
        }
        return;
    }
    POINT at;
    GetCursorPos(&at);
    if (WindowFromPoint(at) != Handle()) {
        ClearHover();
        if (!(keys & MK_LBUTTON)) ReleaseCapture();
    }
}

void HoverButton::ClearHover() {
    if (!hover_) return;
    hover_ = false;
    Repaint();
}

LRESULT HoverButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        RelayToTooltip(msg, wp, lp);
        if (msg == WM_MOUSEMOVE) TrackHover(wp);
        break;
    case WM_ERASEBKGND:
        return 1;  // the pictures cover everything: no background erase, no flicker
    case WM_KILLFOCUS:
        ClearHover();
        break;
    case WM_CAPTURECHANGED:
        ClearHover();
        break;
    case WM_DESTROY:
        // A shared tooltip outlives the element: its tool goes with the element.
        if (tooltip_ && tooltip_ == sharedTooltip_) {
            TOOLINFOA tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = Handle();
            tool.uId = reinterpret_cast<UINT_PTR>(Handle());
            SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        }
        tooltip_ = nullptr;
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

void SkinButton::Configure(const std::string& name, ButtonType type, int radioGroup) {
    name_ = name;
    type_ = type;
    radioGroup_ = radioGroup;
}

bool SkinButton::SetShape(HRGN region) {
    if (!region) return false;
    Region copy(CreateRectRgn(0, 0, 0, 0));
    if (copy) CombineRgn(copy.Get(), region, nullptr, RGN_COPY);
    if (!SetWindowRgn(Handle(), region, TRUE)) {
        DeleteObject(region);
        return false;
    }
    shape_ = std::move(copy);
    return true;
}

void SkinButton::SetOnState(int state) {
    onState_ = state;
    ShowTooltipFor(onState_ != 0);
    Repaint();
}

ButtonVisualState SkinButton::VisualState(const DRAWITEMSTRUCT& item) const {
    ButtonVisualState s = HoverButton::VisualState(item);
    s.radio = IsRadio();
    s.onState = onState_;
    return s;
}

void SkinButton::Draw(const DRAWITEMSTRUCT& item) {
    // The view-menu button may be round: draw it clipped to its shape.
    bool clip = shape_ && name_ == "BUTTON_VIEW_MENU";
    if (clip) SelectClipRgn(item.hDC, shape_.Get());
    HoverButton::Draw(item);
    if (clip) SelectClipRgn(item.hDC, nullptr);
}

void SkinButton::OnRelease(POINT at) {
    RECT client;
    GetClientRect(Handle(), &client);
    if (!PtInRect(&client, at)) return;  // released outside: no action
    if (host_.ButtonRelay(index_, false)) {
        if (type_ == ButtonType::OnOff) {
            SetOnState(onState_ ? 0 : 1);
        } else if (type_ == ButtonType::Radio) {
            onState_ = 1;
            host_.ApplyRadioRule(radioGroup_, ordinal_);
        }
    }
    ShowTooltipFor(onState_ != 0);
    Repaint();
}

LRESULT SkinButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        LRESULT result = HoverButton::WndProc(WM_LBUTTONDOWN, wp, lp);
        pressed_ = true;
        host_.ButtonRelay(index_, true);
        Repaint();
        return result;
    }
    case WM_LBUTTONUP: {
        bool wasPressed = pressed_;
        pressed_ = false;
        LRESULT result = HoverButton::WndProc(msg, wp, lp);
        if (wasPressed && Handle()) OnRelease(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return result;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;  // a press whose release we will not see
        break;
    default:
        break;
    }
    return HoverButton::WndProc(msg, wp, lp);
}

}  // namespace lumetra
