#include "controls/color_button.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <vector>

#include "framework/handles.h"

namespace lumetra {

// The pop-up palette: a top-level window owned by the button, made per click; it deletes itself when
// its window is destroyed.
class ColourPopup : public Window {
public:
    ColourPopup(HWND button, uint32_t colour, const std::string& defaultText, const std::string& customText,
                ColourPopup** link)
        : button_(button), initial_(colour), result_(colour), defaultText_(defaultText), customText_(customText),
          link_(link) {}

    bool Open(const RECT& buttonOnScreen);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalMessage() override {
        if (link_ && *link_ == this) *link_ = nullptr;
        delete this;
    }

private:
    void Paint();
    void PaintCell(HDC dc, int position);
    RECT RectOf(int position) const;
    void SetHot(int position);
    void OnKey(UINT key);
    void End(bool accept);

    HWND button_;
    uint32_t initial_, result_;
    std::string defaultText_, customText_;
    ColourPopup** link_;
    PaletteLayout layout_;
    int hot_ = kPaletteNone, chosen_ = kPaletteNone;
    Font font_;
    GdiObject<HPALETTE> palette_;
    HWND tooltip_ = nullptr;  // a child of this window's thread, destroyed with it
    bool colourDialogOpen_ = false;
    bool ending_ = false;
};

namespace {

COLORREF Colour(uint32_t c) { return static_cast<COLORREF>(c & 0xFFFFFF); }

RECT ToRect(const GeoRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

Font MessageFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return Font(CreateFontIndirectA(&metrics.lfMessageFont));
}

GdiObject<HPALETTE> PaletteOfTheColours() {
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + kPaletteColourCount * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(kPaletteColourCount);
    for (size_t i = 0; i < kPaletteColourCount; ++i) {
        uint32_t c = PaletteColour(i).colour;
        logical->palPalEntry[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
    }
    return GdiObject<HPALETTE>(CreatePalette(logical));
}

SIZE TextSize(HDC dc, const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

}  // namespace

bool ColourPopup::Open(const RECT& buttonOnScreen) {
    font_ = MessageFont();
    palette_ = PaletteOfTheColours();
    const int m = GetSystemMetrics(SM_CXEDGE);
    {
        WindowDC screen(nullptr);
        SelectedObject select(screen.Get(), font_.Get());
        SIZE defaultSize = TextSize(screen.Get(), defaultText_), customSize = TextSize(screen.Get(), customText_);
        layout_ = LayoutPalette(m, customSize.cy, defaultSize.cx, customSize.cx, !defaultText_.empty(),
                                !customText_.empty());
    }
    // The work area of the monitor the button is on keeps the pop-up on screen.
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoA(MonitorFromRect(&buttonOnScreen, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    GeoPoint at = PlacePalette(GeoRect{buttonOnScreen.left, buttonOnScreen.top, buttonOnScreen.right, buttonOnScreen.bottom},
                               layout_.width, layout_.height, GeoRect{work.left, work.top, work.right, work.bottom});
    chosen_ = hot_ = ChosenPalettePosition(initial_, layout_.hasDefault, layout_.hasCustom);
    RECT rect{at.x, at.y, at.x + layout_.width, at.y + layout_.height};
    if (!Create(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "", WS_POPUP, rect, button_)) return false;
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                               0, Handle(), nullptr, ModuleInstance(), nullptr);
    if (tooltip_) {
        for (size_t i = 0; i < kPaletteColourCount; ++i) {
            TOOLINFOA tool{sizeof tool};
            tool.uFlags = TTF_SUBCLASS;
            tool.hwnd = Handle();
            tool.uId = i + 1;
            tool.rect = ToRect(layout_.Cell(static_cast<int>(i)));
            tool.lpszText = const_cast<char*>(PaletteColour(i).name);
            SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    ShowWindow(Handle(), SW_SHOW);
    SetFocus(Handle());
    SetCapture(Handle());
    return true;
}

RECT ColourPopup::RectOf(int position) const {
    if (position == kPaletteDefault) return ToRect(layout_.defaultBox);
    if (position == kPaletteCustom) return ToRect(layout_.customBox);
    if (position >= 0 && position < static_cast<int>(kPaletteColourCount)) return ToRect(layout_.Cell(position));
    return RECT{};
}

void ColourPopup::PaintCell(HDC dc, int position) {
    RECT r = RectOf(position);
    if (IsRectEmpty(&r)) return;
    const int m = layout_.margin;
    const bool hot = position == hot_, chosen = position == chosen_ && !hot;
    FillRect(dc, &r, GetSysColorBrush(chosen ? COLOR_3DHILIGHT : COLOR_3DFACE));
    if (hot) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    else if (chosen) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);

    if (position == kPaletteDefault || position == kPaletteCustom) {
        const std::string& text = position == kPaletteDefault ? defaultText_ : customText_;
        RECT inner = r;
        if (position == kPaletteDefault) {
            InflateRect(&inner, -2 * m, -2 * m);
            Pen shadow(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW)));
            SelectedObject selectPen(dc, shadow.Get());
            SelectedObject selectBrush(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, inner.left, inner.top, inner.right, inner.bottom);
        }
        SelectedObject selectFont(dc, font_.Get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextA(dc, text.c_str(), -1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    RECT swatch = r;
    InflateRect(&swatch, -(m + 1), -(m + 1));
    const uint32_t colour = PaletteColour(static_cast<size_t>(position)).colour;
    const bool paletteDevice = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    Brush fill(CreateSolidBrush(paletteDevice ? PALETTEINDEX(position) : Colour(colour)));
    Pen outline(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW)));
    {
        SelectedObject selectPen(dc, outline.Get());
        SelectedObject selectBrush(dc, fill.Get());
        Rectangle(dc, swatch.left, swatch.top, swatch.right, swatch.bottom);
    }
}

void ColourPopup::Paint() {
    PaintScope paint(Handle());
    HDC dc = paint.Get();
    HPALETTE oldPalette = nullptr;
    if (palette_ && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
        oldPalette = SelectPalette(dc, palette_.Get(), FALSE);
        RealizePalette(dc);
    }
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    if (layout_.hasDefault) PaintCell(dc, kPaletteDefault);
    for (int i = 0; i < static_cast<int>(kPaletteColourCount); ++i) PaintCell(dc, i);
    if (layout_.hasCustom) {
        // A shadow and a highlight line between the grid and the More Colors box.
        const int y = layout_.grid.bottom + layout_.margin - 1;
        Pen shadow(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW)));
        Pen light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHILIGHT)));
        {
            SelectedObject select(dc, shadow.Get());
            MoveToEx(dc, layout_.margin, y, nullptr);
            LineTo(dc, layout_.width - layout_.margin, y);
        }
        {
            SelectedObject select(dc, light.Get());
            MoveToEx(dc, layout_.margin, y + 1, nullptr);
            LineTo(dc, layout_.width - layout_.margin, y + 1);
        }
        PaintCell(dc, kPaletteCustom);
    }
    DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
    if (oldPalette) SelectPalette(dc, oldPalette, FALSE);
}

void ColourPopup::SetHot(int position) {
    if (position == hot_) return;
    RECT old = RectOf(hot_), now = RectOf(position);
    hot_ = position;
    InvalidateRect(Handle(), &old, FALSE);
    InvalidateRect(Handle(), &now, FALSE);
    const uint32_t colour = PaletteHotColour(position, initial_);
    if (position >= 0 || position == kPaletteDefault) result_ = colour;
    SendMessageA(button_, kColourSelChange, colour, 0);
}

void ColourPopup::OnKey(UINT key) {
    switch (key) {
    case VK_UP: SetHot(MovePalettePosition(hot_, PaletteKey::Up, layout_.hasDefault, layout_.hasCustom)); break;
    case VK_DOWN: SetHot(MovePalettePosition(hot_, PaletteKey::Down, layout_.hasDefault, layout_.hasCustom)); break;
    case VK_LEFT: SetHot(MovePalettePosition(hot_, PaletteKey::Left, layout_.hasDefault, layout_.hasCustom)); break;
    case VK_RIGHT: SetHot(MovePalettePosition(hot_, PaletteKey::Right, layout_.hasDefault, layout_.hasCustom)); break;
    case VK_RETURN:
    case VK_SPACE:
        End(true);
        break;
    case VK_ESCAPE:
        result_ = initial_;
        End(false);
        break;
    default:
        break;
    }
}

void ColourPopup::End(bool accept) {
    if (ending_) return;
    ending_ = true;
    ReleaseCapture();
    if (!accept) {
        SendMessageA(button_, kColourSelEndCancel, initial_, 0);
    } else if (hot_ == kPaletteCustom) {
        static COLORREF customColours[16] = {};
        CHOOSECOLORA choose{sizeof choose};
        choose.hwndOwner = Handle();
        choose.rgbResult = Colour(initial_ == kDefaultColour ? 0 : initial_);
        choose.lpCustColors = customColours;
        choose.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
        colourDialogOpen_ = true;
        const bool chosen = ChooseColorA(&choose) != FALSE;
        colourDialogOpen_ = false;
        if (chosen) SendMessageA(button_, kColourSelEndOk, choose.rgbResult & 0xFFFFFF, 0);
        else SendMessageA(button_, kColourSelEndCancel, initial_, 0);
    } else {
        SendMessageA(button_, kColourSelEndOk, result_, 0);
    }
    DestroyWindow(Handle());
}

LRESULT ColourPopup::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE: {
        int position = layout_.HitTest(GeoPoint{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        if (position != kPaletteNone) SetHot(position);
        return 0;
    }
    case WM_LBUTTONUP: {
        RECT client;
        GetClientRect(Handle(), &client);
        POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        End(PtInRect(&client, at) != FALSE);
        return 0;
    }
    case WM_KEYDOWN:
        OnKey(static_cast<UINT>(wp));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_ACTIVATEAPP:
        if (!wp && !colourDialogOpen_) {
            End(false);  // the window is gone now
            return 0;
        }
        break;
    case WM_KILLFOCUS:
        if (!colourDialogOpen_) ReleaseCapture();
        break;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
        InvalidateRect(Handle(), nullptr, FALSE);
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

CColorButton::CColorButton() : defaultColour_(GetSysColor(COLOR_APPWORKSPACE)) {}

CColorButton::~CColorButton() {
    if (popup_) {
        ColourPopup* popup = popup_;
        popup_ = nullptr;
        popup->Destroy();
    }
}

bool CColorButton::AttachButton(HWND button) {
    if (!Attach(button)) return false;
    LONG style = GetWindowLongA(button, GWL_STYLE);
    SetWindowLongA(button, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    InvalidateRect(button, nullptr, TRUE);
    return true;
}

HWND CColorButton::PopupWindow() const { return popup_ ? popup_->Handle() : nullptr; }

void CColorButton::SetColor(uint32_t colour) {
    colour_ = colour;
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void CColorButton::SetDefaultColor(uint32_t colour) {
    defaultColour_ = colour;
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void CColorButton::NotifyParent(UINT message, uint32_t colour) {
    HWND parent = GetParent(Handle());
    if (parent) SendMessageA(parent, message, colour, GetDlgCtrlID(Handle()));
}

bool CColorButton::OnReflectedCommand(int code) {
    if (code != BN_CLICKED) return false;
    OpenPopup();
    return false;  // the parent may act on the click too
}

void CColorButton::OpenPopup() {
    if (popup_) return;
    RECT onScreen;
    GetWindowRect(Handle(), &onScreen);
    popupOpen_ = true;
    auto* popup = new ColourPopup(Handle(), colour_, defaultText_, customText_, &popup_);
    popup_ = popup;
    if (!popup->Open(onScreen)) {
        delete popup;
        popup_ = nullptr;
        popupOpen_ = false;
        return;
    }
    InvalidateRect(Handle(), nullptr, FALSE);
    NotifyParent(kColourDropDown, GetColor());
}

void CColorButton::OnSelEndOk(uint32_t colour) {
    popupOpen_ = false;
    const uint32_t before = colour_;
    SetColor(colour);
    NotifyParent(kColourCloseUp, colour);
    NotifyParent(kColourSelEndOk, colour);
    if (colour != before) NotifyParent(kColourSelChange, colour);
}

void CColorButton::OnSelEndCancel(uint32_t colour) {
    popupOpen_ = false;
    SetColor(colour);
    NotifyParent(kColourCloseUp, colour);
    NotifyParent(kColourSelEndCancel, colour);
}

void CColorButton::OnSelChange(uint32_t colour) {
    if (trackSelection_) SetColor(colour);
    NotifyParent(kColourSelChange, colour);
}

void CColorButton::Paint() {
    PaintScope paint(Handle());
    HDC dc = paint.Get();
    RECT r;
    GetClientRect(Handle(), &r);
    const bool enabled = IsWindowEnabled(Handle()) != FALSE;
    const bool pressed = popupOpen_ || (SendMessageA(Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED);
    const bool focused = popupOpen_ || GetFocus() == Handle();
    UINT state = DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE);
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
    if (focused) {
        RECT focus = r;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    const int edgeX = GetSystemMetrics(SM_CXEDGE), edgeY = GetSystemMetrics(SM_CYEDGE);
    InflateRect(&r, -edgeX, -edgeY);
    if (pressed) OffsetRect(&r, 1, 1);

    // The drop-down arrow, 4 by 2 pixels either side of its point, half an edge inside the right.
    const int arrowRight = r.right - edgeX / 2 - 1, arrowLeft = arrowRight - 8, middle = (r.top + r.bottom) / 2;
    POINT arrow[3] = {{arrowLeft, middle - 2}, {arrowRight, middle - 2}, {(arrowLeft + arrowRight) / 2, middle + 2}};
    COLORREF arrowColour = enabled ? RGB(0, 0, 0) : GetSysColor(COLOR_GRAYTEXT);
    Brush arrowBrush(CreateSolidBrush(arrowColour));
    Pen arrowPen(CreatePen(PS_SOLID, 1, arrowColour));
    {
        SelectedObject selectPen(dc, arrowPen.Get());
        SelectedObject selectBrush(dc, arrowBrush.Get());
        Polygon(dc, arrow, 3);
    }

    RECT separator{arrowLeft - edgeX - 2, r.top + 1, arrowLeft - 2, r.bottom - 1};
    DrawEdge(dc, &separator, EDGE_ETCHED, BF_LEFT);
    if (!enabled) return;
    RECT swatch{r.left + edgeX, r.top + edgeY, separator.left - 2 * edgeX - 1, r.bottom - edgeY};
    if (swatch.right <= swatch.left) return;
    Brush fill(CreateSolidBrush(Colour(GetColor())));
    FillRect(dc, &swatch, fill.Get());
    FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

LRESULT CColorButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case kColourSelEndOk:
        OnSelEndOk(static_cast<uint32_t>(wp));
        return 0;
    case kColourSelEndCancel:
        OnSelEndCancel(static_cast<uint32_t>(wp));
        return 0;
    case kColourSelChange:
        OnSelChange(static_cast<uint32_t>(wp));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case BM_SETSTATE: {
        // The platform draws owner-drawn state changes through the parent; this button draws itself.
        LRESULT result = Window::WndProc(msg, wp, lp);
        if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
        return result;
    }
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace lumetra
