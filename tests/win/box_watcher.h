#pragma once
// Answers the message boxes this process shows while a test runs (the program's error boxes are
// modal and would otherwise block the test), and keeps what they said.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumetra::testing {

struct SeenBox {
    std::string caption;
    std::string text;
};

class BoxWatcher {
public:
    BoxWatcher() : thread_([this] { Watch(); }) {}
    ~BoxWatcher() {
        stop_ = true;
        thread_.join();
    }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<SeenBox> Seen() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.clear();
    }

private:
    static BOOL CALLBACK Visit(HWND hwnd, LPARAM lp) {
        auto* self = reinterpret_cast<BoxWatcher*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        char cls[32] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        HWND text = GetDlgItem(hwnd, 0xFFFF);
        if (pid != GetCurrentProcessId() || std::string(cls) != "#32770" || !text || !IsWindowVisible(hwnd))
            return TRUE;
        char caption[128] = {}, message[1024] = {};
        GetWindowTextA(hwnd, caption, sizeof caption);
        GetWindowTextA(text, message, sizeof message);
        {
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->seen_.push_back({caption, message});
        }
        HWND button = GetDlgItem(hwnd, IDOK);
        if (!button) button = GetDlgItem(hwnd, IDNO);
        if (!button) button = GetDlgItem(hwnd, IDCANCEL);
        if (button) PostMessageA(button, BM_CLICK, 0, 0);
        // Wait for the box to go before looking again, so it is counted once.
        for (int i = 0; i < 250 && IsWindow(hwnd) && IsWindowVisible(hwnd); ++i) Sleep(20);
        return TRUE;
    }
    void Watch() {
        while (!stop_) {
            EnumWindows(&BoxWatcher::Visit, reinterpret_cast<LPARAM>(this));
            Sleep(20);
        }
    }

    mutable std::mutex mutex_;
    std::vector<SeenBox> seen_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace lumetra::testing
