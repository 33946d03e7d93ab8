#pragma once
// Where a tool window goes when it comes back at a stored position: there, when enough of it shows
// on the screen to grab it again; otherwise at a default place.

namespace lumetra {

struct ScreenArea {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowOrigin {
    int left = 0, top = 0;
};

// The stored origin when its caption would lie on the screen (at least 40 pixels of the window
// across, its top edge at least 20 pixels above the bottom), else the fallback.
WindowOrigin ReachableOrigin(WindowOrigin stored, int windowWidth, const ScreenArea& screen, WindowOrigin fallback);

}  // namespace lumetra
