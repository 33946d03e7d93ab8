#pragma once
// The editor of the recording schedule: a tabbed dialog with one extended list per schedule list
// (One-Time and Recurring), whose cells are edited in place. "Sort & Check" stores the current list,
// reloads it sorted and marks overlapping entries; OK stores both lists the same way and keeps the
// preferences; Cancel puts the stored lists back as they were when the dialog opened.
#include <cstdint>
#include <string>
#include <vector>

#include "controls/xlist_ctrl.h"
#include "schedule/schedule_item.h"
#include "schedule/schedule_runner.h"
#include "schedule/schedule_store.h"
#include "schedule/tooltip_dialog.h"
#include "skin/hover_notify_button.h"

namespace lumetra {

class RecordingScheduleDialog : public CToolTipDialog {
public:
    // progress, when given, shows a recording the schedule is making in its entry's status cell.
    explicit RecordingScheduleDialog(const ScheduleProgress* progress = nullptr);

    // For those who drive the dialog: the lists and the current tab.
    XListCtrl& List(ScheduleKind kind) { return kind == ScheduleKind::OneTime ? oneTimeList_ : recurringList_; }
    ScheduleList& Entries(ScheduleKind kind) { return kind == ScheduleKind::OneTime ? oneTime_ : recurring_; }
    ScheduleKind CurrentKind() const { return currentTab_ == 0 ? ScheduleKind::OneTime : ScheduleKind::Recurring; }
    int HoveredRow() const { return hoveredRow_; }
    int TintedRow() const { return tintedRow_; }

    // Row colouring modes.
    enum RowTint { kPlainRow = 0, kDeleteTint = 2, kCheckTint = 3 };

protected:
    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;
    void Exchange(DataExchange& dx) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;

private:
    XListCtrl& CurrentList() { return List(CurrentKind()); }
    ScheduleList& CurrentEntries() { return Entries(CurrentKind()); }
    uint32_t Background(ScheduleKind kind) const {
        return kind == ScheduleKind::OneTime ? preferences_.oneTimeColour : preferences_.recurringColour;
    }

    void SetUpList(ScheduleKind kind, int controlId);
    void AddRow(ScheduleKind kind, const ScheduleItem& item, bool stored);
    void LoadList(ScheduleKind kind);
    // Sorts, drops incomplete entries and stores the list.
    void SaveList(ScheduleKind kind);
    void CheckConflicts(ScheduleKind kind);
    bool RowComplete(ScheduleKind kind, int row);
    void Recolour(ScheduleKind kind, int row, RowTint tint);
    void RecolourAll(ScheduleKind kind, RowTint tint);
    void RefreshButtons();
    void SwitchTab();
    void UpdateStatus(int row);
    void SyncHeaderBox(ScheduleKind kind);

    void OnHoverButton(HWND button, bool entered);
    void OnAddClicked();
    void OnDeleteAll();
    void OnSortAndCheck();
    void OnPreferences();
    void OnDialogMouseMove();
    bool OnListMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnCheckbox(int row);
    void OnColumnClick(ScheduleKind kind, int column);
    LRESULT OnQuery(UINT msg, int row, int column);
    void ShowProgress();

    const ScheduleProgress* progress_;
    XListCtrl oneTimeList_, recurringList_;
    ScheduleList oneTime_, recurring_;
    HoverNotifyButton addButton_, deleteAllButton_, sortButton_, preferencesButton_;
    SchedulePreferences preferences_;
    int scheduleDisabled_ = 0;
    int currentTab_ = 0;
    int hoveredRow_ = -1, tintedRow_ = -1;
    bool keepNewRow_ = false;
    bool previewRow_ = false;  // a row added by hovering over Add is shown
    ScheduleItem template_;
    StoredScheduleCopy storedAtOpen_;
    bool listsStored_ = false;
};

}  // namespace lumetra
