#pragma once
// The four in-place editors the extended list opens over or below a cell: an edit box, a drop-down
// list, a month calendar and a time clock. None changes the cell: each reports commit (Return) or
// cancel (Escape), and a few other events, to the list with the registered messages of
// control_messages.h; the list reads the value, updates the cell, tells its parent and closes them.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/time_clock.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace lumetra {

constexpr int kEditTextId = 1919;
constexpr int kDateCalendarId = 1001;
constexpr int kTimeClockId = 1002;

// A single-line edit box over the cell, a child of the list. Tab and Return commit, Escape cancels;
// a click outside it and losing the focus commit.
class XEditText : public Window {
public:
    explicit XEditText(HWND list) : list_(list) {}
    bool Open(const RECT& cell, const std::string& text, HFONT font);
    std::string Text() const;
    // From now on the box reports nothing (it is being closed by the list).
    void BeginClose() { closing_ = true; }
    // Colours of the box (the list forwards WM_CTLCOLOREDIT).
    HBRUSH OnCtlColor(HDC dc);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Report(UINT message);
    HWND list_;
    Brush brush_;
    bool closing_ = false;
};

// Pop-ups with a border that the list opens below a cell, owned by the list. They cancel when the focus
// leaves them for a window outside the pop-up.
class EditorPopup : public Window {
public:
    explicit EditorPopup(HWND list) : list_(list) {}
    void BeginClose() { closing_ = true; }
    HWND List() const { return list_; }

protected:
    bool CreatePopup(const RECT& onScreen);
    // Focus went from `from` to `to`: Escape when it left the pop-up and its children.
    void OnFocusLost(HWND to, UINT escapeMessage);
    void Report(UINT message);
    // Makes the window's client area `size` at the window's current top-left corner.
    void FitClient(SIZE size);

    HWND list_;
    bool closing_ = false;
};

// A drop-down list of choices below the cell, with a list box and a scroll bar of its own.
class XComboList : public EditorPopup {
public:
    explicit XComboList(HWND list);
    ~XComboList() override;
    bool Open(const RECT& onScreen, HFONT font, const std::vector<std::string>& choices, const std::string& current);
    // Gives the list box the focus; the first call also lays the pop-up out to whole rows.
    void Activate();
    std::string SelectedText() const;
    HWND ListBox() const { return listBox_.Handle(); }
    HWND ScrollBar() const { return scrollBar_.Handle(); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    class ChoiceBox : public Window {
    public:
        explicit ChoiceBox(XComboList& owner) : owner_(owner) {}
    protected:
        LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    private:
        XComboList& owner_;
    };
    class ScrollBarControl : public Window {};

    bool OnListKey(UINT key);
    void TrackHot();
    void OnScroll(WPARAM wp);
    int Selection() const;
    int LastIndex() const;
    int Page() const;

    ChoiceBox listBox_;
    ScrollBarControl scrollBar_;
    bool laidOut_ = false;
};

// A month calendar below the cell. Return or a click on a day commits the selected date.
class XDateCal : public EditorPopup {
public:
    explicit XDateCal(HWND list) : EditorPopup(list), calendar_(*this) {}
    bool Open(POINT onScreen);
    void SetDate(int32_t time);
    // The chosen day at 00:00:00 local time.
    int32_t Chosen() const { return chosen_; }
    void Activate();
    HWND Calendar() const { return calendar_.Handle(); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    class CalendarControl : public Window {
    public:
        explicit CalendarControl(XDateCal& owner) : owner_(owner) {}
    protected:
        LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    private:
        XDateCal& owner_;
    };
    void Commit();
    CalendarControl calendar_;
    int32_t chosen_ = 0;
};

// A time clock below the cell, in 12-hour mode or length mode. Return or the clock's OK commits.
class XTimeClk : public EditorPopup {
public:
    XTimeClk(HWND list, bool lengthMode) : EditorPopup(list), lengthMode_(lengthMode) {}
    bool Open(POINT onScreen);
    void SetTime(int32_t time) { clock_.SetTime(time); }
    // A time value on 2000-01-01.
    int32_t Chosen() const { return chosen_; }
    void Activate();
    TimeClockCtrl& Clock() { return clock_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool lengthMode_;
    TimeClockCtrl clock_;
    int32_t chosen_ = 0;
};

}  // namespace lumetra
