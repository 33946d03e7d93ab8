#pragma once
// Placing the device tool windows (webcam controls, TV tuner) at their stored screen position.
#include <windows.h>

#include "media/window_position.h"

namespace lumetra {

// Moves the window's top-left corner to stored when that keeps it reachable on the screen,
// otherwise to fallback; the size is kept.
void PlaceToolWindow(HWND window, WindowOrigin stored, WindowOrigin fallback);

}  // namespace lumetra
