#include "controls/xlist_ctrl.h"

#include <windowsx.h>

#include <cstring>

#include "app/format.h"
#include "controls/control_messages.h"
#include "framework/handles.h"

namespace lumetra {
namespace {

// The list's own timers, numbered from a base clear of the list view's internal ones.
constexpr UINT_PTR kTimerBase = 0x4C00;
enum ListTimer : int {
    kComboPending = 0, kComboClose = 1, kComboCommit = 2, kComboPreview = 3,
    kDatePending = 4, kDateClose = 5, kDateCommit = 6,
    kTimePending = 7, kTimeClose = 8, kTimeCommit = 9,
    kEditPending = 10, kEditClose = 11, kEditCommit = 12,
    kButtonTrack = 13,
};
constexpr UINT kPendingMs = 100, kCloseMs = 50;

// Posted from the custom draw of a cell whose editor was requested: wParam the kind, lParam the cell.
constexpr UINT kOpenEditorMessage = WM_APP + 0x330;
// Posted by the click notification: reports a cell button's click once the list view is done.
constexpr UINT kButtonClickedMessage = WM_APP + 0x331;

constexpr int kTextMargin = 4;
constexpr int kBoxSize = 13;
constexpr COLORREF kProgressBack = 0xE0E0E0;
constexpr COLORREF kButtonText = 0x0000FF, kButtonBack = 0xEEEEEE;

RECT ToRect(const GeoRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
GeoRect ToGeo(const RECT& r) { return GeoRect{r.left, r.top, r.right, r.bottom}; }
LPARAM PackCell(int row, int column) { return static_cast<LPARAM>(row) * 65536 + column; }

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void FrameSolid(HDC dc, const RECT& r, COLORREF colour) {
    Brush brush(CreateSolidBrush(colour));
    FrameRect(dc, &r, brush.Get());
}

}  // namespace

XListCtrl::XListCtrl() { RefreshColours(); }

XListCtrl::~XListCtrl() {
    // Destroyed while this object is whole, so that WM_DESTROY reaches this class.
    Destroy();
}

bool XListCtrl::AttachList(HWND list) {
    if (!Attach(list)) return false;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER,
                 LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    if (header) header_.AttachHeader(header);
    RefreshColours();
    return true;
}

void XListCtrl::RefreshColours() {
    defaultText_ = GetSysColor(COLOR_WINDOWTEXT);
    defaultBack_ = GetSysColor(COLOR_WINDOW);
    greyText_ = GetSysColor(COLOR_GRAYTEXT);
    highlight_ = GetSysColor(COLOR_HIGHLIGHT);
    highlightText_ = GetSysColor(COLOR_HIGHLIGHTTEXT);
    face_ = GetSysColor(COLOR_BTNFACE);
    faceLight_ = GetSysColor(COLOR_BTNHIGHLIGHT);
    faceShadow_ = GetSysColor(COLOR_BTNSHADOW);
}

uint32_t XListCtrl::Resolve(uint32_t colour, bool text) const {
    if (colour != kListDefaultColour) return colour & 0xFFFFFF;
    return text ? defaultText_ : defaultBack_;
}

// ---- rows, columns and cells

int XListCtrl::GetColumnCount() const {
    HWND header = header_.Handle();
    return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int XListCtrl::GetItemCount() const {
    return Handle() ? static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0)) : 0;
}

bool XListCtrl::Valid(int row, int column) const {
    return row >= 0 && column >= 0 && row < GetItemCount() && static_cast<size_t>(row) < rows_.size() &&
           column < GetColumnCount();
}

CellInfo* XListCtrl::MutableCell(int row, int column) {
    if (!Valid(row, column)) return nullptr;
    std::vector<CellInfo>& cells = rows_[static_cast<size_t>(row)];
    if (cells.size() <= static_cast<size_t>(column)) {
        // A column added after the row: its cells start with the row's colours.
        CellInfo fresh;
        fresh.textColour = defaultText_;
        fresh.backgroundColour = defaultBack_;
        cells.resize(static_cast<size_t>(column) + 1, fresh);
    }
    return &cells[static_cast<size_t>(column)];
}

const CellInfo* XListCtrl::Cell(int row, int column) const {
    return const_cast<XListCtrl*>(this)->MutableCell(row, column);
}

RECT XListCtrl::CellRect(int row, int column) const {
    RECT item{};
    item.left = LVIR_BOUNDS;
    if (row < 0 || row >= GetItemCount() || column < 0 || column >= GetColumnCount() ||
        !SendMessageA(Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)))
        return RECT{};
    RECT headerItem{};
    SendMessageA(header_.Handle(), HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&headerItem));
    POINT edges[2] = {{headerItem.left, 0}, {headerItem.right, 0}};
    MapWindowPoints(header_.Handle(), Handle(), edges, 2);
    return RECT{edges[0].x, item.top, edges[1].x, item.bottom};
}

std::vector<ColumnSpan> XListCtrl::ColumnSpans() const {
    std::vector<ColumnSpan> spans;
    const int columns = GetColumnCount();
    for (int c = 0; c < columns; ++c) {
        RECT r{};
        SendMessageA(header_.Handle(), HDM_GETITEMRECT, c, reinterpret_cast<LPARAM>(&r));
        POINT edges[2] = {{r.left, 0}, {r.right, 0}};
        MapWindowPoints(header_.Handle(), Handle(), edges, 2);
        spans.push_back(ColumnSpan{edges[0].x, edges[1].x});
    }
    return spans;
}

CellRef XListCtrl::CellAt(POINT p) const {
    const int count = GetItemCount();
    if (count == 0) return {};
    const int top = static_cast<int>(SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0));
    RECT first{};
    first.left = LVIR_BOUNDS;
    if (!SendMessageA(Handle(), LVM_GETITEMRECT, top, reinterpret_cast<LPARAM>(&first))) return {};
    CellRef hit;
    hit.row = RowAt(first.top, first.bottom - first.top, top, count, p.y);
    hit.column = ColumnAt(ColumnSpans(), p.x);
    return hit;
}

bool XListCtrl::RowSelected(int row) const {
    return (SendMessageA(Handle(), LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void XListCtrl::RepaintCell(int row, int column) {
    RECT r = CellRect(row, column);
    if (!IsRectEmpty(&r)) InvalidateRect(Handle(), &r, FALSE);
}

int XListCtrl::InsertItem(int row, const std::string& text, uint32_t textColour, uint32_t backgroundColour) {
    if (row < 0 || row > GetItemCount()) return -1;
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(text.c_str());
    const int index = static_cast<int>(SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return -1;
    CellInfo fresh;
    fresh.textColour = Resolve(textColour, true);
    fresh.backgroundColour = Resolve(backgroundColour, false);
    const size_t columns = static_cast<size_t>(GetColumnCount() > 0 ? GetColumnCount() : 1);
    rows_.insert(rows_.begin() + index, std::vector<CellInfo>(columns, fresh));
    rows_[static_cast<size_t>(index)][0].image = -1;
    return index;
}

bool XListCtrl::SetItemText(int row, int column, const std::string& text) {
    if (!Valid(row, column)) return false;
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(Handle(), LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    RepaintCell(row, column);
    return true;
}

bool XListCtrl::SetItemText(int row, int column, const std::string* text, uint32_t textColour,
                            uint32_t backgroundColour) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->textColour = Resolve(textColour, true);
    cell->backgroundColour = Resolve(backgroundColour, false);
    if (text) return SetItemText(row, column, *text);
    RepaintCell(row, column);
    return true;
}

std::string XListCtrl::GetItemText(int row, int column) const {
    if (!Valid(row, column)) return "";
    char text[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(Handle(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

bool XListCtrl::SetItem(const LVITEMA& item) {
    CellInfo* cell = MutableCell(item.iItem, item.iSubItem);
    if (!cell) return false;
    if (!SendMessageA(Handle(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
    if (item.mask & LVIF_IMAGE) cell->image = item.iImage;
    RepaintCell(item.iItem, item.iSubItem);
    return true;
}

bool XListCtrl::DeleteItem(int row) {
    if (row < 0 || row >= GetItemCount() || static_cast<size_t>(row) >= rows_.size()) return false;
    CloseAllEditors();
    rows_.erase(rows_.begin() + row);
    buttonCell_ = CellRef{};
    return SendMessageA(Handle(), LVM_DELETEITEM, row, 0) != FALSE;
}

bool XListCtrl::DeleteAllItems() {
    CloseAllEditors();
    rows_.clear();
    buttonCell_ = CellRef{};
    return SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0) != FALSE;
}

bool XListCtrl::SetCheckbox(int row, int column, int state) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->check = state < 0 ? -1 : (state ? 1 : 0);
    RepaintCell(row, column);
    return true;
}

int XListCtrl::GetCheckbox(int row, int column) const {
    const CellInfo* cell = Cell(row, column);
    return cell ? cell->check : -1;
}

bool XListCtrl::SetEdit(int row, int column, bool enable) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->edit = enable;
    RepaintCell(row, column);
    return true;
}

bool XListCtrl::SetComboBox(int row, int column, bool enable, const std::vector<std::string>* strings, int rows,
                            int initialIndex) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->combo = enable;
    cell->comboStrings = strings;
    cell->comboRows = rows > 0 ? rows : 10;
    if (enable && strings && initialIndex >= 0 && static_cast<size_t>(initialIndex) < strings->size())
        SetItemText(row, column, (*strings)[static_cast<size_t>(initialIndex)]);
    RepaintCell(row, column);
    return true;
}

bool XListCtrl::SetDateCal(int row, int column, bool enable) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->date = enable;
    RepaintCell(row, column);
    return true;
}

bool XListCtrl::SetTimeClk(int row, int column, TimeClockMode mode) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->timeMode = mode;
    RepaintCell(row, column);
    return true;
}

bool XListCtrl::SetButton(int row, int column, const std::string& text) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->button = true;
    cell->buttonText = text;
    cell->textColour = kButtonText;
    cell->backgroundColour = kButtonBack;
    return SetItemText(row, column, text);
}

bool XListCtrl::SetProgress(int row, int column, bool on, int percent, const std::string& format) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->progress = on;
    cell->percent = percent;
    cell->progressText = format;
    RepaintCell(row, column);
    return true;
}

bool XListCtrl::SetRowEnabled(int row, bool enabled) {
    CellInfo* cell = MutableCell(row, 0);
    if (!cell) return false;
    cell->enabled = enabled;
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (SendMessageA(Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r))) InvalidateRect(Handle(), &r, FALSE);
    return true;
}

bool XListCtrl::SelectRow(int row) {
    LVITEMA state{};
    if (row == -1) {
        if (EditorOpen()) return false;  // the row being edited stays selected
        state.stateMask = LVIS_SELECTED;
        SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
        return true;
    }
    if (row < 0 || row >= GetItemCount()) return false;
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    return SendMessageA(Handle(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state)) != FALSE;
}

bool XListCtrl::ResetHot(int row, int column) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return false;
    cell->hot = false;
    InvalidateRect(Handle(), nullptr, FALSE);
    return true;
}

bool XListCtrl::SetHeaderCheckbox(int column, int image) {
    if (column < 0 || column >= GetColumnCount()) return false;
    return header_.SetItemImage(column, image);
}

int XListCtrl::GetHeaderCheckbox(int column) const {
    if (column < 0 || column >= GetColumnCount()) return 0;
    return header_.GetItemImage(column);
}

void XListCtrl::Notify(UINT message, WPARAM wp, LPARAM lp) {
    HWND parent = GetParent(Handle());
    if (parent) SendMessageA(parent, message, wp, lp);
}

// ---- mouse

void XListCtrl::OnLeftDown(UINT keys, POINT p) {
    const CellRef hit = CellAt(p);
    if (hit.row < 0) {
        CloseEdit(true);
        CloseCombo(false, true);
        CloseDate(false);
        CloseTime(false);
        return;
    }
    CellInfo* first = MutableCell(hit.row, 0);
    if (!first || !first->enabled || hit.column < 0) return;
    CellInfo* cell = MutableCell(hit.row, hit.column);
    if (!cell) return;
    if (passClicks_ && !cell->button) Window::WndProc(WM_LBUTTONDOWN, keys, MAKELPARAM(p.x, p.y));
    const ListMessages& m = XListMessages();
    Notify(m.select, static_cast<WPARAM>(hit.row), hit.column);
    cell = MutableCell(hit.row, hit.column);  // the parent may have changed the list
    if (!cell) return;

    if (cell->check >= 0) {
        cell->check = cell->check ? 0 : 1;
        RepaintCell(hit.row, hit.column);
        Notify(m.checkboxClicked, static_cast<WPARAM>(hit.row), hit.column);
        if (GetHeaderCheckbox(hit.column) != kHeaderNoBox) {
            std::vector<int> checks;
            for (int r = 0; r < GetItemCount(); ++r) checks.push_back(GetCheckbox(r, hit.column));
            SetHeaderCheckbox(hit.column, HeaderBoxForColumn(checks));
        }
        return;
    }
    if (cell->edit) {
        CloseEdit(false);
        Request(Editor::Edit, hit.row, hit.column);
        return;
    }
    if (edit_) {
        CloseEdit(true);
        return;
    }
    const GeoRect button = CellButtonRect(ToGeo(CellRect(hit.row, hit.column)));
    const bool onButton = button.Contains(GeoPoint{p.x, p.y});
    if (cell->combo) {
        CloseCombo(false, true);
        if (onButton) Request(Editor::Combo, hit.row, hit.column);
        return;
    }
    if (combo_) {
        CloseCombo(false, true);
        return;
    }
    if (cell->date) {
        CloseDate(false);
        if (onButton) Request(Editor::Date, hit.row, hit.column);
        return;
    }
    if (date_) {
        CloseDate(false);
        return;
    }
    if (cell->timeMode != TimeClockMode::None) {
        CloseTime(false);
        if (onButton) Request(Editor::Time, hit.row, hit.column);
        return;
    }
    if (time_) {
        CloseTime(false);
        return;
    }
    if (cell->button) {
        if (onButton) {
            cell->buttonPressed = true;
            buttonCell_ = hit;
            RepaintCell(hit.row, hit.column);
            StartTimer(kButtonTrack, kPendingMs);
        }
        Window::WndProc(WM_LBUTTONDOWN, keys, MAKELPARAM(p.x, p.y));
    }
}

void XListCtrl::OnMouseMove(POINT p) {
    if (EditorOpen()) return;
    std::vector<HoverRow> hover;
    const int count = GetItemCount(), columns = GetColumnCount();
    for (int r = 0; r < count && static_cast<size_t>(r) < rows_.size() && columns > 0; ++r) {
        HoverRow row;
        row.enabled = MutableCell(r, 0)->enabled;
        for (int c = 0; c < columns; ++c)
            row.cells.push_back(HoverCell{ToGeo(CellRect(r, c)), MutableCell(r, c)->hot});
        hover.push_back(row);
    }
    const HoverChange change = ScanHover(hover, GeoPoint{p.x, p.y});
    for (size_t r = 0; r < hover.size(); ++r)
        for (size_t c = 0; c < hover[r].cells.size(); ++c)
            MutableCell(static_cast<int>(r), static_cast<int>(c))->hot = hover[r].cells[c].hot;
    const ListMessages& m = XListMessages();
    if (change.left.Valid()) Notify(m.hoverLeave, static_cast<WPARAM>(change.left.row), change.left.column);
    if (change.entered.Valid()) {
        Notify(m.hoverEnter, static_cast<WPARAM>(change.entered.row), change.entered.column);
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
    }
    if (change.left.Valid() || change.entered.Valid()) InvalidateRect(Handle(), nullptr, FALSE);
}

void XListCtrl::OnLeftUp(POINT p) {
    // The list view reports the click itself where it sees the release (NM_CLICK); where its own
    // processing leaves the release to this window, the pressed button is released here.
    CellInfo* button = MutableCell(buttonCell_.row, buttonCell_.column);
    if (!button || !button->buttonPressed) return;
    const GeoRect square = CellButtonRect(ToGeo(CellRect(buttonCell_.row, buttonCell_.column)));
    if (square.Contains(GeoPoint{p.x, p.y})) {
        OnClick();
        return;
    }
    button->buttonPressed = false;
    RepaintCell(buttonCell_.row, buttonCell_.column);
    StopTimer(kButtonTrack);
}

void XListCtrl::OnClick() {
    auto cancel = [&](CellRef cell, bool CellInfo::*flag) {
        CellInfo* c = MutableCell(cell.row, cell.column);
        if (c && c->*flag) {
            c->*flag = false;
            RepaintCell(cell.row, cell.column);
        }
    };
    cancel(editCell_, &CellInfo::editRequested);
    cancel(comboCell_, &CellInfo::comboRequested);
    cancel(dateCell_, &CellInfo::dateRequested);
    cancel(timeCell_, &CellInfo::timeRequested);
    CellInfo* button = MutableCell(buttonCell_.row, buttonCell_.column);
    if (button && button->buttonPressed) {
        button->buttonPressed = false;
        RepaintCell(buttonCell_.row, buttonCell_.column);
        PostMessageA(Handle(), kButtonClickedMessage, static_cast<WPARAM>(buttonCell_.row), buttonCell_.column);
    }
    StopTimer(kButtonTrack);
}

void XListCtrl::OnColumnClick(int column) {
    const int image = GetHeaderCheckbox(column);
    if (image == kHeaderNoBox) return;
    const int flipped = FlipHeaderBox(image);
    SetHeaderCheckbox(column, flipped);
    for (int r = 0; r < GetItemCount(); ++r) {
        CellInfo* cell = MutableCell(r, column);
        if (!cell || cell->check < 0) continue;
        cell->check = flipped == kHeaderBoxChecked ? 1 : 0;
        RepaintCell(r, column);
    }
}

// ---- drawing

void XListCtrl::DrawText(HDC dc, const RECT& r, const std::string& text, COLORREF colour, UINT format) {
    if (text.empty()) return;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    RECT area = r;
    ::DrawTextA(dc, text.c_str(), -1, &area, format | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void XListCtrl::DrawProgress(HDC dc, const RECT& r, const CellInfo& cell) {
    RECT frame = r;
    InflateRect(&frame, -1, -1);
    FrameSolid(dc, frame, faceShadow_);
    RECT inside = frame;
    InflateRect(&inside, -1, -1);
    FillSolid(dc, inside, kProgressBack);
    RECT filled = inside;
    filled.right = inside.left + ProgressFillWidth(cell.percent, inside.right - inside.left);
    FillSolid(dc, filled, highlight_);
    if (!cell.showProgressText) return;
    const std::string caption = ProgressCaption(cell.progressText, cell.percent);
    // The caption in two colours: the highlight text over the filled part, the cell's text over the rest.
    RECT empty = inside;
    empty.left = filled.right;
    for (int part = 0; part < 2; ++part) {
        const RECT& clip = part == 0 ? filled : empty;
        if (clip.right <= clip.left) continue;
        SaveDC(dc);
        IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
        DrawText(dc, inside, caption, part == 0 ? highlightText_ : static_cast<COLORREF>(cell.textColour), DT_CENTER);
        RestoreDC(dc, -1);
    }
}

void XListCtrl::DrawEditorBox(HDC dc, const RECT& r, const std::string& text, COLORREF colour, bool withButton,
                              bool open, UINT format) {
    RECT box = r;
    InflateRect(&box, -1, -1);
    FillSolid(dc, box, RGB(255, 255, 255));
    FrameSolid(dc, box, faceShadow_);
    RECT textArea = box;
    InflateRect(&textArea, -kTextMargin / 2, 0);
    if (withButton) {
        RECT button = ToRect(CellButtonRect(ToGeo(box)));
        textArea.right = button.left;
        FillSolid(dc, button, face_);
        if (open) FrameSolid(dc, button, faceShadow_);
        else DrawEdge(dc, &button, EDGE_RAISED, BF_RECT);
        // A small downward triangle: rows of 5, 3 and 1 pixels.
        const int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2 - 1;
        for (int row = 0; row < 3; ++row)
            FillSolid(dc, RECT{cx - 2 + row, cy + row, cx + 3 - row, cy + row + 1}, RGB(0, 0, 0));
    }
    DrawText(dc, textArea, text, colour, format);
}

void XListCtrl::DrawCell(HDC dc, int row, int column) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return;
    const RECT r = CellRect(row, column);
    if (IsRectEmpty(&r)) return;
    const bool enabled = MutableCell(row, 0)->enabled;
    const bool selected = RowSelected(row);
    const COLORREF text = enabled ? cell->textColour : greyText_;
    FillSolid(dc, r, cell->backgroundColour);
    const std::string content = GetItemText(row, column);

    if (cell->progress) {
        DrawProgress(dc, r, *cell);
        return;
    }
    if (cell->edit && selected) {
        DrawEditorBox(dc, r, content, text, false, false, DT_CENTER);
        if (cell->editRequested) PostMessageA(Handle(), kOpenEditorMessage, static_cast<WPARAM>(Editor::Edit), PackCell(row, column));
        return;
    }
    if (cell->combo && selected) {
        DrawEditorBox(dc, r, content, text, true, cell->comboRequested || (combo_ && comboCell_ == CellRef{row, column}),
                      DT_LEFT);
        if (cell->comboRequested) PostMessageA(Handle(), kOpenEditorMessage, static_cast<WPARAM>(Editor::Combo), PackCell(row, column));
        return;
    }
    if (cell->date && selected) {
        DrawEditorBox(dc, r, content, text, true, cell->dateRequested || (date_ && dateCell_ == CellRef{row, column}),
                      DT_LEFT);
        if (cell->dateRequested) PostMessageA(Handle(), kOpenEditorMessage, static_cast<WPARAM>(Editor::Date), PackCell(row, column));
        return;
    }
    if (cell->timeMode != TimeClockMode::None && selected) {
        DrawEditorBox(dc, r, content, text, true, cell->timeRequested || (time_ && timeCell_ == CellRef{row, column}),
                      DT_LEFT);
        if (cell->timeRequested) PostMessageA(Handle(), kOpenEditorMessage, static_cast<WPARAM>(Editor::Time), PackCell(row, column));
        return;
    }
    if (cell->check >= 0) {
        RECT box{(r.left + r.right - kBoxSize) / 2, (r.top + r.bottom - kBoxSize) / 2, 0, 0};
        box.right = box.left + kBoxSize;
        box.bottom = box.top + kBoxSize;
        DrawFrameControl(dc, &box, DFC_BUTTON,
                         DFCS_BUTTONCHECK | DFCS_FLAT | (cell->check ? DFCS_CHECKED : 0) | (enabled ? 0 : DFCS_INACTIVE));
        return;
    }
    if (cell->button && (selected || cell->hot)) {
        RECT button = ToRect(CellButtonRect(ToGeo(r)));
        DrawFrameControl(dc, &button, DFC_BUTTON, DFCS_BUTTONPUSH | (cell->buttonPressed ? DFCS_PUSHED : 0));
        if (cell->buttonPressed) OffsetRect(&button, 1, 1);
        DrawText(dc, button, content, text, DT_CENTER);
        return;
    }
    RECT textArea = r;
    textArea.left += kTextMargin;
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    int cx = 0, cy = 0;
    if (cell->image >= 0 && images && ImageList_GetIconSize(images, &cx, &cy)) {
        const int width = cx < r.right - textArea.left ? cx : r.right - textArea.left;
        ImageList_DrawEx(images, cell->image, dc, textArea.left, (r.top + r.bottom - cy) / 2, width > 0 ? width : 0, cy,
                         cell->backgroundColour, CLR_DEFAULT, ILD_NORMAL);
        textArea.left += cx + kTextMargin;
    }
    DrawText(dc, textArea, content, text, DT_LEFT);
}

LRESULT XListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        DrawCell(draw->nmcd.hdc, static_cast<int>(draw->nmcd.dwItemSpec), draw->iSubItem);
        return CDRF_SKIPDEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void XListCtrl::EraseOutsideRows(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    SaveDC(dc);
    const int count = GetItemCount();
    if (count > 0) {
        const int top = static_cast<int>(SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0));
        const int visible = static_cast<int>(SendMessageA(Handle(), LVM_GETCOUNTPERPAGE, 0, 0)) + 1;
        const int last = top + visible < count ? top + visible - 1 : count - 1;
        RECT first{}, end{};
        first.left = end.left = LVIR_BOUNDS;
        SendMessageA(Handle(), LVM_GETITEMRECT, top, reinterpret_cast<LPARAM>(&first));
        SendMessageA(Handle(), LVM_GETITEMRECT, last, reinterpret_cast<LPARAM>(&end));
        std::vector<ColumnSpan> spans = ColumnSpans();
        const int right = spans.empty() ? first.right : spans.back().right;
        // The cells are painted whole by the custom draw: erasing them first would only flicker.
        ExcludeClipRect(dc, first.left, first.top, right, end.bottom);
    }
    FillSolid(dc, client, defaultBack_);
    RestoreDC(dc, -1);
}

void XListCtrl::PaintEmptyText() {
    if (GetItemCount() > 0 || emptyText_.empty()) return;
    WindowDC dc(Handle());
    RECT client, headerRect{};
    GetClientRect(Handle(), &client);
    if (header_.Handle()) GetWindowRect(header_.Handle(), &headerRect);
    POINT headerBottom{0, headerRect.bottom};
    ScreenToClient(Handle(), &headerBottom);
    RECT area{client.left, (header_.Handle() ? headerBottom.y : 0) + 10, client.right, client.bottom};
    SelectedObject font(dc.Get(), GetStockObject(ANSI_VAR_FONT));
    SetTextColor(dc.Get(), defaultText_);
    SetBkColor(dc.Get(), defaultBack_);
    SetBkMode(dc.Get(), OPAQUE);
    ::DrawTextA(dc.Get(), emptyText_.c_str(), -1, &area, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}

// ---- editors

void XListCtrl::StartTimer(int id, UINT ms) { SetTimer(Handle(), kTimerBase + static_cast<UINT_PTR>(id), ms, nullptr); }
void XListCtrl::StopTimer(int id) { KillTimer(Handle(), kTimerBase + static_cast<UINT_PTR>(id)); }

void XListCtrl::Request(Editor kind, int row, int column) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell) return;
    const CellRef at{row, column};
    switch (kind) {
    case Editor::Edit: cell->editRequested = true; editCell_ = at; StartTimer(kEditPending, kPendingMs); break;
    case Editor::Combo: cell->comboRequested = true; comboCell_ = at; StartTimer(kComboPending, kPendingMs); break;
    case Editor::Date: cell->dateRequested = true; dateCell_ = at; StartTimer(kDatePending, kPendingMs); break;
    case Editor::Time: cell->timeRequested = true; timeCell_ = at; StartTimer(kTimePending, kPendingMs); break;
    }
    RepaintCell(row, column);
}

void XListCtrl::OpenRequested(Editor kind, int row, int column) {
    CellInfo* cell = MutableCell(row, column);
    if (!cell || !RowSelected(row)) return;
    RECT r = CellRect(row, column);
    RECT onScreen = r;
    MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
    switch (kind) {
    case Editor::Edit: {
        if (!cell->editRequested || edit_) return;
        cell->editRequested = false;
        std::string text = GetItemText(row, column);
        if (text == "<<-- New Item -->>") text.clear();
        edit_ = std::make_unique<XEditText>(Handle());
        editCell_ = CellRef{row, column};
        if (!edit_->Open(r, text, font)) edit_.reset();
        break;
    }
    case Editor::Combo: {
        if (!cell->comboRequested || combo_ || !cell->comboStrings) return;
        cell->comboRequested = false;
        std::string text = GetItemText(row, column);
        if (text.empty()) {
            for (const std::string& choice : *cell->comboStrings)
                if (!choice.empty()) { text = choice; break; }
            SetItemText(row, column, text);
        }
        comboOriginalText_ = text;
        comboCell_ = CellRef{row, column};
        combo_ = std::make_unique<XComboList>(Handle());
        if (!combo_->Open(ToRect(DropDownRect(ToGeo(onScreen), cell->comboRows)), font, *cell->comboStrings, text)) {
            combo_.reset();
            break;
        }
        combo_->Activate();
        break;
    }
    case Editor::Date: {
        if (!cell->dateRequested || date_) return;
        cell->dateRequested = false;
        const GeoPoint at = PopupOrigin(ToGeo(onScreen));
        dateCell_ = CellRef{row, column};
        date_ = std::make_unique<XDateCal>(Handle());
        if (!date_->Open(POINT{at.x, at.y})) {
            date_.reset();
            break;
        }
        HWND parent = GetParent(Handle());
        date_->SetDate(static_cast<int32_t>(SendMessageA(parent, kListQueryDate, static_cast<WPARAM>(row), column)));
        date_->Activate();
        break;
    }
    case Editor::Time: {
        if (!cell->timeRequested || time_) return;
        cell->timeRequested = false;
        const GeoPoint at = PopupOrigin(ToGeo(onScreen));
        timeCell_ = CellRef{row, column};
        time_ = std::make_unique<XTimeClk>(Handle(), cell->timeMode == TimeClockMode::Length);
        if (!time_->Open(POINT{at.x, at.y})) {
            time_.reset();
            break;
        }
        HWND parent = GetParent(Handle());
        time_->SetTime(static_cast<int32_t>(SendMessageA(parent, kListQueryTime, static_cast<WPARAM>(row), column)));
        time_->Activate();
        break;
    }
    }
    RepaintCell(row, column);
}

void XListCtrl::OnPendingTimer(Editor kind) {
    CellRef at;
    bool CellInfo::*flag = nullptr;
    int timer = 0;
    Window* editor = nullptr;
    switch (kind) {
    case Editor::Edit: at = editCell_; flag = &CellInfo::editRequested; timer = kEditPending; editor = edit_.get(); break;
    case Editor::Combo: at = comboCell_; flag = &CellInfo::comboRequested; timer = kComboPending; editor = combo_.get(); break;
    case Editor::Date: at = dateCell_; flag = &CellInfo::dateRequested; timer = kDatePending; editor = date_.get(); break;
    case Editor::Time: at = timeCell_; flag = &CellInfo::timeRequested; timer = kTimePending; editor = time_.get(); break;
    }
    CellInfo* cell = MutableCell(at.row, at.column);
    if (cell && cell->*flag) {
        // Still waiting to open: a cursor that has left the cell cancels it.
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(Handle(), &cursor);
        RECT r = CellRect(at.row, at.column);
        if (!PtInRect(&r, cursor)) {
            cell->*flag = false;
            RepaintCell(at.row, at.column);
        }
        return;
    }
    if (editor) {
        // Open: it keeps the focus.
        if (kind == Editor::Combo) combo_->Activate();
        else if (kind == Editor::Date) date_->Activate();
        else if (kind == Editor::Time) time_->Activate();
        else if (GetFocus() != edit_->Handle()) SetFocus(edit_->Handle());
        return;
    }
    StopTimer(timer);
}

void XListCtrl::CloseEdit(bool commit) {
    if (!edit_) return;
    std::unique_ptr<XEditText> edit = std::move(edit_);
    edit->BeginClose();
    StopTimer(kEditPending);
    const std::string text = edit->Text();
    if (GetCapture() == edit->Handle()) ReleaseCapture();
    edit.reset();
    const CellRef at = editCell_;
    RepaintCell(at.row, at.column);
    if (!commit) return;
    SetItemText(at.row, at.column, text);
    Notify(XListMessages().editUpdate, static_cast<WPARAM>(at.row), at.column);
}

void XListCtrl::CloseCombo(bool commit, bool restore) {
    if (!combo_) return;
    std::unique_ptr<XComboList> combo = std::move(combo_);
    combo->BeginClose();
    StopTimer(kComboPending);
    const std::string text = combo->SelectedText();
    combo.reset();
    const CellRef at = comboCell_;
    if (commit) {
        SetItemText(at.row, at.column, text);
        Notify(XListMessages().comboSelection, static_cast<WPARAM>(at.row), at.column);
    } else if (restore) {
        SetItemText(at.row, at.column, comboOriginalText_);
    }
    RepaintCell(at.row, at.column);
}

void XListCtrl::CloseDate(bool commit) {
    if (!date_) return;
    std::unique_ptr<XDateCal> date = std::move(date_);
    date->BeginClose();
    StopTimer(kDatePending);
    int32_t chosen = date->Chosen();
    date.reset();
    const CellRef at = dateCell_;
    RepaintCell(at.row, at.column);
    if (!commit) return;
    SetItemText(at.row, at.column, FormatLongDate(chosen));
    Notify(XListMessages().dateSelection, static_cast<WPARAM>(PackCell(at.row, at.column)),
           reinterpret_cast<LPARAM>(&chosen));
}

void XListCtrl::CloseTime(bool commit) {
    if (!time_) return;
    std::unique_ptr<XTimeClk> time = std::move(time_);
    time->BeginClose();
    StopTimer(kTimePending);
    int32_t chosen = time->Chosen();
    time.reset();
    const CellRef at = timeCell_;
    RepaintCell(at.row, at.column);
    if (!commit) return;
    const CellInfo* cell = Cell(at.row, at.column);
    const bool twelveHour = cell && cell->timeMode == TimeClockMode::TwelveHour;
    SetItemText(at.row, at.column, twelveHour ? FormatTime12(chosen) : FormatHourMinute(chosen));
    Notify(XListMessages().timeSelection, static_cast<WPARAM>(PackCell(at.row, at.column)),
           reinterpret_cast<LPARAM>(&chosen));
}

void XListCtrl::CloseAllEditors() {
    CloseEdit(false);
    CloseCombo(false, false);
    CloseDate(false);
    CloseTime(false);
}

void XListCtrl::OnTimer(UINT_PTR id) {
    switch (static_cast<int>(id - kTimerBase)) {
    case kComboPending: OnPendingTimer(Editor::Combo); break;
    case kDatePending: OnPendingTimer(Editor::Date); break;
    case kTimePending: OnPendingTimer(Editor::Time); break;
    case kEditPending: OnPendingTimer(Editor::Edit); break;
    case kComboClose: StopTimer(kComboClose); CloseCombo(false, false); break;  // restored on Escape
    case kComboCommit: StopTimer(kComboCommit); CloseCombo(true, false); break;
    case kComboPreview:
        StopTimer(kComboPreview);
        if (combo_) SetItemText(comboCell_.row, comboCell_.column, combo_->SelectedText());
        break;
    case kDateClose: StopTimer(kDateClose); CloseDate(false); break;
    case kDateCommit: StopTimer(kDateCommit); CloseDate(true); break;
    case kTimeClose: StopTimer(kTimeClose); CloseTime(false); break;
    case kTimeCommit: StopTimer(kTimeCommit); CloseTime(true); break;
    case kEditClose: StopTimer(kEditClose); CloseEdit(false); break;
    case kEditCommit: StopTimer(kEditCommit); CloseEdit(true); break;
    case kButtonTrack: {
        CellInfo* cell = MutableCell(buttonCell_.row, buttonCell_.column);
        if (!cell || !cell->buttonPressed) {
            StopTimer(kButtonTrack);
            break;
        }
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(Handle(), &cursor);
        RECT button = ToRect(CellButtonRect(ToGeo(CellRect(buttonCell_.row, buttonCell_.column))));
        if (!PtInRect(&button, cursor)) {
            // Released without a click: the cursor left the button.
            cell->buttonPressed = false;
            RepaintCell(buttonCell_.row, buttonCell_.column);
            StopTimer(kButtonTrack);
        }
        break;
    }
    default:
        break;
    }
}

// ---- messages

bool XListCtrl::OnReflectedNotify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
    case NM_CUSTOMDRAW:
        result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        return true;
    case NM_CLICK:
        OnClick();
        return false;  // the parent may act on the click too
    case LVN_COLUMNCLICK:
        OnColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return false;  // the parent sees the column's boxes change
    case LVN_GETINFOTIPA:
    case LVN_GETINFOTIPW: {
        // The tip of a row is the text of its cell under the mouse.
        auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(header);
        std::string text;
        for (int c = 0; c < GetColumnCount(); ++c) {
            const CellInfo* cell = Cell(tip->iItem, c);
            if (cell && cell->hot) text = GetItemText(tip->iItem, c);
        }
        if (header->code == LVN_GETINFOTIPA) {
            if (tip->pszText && tip->cchTextMax > 0) CopyTruncated(tip->pszText, static_cast<size_t>(tip->cchTextMax), text);
        } else {
            auto* wide = reinterpret_cast<NMLVGETINFOTIPW*>(header);
            if (wide->pszText && wide->cchTextMax > 0)
                MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide->pszText, wide->cchTextMax);
            if (wide->pszText && wide->cchTextMax > 0) wide->pszText[wide->cchTextMax - 1] = L'\0';
        }
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

LRESULT XListCtrl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    const EditorMessages& e = XEditorMessages();
    if (msg == e.editReturn) { StopTimer(kEditPending); StartTimer(kEditCommit, kCloseMs); return 0; }
    if (msg == e.editEscape) { StartTimer(kEditClose, kCloseMs); RepaintCell(editCell_.row, editCell_.column); return 0; }
    if (msg == e.comboReturn || msg == e.comboLButtonUp) { StopTimer(kComboPending); StartTimer(kComboCommit, kCloseMs); return 0; }
    if (msg == e.comboEscape) {
        StartTimer(kComboClose, kCloseMs);
        if (combo_) SetItemText(comboCell_.row, comboCell_.column, comboOriginalText_);
        return 0;
    }
    if (msg == e.comboKeyDown) { StartTimer(kComboPreview, kCloseMs); return 0; }
    if (msg == e.dateReturn) { StopTimer(kDatePending); StartTimer(kDateCommit, kCloseMs); return 0; }
    if (msg == e.dateEscape) { StopTimer(kDatePending); StartTimer(kDateClose, kCloseMs); return 0; }
    if (msg == e.timeReturn) { StopTimer(kTimePending); StartTimer(kTimeCommit, kCloseMs); return 0; }
    if (msg == e.timeEscape) { StopTimer(kTimePending); StartTimer(kTimeClose, kCloseMs); return 0; }

    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnLeftDown(static_cast<UINT>(wp), POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_LBUTTONUP:
        OnLeftUp(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        break;
    case WM_MOUSELEAVE:
        OnMouseMove(POINT{-30000, -30000});
        break;
    case WM_TIMER:
        if (wp >= kTimerBase && wp <= kTimerBase + kButtonTrack) {
            OnTimer(wp);
            return 0;
        }
        break;
    case kOpenEditorMessage:
        OpenRequested(static_cast<Editor>(wp), static_cast<int>(lp / 65536), static_cast<int>(lp % 65536));
        return 0;
    case kButtonClickedMessage:
        Notify(XListMessages().buttonClicked, wp, lp);
        return 0;
    case WM_PAINT: {
        LRESULT result = Window::WndProc(msg, wp, lp);
        PaintEmptyText();
        return result;
    }
    case WM_ERASEBKGND:
        EraseOutsideRows(reinterpret_cast<HDC>(wp));
        return 1;
    case WM_CTLCOLOREDIT:
        if (edit_ && reinterpret_cast<HWND>(lp) == edit_->Handle())
            return reinterpret_cast<LRESULT>(edit_->OnCtlColor(reinterpret_cast<HDC>(wp)));
        break;
    case WM_SYSCOLORCHANGE:
        RefreshColours();
        break;
    case WM_DESTROY:
        CloseAllEditors();
        for (int id = kComboPending; id <= kButtonTrack; ++id) StopTimer(id);
        rows_.clear();
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace lumetra
