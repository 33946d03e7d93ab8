#pragma once
// The registered messages of the extended list control and its in-place editors. Each is registered
// by its name with the platform when the program starts.
#include <windows.h>

namespace lumetra {

// Sent by the list to its parent. Where noted, wParam is row * 65536 + column and lParam points at a
// time value; otherwise wParam is the row and lParam the column.
struct ListMessages {
    UINT select;           // "WM_XLISTCTRL_SELECT"
    UINT checkboxClicked;  // "WM_XLISTCTRL_CHECKBOX_CLICKED"
    UINT buttonClicked;    // "WM_XLISTCTRL_BUTTON_CLICKED"
    UINT hoverEnter;       // "WM_XLISTCTRL_SUBITEM_HOVER_ENTER"
    UINT hoverLeave;       // "WM_XLISTCTRL_SUBITEM_HOVER_LEAVE"
    UINT comboSelection;   // "WM_XLISTCTRL_COMBO_SELECTION"
    UINT dateSelection;    // "WM_XLISTCTRL_DATECAL_SELECTION" (row * 65536 + column, time value)
    UINT timeSelection;    // "WM_XLISTCTRL_TIMECLK_SELECTION" (row * 65536 + column, time value)
    UINT editUpdate;       // "WM_XLISTCTRL_EDITTXT_UPDATE"
};
const ListMessages& XListMessages();

// Sent by the editors to the list that owns them, wParam and lParam 0.
struct EditorMessages {
    UINT comboReturn, comboEscape, comboKeyDown, comboLButtonUp;
    UINT dateReturn, dateEscape, dateKeyDown, dateLButtonUp;
    UINT editReturn, editEscape;  // the names begin with "NEAR "
    UINT timeReturn, timeEscape, timeKeyDown, timeLButtonUp;
};
const EditorMessages& XEditorMessages();

// Parent queries of the list (sent, not registered): the time value to show in an editor of a row.
// wParam is the row, lParam the column; the parent returns the time value.
constexpr UINT kListQueryDate = WM_APP + 0x310;
constexpr UINT kListQueryTime = WM_APP + 0x311;

}  // namespace lumetra
