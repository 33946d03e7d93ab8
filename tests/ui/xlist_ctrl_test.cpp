// The extended list and its in-place editors driven as a user would: cells clicked, editors opened,
// committed with Return and cancelled with Escape; what reaches the parent is checked.
#include "controls/xlist_ctrl.h"

#include <gtest/gtest.h>

#include <ctime>

#include "app/format.h"
#include "controls/control_messages.h"
#include "tests/ui/ui_support.h"

namespace lumetra {
namespace {

using ui::RecordingParent;

int32_t LocalTime(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return static_cast<int32_t>(std::mktime(&t));
}

// Columns: 0 check box, 1 edit, 2 drop-down, 3 calendar, 4 time (12-hour), 5 length, 6 button, 7 plain.
enum Column { kCheck, kEdit, kCombo, kDate, kTime, kLength, kButton, kPlain, kColumns };

class ExtendedList : public ::testing::Test {
protected:
    void SetUp() override {
        const ListMessages& m = XListMessages();
        for (UINT msg : {m.select, m.checkboxClicked, m.buttonClicked, m.hoverEnter, m.hoverLeave, m.comboSelection,
                         m.dateSelection, m.timeSelection, m.editUpdate})
            parent_.Watch(msg);
        HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS,
                                    10, 10, 680, 300, parent_.Handle(), reinterpret_cast<HMENU>(1238), nullptr, nullptr);
        ASSERT_TRUE(list_.AttachList(list));
        const char* headings[kColumns] = {"", "Name", "Choice", "Date", "Start", "Length", "", "Status"};
        const int widths[kColumns] = {24, 110, 90, 100, 80, 60, 24, 80};
        for (int c = 0; c < kColumns; ++c) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = const_cast<char*>(headings[c]);
            column.cx = widths[c];
            SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
        }
        for (int i = 0; i < 25; ++i) choices_.push_back("Choice " + std::string(1, static_cast<char>('A' + i % 26)) + std::to_string(i));
        for (int row = 0; row < 3; ++row) AddRow(row);
        parent_.dateAnswer = LocalTime(2004, 3, 5, 13, 47);
        parent_.timeAnswer = LocalTime(2000, 1, 1, 9, 30);
        // The real cursor is parked away from the list, so that only the test's own moves hover.
        ui::ParkCursor();
        UpdateWindow(parent_.Handle());
        ui::Pump(50);
        parent_.Clear();
    }
    void TearDown() override {
        // An editor a failed test left open must not linger into the next test.
        list_.Destroy();
        ui::Pump(50);
    }
    void AddRow(int row) {
        ASSERT_EQ(list_.InsertItem(row, ""), row);
        list_.SetCheckbox(row, kCheck, 0);
        list_.SetItemText(row, kEdit, "<<-- New Item -->>");
        list_.SetEdit(row, kEdit);
        list_.SetItemText(row, kCombo, "------");
        list_.SetComboBox(row, kCombo, true, &choices_, 10, -1);
        list_.SetItemText(row, kDate, "------");
        list_.SetDateCal(row, kDate, true);
        list_.SetItemText(row, kTime, "------");
        list_.SetTimeClk(row, kTime, TimeClockMode::TwelveHour);
        list_.SetItemText(row, kLength, "------");
        list_.SetTimeClk(row, kLength, TimeClockMode::Length);
        list_.SetButton(row, kButton, "x");
        list_.SetItemText(row, kPlain, "plain");
    }
    HWND List() const { return list_.Handle(); }
    POINT CellCentre(int row, int column) const { return ui::Centre(list_.CellRect(row, column)); }
    // The middle of the square button at the cell's right end.
    POINT CellButton(int row, int column) const {
        RECT r = list_.CellRect(row, column);
        const int side = r.bottom - r.top;
        return POINT{r.right - side / 2, (r.top + r.bottom) / 2};
    }
    void Hover(int row, int column) {
        POINT p = CellCentre(row, column);
        ui::MoveCursorTo(List(), p);
        SendMessageA(List(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    }
    // Selects the row and clicks the point of a cell, as the user does with the mouse over it.
    void ClickCell(int row, POINT p) {
        list_.SelectRow(row);
        ui::Click(List(), p);
    }
    size_t Count(UINT msg) const { return parent_.Of(msg).size(); }
    const ListMessages& M() const { return XListMessages(); }

    RecordingParent parent_;
    XListCtrl list_;
    std::vector<std::string> choices_;
};

TEST_F(ExtendedList, ClickingACheckBoxTogglesItAndTheHeaderFollows) {
    list_.SetHeaderCheckbox(kCheck, kHeaderBoxClear);
    ui::Click(List(), CellCentre(0, kCheck));
    EXPECT_EQ(list_.GetCheckbox(0, kCheck), 1);
    ASSERT_EQ(Count(M().select), 1u);
    EXPECT_EQ(parent_.Of(M().select)[0].wp, 0u);
    EXPECT_EQ(parent_.Of(M().select)[0].lp, kCheck);
    ASSERT_EQ(Count(M().checkboxClicked), 1u);
    EXPECT_EQ(list_.GetHeaderCheckbox(kCheck), kHeaderBoxClear);
    ui::Click(List(), CellCentre(1, kCheck));
    ui::Click(List(), CellCentre(2, kCheck));
    EXPECT_EQ(list_.GetHeaderCheckbox(kCheck), kHeaderBoxChecked);  // the last clear box was ticked
    EXPECT_EQ(parent_.Of(M().checkboxClicked)[2].wp, 2u);
    ui::Click(List(), CellCentre(1, kCheck));
    EXPECT_EQ(list_.GetCheckbox(1, kCheck), 0);
    EXPECT_EQ(list_.GetHeaderCheckbox(kCheck), kHeaderBoxClear);
}

TEST_F(ExtendedList, ClickingTheHeaderBoxSetsTheWholeColumn) {
    list_.SetHeaderCheckbox(kCheck, kHeaderBoxClear);
    list_.SetCheckbox(1, kCheck, 1);
    HWND header = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETHEADER, 0, 0));
    RECT item;
    SendMessageA(header, HDM_GETITEMRECT, kCheck, reinterpret_cast<LPARAM>(&item));
    ui::Click(header, ui::Centre(item));
    EXPECT_TRUE(ui::PumpUntil(1000, [&] { return list_.GetHeaderCheckbox(kCheck) == kHeaderBoxChecked; }));
    for (int row = 0; row < 3; ++row) EXPECT_EQ(list_.GetCheckbox(row, kCheck), 1) << row;
    ui::Click(header, ui::Centre(item));
    EXPECT_TRUE(ui::PumpUntil(1000, [&] { return list_.GetHeaderCheckbox(kCheck) == kHeaderBoxClear; }));
    for (int row = 0; row < 3; ++row) EXPECT_EQ(list_.GetCheckbox(row, kCheck), 0) << row;
    EXPECT_EQ(Count(M().checkboxClicked), 0u);  // no messages for a whole column
}

TEST_F(ExtendedList, EditBoxCommitsWithReturnAndCancelsWithEscape) {
    ClickCell(1, CellCentre(1, kEdit));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Edit() != nullptr; })) << "edit box did not open";
    HWND edit = list_.Edit()->Handle();
    char text[64] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "");  // a new item's name opens empty
    EXPECT_EQ(GetDlgCtrlID(edit), 1919);
    SetWindowTextA(edit, "News at nine");
    ui::Key(edit, VK_RETURN);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Edit() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(1, kEdit), "News at nine");
    ASSERT_EQ(Count(M().editUpdate), 1u);
    EXPECT_EQ(parent_.Of(M().editUpdate)[0].wp, 1u);
    EXPECT_EQ(parent_.Of(M().editUpdate)[0].lp, kEdit);

    ClickCell(1, CellCentre(1, kEdit));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Edit() != nullptr; }));
    edit = list_.Edit()->Handle();
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "News at nine");
    SetWindowTextA(edit, "thrown away");
    ui::Key(edit, VK_ESCAPE);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Edit() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(1, kEdit), "News at nine");
    EXPECT_EQ(Count(M().editUpdate), 1u);
}

TEST_F(ExtendedList, EditBoxCommitsWithTabAndWithAClickOutside) {
    ClickCell(0, CellCentre(0, kEdit));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Edit() != nullptr; }));
    SetWindowTextA(list_.Edit()->Handle(), "tabbed");
    ui::Key(list_.Edit()->Handle(), VK_TAB);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Edit() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(0, kEdit), "tabbed");

    ClickCell(0, CellCentre(0, kEdit));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Edit() != nullptr; }));
    HWND edit = list_.Edit()->Handle();
    SetWindowTextA(edit, "clicked away");
    // The box holds the mouse: a click anywhere else arrives at it, outside its client area.
    SendMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-40, 200));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Edit() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(0, kEdit), "clicked away");
    EXPECT_EQ(Count(M().editUpdate), 2u);
}

TEST_F(ExtendedList, DropDownCommitsWithReturnAndEscapeRestoresTheText) {
    // A click on the text part selects but opens nothing.
    RECT cell = list_.CellRect(0, kCombo);
    ClickCell(0, POINT{cell.left + 5, (cell.top + cell.bottom) / 2});
    ui::Pump(150);
    EXPECT_EQ(list_.Combo(), nullptr);
    EXPECT_EQ(Count(M().select), 1u);

    list_.SetItemText(0, kCombo, "Choice C2");
    ClickCell(0, CellButton(0, kCombo));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Combo() != nullptr; })) << "drop-down did not open";
    XComboList* combo = list_.Combo();
    ui::Pump(150);
    // Whole rows only, ten of them, and a scroll bar with a page of ten.
    RECT box;
    GetClientRect(combo->ListBox(), &box);
    const int itemHeight = static_cast<int>(SendMessageA(combo->ListBox(), LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(box.bottom % itemHeight, 0);
    SCROLLINFO info{sizeof info, SIF_ALL};
    GetScrollInfo(combo->ScrollBar(), SB_CTL, &info);
    EXPECT_EQ(info.nPage, static_cast<UINT>(box.bottom / itemHeight));
    EXPECT_EQ(info.nPos, 2);
    EXPECT_EQ(combo->SelectedText(), "Choice C2");

    // Arrow keys preview the entries in the cell; Escape puts the text back.
    ui::Key(combo->ListBox(), VK_DOWN);
    ui::Key(combo->ListBox(), VK_DOWN);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.GetItemText(0, kCombo) == "Choice E4"; }));
    ui::Key(combo->ListBox(), VK_ESCAPE);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Combo() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(0, kCombo), "Choice C2");
    EXPECT_EQ(Count(M().comboSelection), 0u);

    ClickCell(0, CellButton(0, kCombo));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Combo() != nullptr; }));
    combo = list_.Combo();
    ui::Key(combo->ListBox(), 'Q');  // no entry begins with Q: nothing moves
    ui::Pump(120);
    EXPECT_EQ(combo->SelectedText(), "Choice C2");
    ui::Key(combo->ListBox(), VK_END);
    ui::Key(combo->ListBox(), VK_RETURN);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.Combo() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(0, kCombo), "Choice Y24");
    ASSERT_EQ(Count(M().comboSelection), 1u);
    EXPECT_EQ(parent_.Of(M().comboSelection)[0].lp, kCombo);
}

TEST_F(ExtendedList, LeavingTheCellBeforeTheDropDownOpensCancelsIt) {
    list_.SelectRow(2);
    const POINT button = CellButton(2, kCombo);
    ui::MoveCursorTo(List(), button);
    // The row is not selected when the cell paints: the request waits, and the cursor leaves.
    list_.SelectRow(-1);
    list_.SetPassClicks(false);
    SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(button.x, button.y));
    ui::MoveCursorTo(List(), CellCentre(0, kPlain));
    ui::Pump(300);
    list_.SelectRow(2);
    ui::Pump(200);
    EXPECT_EQ(list_.Combo(), nullptr);
    EXPECT_FALSE(list_.Cell(2, kCombo)->comboRequested);
}

TEST_F(ExtendedList, CalendarCommitsTheChosenDay) {
    ClickCell(2, CellButton(2, kDate));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.DateCal() != nullptr; })) << "calendar did not open";
    HWND calendar = list_.DateCal()->Calendar();
    EXPECT_EQ(GetDlgCtrlID(calendar), 1001);
    SYSTEMTIME shown{};
    SendMessageA(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown.wYear, 2004);  // the parent's answer for the row
    EXPECT_EQ(shown.wMonth, 3);
    EXPECT_EQ(shown.wDay, 5);
    ui::Key(calendar, VK_ESCAPE);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.DateCal() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(2, kDate), "------");

    ClickCell(2, CellButton(2, kDate));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.DateCal() != nullptr; }));
    ui::Key(list_.DateCal()->Calendar(), VK_RETURN);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.DateCal() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(2, kDate), "Fri, Mar 5");
    ASSERT_EQ(Count(M().dateSelection), 1u);
    EXPECT_EQ(parent_.Of(M().dateSelection)[0].wp, static_cast<WPARAM>(2 * 65536 + kDate));
    EXPECT_EQ(parent_.Of(M().dateSelection)[0].time, LocalTime(2004, 3, 5, 0, 0));
}

TEST_F(ExtendedList, ADayClickedInTheCalendarCommitsAtOnce) {
    ClickCell(0, CellButton(0, kDate));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.DateCal() != nullptr; }));
    HWND calendar = list_.DateCal()->Calendar();
    // Find a day of the shown month on the calendar and click it.
    RECT client;
    GetClientRect(calendar, &client);
    POINT day{-1, -1};
    SYSTEMTIME picked{};
    for (int y = client.bottom - 1; y > 0 && day.x < 0; y -= 3) {
        for (int x = 5; x < client.right; x += 5) {
            MCHITTESTINFO hit{};
            hit.cbSize = sizeof hit;
            hit.pt = POINT{x, y};
            SendMessageA(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (hit.uHit == MCHT_CALENDARDATE && hit.st.wMonth == 3 && hit.st.wDay == 17) {
                day = hit.pt;
                picked = hit.st;
                break;
            }
        }
    }
    ASSERT_GE(day.x, 0) << "no 17th on the calendar";
    SendMessageA(calendar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(day.x, day.y));
    SendMessageA(calendar, WM_LBUTTONUP, 0, MAKELPARAM(day.x, day.y));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.DateCal() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(0, kDate), "Wed, Mar 17");
    ASSERT_EQ(Count(M().dateSelection), 1u);
    EXPECT_EQ(parent_.Of(M().dateSelection)[0].time, LocalTime(2004, 3, 17, 0, 0));
}

TEST_F(ExtendedList, TimeClockCommitsWithReturnAndWithItsOkButton) {
    ClickCell(1, CellButton(1, kTime));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.TimeClk() != nullptr; })) << "time clock did not open";
    TimeClockCtrl& clock = list_.TimeClk()->Clock();
    EXPECT_EQ(clock.Value(), (ClockValue{9, 30, false}));  // the parent's answer
    EXPECT_FALSE(clock.LengthMode());
    EXPECT_EQ(GetDlgCtrlID(clock.Handle()), 1002);
    ui::RightClick(clock.Handle(), ui::Centre(RECT{clock.Layout().minute.left, clock.Layout().minute.top,
                                                   clock.Layout().minute.right, clock.Layout().minute.bottom}));
    ui::Key(clock.Handle(), VK_RETURN);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.TimeClk() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(1, kTime), "09:31 AM");
    ASSERT_EQ(Count(M().timeSelection), 1u);
    EXPECT_EQ(parent_.Of(M().timeSelection)[0].wp, static_cast<WPARAM>(1 * 65536 + kTime));
    EXPECT_EQ(parent_.Of(M().timeSelection)[0].time, LocalTime(2000, 1, 1, 9, 31));

    // The length clock: one minute more, confirmed with the clock's OK button.
    parent_.timeAnswer = LocalTime(2000, 1, 1, 1, 29);
    ClickCell(1, CellButton(1, kLength));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.TimeClk() != nullptr; }));
    TimeClockCtrl& length = list_.TimeClk()->Clock();
    EXPECT_TRUE(length.LengthMode());
    const GeoRect& m = length.Layout().minute;
    ui::RightClick(length.Handle(), POINT{(m.left + m.right) / 2, (m.top + m.bottom) / 2});
    const GeoRect& ok = length.Layout().ok;
    ui::Click(length.Handle(), POINT{(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2});
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.TimeClk() == nullptr; }));
    EXPECT_EQ(list_.GetItemText(1, kLength), "1:30");
    EXPECT_EQ(parent_.Of(M().timeSelection).back().time, LocalTime(2000, 1, 1, 1, 30));

    ClickCell(1, CellButton(1, kLength));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.TimeClk() != nullptr; }));
    ui::Key(list_.TimeClk()->Clock().Handle(), VK_ESCAPE);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return list_.TimeClk() == nullptr; }));
    EXPECT_EQ(Count(M().timeSelection), 2u);
}

TEST_F(ExtendedList, AButtonReportsAClickOnlyWhenReleasedOverIt) {
    ui::Click(List(), CellButton(2, kButton));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return Count(M().buttonClicked) == 1; }));
    EXPECT_EQ(parent_.Of(M().buttonClicked)[0].wp, 2u);
    EXPECT_EQ(parent_.Of(M().buttonClicked)[0].lp, kButton);
    EXPECT_EQ(list_.GetItemText(2, kButton), "x");
    EXPECT_EQ(list_.Cell(2, kButton)->textColour, 0x0000FFu);
    EXPECT_EQ(list_.Cell(2, kButton)->backgroundColour, 0xEEEEEEu);

    // Pressed, then the cursor leaves the button before the release: no click.
    const POINT button = CellButton(0, kButton);
    ui::MoveCursorTo(List(), button);
    PostMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(button.x, button.y));
    ui::Pump(30);
    ui::MoveCursorTo(List(), CellCentre(0, kPlain));
    ui::Pump(250);
    PostMessageA(List(), WM_LBUTTONUP, 0, MAKELPARAM(CellCentre(0, kPlain).x, CellCentre(0, kPlain).y));
    ui::Pump(100);
    EXPECT_EQ(Count(M().buttonClicked), 1u);
}

TEST_F(ExtendedList, HoverReportsCellsEnteredAndLeft) {
    Hover(1, kDate);
    ASSERT_EQ(Count(M().hoverEnter), 1u);
    EXPECT_EQ(parent_.Of(M().hoverEnter)[0].wp, 1u);
    EXPECT_EQ(parent_.Of(M().hoverEnter)[0].lp, kDate);
    Hover(1, kDate);
    EXPECT_EQ(Count(M().hoverEnter), 1u);  // still the same cell
    Hover(2, kPlain);
    ASSERT_EQ(Count(M().hoverLeave), 1u);
    EXPECT_EQ(parent_.Of(M().hoverLeave)[0].lp, kDate);
    EXPECT_EQ(parent_.Of(M().hoverEnter)[1].wp, 2u);
    EXPECT_TRUE(list_.Cell(2, kPlain)->hot);
    EXPECT_FALSE(list_.Cell(1, kDate)->hot);
}

TEST_F(ExtendedList, ADisabledRowIgnoresClicksAndHover) {
    list_.SetRowEnabled(1, false);
    ui::Click(List(), CellCentre(1, kCheck));
    EXPECT_EQ(list_.GetCheckbox(1, kCheck), 0);
    EXPECT_EQ(Count(M().select), 0u);
    Hover(1, kPlain);
    Hover(2, kPlain);  // the scan ends at the disabled row
    EXPECT_EQ(Count(M().hoverEnter), 0u);
}

TEST_F(ExtendedList, OperationsOutsideTheListChangeNothing) {
    EXPECT_FALSE(list_.SetItemText(3, 0, "x"));
    EXPECT_FALSE(list_.SetItemText(0, kColumns, "x"));
    EXPECT_FALSE(list_.SetCheckbox(-1, 0, 1));
    EXPECT_FALSE(list_.SetEdit(0, 99));
    EXPECT_FALSE(list_.SetButton(5, 0, "x"));
    EXPECT_FALSE(list_.DeleteItem(3));
    EXPECT_FALSE(list_.SelectRow(7));
    EXPECT_EQ(list_.GetCheckbox(9, 0), -1);
    EXPECT_EQ(list_.GetCheckbox(0, kPlain), -1);
    EXPECT_EQ(list_.InsertItem(9, "x"), -1);
    EXPECT_EQ(list_.GetItemCount(), 3);
    EXPECT_EQ(list_.GetColumnCount(), kColumns);
    EXPECT_TRUE(list_.DeleteItem(1));
    EXPECT_EQ(list_.GetItemCount(), 2);
    EXPECT_TRUE(list_.DeleteAllItems());
    EXPECT_EQ(list_.GetItemCount(), 0);
    EXPECT_EQ(list_.Cell(0, 0), nullptr);
}

TEST_F(ExtendedList, CellsDrawTheirOwnColours) {
    list_.SetItemText(0, kPlain, nullptr, 0x000000, 0x3080F0);
    UpdateWindow(List());
    ui::Pump(50);
    RECT r = list_.CellRect(0, kPlain);
    HDC dc = GetDC(List());
    COLORREF pixel = GetPixel(dc, r.right - 3, r.top + 2);
    ReleaseDC(List(), dc);
    EXPECT_EQ(pixel, 0x3080F0u);
}

}  // namespace
}  // namespace lumetra
