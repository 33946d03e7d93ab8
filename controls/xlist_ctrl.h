#pragma once
// A report-style list view in which every cell carries its own colours and, optionally, a check box,
// an in-place editor (edit box, drop-down list, calendar, time clock), a push button or a progress bar.
// The control draws the cells itself through custom draw, opens the editors over a cell and tells its
// parent what the user did with the registered messages of control_messages.h. Its header is a
// CXHeaderCtrl. The parent reflects WM_NOTIFY to it (ReflectInDialog) and answers kListQueryDate and
// kListQueryTime with the time value an editor of a row starts from.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/cell_info.h"
#include "controls/inplace_editors.h"
#include "controls/list_geometry.h"
#include "controls/reflect.h"
#include "controls/xheader_ctrl.h"
#include "framework/window.h"

namespace lumetra {

class XListCtrl : public Window, public ReflectedControl {
public:
    XListCtrl();
    ~XListCtrl() override;

    // Subclasses a report-style list view of a dialog and its header.
    bool AttachList(HWND list);

    // Rows and columns are zero-based; an operation outside the list does nothing and returns false.
    int InsertItem(int row, const std::string& text, uint32_t textColour = kListDefaultColour,
                   uint32_t backgroundColour = kListDefaultColour);
    bool SetItemText(int row, int column, const std::string& text);
    // text null keeps the text; a colour of kListDefaultColour takes the list's default.
    bool SetItemText(int row, int column, const std::string* text, uint32_t textColour, uint32_t backgroundColour);
    std::string GetItemText(int row, int column) const;
    bool SetItem(const LVITEMA& item);
    bool DeleteItem(int row);
    bool DeleteAllItems();
    bool SetCheckbox(int row, int column, int state);
    int GetCheckbox(int row, int column) const;
    bool SetEdit(int row, int column, bool enable = true);
    bool SetComboBox(int row, int column, bool enable, const std::vector<std::string>* strings, int rows,
                     int initialIndex);
    bool SetDateCal(int row, int column, bool enable);
    bool SetTimeClk(int row, int column, TimeClockMode mode);
    bool SetButton(int row, int column, const std::string& text);
    bool SetProgress(int row, int column, bool on, int percent = 0, const std::string& format = "");
    // A disabled row is grey and takes no clicks or hover.
    bool SetRowEnabled(int row, bool enabled);
    bool SelectRow(int row);
    bool ResetHot(int row, int column);
    // The header check box of a column: 0 none, 1 clear, 2 checked.
    bool SetHeaderCheckbox(int column, int image);
    int GetHeaderCheckbox(int column) const;

    int GetColumnCount() const;
    int GetItemCount() const;
    const CellInfo* Cell(int row, int column) const;
    // Clicks on cells first go to the list view's own processing, which selects the row.
    void SetPassClicks(bool on) { passClicks_ = on; }
    void SetEmptyText(const std::string& text) { emptyText_ = text; }
    bool EditorOpen() const { return edit_ || combo_ || date_ || time_; }
    // The open editors, for those who drive them (null when closed).
    XEditText* Edit() const { return edit_.get(); }
    XComboList* Combo() const { return combo_.get(); }
    XDateCal* DateCal() const { return date_.get(); }
    XTimeClk* TimeClk() const { return time_.get(); }
    // A cell's rectangle in the list's client coordinates (empty outside the list).
    RECT CellRect(int row, int column) const;

    bool OnReflectedNotify(NMHDR* header, LRESULT& result) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    enum class Editor { Edit, Combo, Date, Time };

    CellInfo* MutableCell(int row, int column);
    bool Valid(int row, int column) const;
    void RepaintCell(int row, int column);
    CellRef CellAt(POINT p) const;
    std::vector<ColumnSpan> ColumnSpans() const;
    bool RowSelected(int row) const;
    uint32_t Resolve(uint32_t colour, bool text) const;
    void RefreshColours();

    void OnLeftDown(UINT keys, POINT p);
    void OnLeftUp(POINT p);
    void OnMouseMove(POINT p);
    void OnClick();
    void OnColumnClick(int column);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    void DrawCell(HDC dc, int row, int column);
    void DrawText(HDC dc, const RECT& r, const std::string& text, COLORREF colour, UINT format);
    void DrawProgress(HDC dc, const RECT& r, const CellInfo& cell);
    void DrawEditorBox(HDC dc, const RECT& r, const std::string& text, COLORREF colour, bool withButton, bool open,
                       UINT format);
    void PaintEmptyText();
    void EraseOutsideRows(HDC dc);

    void Request(Editor kind, int row, int column);
    void OpenRequested(Editor kind, int row, int column);
    void OnPendingTimer(Editor kind);
    void OnTimer(UINT_PTR id);
    void CloseEdit(bool commit);
    void CloseCombo(bool commit, bool restore);
    void CloseDate(bool commit);
    void CloseTime(bool commit);
    void CloseAllEditors();
    void StartTimer(int id, UINT ms);
    void StopTimer(int id);
    void Notify(UINT message, WPARAM wp, LPARAM lp);

    std::vector<std::vector<CellInfo>> rows_;  // one record per cell, row by row
    CXHeaderCtrl header_;
    bool passClicks_ = true;
    std::string emptyText_;
    COLORREF defaultText_ = 0, defaultBack_ = 0, greyText_ = 0, highlight_ = 0, highlightText_ = 0;
    COLORREF face_ = 0, faceLight_ = 0, faceShadow_ = 0;

    std::unique_ptr<XEditText> edit_;
    std::unique_ptr<XComboList> combo_;
    std::unique_ptr<XDateCal> date_;
    std::unique_ptr<XTimeClk> time_;
    CellRef editCell_, comboCell_, dateCell_, timeCell_, buttonCell_;
    std::string comboOriginalText_;
};

}  // namespace lumetra
