#pragma once
// Runs a dialog of the program modally on the test's thread while a thread timer plays a script
// against it: actions on its controls, and the message boxes the script expects, answered as it
// says. A box nobody expected fails the test (and is answered with OK or No); every wait is
// bounded by a number of ticks.
#include <windows.h>

#include <deque>
#include <functional>
#include <set>
#include <string>

#include "framework/dialog.h"

namespace lumetra::testing {

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
void Click(HWND dialog, int id);
// A visible top-level dialog window of this thread with this caption, or null.
HWND FindThreadDialog(const std::string& caption);

class DialogDriver {
public:
    // An action on the dialog; it runs once the previous step is done.
    DialogDriver& Do(std::function<void(HWND dialog)> action);
    // Waits (bounded) until the condition holds before the next step.
    DialogDriver& WaitUntil(std::function<bool(HWND dialog)> condition, int maxTicks = 500);
    // The next message box must have this caption and text; it is answered with button.
    DialogDriver& ExpectBox(std::string caption, std::string text, int button = IDOK);

    // Shows the dialog modally and plays the script; DoModal's result.
    INT_PTR Run(Dialog& dialog, HWND owner = nullptr);

private:
    struct Step {
        std::function<void(HWND)> action;
        std::function<bool(HWND)> condition;
        int maxTicks = 0;
        std::string caption, text;
        int button = IDOK;
    };
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    void HandleBox(HWND box);

    static DialogDriver* current_;
    Dialog* dialog_ = nullptr;
    std::deque<Step> steps_;
    std::set<HWND> answered_;
    int ticks_ = 0;
    int waitTicks_ = 0;
    bool busy_ = false;
};

}  // namespace lumetra::testing
