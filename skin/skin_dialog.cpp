#include "skin/skin_dialog.h"

#include <windowsx.h>

#include "res/resource.h"
#include "skin/mask_region.h"

namespace lumetra {
namespace {

template <class List>
auto FirstNamed(const List& list, const std::string& name, int view) -> decltype(list.front().get()) {
    for (const auto& e : list)
        if (e->Name() == name && (view < 0 || e->View() == view)) return e.get();
    return nullptr;
}

// The first element of that name in the current view, else the first of that name anywhere.
template <class List>
auto PreferCurrent(const List& list, const std::string& name, int view) -> decltype(list.front().get()) {
    if (auto* e = FirstNamed(list, name, view)) return e;
    return FirstNamed(list, name, -1);
}

template <class List, class F>
void ForEachNamed(const List& list, const std::string& name, F f) {
    for (const auto& e : list)
        if (e->Name() == name) f(*e);
}

template <class E>
void ApplyPresence(E& e, int currentView) {
    bool onScreen = e.View() == currentView;
    EnableWindow(e.Handle(), onScreen && e.wantEnabled);
    ShowWindow(e.Handle(), onScreen && e.wantShown ? SW_SHOWNA : SW_HIDE);
}

bool ScreenRectContains(HWND hwnd, POINT at) {
    if (!IsWindowVisible(hwnd)) return false;
    RECT r;
    GetWindowRect(hwnd, &r);
    return PtInRect(&r, at) != FALSE;
}

}  // namespace

SkinDialog::SkinDialog(int templateId) : Dialog(templateId) {}

SkinDialog::~SkinDialog() = default;

RECT SkinDialog::ScreenRect() const {
    if (currentView_ < 0 || currentView_ >= ViewCount()) return RECT{};
    return views_[static_cast<size_t>(currentView_)].images.screen;
}

void SkinDialog::SkinMessage(const std::string& text, const char* caption) {
    MessageBoxA(Handle(), text.c_str(), caption, MB_OK);
}

BOOL SkinDialog::OnInitDialog() {
    // A new window: an element tooltip of an earlier one went with it.
    tooltip_ = nullptr;
    ClearElements();
    LoadSkin();
    return TRUE;
}

void SkinDialog::ClearElements() {
    buttons_.clear();
    trackbars_.clear();
    progress_.clear();
    texts_.clear();
}

void SkinDialog::SetTrackbarPosition(const std::string& name, int position) {
    ForEachNamed(trackbars_, name, [&](SkinTrackbar& t) { t.SetPosition(position); });
}

void SkinDialog::SetTrackbarRange(const std::string& name, int maximum) {
    ForEachNamed(trackbars_, name, [&](SkinTrackbar& t) { t.SetRangeMax(maximum); });
}

void SkinDialog::SetProgressValue(const std::string& name, int value) {
    ForEachNamed(progress_, name, [&](SkinProgress& p) { p.SetValue(value); });
}

void SkinDialog::SetText(const std::string& name, const std::string& text) {
    ForEachNamed(texts_, name, [&](SkinText& t) {
        if (t.Text() != text) t.SetText(text);
    });
}

void SkinDialog::EnableElement(const std::string& name, bool enable) {
    // Buttons first, then progress elements, trackbars and texts: the first kind that has the name.
    auto apply = [&](auto& e) { e.wantEnabled = enable; ApplyPresence(e, currentView_); };
    if (FirstNamed(buttons_, name, -1)) return ForEachNamed(buttons_, name, apply);
    if (FirstNamed(progress_, name, -1)) return ForEachNamed(progress_, name, apply);
    if (FirstNamed(trackbars_, name, -1)) return ForEachNamed(trackbars_, name, apply);
    ForEachNamed(texts_, name, apply);
}

void SkinDialog::ShowElement(const std::string& name, bool show) {
    auto apply = [&](auto& e) { e.wantShown = show; ApplyPresence(e, currentView_); };
    if (FirstNamed(buttons_, name, -1)) return ForEachNamed(buttons_, name, apply);
    if (FirstNamed(progress_, name, -1)) return ForEachNamed(progress_, name, apply);
    ForEachNamed(trackbars_, name, apply);
    ForEachNamed(texts_, name, apply);
}

void SkinDialog::SetButtonOn(const std::string& name, bool on) {
    SkinButton* first = FirstNamed(buttons_, name, -1);
    if (!first) return;
    ForEachNamed(buttons_, name, [&](SkinButton& b) { b.SetOnState(on ? 1 : 0); });
    if (on && first->IsRadio()) ApplyRadioRule(first->RadioGroup(), first->Ordinal());
}

void SkinDialog::ApplyRadioRule(int group, int selectedOrdinal) {
    for (const auto& b : buttons_) {
        if (!b->IsRadio() || b->RadioGroup() != group) continue;
        b->SetOnState(b->Ordinal() == selectedOrdinal ? 1 : 0);
    }
}

void SkinDialog::SetTooltip(const std::string& name, const std::string& text) {
    ForEachNamed(buttons_, name, [&](SkinButton& b) {
        b.SetTooltipTexts(text, text);
        b.ShowTooltipFor(false);
    });
}

std::string SkinDialog::GetTooltip(const std::string& name) const {
    const SkinButton* b = PreferCurrent(buttons_, name, currentView_);
    return b ? b->TooltipText() : std::string();
}

bool SkinDialog::GetElementScreenRect(const std::string& name, RECT& rect) const {
    const SkinButton* b = PreferCurrent(buttons_, name, currentView_);
    if (!b) return false;
    GetWindowRect(b->Handle(), &rect);
    return true;
}

void SkinDialog::ShowAll(bool show) {
    auto apply = [&](auto& list) {
        for (auto& e : list) {
            e->wantEnabled = show;
            e->wantShown = show;
        }
    };
    apply(buttons_);
    apply(trackbars_);
    apply(progress_);
    apply(texts_);
    ApplyViewVisibility();
}

void SkinDialog::ApplyViewVisibility() {
    for (auto& e : buttons_) ApplyPresence(*e, currentView_);
    for (auto& e : trackbars_) ApplyPresence(*e, currentView_);
    for (auto& e : progress_) ApplyPresence(*e, currentView_);
    for (auto& e : texts_) ApplyPresence(*e, currentView_);
}

void SkinDialog::CopyStatesFromView(int from, int to) {
    // Each element of the view coming up takes the state of its namesake in the view going away,
    // so a switch shows what the user just saw.
    auto copy = [&](const auto& list, auto transfer) {
        for (const auto& target : list) {
            if (target->View() != to) continue;
            if (auto* source = FirstNamed(list, target->Name(), from)) transfer(*source, *target);
        }
    };
    copy(buttons_, [](const SkinButton& s, SkinButton& t) { t.SetOnState(s.OnState()); });
    copy(trackbars_, [](const SkinTrackbar& s, SkinTrackbar& t) { t.SetPosition(s.Position()); });
    copy(progress_, [](const SkinProgress& s, SkinProgress& t) { t.SetValue(s.Value()); });
}

void SkinDialog::SelectView(int view, bool copyStates) {
    if (view < 0 || view >= ViewCount() || !views_[static_cast<size_t>(view)].loaded) return;
    if (copyStates && view != currentView_) CopyStatesFromView(currentView_, view);
    currentView_ = view;
    // The blank window's notice is for a skin that failed; a loaded view covers it.
    if (HWND notice = GetDlgItem(Handle(), IDC_BLANK_TEXT)) ShowWindow(notice, SW_HIDE);
    const SkinImage& main = Image(view, kMain);
    if (main.Valid())
        SetWindowPos(Handle(), nullptr, 0, 0, main.width, main.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    ApplyViewVisibility();
    DropHiddenViewPictures();
    ApplyWindowShape();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void SkinDialog::DropHiddenViewPictures() {
    // Which pictures a view's buttons hold depends on what the user pointed at and pressed there; kept
    // for hidden views they would pile up over a long session. Shown again, a view cuts what it draws.
    for (auto& button : buttons_)
        if (button->View() != currentView_) button->DropPictures();
}

void SkinDialog::ApplyWindowShape() {
    const SkinImage& mask = Image(currentView_, kMask);
    if (!mask.Valid()) {
        // A mask that could not be loaded was already named in the warning; keep the window rectangular.
        SetWindowRgn(Handle(), nullptr, TRUE);
        return;
    }
    HRGN region = RegionFromMask(mask);
    if (!region) {
        SkinMessage("Cannot create region from main skin mask (must be in RGB(255,255,255) format)", "Error");
        return;
    }
    if (!SetWindowRgn(Handle(), region, TRUE)) {
        DeleteObject(region);
        SkinMessage("Cannot Set main Window region", "Error");
        return;
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

bool SkinDialog::ButtonRelay(int buttonIndex, bool pressed) {
    if (buttonIndex < 0 || buttonIndex >= static_cast<int>(buttons_.size())) return false;
    SkinButton& b = *buttons_[static_cast<size_t>(buttonIndex)];
    return ButtonHook(b.Name(), b.OnState(), pressed);
}

void SkinDialog::TrackbarRelay(int trackbarIndex, int code, int position) {
    if (trackbarIndex < 0 || trackbarIndex >= static_cast<int>(trackbars_.size())) return;
    TrackbarHook(trackbars_[static_cast<size_t>(trackbarIndex)]->Name(), code, position);
}

void SkinDialog::TextRelay(int textIndex) {
    if (textIndex < 0 || textIndex >= static_cast<int>(texts_.size())) return;
    TextHook(texts_[static_cast<size_t>(textIndex)]->Name());
}

void SkinDialog::Paint() {
    PaintScope paint(Handle());
    const SkinImage& main = Image(currentView_, kMain);
    DrawBitmap(paint.Get(), main.Handle(), 0, 0, main.width, main.height);
}

void SkinDialog::OnWheel(WPARAM wp, LPARAM lp) {
    POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    int delta = GET_WHEEL_DELTA_WPARAM(wp);
    // Only elements on screen count: other views' elements may lie at the same place.
    for (const auto& p : progress_)
        if (ScreenRectContains(p->Handle(), at)) return WheelHook(p->Name(), delta);
    for (const auto& b : buttons_)
        if (ScreenRectContains(b->Handle(), at)) return WheelHook(b->Name(), delta);
}

INT_PTR SkinDialog::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    bool skinned = currentView_ >= 0 && currentView_ < ViewCount() &&
                   Image(currentView_, kMain).Valid();
    switch (msg) {
    case WM_PAINT:
        if (!skinned) break;
        Paint();
        return TRUE;
    case WM_ERASEBKGND:
        if (!skinned) break;
        SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (auto* button = dynamic_cast<HoverButton*>(Window::FromHandle(item->hwndItem))) {
            button->Draw(*item);
            SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        for (size_t i = 0; i < trackbars_.size(); ++i)
            if (trackbars_[i]->Handle() == reinterpret_cast<HWND>(lp))
                TrackbarRelay(static_cast<int>(i), LOWORD(wp), trackbars_[i]->Position());
        return TRUE;
    case WM_LBUTTONDOWN:
        OnBackgroundPress();
        // Any background point drags the window, as if its caption were grabbed.
        ReleaseCapture();
        SendMessageA(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return TRUE;
    case WM_MOUSEMOVE:
        HoverHook(std::string(), POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, static_cast<UINT>(wp));
        return TRUE;
    case WM_MOUSEWHEEL:
        OnWheel(wp, lp);
        return TRUE;
    default:
        break;
    }
    return Dialog::DlgProc(msg, wp, lp);
}

}  // namespace lumetra
