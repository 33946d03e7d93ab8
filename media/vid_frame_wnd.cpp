#include "media/vid_frame_wnd.h"

#include <shellapi.h>
#include <windowsx.h>

#include "app/helpers.h"
#include "framework/handles.h"
#include "res/resource.h"

namespace lumetra {
namespace {

constexpr DWORD kVideoWindowStyle = WS_CLIPCHILDREN | WS_THICKFRAME;  // 0x02040000: sizing border, no caption
// Not -1 nor -2: Wine's menus keep those for "nothing chosen" and "a submenu opened", so such an
// item could never be chosen there.
constexpr int kExitFullScreen = 5;
constexpr int kEnterFullScreen = -3;

}  // namespace

bool CVidFrameWnd::CreateVideoWindow(VideoWindowOwner& owner, HWND ownerWindow, unsigned titleStringId) {
    owner_ = &owner;
    kind_ = titleStringId == IDS_LIVE_VIDEO_TITLE ? VideoWindowOwner::kLive : VideoWindowOwner::kPlayback;
    std::string title = LoadResourceString(titleStringId);
    // In a main window the picture is its child, not a window of its own above it: a separate
    // window depends on the window system to keep it above the main window, and Wine's X11 driver
    // does not (an unmanaged top-level window that takes the keyboard focus is raised above the
    // windows it owns, out of step with the Windows order). As a child it stays on the skin's screen
    // whatever is clicked, minimises and restores with the main window and stays below its dialogs.
    const bool child = ownerWindow != nullptr;
    const DWORD style = child ? kVideoWindowStyle | WS_CHILD | WS_CLIPSIBLINGS : kVideoWindowStyle;
    if (!Create(child ? 0 : WS_EX_TOOLWINDOW, title.c_str(), style, RECT{0, 0, 320, 240}, ownerWindow)) {
        MessageBoxA(ownerWindow, "Cannot create video window", "Error", MB_OK | MB_ICONERROR);
        return false;
    }
    if (!child) {
        // The system gives every overlapped window a caption; this one keeps only its sizing border.
        SetWindowLongA(Handle(), GWL_STYLE, kVideoWindowStyle);
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    DragAcceptFiles(Handle(), TRUE);
    return true;
}

void CVidFrameWnd::SetClientSize(int width, int height) {
    RECT outer, client;
    GetWindowRect(Handle(), &outer);
    GetClientRect(Handle(), &client);
    int frameX = (outer.right - outer.left) - client.right;
    int frameY = (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(Handle(), nullptr, 0, 0, width + frameX - 1, height + frameY - 1,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVidFrameWnd::PlaceClientArea(const RECT& screenRect) {
    RECT outer = screenRect;
    const DWORD style = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE));
    AdjustWindowRectEx(&outer, style, FALSE, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)));
    if (style & WS_CHILD) MapWindowPoints(nullptr, GetParent(Handle()), reinterpret_cast<POINT*>(&outer), 2);
    // Above what it sits on.
    SetWindowPos(Handle(), HWND_TOP, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOACTIVATE);
}

void CVidFrameWnd::ShowContextMenu(POINT clientPoint) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu.Get()) return;
    if (owner_->IsVideoFullScreen(kind_)) {
        AppendMenuA(menu.Get(), MF_STRING, static_cast<UINT_PTR>(kExitFullScreen), "Exit Full Screen Mode");
    } else {
        AppendMenuA(menu.Get(), MF_STRING | MF_GRAYED, 0,
                    kind_ == VideoWindowOwner::kPlayback ? "Playback Size" : "Display Size");
        AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu.Get(), MF_STRING, 1, "50%");
        AppendMenuA(menu.Get(), MF_STRING, 2, "100%");
        AppendMenuA(menu.Get(), MF_STRING, 3, "150%");
        AppendMenuA(menu.Get(), MF_STRING, 4, "200%");
        AppendMenuA(menu.Get(), MF_STRING, static_cast<UINT_PTR>(kEnterFullScreen), "Full Screen Mode");
    }
    POINT at = clientPoint;
    ClientToScreen(Handle(), &at);
    int command = static_cast<int>(
        TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, Handle(), nullptr));
    if (command == kEnterFullScreen) owner_->SetVideoFullScreen(kind_, true);
    else if (command == kExitFullScreen) owner_->SetVideoFullScreen(kind_, false);
    else if (command >= 1 && command <= 4) owner_->ResizeVideo(kind_, command);
}

void CVidFrameWnd::OnDropFiles(HDROP drop) {
    // A name that does not fit MAX_PATH would be cut, and the cut name is another file.
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    char path[MAX_PATH] = {};
    const bool got = length > 0 && length < MAX_PATH && DragQueryFileA(drop, 0, path, MAX_PATH) == length;
    DragFinish(drop);  // released on every path
    if (got) {
        owner_->PlayDroppedFile(path);
    } else if (length >= MAX_PATH) {
        MessageBoxA(Handle(), "The file name is too long to be played (at most 259 characters).", "Error",
                    MB_OK | MB_ICONERROR);
    }
}

LRESULT CVidFrameWnd::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_RBUTTONUP:
        ShowContextMenu(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_SIZE:
        if (owner_) owner_->RefitVideo(kind_);
        break;
    case WM_ERASEBKGND: {
        // Black behind the picture, so a resize never flashes the system colour.
        RECT r;
        GetClientRect(Handle(), &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return 1;
    }
    case WM_KEYDOWN:
        // Esc in the picture (also in full screen, whose keys arrive here) is Esc of the main window.
        if (wp == VK_ESCAPE) {
            HWND main = GetAncestor(Handle(), GA_ROOTOWNER);
            if (main && main != Handle()) PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
            return 0;
        }
        break;
    case WM_CLOSE:
        return 0;  // the main window decides when video windows go
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace lumetra
