// The schedule dialog driven as a user would: rows added over "Add Item", cells edited in place,
// Sort & Check, the delete buttons, OK and Cancel; the stored lists are read back from the registry.
#include "schedule/recording_schedule_dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <thread>

#include "app/settings_store.h"
#include "controls/control_messages.h"
#include "res/resource.h"
#include "schedule/schedule_store.h"
#include "schedule/schedule_texts.h"
#include "tests/ui/ui_support.h"
#include "tests/win/box_watcher.h"

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

int32_t TodayAtMidnight() {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_s(&t, &now);
    return LocalTime(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, 0, 0);
}

void ClearStoredSchedule() {
    RegKey orvex = OpenSettingsKey();
    if (!orvex) return;
    RegKey schedule;
    if (RegOpenKeyExA(orvex.Get(), "RecordingSchedule", 0, KEY_ALL_ACCESS, schedule.Put()) != ERROR_SUCCESS) return;
    RegDeleteKeyA(schedule.Get(), "Once");
    RegDeleteKeyA(schedule.Get(), "Recurring");
    schedule.Reset();
    RegDeleteKeyA(orvex.Get(), "RecordingSchedule");
}

ScheduleItem Stored(ScheduleKind kind, int dayOrDate, int hour, int minute, int lengthMinutes, const char* name) {
    ScheduleItem item;
    item.enabled = 1;
    if (kind == ScheduleKind::Recurring) {
        item.dayChoice = dayOrDate;
    } else {
        item.date = LocalTime(2030, 6, dayOrDate, 0, 0);
    }
    item.startTime = LocalTime(2000, 1, 1, hour, minute);
    item.startDateTime = CombineDateAndTime(item.date, item.startTime);
    item.durationSecs = lengthMinutes * 60;
    item.sourceChoice = 1;
    item.status = kStatusOk;
    item.SetName(name);
    return item;
}

class ScheduleDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ClearStoredSchedule();
        ui::ParkCursor();
    }
    void TearDown() override {
        // Boxes are answered so that a test cannot hang on one; a box nobody expected fails the test.
        for (const auto& box : boxes_.Seen()) ADD_FAILURE() << "unexpected box: [" << box.caption << "] " << box.text;
        if (dialog_ && dialog_->Handle()) DestroyWindow(dialog_->Handle());
        dialog_.reset();
        ClearStoredSchedule();
    }
    void Open() {
        dialog_ = std::make_unique<RecordingScheduleDialog>();
        ASSERT_TRUE(dialog_->CreateModeless(owner_.Handle()));
        ShowWindow(dialog_->Handle(), SW_SHOW);
        SetForegroundWindow(dialog_->Handle());
        UpdateWindow(dialog_->Handle());
        ui::Pump(100);
    }
    HWND Dlg() const { return dialog_->Handle(); }
    HWND Button(int id) const { return GetDlgItem(Dlg(), id); }
    XListCtrl& List() { return dialog_->List(dialog_->CurrentKind()); }
    ScheduleList& Entries() { return dialog_->Entries(dialog_->CurrentKind()); }
    int Rows() { return List().GetItemCount(); }

    void HoverButton(int id) {
        RECT r;
        GetClientRect(Button(id), &r);
        ui::MoveCursorTo(Button(id), ui::Centre(r));
        SendMessageA(Button(id), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    }
    void LeaveButton(int id) { SendMessageA(Button(id), WM_MOUSELEAVE, 0, 0); }
    void ClickButton(int id) {
        HoverButton(id);
        RECT r;
        GetClientRect(Button(id), &r);
        ui::Click(Button(id), ui::Centre(r));
        LeaveButton(id);
    }
    // Adds a row the way a user does: over "Add Item" and a click.
    int AddRow() {
        ClickButton(IDC_SCHED_ADD);
        return Rows() - 1;
    }
    // The mouse goes over a cell (the dialog selects its row), then a click on the point.
    void ClickCell(int row, int column, bool onButton) {
        RECT r = List().CellRect(row, column);
        POINT centre = ui::Centre(r);
        ui::MoveCursorTo(List().Handle(), centre);
        SendMessageA(List().Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
        const int side = r.bottom - r.top;
        POINT at = onButton ? POINT{r.right - side / 2, centre.y} : centre;
        ui::Click(List().Handle(), at);
    }
    template <class Editor>
    Editor* WaitFor(Editor* (XListCtrl::*get)() const) {
        Editor* editor = nullptr;
        ui::PumpUntil(2000, [&] { return (editor = (List().*get)()) != nullptr; });
        return editor;
    }
    bool WaitClosed() {
        return ui::PumpUntil(2000, [&] { return !List().EditorOpen(); });
    }
    void SetName(int row, const char* name) {
        ClickCell(row, kColName, false);
        XEditText* edit = WaitFor(&XListCtrl::Edit);
        ASSERT_NE(edit, nullptr);
        SetWindowTextA(edit->Handle(), name);
        ui::Key(edit->Handle(), VK_RETURN);
        ASSERT_TRUE(WaitClosed());
    }
    void PickDate(int row) {
        ClickCell(row, kColDay, true);
        XDateCal* calendar = WaitFor(&XListCtrl::DateCal);
        ASSERT_NE(calendar, nullptr);
        ui::Key(calendar->Calendar(), VK_RETURN);
        ASSERT_TRUE(WaitClosed());
    }
    // Opens a time clock cell, steps hour and minute by right clicks (0 wraps), and confirms with OK.
    void SetClock(int row, int column, int hourSteps, int minuteSteps) {
        ClickCell(row, column, true);
        XTimeClk* popup = WaitFor(&XListCtrl::TimeClk);
        ASSERT_NE(popup, nullptr);
        TimeClockCtrl& clock = popup->Clock();
        const ClockLayout& l = clock.Layout();
        for (int i = 0; i < hourSteps; ++i) ui::RightClick(clock.Handle(), POINT{(l.hour.left + l.hour.right) / 2, (l.hour.top + l.hour.bottom) / 2});
        for (int i = 0; i < minuteSteps; ++i)
            ui::RightClick(clock.Handle(), POINT{(l.minute.left + l.minute.right) / 2, (l.minute.top + l.minute.bottom) / 2});
        ui::Click(clock.Handle(), POINT{(l.ok.left + l.ok.right) / 2, (l.ok.top + l.ok.bottom) / 2});
        ASSERT_TRUE(WaitClosed());
    }
    void Choose(int row, int column, int downs) {
        ClickCell(row, column, true);
        XComboList* combo = WaitFor(&XListCtrl::Combo);
        ASSERT_NE(combo, nullptr);
        for (int i = 0; i < downs; ++i) ui::Key(combo->ListBox(), VK_DOWN);
        ui::Key(combo->ListBox(), VK_RETURN);
        ASSERT_TRUE(WaitClosed());
    }
    COLORREF CellBackground(int row, int column) {
        const CellInfo* cell = List().Cell(row, column);
        return cell ? cell->backgroundColour : CLR_INVALID;
    }

    testing::BoxWatcher boxes_;
    RecordingParent owner_;
    std::unique_ptr<RecordingScheduleDialog> dialog_;
};

TEST_F(ScheduleDialog, AnEntryMadeInItsCellsIsArmedWhenComplete) {
    Open();
    ASSERT_EQ(Rows(), 0);
    EXPECT_FALSE(IsWindowEnabled(Button(IDC_SCHED_DELETE_ALL)));
    // Passing over "Add Item" shows a row and takes it away again.
    HoverButton(IDC_SCHED_ADD);
    EXPECT_EQ(Rows(), 1);
    LeaveButton(IDC_SCHED_ADD);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Entries().Size(), 0u);

    const int row = AddRow();
    ASSERT_EQ(row, 0);
    EXPECT_EQ(List().GetItemText(row, kColName), kNewItemText);
    EXPECT_EQ(List().GetItemText(row, kColStatus), "New");
    EXPECT_EQ(List().GetCheckbox(row, kColEnabled), 0);
    EXPECT_TRUE(IsWindowEnabled(Button(IDC_SCHED_DELETE_ALL)));

    SetName(row, "Evening news");
    PickDate(row);
    SetClock(row, kColStart, 0, 1);
    SetClock(row, kColLength, 1, 30);
    EXPECT_EQ(List().GetItemText(row, kColStatus), "New");  // no source yet
    Choose(row, kColSource, 1);
    const ScheduleItem& item = *Entries().At(0);
    EXPECT_EQ(item.Name(), "Evening news");
    EXPECT_EQ(item.date, TodayAtMidnight());
    EXPECT_EQ(item.durationSecs, 5400);
    EXPECT_EQ(item.sourceChoice, 1);
    EXPECT_EQ(List().GetItemText(row, kColSource), "Composite");
    EXPECT_EQ(List().GetItemText(row, kColLength), "1:30");
    EXPECT_EQ(item.startDateTime, CombineDateAndTime(item.date, item.startTime));
    // Complete: armed, ticked and OK.
    EXPECT_EQ(List().GetItemText(row, kColStatus), "OK");
    EXPECT_EQ(item.enabled, 1);
    EXPECT_EQ(item.status, kStatusOk);
    EXPECT_EQ(List().GetCheckbox(row, kColEnabled), 1);
}


TEST_F(ScheduleDialog, TickingAnIncompleteEntryIsRefusedWithAMessage) {
    Open();
    const int row = AddRow();
    ClickCell(row, kColEnabled, false);
    ASSERT_TRUE(ui::PumpUntil(3000, [&] { return !boxes_.Seen().empty(); }));
    ui::Pump(100);
    ASSERT_EQ(boxes_.Seen().size(), 1u);
    EXPECT_EQ(boxes_.Seen()[0].caption, "Error");
    EXPECT_EQ(boxes_.Seen()[0].text, "One or more items has not been set");
    boxes_.Clear();
    EXPECT_EQ(List().GetCheckbox(row, kColEnabled), 0);
    EXPECT_EQ(Entries().At(0)->enabled, 0);
}

TEST_F(ScheduleDialog, TickingACompleteEntryRaisesNoMessage) {
    SaveSchedule(ScheduleKind::OneTime, {Stored(ScheduleKind::OneTime, 5, 20, 0, 60, "stored")});
    Open();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(List().GetItemText(0, kColStatus), kPendingText);
    EXPECT_EQ(List().GetItemText(0, kColDay), "Wed, Jun 5");
    EXPECT_EQ(List().GetItemText(0, kColStart), "08:00 PM");
    EXPECT_EQ(List().GetItemText(0, kColLength), "1:00");
    EXPECT_EQ(List().GetItemText(0, kColSource), "Composite");
    EXPECT_EQ(List().GetItemText(0, kColChannel), "--NA--");
    ClickCell(0, kColEnabled, false);  // off
    EXPECT_EQ(Entries().At(0)->enabled, 0);
    EXPECT_EQ(List().Cell(0, kColName)->textColour, 0xAAAAAAu);  // a disarmed entry is grey
    ClickCell(0, kColEnabled, false);  // on again
    ui::Pump(200);
    EXPECT_TRUE(boxes_.Seen().empty());
    EXPECT_EQ(Entries().At(0)->enabled, 1);
    EXPECT_EQ(List().Cell(0, kColName)->textColour, 0x000000u);
}

TEST_F(ScheduleDialog, SortAndCheckStoresCompleteEntriesInOrderAndMarksConflicts) {
    // Recurring: Tuesday 10:30 for 0:10 overlaps Tuesday 10:00 for 1:00; Monday comes first.
    SaveSchedule(ScheduleKind::Recurring, {Stored(ScheduleKind::Recurring, 3, 10, 30, 10, "late"),
                                           Stored(ScheduleKind::Recurring, 3, 10, 0, 60, "early"),
                                           Stored(ScheduleKind::Recurring, 2, 22, 0, 30, "monday")});
    Open();
    // To the Recurring tab, as the user clicks it.
    HWND tab = GetDlgItem(Dlg(), IDC_SCHED_TAB);
    RECT second;
    SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    ui::Click(tab, ui::Centre(second));
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return dialog_->CurrentKind() == ScheduleKind::Recurring; }));
    EXPECT_TRUE(IsWindowVisible(dialog_->List(ScheduleKind::Recurring).Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog_->List(ScheduleKind::OneTime).Handle()));
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(List().GetItemText(0, kColDay), "Tuesday");
    AddRow();  // incomplete: dropped by the store
    ASSERT_EQ(Rows(), 4);

    ClickButton(IDC_SCHED_SORT_CHECK);
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(List().GetItemText(0, kColName), "monday");
    EXPECT_EQ(List().GetItemText(1, kColName), "early");
    EXPECT_EQ(List().GetItemText(2, kColName), "late");
    EXPECT_EQ(List().GetItemText(0, kColStatus), "OK");
    EXPECT_EQ(List().GetItemText(1, kColStatus), "OK");
    EXPECT_EQ(List().GetItemText(2, kColStatus), "Conflict");
    EXPECT_EQ(List().Cell(2, kColStatus)->textColour, 0x0000FFu);
    EXPECT_EQ(Entries().At(2)->status, kStatusConflict);
    // Stored as shown, in order, complete entries only.
    std::vector<ScheduleItem> stored = LoadSchedule(ScheduleKind::Recurring);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0].Name(), "monday");
    EXPECT_EQ(stored[2].Name(), "late");
}

TEST_F(ScheduleDialog, DeleteButtonsRemoveEntriesAndDeleteAllTintsWhileHovered) {
    SaveSchedule(ScheduleKind::OneTime, {Stored(ScheduleKind::OneTime, 5, 20, 0, 60, "a"),
                                         Stored(ScheduleKind::OneTime, 6, 20, 0, 60, "b"),
                                         Stored(ScheduleKind::OneTime, 7, 20, 0, 60, "c")});
    Open();
    ASSERT_EQ(Rows(), 3);
    ClickCell(1, kColDelete, true);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return Rows() == 2; }));
    EXPECT_EQ(List().GetItemText(1, kColName), "c");
    EXPECT_EQ(Entries().At(1)->Name(), "c");

    HoverButton(IDC_SCHED_DELETE_ALL);
    EXPECT_EQ(CellBackground(0, kColName), 0xDCDCFFu);
    LeaveButton(IDC_SCHED_DELETE_ALL);
    EXPECT_EQ(CellBackground(0, kColName), 0xFFFFFFu);
    ClickButton(IDC_SCHED_DELETE_ALL);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Entries().Size(), 0u);
    EXPECT_FALSE(IsWindowEnabled(Button(IDC_SCHED_DELETE_ALL)));
    // Nothing is stored until Sort & Check or OK.
    EXPECT_EQ(LoadSchedule(ScheduleKind::OneTime).size(), 3u);
}

TEST_F(ScheduleDialog, CancelPutsBackWhatSortAndCheckStored) {
    SaveSchedule(ScheduleKind::OneTime, {Stored(ScheduleKind::OneTime, 5, 20, 0, 60, "a"),
                                         Stored(ScheduleKind::OneTime, 6, 20, 0, 60, "b")});
    Open();
    ClickCell(0, kColDelete, true);
    ASSERT_TRUE(ui::PumpUntil(1000, [&] { return Rows() == 1; }));
    ClickButton(IDC_SCHED_SORT_CHECK);
    EXPECT_EQ(LoadSchedule(ScheduleKind::OneTime).size(), 1u);
    SendMessageA(Button(IDC_SCHED_DISABLE), BM_CLICK, 0, 0);
    SendMessageA(Button(IDCANCEL), BM_CLICK, 0, 0);
    std::vector<ScheduleItem> stored = LoadSchedule(ScheduleKind::OneTime);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].Name(), "a");
    EXPECT_EQ(stored[1].Name(), "b");
    EXPECT_FALSE(LoadSchedulePreferences().scheduleDisabled);
}

TEST_F(ScheduleDialog, OkStoresBothListsAndTheDisabledFlag) {
    SaveSchedule(ScheduleKind::Recurring, {Stored(ScheduleKind::Recurring, 3, 10, 0, 60, "kept")});
    Open();
    AddRow();  // incomplete: not stored
    SendMessageA(Button(IDC_SCHED_DISABLE), BM_CLICK, 0, 0);
    ui::Pump(50);
    EXPECT_EQ(List().Cell(0, kColName)->textColour, 0xAAAAAAu);  // every row grey while disabled
    SendMessageA(Button(IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(LoadSchedule(ScheduleKind::OneTime).empty());
    ASSERT_EQ(LoadSchedule(ScheduleKind::Recurring).size(), 1u);
    EXPECT_TRUE(LoadSchedulePreferences().scheduleDisabled);
    // The next opening shows the flag again.
    DestroyWindow(Dlg());
    Open();
    EXPECT_EQ(IsDlgButtonChecked(Dlg(), IDC_SCHED_DISABLE), BST_CHECKED);
}

TEST_F(ScheduleDialog, ADamagedStoredEntryIsLeftOutAndTheRestShown) {
    SaveSchedule(ScheduleKind::OneTime, {Stored(ScheduleKind::OneTime, 5, 20, 0, 60, "first"),
                                         Stored(ScheduleKind::OneTime, 6, 20, 0, 60, "second"),
                                         Stored(ScheduleKind::OneTime, 7, 20, 0, 60, "third")});
    RegKey once = OpenSettingsKey("RecordingSchedule\\Once");
    ASSERT_TRUE(once);
    const char shortValue[10] = "damaged";
    RegSetValueExA(once.Get(), "Item1", 0, REG_BINARY, reinterpret_cast<const BYTE*>(shortValue), sizeof shortValue);
    once.Reset();
    Open();
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(List().GetItemText(0, kColName), "first");
    EXPECT_EQ(List().GetItemText(1, kColName), "third");
}

TEST_F(ScheduleDialog, TheRowUnderTheMouseIsSelectedForEditing) {
    SaveSchedule(ScheduleKind::OneTime, {Stored(ScheduleKind::OneTime, 5, 20, 0, 60, "a"),
                                         Stored(ScheduleKind::OneTime, 6, 20, 0, 60, "b")});
    Open();
    POINT over = ui::Centre(List().CellRect(1, kColStart));
    SendMessageA(List().Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
    EXPECT_EQ(dialog_->HoveredRow(), 1);
    EXPECT_EQ(SendMessageA(List().Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    // Over the check box the row is tinted green instead.
    over = ui::Centre(List().CellRect(0, kColEnabled));
    SendMessageA(List().Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
    EXPECT_EQ(dialog_->TintedRow(), 0);
    EXPECT_EQ(CellBackground(0, kColName), 0xC8FFC8u);
    // The mouse over the dialog itself clears both marks.
    SendMessageA(Dlg(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(dialog_->TintedRow(), -1);
    EXPECT_EQ(CellBackground(0, kColName), 0xFFFFFFu);
    EXPECT_EQ(SendMessageA(List().Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);
}

TEST_F(ScheduleDialog, PreferencesColourTheListsAndPersist) {
    Open();
    // The preferences dialog is modal: a helper picks Lavender for the One-Time list and clears the tips.
    std::atomic<bool> done{false};
    std::thread helper([&] {
        HWND prefs = nullptr;
        for (int i = 0; i < 250 && !prefs; ++i) {
            prefs = FindWindowA("#32770", "Recording Schedule Preferences");
            Sleep(20);
        }
        if (!prefs) return;
        PostMessageA(GetDlgItem(prefs, IDC_SPREF_TOOLTIPS), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(prefs, IDC_SPREF_ONCE_COLOR), BM_CLICK, 0, 0);
        HWND palette = nullptr;
        for (int i = 0; i < 250 && !palette; ++i) {
            palette = FindWindowExA(nullptr, nullptr, "LumetraWindow", nullptr);
            while (palette && GetWindow(palette, GW_OWNER) != prefs) palette = FindWindowExA(nullptr, palette, "LumetraWindow", nullptr);
            Sleep(20);
        }
        if (!palette) return;
        // The button shows White (cell 0); Lavender is cell 8, four rows down.
        for (int i = 0; i < 4; ++i) PostMessageA(palette, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(palette, WM_KEYDOWN, VK_RETURN, 0);
        for (int i = 0; i < 250 && IsWindow(palette); ++i) Sleep(20);
        PostMessageA(GetDlgItem(prefs, IDOK), BM_CLICK, 0, 0);
        done = true;
    });
    ClickButton(IDC_SCHED_PREFERENCES);  // returns when the preferences dialog closes
    helper.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(SendMessageA(List().Handle(), LVM_GETBKCOLOR, 0, 0), 0xFAE6E6);
    SendMessageA(Button(IDOK), BM_CLICK, 0, 0);
    SchedulePreferences stored = LoadSchedulePreferences();
    EXPECT_EQ(stored.oneTimeColour, 0xFAE6E6u);
    EXPECT_EQ(stored.recurringColour, 0xF0FFFFu);
    EXPECT_FALSE(stored.tooltips);
}


// Stands in for the schedule's runner: a recording of one entry, half done.
class HalfDoneRun : public ScheduleProgress {
public:
    explicit HalfDoneRun(const ScheduleItem& entry) : entry_(entry) {}
    std::optional<ScheduledRun> CurrentRun() const override {
        if (!running) return std::nullopt;
        return ScheduledRun{ScheduleKind::OneTime, entry_, 1000, 1600};
    }
    int64_t Now() const override { return 1300; }
    bool running = true;

private:
    ScheduleItem entry_;
};

TEST_F(ScheduleDialog, TheStatusColumnShowsWhatTheScheduleDid) {
    ScheduleItem recorded = Stored(ScheduleKind::OneTime, 5, 20, 0, 60, "recorded");
    recorded.status = kStatusRecorded;
    ScheduleItem missed = Stored(ScheduleKind::OneTime, 6, 20, 0, 60, "missed");
    missed.status = kStatusMissed;
    ScheduleItem running = Stored(ScheduleKind::OneTime, 7, 20, 0, 60, "running");
    SaveSchedule(ScheduleKind::OneTime, {recorded, missed, running});
    HalfDoneRun run(running);
    dialog_ = std::make_unique<RecordingScheduleDialog>(&run);
    ASSERT_TRUE(dialog_->CreateModeless(owner_.Handle()));
    ShowWindow(Dlg(), SW_SHOW);
    ui::Pump(100);
    EXPECT_EQ(List().GetItemText(0, kColStatus), "Recorded");
    EXPECT_EQ(List().GetItemText(1, kColStatus), "Missed");
    // The recording in progress shows as a bar in its entry's status cell.
    const CellInfo* status = List().Cell(2, kColStatus);
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->progress);
    EXPECT_EQ(status->percent, 50);
    EXPECT_FALSE(List().Cell(0, kColStatus)->progress);
    // Once it has ended the cell says so.
    run.running = false;
    ASSERT_TRUE(ui::PumpUntil(3000, [&] { return !List().Cell(2, kColStatus)->progress; }));
    EXPECT_EQ(List().GetItemText(2, kColStatus), "Recorded");
}

}  // namespace
}  // namespace lumetra
