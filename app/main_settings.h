#pragma once
// Loading and saving the main window's own values in the settings key.
#include "app/main_state.h"

namespace lumetra {

class InputSelector;

// Reads the stored values over the defaults in state; a stored CrossbarInput other than -1
// becomes the selector's current input. viewCount bounds the stored view.
void LoadMainSettings(MainWindowState& state, InputSelector& selector, int viewCount);
// Writes the values the main window keeps, in their fixed order.
void SaveMainSettings(const MainWindowState& state, const InputSelector& selector);

}  // namespace lumetra
