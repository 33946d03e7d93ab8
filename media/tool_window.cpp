#include "media/tool_window.h"

namespace lumetra {

void PlaceToolWindow(HWND window, WindowOrigin stored, WindowOrigin fallback) {
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    ScreenArea screen{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    RECT r;
    GetWindowRect(window, &r);
    WindowOrigin origin = ReachableOrigin(stored, r.right - r.left, screen, fallback);
    SetWindowPos(window, nullptr, origin.left, origin.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace lumetra
