#pragma once
// The main window's timers, by identifier.
#include <windows.h>

namespace lumetra {

enum TimerId : UINT_PTR {
    kTimerClock = 1,
    kTimerPlayback = 6,
    kTimerRecording = 7,
    kTimerSnapshotButton = 8,
    kTimerMotion = 9,
    kTimerRearm = 10,
    kTimerStartup = 11,
    kTimerResync = 12,
    kTimerStartupSnapshot = 14,
    kTimerRaiseVideo = 15,  // puts the video window back above this window after an activation
};

constexpr UINT kRaiseVideoDelayMs = 250;

constexpr UINT kLiveTextMs = 500;  // PLAY and REC texts

constexpr UINT kStartupSnapshotMs = 50;  // timer 14: the snapshot after a start by the device's button

}  // namespace lumetra
