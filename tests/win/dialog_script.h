#pragma once
// Drives a modal dialog as a user would: it runs on the test's thread while a thread timer types
// into its controls, presses its buttons and answers the message boxes (and file dialogs) the
// script expects. Any other box fails the test; every wait is bounded by a number of ticks.
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>

#include "framework/dialog.h"

namespace lumetra::testing {

// ---- Reading and working controls ----

inline std::string TextOf(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}
inline std::string ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }
inline bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
inline void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline void Type(HWND dialog, int id, const char* text) { SetDlgItemTextA(dialog, id, text); }
inline void Choose(HWND dialog, int comboId, int index) {
    HWND combo = GetDlgItem(dialog, comboId);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// A window of this thread of the given class owned by owner, or null.
inline HWND FindOwnedWindow(HWND owner, const char* className, const std::set<HWND>& skip = {}) {
    struct Search {
        HWND owner;
        const char* className;
        const std::set<HWND>* skip;
        HWND found;
    } search{owner, className, &skip, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpiA(name, s->className) != 0 || GetWindow(window, GW_OWNER) != s->owner) return TRUE;
            if (s->skip->count(window)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// ---- The script ----

struct ExpectedBox {
    std::string caption;
    std::string text;
    bool yesNo;  // Yes/No buttons, else a single OK
    int answer;  // IDOK, IDYES or IDNO
    std::string chosenFile;  // set for a file dialog: the name typed into it before OK
};

class DialogScript {
public:
    DialogScript& Do(std::function<void(HWND)> action) {
        items_.push_back({std::move(action), {}});
        return *this;
    }
    DialogScript& Answer(ExpectedBox box) {
        items_.push_back({nullptr, std::move(box)});
        return *this;
    }
    // A file dialog with this title: types the name and presses its OK button.
    DialogScript& ChooseFile(std::string title, std::string path) {
        items_.push_back({nullptr, {std::move(title), "", false, IDOK, std::move(path)}});
        return *this;
    }

    // Shows the dialog modally and plays the script against it; returns DoModal's result.
    INT_PTR Run(Dialog& dialog) {
        dialog_ = &dialog;
        current_ = this;
        UINT_PTR timer = SetTimer(nullptr, 0, 10, &DialogScript::OnTick);
        INT_PTR result = dialog.DoModal(nullptr);
        KillTimer(nullptr, timer);
        current_ = nullptr;
        for (const Item& left : items_)
            ADD_FAILURE() << (left.action ? "a step did not run" : "this box never appeared: " + left.box.text);
        return result;
    }

private:
    struct Item {
        std::function<void(HWND)> action;
        ExpectedBox box;
    };
    static constexpr int kMaxTicks = 1500;

    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        if (current_) current_->Tick();
    }

    void Tick() {
        HWND dialog = dialog_->Handle();
        if (!dialog) return;
        if (HWND box = FindOwnedWindow(dialog, "#32770", answered_)) {
            HandleBox(box);
            return;
        }
        if (++ticks_ > kMaxTicks) {
            ADD_FAILURE() << "the dialog was still open after the script's bound";
            items_.clear();
            EndDialog(dialog, IDABORT);
            return;
        }
        if (busy_ || items_.empty() || !items_.front().action) return;  // an action runs, or a box is due
        auto action = std::move(items_.front().action);
        items_.pop_front();
        busy_ = true;  // the action may open a box: ticks in its loop only answer boxes
        action(dialog);
        busy_ = false;
    }

    void HandleBox(HWND box) {
        answered_.insert(box);
        const std::string caption = TextOf(box);
        const std::string text = ItemText(box, 0xFFFF);
        const bool yesNo = GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr;
        if (items_.empty() || items_.front().action) {
            ADD_FAILURE() << "unexpected box \"" << caption << "\": " << text;
            Press(box, yesNo ? IDNO : IDOK);
            return;
        }
        const ExpectedBox expected = items_.front().box;
        items_.pop_front();
        if (!expected.chosenFile.empty()) {
            EXPECT_EQ(caption, expected.caption);
            ChooseIn(box, expected.chosenFile);
            return;
        }
        EXPECT_EQ(caption, expected.caption);
        EXPECT_EQ(text, expected.text);
        EXPECT_EQ(yesNo, expected.yesNo) << text;
        if (!expected.yesNo) {
            EXPECT_TRUE(GetDlgItem(box, IDOK)) << text;
        }
        Press(box, expected.answer);
    }

    // The file name field of the common file dialog: a combo box (cmb13) in the explorer style,
    // an edit (edt1) in the older one.
    static void ChooseIn(HWND fileDialog, const std::string& path) {
        const int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;
        HWND field = GetDlgItem(fileDialog, kFileNameCombo);
        if (!field) field = GetDlgItem(fileDialog, kFileNameEdit);
        ASSERT_NE(field, nullptr) << "no file name field in the file dialog";
        SetWindowTextA(field, path.c_str());
        Press(fileDialog, IDOK);
    }

    static void Press(HWND box, int button) {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }

    static DialogScript* current_;
    Dialog* dialog_ = nullptr;
    std::deque<Item> items_;
    std::set<HWND> answered_;
    int ticks_ = 0;
    bool busy_ = false;
};
inline DialogScript* DialogScript::current_ = nullptr;

}  // namespace lumetra::testing
