#include "schedule/recording_schedule_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <ctime>

#include "app/format.h"
#include "controls/clock_geometry.h"
#include "controls/control_messages.h"
#include "controls/reflect.h"
#include "res/resource.h"
#include "schedule/schedule_preferences_dialog.h"
#include "schedule/schedule_rules.h"
#include "schedule/schedule_texts.h"

namespace lumetra {
namespace {

constexpr uint32_t kGreyText = 0xAAAAAA, kBlackText = 0x000000, kRedText = 0x0000FF;
constexpr uint32_t kDeleteTintColour = 0xDCDCFF, kCheckTintColour = 0xC8FFC8;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressMs = 1000;

struct ColumnSpec {
    const char* oneTime;
    const char* recurring;
    int width;
};
const ColumnSpec kColumns[kScheduleColumnCount] = {
    {"", "", 22},           {"Name", "Name", 120},       {"Date", "Day", 100},
    {"Start", "Start", 70}, {"Length", "Length", 58},    {"Source", "Source", 80},
    {"Channel", "Channel", 64}, {"Status", "Status", 80}, {"", "", 22},
};

const char* const kAddTips[2] = {"Add a new item to 'One-Time' schedule", "Add a new item to 'Recurring' schedule"};
const char* const kDeleteAllTips[2] = {"Delete all items from 'One-Time' schedule",
                                       "Delete all items from 'Recurring' schedule"};
const char* const kSortTips[2] = {"Sort 'One-Time' schedule and \ncheck for conflicts",
                                  "Sort 'Recurring' schedule and \ncheck for  conflicts"};

int32_t Now() { return static_cast<int32_t>(std::time(nullptr)); }

}  // namespace

RecordingScheduleDialog::RecordingScheduleDialog(const ScheduleProgress* progress)
    : CToolTipDialog(IDD_RECORDING_SCHEDULE), progress_(progress), preferences_(LoadSchedulePreferences()),
      scheduleDisabled_(preferences_.scheduleDisabled ? 1 : 0) {}

void RecordingScheduleDialog::Exchange(DataExchange& dx) { dx.Check(IDC_SCHED_DISABLE, scheduleDisabled_); }

BOOL RecordingScheduleDialog::OnInitDialog() {
    storedAtOpen_ = StoredScheduleCopy::Take();
    listsStored_ = false;
    HWND tab = Item(IDC_SCHED_TAB);
    const char* tabs[2] = {"One-Time", "Recurring"};
    for (int i = 0; i < 2; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(tabs[i]);
        SendMessageA(tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    // The lists lie on the tab control.
    SetWindowPos(tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetUpList(ScheduleKind::OneTime, IDC_SCHED_LIST_ONCE);
    SetUpList(ScheduleKind::Recurring, IDC_SCHED_LIST_RECURRING);
    addButton_.AttachButton(Item(IDC_SCHED_ADD));
    deleteAllButton_.AttachButton(Item(IDC_SCHED_DELETE_ALL));
    sortButton_.AttachButton(Item(IDC_SCHED_SORT_CHECK));
    preferencesButton_.AttachButton(Item(IDC_SCHED_PREFERENCES));
    LoadList(ScheduleKind::OneTime);
    LoadList(ScheduleKind::Recurring);
    SendMessageA(tab, TCM_SETCURSEL, 0, 0);
    SwitchTab();
    RecolourAll(ScheduleKind::Recurring, kPlainRow);
    SetControlTip(IDC_SCHED_DISABLE, "Nothing is recorded while this is ticked");
    SetControlTip(IDOK, "Store both lists and close");
    SetControlTip(IDCANCEL, "Close and forget the changes made since the schedule was opened");
    RefreshButtons();
    if (progress_) {
        SetTimer(Handle(), kProgressTimer, kProgressMs, nullptr);
        ShowProgress();
    }
    return TRUE;
}

void RecordingScheduleDialog::SetUpList(ScheduleKind kind, int controlId) {
    XListCtrl& list = List(kind);
    list.AttachList(Item(controlId));
    for (int c = 0; c < kScheduleColumnCount; ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(kind == ScheduleKind::OneTime ? kColumns[c].oneTime : kColumns[c].recurring);
        column.cx = kColumns[c].width;
        SendMessageA(list.Handle(), LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
    list.SetHeaderCheckbox(kColEnabled, kHeaderBoxClear);
    list.SetEmptyText("No entries yet. Point at \"Add Item\" and click it to add one.");
    SendMessageA(list.Handle(), LVM_SETBKCOLOR, 0, Background(kind));
}

void RecordingScheduleDialog::AddRow(ScheduleKind kind, const ScheduleItem& item, bool stored) {
    XListCtrl& list = List(kind);
    Entries(kind).Append(item);
    const int row = list.InsertItem(list.GetItemCount(), "");
    if (row < 0) return;
    const std::string unset = kUnsetCellText;
    list.SetCheckbox(row, kColEnabled, stored ? item.enabled : 0);
    list.SetItemText(row, kColName, stored ? item.Name() : std::string(kNewItemText));
    list.SetEdit(row, kColName);
    if (kind == ScheduleKind::Recurring) {
        list.SetItemText(row, kColDay, stored ? ChoiceText(DayChoices(), item.dayChoice) : unset);
        list.SetComboBox(row, kColDay, true, &DayChoices(), 7, -1);
    } else {
        list.SetItemText(row, kColDay, stored ? DateText(item.date) : unset);
        list.SetDateCal(row, kColDay, true);
    }
    list.SetItemText(row, kColStart, stored ? StartTimeText(item.startTime) : unset);
    list.SetTimeClk(row, kColStart, TimeClockMode::TwelveHour);
    list.SetItemText(row, kColLength, stored ? LengthText(item.durationSecs) : unset);
    list.SetTimeClk(row, kColLength, TimeClockMode::Length);
    list.SetItemText(row, kColSource, stored ? ChoiceText(SourceChoices(), item.sourceChoice) : unset);
    list.SetComboBox(row, kColSource, true, &SourceChoices(), 4, -1);
    std::string channel = unset;
    if (stored) {
        channel = ChannelText(item.sourceChoice, item.channelChoice);
        if (item.sourceChoice == 0 && item.channelChoice >= 0 &&
            static_cast<size_t>(item.channelChoice) < ChannelChoices().size())
            channel = ChannelChoices()[static_cast<size_t>(item.channelChoice)];
    }
    list.SetItemText(row, kColChannel, channel);
    if (ChannelChoices().empty()) list.SetEdit(row, kColChannel);
    else list.SetComboBox(row, kColChannel, true, &ChannelChoices(), std::min<int>(10, static_cast<int>(ChannelChoices().size())), -1);
    // A stored entry shows what the schedule did with it; otherwise it waits for the next check.
    const bool ran = item.status == kStatusRecording || item.status == kStatusRecorded || item.status == kStatusMissed ||
                     item.status == kStatusSkipped || item.status == kStatusFailed;
    list.SetItemText(row, kColStatus, !stored ? StatusText(kStatusNew) : ran ? StatusText(item.status) : kPendingText);
    list.SetButton(row, kColDelete, "x");
    Recolour(kind, row, kPlainRow);
}

void RecordingScheduleDialog::LoadList(ScheduleKind kind) {
    for (const ScheduleItem& item : LoadSchedule(kind)) AddRow(kind, item, true);
    SyncHeaderBox(kind);
}

bool RecordingScheduleDialog::RowComplete(ScheduleKind kind, int row) {
    const ScheduleItem* item = Entries(kind).At(static_cast<size_t>(row));
    if (!item) return false;
    std::vector<std::string> texts;
    for (int c = 0; c < kScheduleColumnCount; ++c) texts.push_back(List(kind).GetItemText(row, c));
    return IsRowComplete(texts, item->sourceChoice);
}

void RecordingScheduleDialog::SaveList(ScheduleKind kind) {
    const std::vector<ScheduleItem>& items = Entries(kind).Items();
    std::vector<bool> complete;
    for (size_t row = 0; row < items.size(); ++row) complete.push_back(RowComplete(kind, static_cast<int>(row)));
    std::vector<ScheduleItem> stored;
    for (size_t index : ScheduleSortOrder(items, kind))
        if (complete[index]) stored.push_back(items[index]);
    SaveSchedule(kind, stored);
    listsStored_ = true;
}

void RecordingScheduleDialog::CheckConflicts(ScheduleKind kind) {
    XListCtrl& list = List(kind);
    std::vector<ScheduleItem>& items = Entries(kind).Items();
    const std::string ok = StatusText(kStatusOk), conflict = StatusText(kStatusConflict);
    for (size_t row = 0; row < items.size(); ++row) {
        items[row].status = kStatusOk;
        list.SetItemText(static_cast<int>(row), kColStatus, &ok, kBlackText, Background(kind));
    }
    const std::vector<bool> marks = ConflictMarks(items, kind);
    for (size_t row = 0; row < items.size(); ++row) {
        if (!marks[row]) continue;
        items[row].status = kStatusConflict;
        list.SetItemText(static_cast<int>(row), kColStatus, &conflict, kRedText, Background(kind));
    }
}

void RecordingScheduleDialog::Recolour(ScheduleKind kind, int row, RowTint tint) {
    const ScheduleItem* item = Entries(kind).At(static_cast<size_t>(row));
    if (!item) return;
    XListCtrl& list = List(kind);
    const bool grey = scheduleDisabled_ || !item->enabled;
    const uint32_t text = grey ? kGreyText : kBlackText;
    const uint32_t back = tint == kDeleteTint ? kDeleteTintColour : tint == kCheckTint ? kCheckTintColour : Background(kind);
    for (int c = 0; c <= kColStatus; ++c) {
        // A conflict keeps its red status text.
        const uint32_t colour = c == kColStatus && item->status == kStatusConflict && !grey ? kRedText : text;
        list.SetItemText(row, c, nullptr, colour, back);
    }
    list.SetItemText(row, kColDelete, nullptr, kRedText, back);
}

void RecordingScheduleDialog::RecolourAll(ScheduleKind kind, RowTint tint) {
    for (int row = 0; row < List(kind).GetItemCount(); ++row) Recolour(kind, row, tint);
}

void RecordingScheduleDialog::SyncHeaderBox(ScheduleKind kind) {
    std::vector<int> checks;
    for (int row = 0; row < List(kind).GetItemCount(); ++row) checks.push_back(List(kind).GetCheckbox(row, kColEnabled));
    List(kind).SetHeaderCheckbox(kColEnabled, HeaderBoxForColumn(checks));
}

void RecordingScheduleDialog::RefreshButtons() {
    EnableWindow(deleteAllButton_.Handle(), CurrentList().GetItemCount() > 0);
    const int tab = currentTab_ == 0 ? 0 : 1;
    const bool on = preferences_.tooltips;
    addButton_.SetTooltipText(on ? kAddTips[tab] : "");
    deleteAllButton_.SetTooltipText(on ? kDeleteAllTips[tab] : "");
    sortButton_.SetTooltipText(on ? kSortTips[tab] : "");
    preferencesButton_.SetTooltipText(on ? "Preferences" : "");
    for (HoverNotifyButton* button : {&addButton_, &deleteAllButton_, &sortButton_, &preferencesButton_})
        button->EnableTooltip(on);
    ActivateTips(on);
}

void RecordingScheduleDialog::SwitchTab() {
    UpdateData(true);
    SendMessageA(oneTimeList_.Handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageA(recurringList_.Handle(), WM_SETREDRAW, FALSE, 0);
    currentTab_ = static_cast<int>(SendMessageA(Item(IDC_SCHED_TAB), TCM_GETCURSEL, 0, 0)) == 1 ? 1 : 0;
    const bool oneTime = currentTab_ == 0;
    ShowWindow(oneTimeList_.Handle(), oneTime ? SW_SHOW : SW_HIDE);
    EnableWindow(oneTimeList_.Handle(), oneTime);
    ShowWindow(recurringList_.Handle(), oneTime ? SW_HIDE : SW_SHOW);
    EnableWindow(recurringList_.Handle(), !oneTime);
    for (XListCtrl* list : {&oneTimeList_, &recurringList_}) {
        SendMessageA(list->Handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list->Handle(), nullptr, TRUE);
    }
    hoveredRow_ = tintedRow_ = -1;
    UpdateData(false);
    RefreshButtons();
    RecolourAll(CurrentKind(), kPlainRow);
}

void RecordingScheduleDialog::UpdateStatus(int row) {
    const ScheduleKind kind = CurrentKind();
    ScheduleItem* item = Entries(kind).At(static_cast<size_t>(row));
    if (!item || !RowComplete(kind, row)) return;
    List(kind).SetItemText(row, kColStatus, StatusText(kStatusOk));
    if (item->status != kStatusNew) return;
    // Complete for the first time: the entry is armed.
    item->enabled = 1;
    List(kind).SetCheckbox(row, kColEnabled, 1);
    item->status = kStatusOk;
    Recolour(kind, row, kPlainRow);
    SyncHeaderBox(kind);
    UpdateData(false);
}

void RecordingScheduleDialog::OnHoverButton(HWND button, bool entered) {
    const ScheduleKind kind = CurrentKind();
    XListCtrl& list = CurrentList();
    if (button == addButton_.Handle()) {
        if (entered) {
            list.SelectRow(-1);
            keepNewRow_ = false;
            ScheduleItem item = template_;
            item.enabled = 0;
            item.date = item.startTime = Now();
            AddRow(kind, item, false);
            previewRow_ = true;
            SendMessageA(list.Handle(), LVM_ENSUREVISIBLE, list.GetItemCount() - 1, FALSE);
        } else if (previewRow_ && !keepNewRow_) {
            const int last = list.GetItemCount() - 1;
            list.DeleteItem(last);
            CurrentEntries().Remove(static_cast<size_t>(last));
            previewRow_ = false;
            RefreshButtons();
        }
        return;
    }
    if (button == deleteAllButton_.Handle()) RecolourAll(kind, entered ? kDeleteTint : kPlainRow);
}

void RecordingScheduleDialog::OnAddClicked() {
    XListCtrl& list = CurrentList();
    // Without the pointer over the button (the keyboard) there is no preview row yet.
    if (!previewRow_) {
        ScheduleItem item = template_;
        item.enabled = 0;
        item.date = item.startTime = Now();
        AddRow(CurrentKind(), item, false);
    }
    const int last = list.GetItemCount() - 1;
    list.SelectRow(last);
    Recolour(CurrentKind(), last, kPlainRow);
    keepNewRow_ = true;
    previewRow_ = false;
    RefreshButtons();
}

void RecordingScheduleDialog::OnDeleteAll() {
    CurrentList().DeleteAllItems();
    CurrentEntries().Clear();
    previewRow_ = false;
    hoveredRow_ = tintedRow_ = -1;
    SyncHeaderBox(CurrentKind());
    UpdateData(false);
    RefreshButtons();
}

void RecordingScheduleDialog::OnSortAndCheck() {
    const ScheduleKind kind = CurrentKind();
    XListCtrl& list = List(kind);
    SaveList(kind);
    SendMessageA(list.Handle(), WM_SETREDRAW, FALSE, 0);
    list.DeleteAllItems();
    Entries(kind).Clear();
    LoadList(kind);
    RecolourAll(kind, kPlainRow);
    SendMessageA(list.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list.Handle(), nullptr, TRUE);
    CheckConflicts(kind);
    previewRow_ = false;
    hoveredRow_ = tintedRow_ = -1;
    RefreshButtons();
}

void RecordingScheduleDialog::OnPreferences() {
    SchedulePreferencesDialog dialog(preferences_.oneTimeColour, preferences_.recurringColour, preferences_.tooltips);
    if (dialog.DoModal(Handle()) != IDOK) return;
    preferences_.oneTimeColour = dialog.OneTimeColour();
    preferences_.recurringColour = dialog.RecurringColour();
    preferences_.tooltips = dialog.Tooltips();
    for (ScheduleKind kind : {ScheduleKind::OneTime, ScheduleKind::Recurring}) {
        HWND list = List(kind).Handle();
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        RecolourAll(kind, kPlainRow);
        SendMessageA(list, LVM_SETBKCOLOR, 0, Background(kind));
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    RefreshButtons();
}

void RecordingScheduleDialog::OnDialogMouseMove() {
    if (hoveredRow_ != -1) CurrentList().SelectRow(-1);
    if (tintedRow_ != -1) {
        Recolour(CurrentKind(), tintedRow_, kPlainRow);
        CurrentList().ResetHot(tintedRow_, kColDelete);
    }
    hoveredRow_ = tintedRow_ = -1;
}

void RecordingScheduleDialog::OnCheckbox(int row) {
    const ScheduleKind kind = CurrentKind();
    ScheduleItem* item = Entries(kind).At(static_cast<size_t>(row));
    if (!item) return;
    XListCtrl& list = List(kind);
    item->enabled = list.GetCheckbox(row, kColEnabled) == 1 ? 1 : 0;
    Recolour(kind, row, kCheckTint);
    if (item->enabled && !RowComplete(kind, row)) {
        MessageBoxA(Handle(), "One or more items has not been set", "Error", MB_OK | MB_ICONERROR);
        item->enabled = 0;
        list.SetCheckbox(row, kColEnabled, 0);
        Recolour(kind, row, kCheckTint);
    }
    SyncHeaderBox(kind);
}

void RecordingScheduleDialog::OnColumnClick(ScheduleKind kind, int column) {
    if (column != kColEnabled) return;
    // The header's box ticked or cleared every box; incomplete entries cannot be armed.
    XListCtrl& list = List(kind);
    for (int row = 0; row < list.GetItemCount(); ++row) {
        ScheduleItem* item = Entries(kind).At(static_cast<size_t>(row));
        if (!item) continue;
        if (list.GetCheckbox(row, kColEnabled) == 1 && !RowComplete(kind, row)) list.SetCheckbox(row, kColEnabled, 0);
        item->enabled = list.GetCheckbox(row, kColEnabled) == 1 ? 1 : 0;
    }
    RecolourAll(kind, kPlainRow);
    SyncHeaderBox(kind);
}

bool RecordingScheduleDialog::OnListMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const ListMessages& m = XListMessages();
    const ScheduleKind kind = CurrentKind();
    XListCtrl& list = CurrentList();
    const int row = static_cast<int>(wp), column = static_cast<int>(lp);
    if (msg == m.select) {
        RefreshButtons();
    } else if (msg == m.checkboxClicked) {
        if (column == kColEnabled) OnCheckbox(row);
    } else if (msg == m.comboSelection) {
        ScheduleItem* item = Entries(kind).At(static_cast<size_t>(row));
        if (!item) return true;
        const std::string text = list.GetItemText(row, column);
        if (column == kColDay) item->dayChoice = FindString(DayChoices(), text);
        else if (column == kColSource) item->sourceChoice = FindString(SourceChoices(), text);
        else if (column == kColChannel) item->channelChoice = FindString(ChannelChoices(), text);
        UpdateStatus(row);
    } else if (msg == m.dateSelection || msg == m.timeSelection) {
        const int at = static_cast<int>(wp / 65536), in = static_cast<int>(wp % 65536);
        ScheduleItem* item = Entries(kind).At(static_cast<size_t>(at));
        if (!item || !lp) return true;
        const int32_t value = *reinterpret_cast<const int32_t*>(lp);
        if (msg == m.dateSelection) {
            item->date = value;
            item->startDateTime = CombineDateAndTime(item->date, item->startTime);
        } else if (in == kColStart) {
            item->startTime = value;
            item->startDateTime = CombineDateAndTime(item->date, item->startTime);
        } else if (in == kColLength) {
            const ClockTime clock = LocalClockTime(value);
            item->durationSecs = clock.hour * 3600 + clock.minute * 60;
        }
        UpdateStatus(at);
    } else if (msg == m.editUpdate) {
        ScheduleItem* item = Entries(kind).At(static_cast<size_t>(row));
        if (item && column == kColName) item->SetName(list.GetItemText(row, column));
    } else if (msg == m.buttonClicked) {
        if (column != kColDelete || row < 0 || row >= list.GetItemCount()) return true;
        list.DeleteItem(row);
        Entries(kind).Remove(static_cast<size_t>(row));
        tintedRow_ = hoveredRow_ = -1;
        SyncHeaderBox(kind);
        UpdateData(false);
        RefreshButtons();
    } else if (msg == m.hoverEnter) {
        if (column >= kColName && column <= kColStatus) {
            list.SelectRow(row);
            hoveredRow_ = row;
        } else if (column == kColEnabled || column == kColDelete) {
            Recolour(kind, row, column == kColEnabled ? kCheckTint : kDeleteTint);
            tintedRow_ = row;
        }
    } else if (msg == m.hoverLeave) {
        if (column >= kColName && column <= kColStatus) list.SelectRow(-1);
        else if (column == kColEnabled || column == kColDelete) Recolour(kind, row, kPlainRow);
        hoveredRow_ = -1;
    } else {
        return false;
    }
    return true;
}

LRESULT RecordingScheduleDialog::OnQuery(UINT msg, int row, int column) {
    const ScheduleItem* item = CurrentEntries().At(static_cast<size_t>(row));
    if (!item) return Now();
    if (msg == kListQueryDate) return item->date;
    if (column == kColLength)
        return TimeOnReferenceDay(item->durationSecs / 3600 % 24, item->durationSecs / 60 % 60);
    return item->startTime;
}

void RecordingScheduleDialog::ShowProgress() {
    if (!progress_) return;
    const std::optional<ScheduledRun> run = progress_->CurrentRun();
    const int64_t now = progress_->Now();
    for (ScheduleKind kind : {ScheduleKind::OneTime, ScheduleKind::Recurring}) {
        XListCtrl& list = List(kind);
        for (int row = 0; row < list.GetItemCount(); ++row) {
            const ScheduleItem* item = Entries(kind).At(static_cast<size_t>(row));
            const CellInfo* cell = list.Cell(row, kColStatus);
            if (!item || !cell) continue;
            const bool recording = run && run->kind == kind && SameEntry(run->entry, *item);
            if (recording) {
                const int64_t length = run->end - run->start;
                const int percent = length > 0 ? static_cast<int>((now - run->start) * 100 / length) : 0;
                list.SetProgress(row, kColStatus, true, std::clamp(percent, 0, 100), "Recording %d%%");
            } else if (cell->progress) {
                list.SetProgress(row, kColStatus, false);
                list.SetItemText(row, kColStatus, StatusText(kStatusRecorded));
            }
        }
    }
}

void RecordingScheduleDialog::OnOK() {
    UpdateData(true);
    SaveList(ScheduleKind::OneTime);
    SaveList(ScheduleKind::Recurring);
    preferences_.scheduleDisabled = scheduleDisabled_ != 0;
    SaveSchedulePreferences(preferences_);
    End(IDOK);
}

void RecordingScheduleDialog::OnCancel() {
    // Sort & Check may have stored a list since the dialog opened: the stored lists go back as they were.
    if (listsStored_) storedAtOpen_.Restore();
    End(IDCANCEL);
}

bool RecordingScheduleDialog::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_SCHED_ADD: OnAddClicked(); return true;
    case IDC_SCHED_DELETE_ALL: OnDeleteAll(); return true;
    case IDC_SCHED_DISABLE:
        UpdateData(true);
        RecolourAll(ScheduleKind::OneTime, kPlainRow);
        RecolourAll(ScheduleKind::Recurring, kPlainRow);
        return true;
    case IDC_SCHED_SORT_CHECK: OnSortAndCheck(); return true;
    case IDC_SCHED_PREFERENCES: OnPreferences(); return true;
    default: return false;
    }
}

INT_PTR RecordingScheduleDialog::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (ReflectInDialog(Handle(), msg, wp, lp)) return TRUE;
    if (msg == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header->idFrom == IDC_SCHED_TAB && header->code == TCN_SELCHANGE) {
            SwitchTab();
            return TRUE;
        }
        if (header->code == LVN_COLUMNCLICK) {
            const ScheduleKind kind =
                header->hwndFrom == oneTimeList_.Handle() ? ScheduleKind::OneTime : ScheduleKind::Recurring;
            OnColumnClick(kind, reinterpret_cast<const NMLISTVIEW*>(lp)->iSubItem);
            return TRUE;
        }
        return FALSE;
    }
    if (msg == HoverButtonMessage()) {
        OnHoverButton(reinterpret_cast<HWND>(wp), lp != 0);
        return TRUE;
    }
    if (OnListMessage(msg, wp, lp)) return TRUE;
    switch (msg) {
    case kListQueryDate:
    case kListQueryTime:
        SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, OnQuery(msg, static_cast<int>(wp), static_cast<int>(lp)));
        return TRUE;
    case WM_MOUSEMOVE:
        OnDialogMouseMove();
        return TRUE;
    case WM_TIMER:
        if (wp == kProgressTimer) {
            ShowProgress();
            return TRUE;
        }
        break;
    case WM_DESTROY:
        KillTimer(Handle(), kProgressTimer);
        break;
    default:
        break;
    }
    return CToolTipDialog::DlgProc(msg, wp, lp);
}

}  // namespace lumetra
