#pragma once
// Helpers for driving windows of this process as a user would: a message pump with time-outs, clicks
// and keys sent where the real cursor is, and a parent window that keeps the notifications it gets.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/reflect.h"
#include "framework/window.h"

namespace lumetra::ui {

// Dispatches the thread's messages for about ms milliseconds.
void Pump(DWORD ms = 30);
// Pumps until the condition holds or the time-out passes; the condition's last value.
bool PumpUntil(DWORD timeoutMs, const std::function<bool()>& done);

// Moves the real cursor over a client point of a window (the controls check it on their timers).
void MoveCursorTo(HWND hwnd, POINT client);
// Moves the real cursor to the screen's bottom-right corner, away from every test window.
void ParkCursor();
// A left click at a client point: cursor there, mouse move, button down, paint, button up.
void Click(HWND hwnd, POINT client);
void RightClick(HWND hwnd, POINT client);
// A key pressed and released, sent to a window.
void Key(HWND hwnd, UINT virtualKey);
// A mouse wheel turn over a client point of a window (sent to it with screen coordinates).
void Wheel(HWND hwnd, POINT client, int delta, WPARAM keys = 0);
// The centre of a rectangle.
POINT Centre(const RECT& r);

// A visible top-level window that keeps every message it is told to watch, reflects WM_COMMAND and
// WM_NOTIFY to the controls that want them, and answers the extended list's time queries.
class RecordingParent : public Window {
public:
    struct Message {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        int32_t time;  // the time value lParam points at (date and time selections), or WM_NOTIFY's code
    };
    RecordingParent();
    void Watch(UINT msg) { watched_.push_back(msg); }
    std::vector<Message> messages;
    int32_t dateAnswer = 0, timeAnswer = 0;
    // The messages of one kind, in order.
    std::vector<Message> Of(UINT msg) const;
    void Clear() { messages.clear(); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::vector<UINT> watched_;
};

}  // namespace lumetra::ui
