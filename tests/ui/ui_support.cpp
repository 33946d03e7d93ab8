#include "tests/ui/ui_support.h"

#include "controls/control_messages.h"

namespace lumetra::ui {

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

bool PumpUntil(DWORD timeoutMs, const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return done();
        Pump(10);
    }
}

void MoveCursorTo(HWND hwnd, POINT client) {
    POINT screen = client;
    ClientToScreen(hwnd, &screen);
    SetCursorPos(screen.x, screen.y);
}

void ParkCursor() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

void Click(HWND hwnd, POINT client) {
    MoveCursorTo(hwnd, client);
    const LPARAM at = MAKELPARAM(client.x, client.y);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, at);
    // The button goes up after a while, as a user's would: the window paints in between.
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Pump(60);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    Pump(30);
}

void RightClick(HWND hwnd, POINT client) {
    MoveCursorTo(hwnd, client);
    const LPARAM at = MAKELPARAM(client.x, client.y);
    SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, at);
    SendMessageA(hwnd, WM_RBUTTONUP, 0, at);
}

void Key(HWND hwnd, UINT virtualKey) {
    const UINT scan = MapVirtualKeyA(virtualKey, 0);
    SendMessageA(hwnd, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    SendMessageA(hwnd, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

void Wheel(HWND hwnd, POINT client, int delta, WPARAM keys) {
    MoveCursorTo(hwnd, client);
    POINT screen = client;
    ClientToScreen(hwnd, &screen);
    SendMessageA(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(delta))),
                 MAKELPARAM(screen.x, screen.y));
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

RecordingParent::RecordingParent() {
    Create(0, "test parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, RECT{40, 40, 760, 560}, nullptr);
    SetForegroundWindow(Handle());
    SetActiveWindow(Handle());
}

std::vector<RecordingParent::Message> RecordingParent::Of(UINT msg) const {
    std::vector<Message> found;
    for (const Message& m : messages)
        if (m.msg == msg) found.push_back(m);
    return found;
}

LRESULT RecordingParent::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && ReflectCommand(wp, lp)) return 0;
    if (msg == WM_NOTIFY) {
        LRESULT result = 0;
        if (ReflectNotify(lp, result)) return result;
    }
    if (msg == kListQueryDate) return dateAnswer;
    if (msg == kListQueryTime) return timeAnswer;
    for (UINT watched : watched_) {
        if (msg != watched) continue;
        const ListMessages& m = XListMessages();
        const bool carriesTime = msg == m.dateSelection || msg == m.timeSelection;
        int32_t detail = 0;
        if (carriesTime && lp) detail = *reinterpret_cast<const int32_t*>(lp);
        if (msg == WM_NOTIFY && lp) detail = static_cast<int32_t>(reinterpret_cast<const NMHDR*>(lp)->code);
        messages.push_back(Message{msg, wp, lp, detail});
        return 0;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace lumetra::ui
