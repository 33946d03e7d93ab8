#pragma once
// The main window's scalar state and the rules for its stored values, free of the platform.
#include <string>

#include "mainwnd/diagnostic_sequence.h"

namespace lumetra {

// Property selector values (PropView).
enum PropertySelector { kPropVolume = 0, kPropBrightness = 1, kPropContrast = 2, kPropSaturation = 3 };

constexpr int kDefaultStreamFormat = 5;      // 640 x 480
constexpr int kDefaultResyncMinutes = 6;     // CfgResync when the key opens but the value is missing
constexpr int kNoStoredInput = -1;
constexpr int kCaptureSizeCount = 7;       // capture size indexes 0..6

struct MainWindowState {
    int skinView = 0;
    int propView = kPropVolume;
    unsigned long brightnessMax = 100, contrastMax = 100, saturationMax = 100;
    unsigned long volumeMax = 0xFFFF;
    unsigned long brightness = 50, contrast = 50, saturation = 50;
    // The picture controls' values above are counted from the device's minimum (their maxima are
    // the width of its range): many webcams run brightness from -64 to 64.
    long brightnessMin = 0, contrastMin = 0, saturationMin = 0;
    unsigned long volume = 32000;
    int mute = 0;
    int streamFormat = kDefaultStreamFormat;
    int audioEnum = -1;
    int audioEnumCnt = 0;
    int crossbarInputCnt = 0;
    int displaySize = 0;
    int cfgResync = 0;
    bool launchedByButton = false;
    bool showDroppedFrames = false;
    DiagnosticSequence diagnostics;  // the hidden sequence's count
    std::string stillDeviceName;
};

// The audio monitor's restart interval for CfgResync minutes, in milliseconds: 0 for none, and
// at most the longest interval a window timer takes (about 24.8 days), so a large stored value
// cannot wrap around to a short one.
unsigned ResyncIntervalMs(int minutes);

// The view to select for a stored index: the last view when the index is not below the view
// count; a negative index (a damaged value) selects the first view. -1 when there are no views.
int ViewForStoredIndex(int stored, int viewCount);

}  // namespace lumetra
