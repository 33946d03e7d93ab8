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
    kTimerDeviceRetry = 16,    // looks for a lost video device again
    kTimerDeviceConfirm = 17,  // a rebuilt live picture has run long enough: the device is back
    kTimerFirstFrame = 18,     // start-up trace: writes down the live picture's first frame
};

constexpr UINT kDeviceRetryMs = 2000;
constexpr UINT kDeviceConfirmMs = 2000;
constexpr int kDeviceRetries = 150;  // five minutes of retries; later only device notices look again


constexpr UINT kLiveTextMs = 500;  // PLAY and REC texts

constexpr UINT kStartupSnapshotMs = 50;  // timer 14: the snapshot after a start by the device's button

}  // namespace lumetra
