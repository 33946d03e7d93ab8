#pragma once
// The window a graph's video renderer draws in: the live window for the capture graph, the playback
// window for the playback graph. It offers picture sizes and full screen on its context menu, plays
// a file dropped on it, and refits the picture when resized.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "framework/window.h"

namespace lumetra {

// What a video window asks of the window that owns it.
class VideoWindowOwner {
public:
    enum Kind { kLive = 0, kPlayback = 1 };
    virtual void PlayDroppedFile(const std::string& path) = 0;
    virtual void RefitVideo(Kind kind) = 0;
    // Picture size by command: 1 = 50 %, 2 = 100 %, 3 = 150 %, 4 = 200 %.
    virtual void ResizeVideo(Kind kind, int command) = 0;
    virtual bool IsVideoFullScreen(Kind kind) = 0;
    virtual void SetVideoFullScreen(Kind kind, bool on) = 0;

protected:
    ~VideoWindowOwner() = default;
};

class CVidFrameWnd : public Window {
public:
    // Creates the window with the title of a string-table entry (118 gives the live kind) and accepts
    // dropped files. Shows "Cannot create video window" on failure. With ownerWindow (the main
    // window) it is that window's child; without, a top-level window of its own.
    bool CreateVideoWindow(VideoWindowOwner& owner, HWND ownerWindow, unsigned titleStringId);
    // Resizes (keeping the position) so that the client area is width - 1 by height - 1.
    void SetClientSize(int width, int height);
    // Places the window so that its client area covers rect (screen coordinates), above its siblings.
    void PlaceClientArea(const RECT& screenRect);
    VideoWindowOwner::Kind Kind() const { return kind_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ShowContextMenu(POINT clientPoint);
    void OnDropFiles(HDROP drop);

    VideoWindowOwner* owner_ = nullptr;
    VideoWindowOwner::Kind kind_ = VideoWindowOwner::kLive;
};

}  // namespace lumetra
