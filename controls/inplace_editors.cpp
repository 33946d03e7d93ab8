#include "controls/inplace_editors.h"

#include <commctrl.h>
#include <windowsx.h>

#include <ctime>

#include "controls/control_messages.h"
#include "controls/list_geometry.h"

namespace lumetra {
namespace {

const char kPopupClass[] = "LumetraEditorPopup";
constexpr UINT_PTR kHotTrackTimer = 1;
constexpr UINT kHotTrackMs = 80;
constexpr int kListBoxId = 1, kScrollBarId = 2;

bool RegisterPopupClass() {
    static bool registered = false;
    if (!registered) registered = RegisterWindowClass(kPopupClass, CS_DBLCLKS | CS_SAVEBITS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return registered;
}

}  // namespace

// ---- XEditText

bool XEditText::Open(const RECT& cell, const std::string& text, HFONT font) {
    brush_ = Brush(CreateSolidBrush(0xFFFFE6));
    if (!CreateControl("EDIT", 0, text.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, cell, list_,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditTextId))))
        return false;
    if (font) SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(Handle(), EM_SETSEL, 0, -1);
    // Clicks anywhere come here, so that a click outside the box commits it.
    SetCapture(Handle());
    BringWindowToTop(Handle());
    SetFocus(Handle());
    return true;
}

std::string XEditText::Text() const {
    char text[512] = {};
    GetWindowTextA(Handle(), text, sizeof text);
    return text;
}

HBRUSH XEditText::OnCtlColor(HDC dc) {
    SetTextColor(dc, 0x000080);
    SetBkMode(dc, TRANSPARENT);
    return brush_.Get();
}

void XEditText::Report(UINT message) {
    if (!closing_ && list_) SendMessageA(list_, message, 0, 0);
}

LRESULT XEditText::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    const EditorMessages& m = XEditorMessages();
    switch (msg) {
    case WM_GETDLGCODE:
        return Window::WndProc(msg, wp, lp) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (wp == VK_TAB || wp == VK_RETURN) {
            Report(m.editReturn);
            return 0;
        }
        if (wp == VK_ESCAPE) {
            Report(m.editEscape);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wp == '\t' || wp == '\r' || wp == 0x1B) return 0;  // handled on key down
        break;
    case WM_LBUTTONDOWN: {
        RECT client;
        GetClientRect(Handle(), &client);
        POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (!PtInRect(&client, at)) {
            Report(m.editReturn);
            return 0;
        }
        break;
    }
    case WM_KILLFOCUS:
        Report(m.editReturn);
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

// ---- EditorPopup

bool EditorPopup::CreatePopup(const RECT& onScreen) {
    if (!RegisterPopupClass()) return false;
    return CreateControl(kPopupClass, WS_EX_TOOLWINDOW, "", WS_POPUP | WS_VISIBLE | WS_BORDER, onScreen, list_);
}

void EditorPopup::OnFocusLost(HWND to, UINT escapeMessage) {
    if (closing_ || !Handle()) return;
    if (to && (to == Handle() || IsChild(Handle(), to))) return;
    Report(escapeMessage);
}

void EditorPopup::Report(UINT message) {
    if (!closing_ && list_) SendMessageA(list_, message, 0, 0);
}

void EditorPopup::FitClient(SIZE size) {
    RECT r{0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)));
    SetWindowPos(Handle(), HWND_TOP, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOACTIVATE);
}

// ---- XComboList

XComboList::XComboList(HWND list) : EditorPopup(list), listBox_(*this) {}

XComboList::~XComboList() {
    if (Handle()) KillTimer(Handle(), kHotTrackTimer);
}

bool XComboList::Open(const RECT& onScreen, HFONT font, const std::vector<std::string>& choices,
                      const std::string& current) {
    if (!CreatePopup(onScreen)) return false;
    RECT none{0, 0, 0, 0};
    if (!listBox_.CreateControl("LISTBOX", 0, "", WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, none, Handle(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListBoxId))) ||
        !scrollBar_.CreateControl("SCROLLBAR", 0, "", WS_CHILD | WS_VISIBLE | SBS_VERT, none, Handle(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kScrollBarId))))
        return false;
    if (font) {
        SendMessageA(listBox_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageA(scrollBar_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    int selection = 0;
    for (const std::string& choice : choices) {
        if (choice.empty()) continue;
        LRESULT index = SendMessageA(listBox_.Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
        if (choice == current) selection = static_cast<int>(index);
    }
    SendMessageA(listBox_.Handle(), LB_SETCURSEL, selection, 0);
    return true;
}

int XComboList::Selection() const {
    LRESULT s = SendMessageA(listBox_.Handle(), LB_GETCURSEL, 0, 0);
    return s == LB_ERR ? -1 : static_cast<int>(s);
}

int XComboList::LastIndex() const {
    return static_cast<int>(SendMessageA(listBox_.Handle(), LB_GETCOUNT, 0, 0)) - 1;
}

int XComboList::Page() const {
    SCROLLINFO info{sizeof info, SIF_PAGE};
    GetScrollInfo(scrollBar_.Handle(), SB_CTL, &info);
    return static_cast<int>(info.nPage);
}

std::string XComboList::SelectedText() const {
    int s = Selection();
    if (s < 0) return "";
    LRESULT length = SendMessageA(listBox_.Handle(), LB_GETTEXTLEN, s, 0);
    if (length == LB_ERR) return "";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(listBox_.Handle(), LB_GETTEXT, s, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

void XComboList::Activate() {
    if (!Handle()) return;
    SetFocus(listBox_.Handle());
    if (laidOut_) return;
    laidOut_ = true;
    const int itemHeight = static_cast<int>(SendMessageA(listBox_.Handle(), LB_GETITEMHEIGHT, 0, 0));
    RECT window, client;
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    DropDownLayout l = LayoutDropDown(client.right, window.bottom - window.top, itemHeight);
    SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left, l.windowHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(listBox_.Handle(), l.list.left, l.list.top, l.list.Width(), l.list.Height(), TRUE);
    MoveWindow(scrollBar_.Handle(), l.scrollBar.left, l.scrollBar.top, l.scrollBar.Width(), l.scrollBar.Height(), TRUE);
    const int selection = Selection() < 0 ? 0 : Selection();
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS};
    info.nMin = 0;
    info.nMax = LastIndex() + 1;
    info.nPage = static_cast<UINT>(l.visibleHeight / (itemHeight > 0 ? itemHeight : 1));
    info.nPos = selection;
    SetScrollInfo(scrollBar_.Handle(), SB_CTL, &info, TRUE);
    SendMessageA(listBox_.Handle(), LB_SETTOPINDEX, selection > 0 ? selection - 1 : 0, 0);
    SetTimer(Handle(), kHotTrackTimer, kHotTrackMs, nullptr);
}

bool XComboList::OnListKey(UINT key) {
    const EditorMessages& m = XEditorMessages();
    const int s = Selection(), last = LastIndex();
    int position = -1;
    switch (key) {
    case VK_RETURN: Report(m.comboReturn); return true;
    case VK_ESCAPE: Report(m.comboEscape); return true;
    case VK_PRIOR: position = DropDownKeyPosition(DropDownKey::PageUp, s, Page(), last); break;
    case VK_NEXT: position = DropDownKeyPosition(DropDownKey::PageDown, s, Page(), last); break;
    case VK_UP: position = DropDownKeyPosition(DropDownKey::Up, s, Page(), last); break;
    case VK_DOWN: position = DropDownKeyPosition(DropDownKey::Down, s, Page(), last); break;
    case VK_HOME: position = 0; break;
    case VK_END: position = last < 0 ? 0 : last; break;
    default:
        if (key >= 'A' && key <= 'Z') {
            const char prefix[2] = {static_cast<char>(key), 0};
            LRESULT found = SendMessageA(listBox_.Handle(), LB_FINDSTRING, static_cast<WPARAM>(s),
                                         reinterpret_cast<LPARAM>(prefix));
            if (found == LB_ERR) return true;  // no entry begins with it: nothing changes
            Report(m.comboKeyDown);
            SendMessageA(listBox_.Handle(), LB_SETCURSEL, static_cast<WPARAM>(found), 0);
            SetScrollPos(scrollBar_.Handle(), SB_CTL, static_cast<int>(found), TRUE);
            return true;
        }
        return false;
    }
    Report(m.comboKeyDown);
    SetScrollPos(scrollBar_.Handle(), SB_CTL, position, TRUE);
    return false;  // the list box moves its selection itself
}

void XComboList::TrackHot() {
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(listBox_.Handle(), &cursor);
    RECT client;
    GetClientRect(listBox_.Handle(), &client);
    if (!PtInRect(&client, cursor)) return;
    LRESULT hit = SendMessageA(listBox_.Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(cursor.x, cursor.y));
    const int index = LOWORD(hit);
    if (HIWORD(hit) || index == Selection() || index > LastIndex()) return;
    SendMessageA(listBox_.Handle(), LB_SETCURSEL, index, 0);
    SetScrollPos(scrollBar_.Handle(), SB_CTL, index, TRUE);
}

void XComboList::OnScroll(WPARAM wp) {
    SendMessageA(listBox_.Handle(), WM_VSCROLL, wp, 0);
    const int position = GetScrollPos(scrollBar_.Handle(), SB_CTL), page = Page(), last = LastIndex();
    int next = position;
    switch (LOWORD(wp)) {
    case SB_LINEUP: next = DropDownScrollPosition(ScrollRequest::LineUp, position, page, last); break;
    case SB_LINEDOWN: next = DropDownScrollPosition(ScrollRequest::LineDown, position, page, last); break;
    case SB_PAGEUP: next = DropDownScrollPosition(ScrollRequest::PageUp, position, page, last); break;
    case SB_PAGEDOWN: next = DropDownScrollPosition(ScrollRequest::PageDown, position, page, last); break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = last < 0 ? 0 : last; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: next = HIWORD(wp) > last ? (last < 0 ? 0 : last) : HIWORD(wp); break;
    default: return;
    }
    SetScrollPos(scrollBar_.Handle(), SB_CTL, next, TRUE);
}

LRESULT XComboList::ChoiceBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_KEYDOWN:
        if (owner_.OnListKey(static_cast<UINT>(wp))) return 0;
        break;
    case WM_CHAR:
        return 0;  // letters were handled on key down
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_LBUTTONUP:
        owner_.Report(XEditorMessages().comboLButtonUp);
        break;
    case WM_KILLFOCUS:
        owner_.OnFocusLost(reinterpret_cast<HWND>(wp), XEditorMessages().comboEscape);
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

LRESULT XComboList::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp == kHotTrackTimer) {
            TrackHot();
            return 0;
        }
        break;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lp) == scrollBar_.Handle()) {
            OnScroll(wp);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        Report(XEditorMessages().comboLButtonUp);
        return 0;
    case WM_KILLFOCUS:
        OnFocusLost(reinterpret_cast<HWND>(wp), XEditorMessages().comboEscape);
        break;
    case WM_DESTROY:
        KillTimer(Handle(), kHotTrackTimer);
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

// ---- XDateCal

bool XDateCal::Open(POINT onScreen) {
    if (!CreatePopup(RECT{onScreen.x, onScreen.y, onScreen.x + 10, onScreen.y + 10})) return false;
    if (!calendar_.CreateControl(MONTHCAL_CLASSA, WS_EX_STATICEDGE | WS_EX_NOPARENTNOTIFY, "", WS_CHILD | WS_VISIBLE,
                                 RECT{0, 0, 200, 160}, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDateCalendarId))))
        return false;
    RECT minimum{};
    SendMessageA(calendar_.Handle(), MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum));
    RECT outer{0, 0, minimum.right - minimum.left, minimum.bottom - minimum.top};
    AdjustWindowRectEx(&outer, WS_CHILD, FALSE, WS_EX_STATICEDGE);
    const SIZE size{outer.right - outer.left, outer.bottom - outer.top};
    SetWindowPos(calendar_.Handle(), HWND_TOP, 0, 0, size.cx, size.cy, 0);
    FitClient(size);
    return true;
}

void XDateCal::SetDate(int32_t time) {
    std::time_t t = static_cast<std::time_t>(time);
    std::tm local{};
    localtime_s(&local, &t);
    SYSTEMTIME day{};
    day.wYear = static_cast<WORD>(local.tm_year + 1900);
    day.wMonth = static_cast<WORD>(local.tm_mon + 1);
    day.wDay = static_cast<WORD>(local.tm_mday);
    day.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    SendMessageA(calendar_.Handle(), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&day));
    chosen_ = time;
}

void XDateCal::Commit() {
    SYSTEMTIME day{};
    if (SendMessageA(calendar_.Handle(), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&day))) {
        std::tm local{};
        local.tm_year = day.wYear - 1900;
        local.tm_mon = day.wMonth - 1;
        local.tm_mday = day.wDay;
        local.tm_isdst = -1;  // the platform decides daylight saving
        chosen_ = static_cast<int32_t>(std::mktime(&local));
    }
    Report(XEditorMessages().dateReturn);
}

void XDateCal::Activate() {
    if (calendar_.Handle()) SetFocus(calendar_.Handle());
}

LRESULT XDateCal::CalendarControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_KEYDOWN:
        if (wp == VK_RETURN) {
            owner_.Commit();
            return 0;
        }
        if (wp == VK_ESCAPE) {
            owner_.Report(XEditorMessages().dateEscape);
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KILLFOCUS:
        owner_.OnFocusLost(reinterpret_cast<HWND>(wp), XEditorMessages().dateEscape);
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

LRESULT XDateCal::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header && header->hwndFrom == calendar_.Handle() && header->code == MCN_SELECT) {
            Commit();  // a day chosen with the mouse commits at once
            return 0;
        }
        break;
    }
    case WM_KILLFOCUS:
        OnFocusLost(reinterpret_cast<HWND>(wp), XEditorMessages().dateEscape);
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

// ---- XTimeClk

bool XTimeClk::Open(POINT onScreen) {
    if (!CreatePopup(RECT{onScreen.x, onScreen.y, onScreen.x + 10, onScreen.y + 10})) return false;
    clock_.SetMode(lengthMode_);
    if (!clock_.Create(Handle(), POINT{0, 0}, kTimeClockId, WS_CHILD | WS_VISIBLE)) return false;
    clock_.SetHands(0, 0);
    clock_.SetFaceColour(RGB(255, 255, 255));
    clock_.SetSmoothHourHand(false);
    FitClient(SIZE{clock_.Layout().windowWidth, clock_.Layout().windowHeight});
    BringWindowToTop(Handle());
    return true;
}

void XTimeClk::Activate() {
    if (clock_.Handle()) SetFocus(clock_.Handle());
}

LRESULT XTimeClk::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    const EditorMessages& m = XEditorMessages();
    switch (msg) {
    case WM_LBUTTONUP:  // also the confirmation the clock posts when its OK button is released
        chosen_ = clock_.GetTime();
        Report(m.timeReturn);
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_RETURN) {
            chosen_ = clock_.GetTime();
            Report(m.timeReturn);
            return 0;
        }
        if (wp == VK_ESCAPE) {
            Report(m.timeEscape);
            return 0;
        }
        break;
    case kClockFocusLost:
    case WM_KILLFOCUS:
        OnFocusLost(reinterpret_cast<HWND>(wp), m.timeEscape);
        return 0;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace lumetra
