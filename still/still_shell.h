#pragma once
// What snapshots do outside the program: the shutter sound and a file manager window on a folder.
#include <string>

namespace lumetra {

// Starts the program's WAVE resource "IDR_SHUTTER" playing and returns at once.
void PlayShutterSound();

// A new Explorer window on the folder.
void OpenFolderInExplorer(const std::string& folder);

}  // namespace lumetra
