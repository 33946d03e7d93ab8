#pragma once
// Shows a pop-up menu built from texts and returns the chosen index, or -1 when dismissed.
#include <windows.h>

#include <string>
#include <vector>

namespace lumetra {

// Opens at the left edge just below `below` (screen coordinates) when given, else at the cursor.
int TrackTextMenu(HWND owner, const std::vector<std::string>& texts, const RECT* below, int markedIndex = -1);

}  // namespace lumetra
