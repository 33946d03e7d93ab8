#include "tests/motion/dialog_driver.h"

#include <gtest/gtest.h>

namespace lumetra::testing {
namespace {

constexpr int kMaxTicks = 3000;  // 10 ms each

bool IsMessageBox(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0 && GetDlgItem(window, 0xFFFF) != nullptr && IsWindowVisible(window);
}

}  // namespace

DialogDriver* DialogDriver::current_ = nullptr;

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

HWND FindThreadDialog(const std::string& caption) {
    struct Search {
        const std::string* caption;
        HWND found;
    } search{&caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (!IsWindowVisible(window) || WindowText(window) != *s->caption) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DialogDriver& DialogDriver::Do(std::function<void(HWND)> action) {
    Step step;
    step.action = std::move(action);
    steps_.push_back(std::move(step));
    return *this;
}

DialogDriver& DialogDriver::WaitUntil(std::function<bool(HWND)> condition, int maxTicks) {
    Step step;
    step.condition = std::move(condition);
    step.maxTicks = maxTicks;
    steps_.push_back(std::move(step));
    return *this;
}

DialogDriver& DialogDriver::ExpectBox(std::string caption, std::string text, int button) {
    Step step;
    step.caption = std::move(caption);
    step.text = std::move(text);
    step.button = button;
    steps_.push_back(std::move(step));
    return *this;
}

INT_PTR DialogDriver::Run(Dialog& dialog, HWND owner) {
    dialog_ = &dialog;
    current_ = this;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, &DialogDriver::OnTick);
    INT_PTR result = dialog.DoModal(owner);
    KillTimer(nullptr, timer);
    current_ = nullptr;
    for (const Step& left : steps_) {
        if (left.action) ADD_FAILURE() << "an action did not run";
        else if (left.condition) ADD_FAILURE() << "a condition was never waited for";
        else ADD_FAILURE() << "this box never appeared: [" << left.caption << "] " << left.text;
    }
    return result;
}

void CALLBACK DialogDriver::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_) current_->Tick();
}

void DialogDriver::Tick() {
    HWND dialog = dialog_->Handle();
    if (!dialog) return;
    struct Search {
        std::set<HWND>* answered;
        HWND box;
    } search{&answered_, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (!IsMessageBox(window) || s->answered->count(window)) return TRUE;
            s->box = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.box) {
        HandleBox(search.box);
        return;
    }
    if (++ticks_ > kMaxTicks) {
        ADD_FAILURE() << "the dialog was still open after the script's bound";
        steps_.clear();
        EndDialog(dialog, IDABORT);
        return;
    }
    if (busy_ || steps_.empty()) return;
    Step& step = steps_.front();
    if (step.condition) {
        if (step.condition(dialog)) {
            steps_.pop_front();
            waitTicks_ = 0;
        } else if (++waitTicks_ > step.maxTicks) {
            ADD_FAILURE() << "a condition did not come true in time";
            steps_.pop_front();
            waitTicks_ = 0;
        }
        return;
    }
    if (!step.action) return;  // a box is due
    auto action = std::move(step.action);
    steps_.pop_front();
    busy_ = true;  // an action may open a modal loop: its ticks only answer boxes
    action(dialog);
    busy_ = false;
}

void DialogDriver::HandleBox(HWND box) {
    answered_.insert(box);
    const std::string caption = WindowText(box), text = ItemText(box, 0xFFFF);
    int button = IDOK;
    if (steps_.empty() || steps_.front().action || steps_.front().condition) {
        ADD_FAILURE() << "unexpected box [" << caption << "] " << text;
        if (GetDlgItem(box, IDNO)) button = IDNO;
    } else {
        EXPECT_EQ(caption, steps_.front().caption);
        EXPECT_EQ(text, steps_.front().text);
        button = steps_.front().button;
        steps_.pop_front();
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

}  // namespace lumetra::testing
