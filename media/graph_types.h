#pragma once
// Run state and build mode of the capture graph, shared by the media engine and the main window.

namespace lumetra {

enum GraphState { kGraphNone = 0, kGraphStopped = 1, kGraphPaused = 2, kGraphRunning = 3 };
enum GraphMode { kModeIdle = 0, kModePreview = 1, kModeCapture = 2 };

}  // namespace lumetra
