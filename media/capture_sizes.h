#pragma once
// The capture sizes the program offers, and picture sizes of the video windows.
#include <cstdint>

namespace lumetra {

struct VideoSize {
    int width = 0;
    int height = 0;
    bool operator==(const VideoSize& o) const { return width == o.width && height == o.height; }
};

constexpr int kCaptureSizes = 7;
// Index 0..6: 160 x 120, 176 x 144, 320 x 240, 352 x 240, 352 x 288, 640 x 480, 720 x 480.
// An index outside the table gives 640 x 480.
VideoSize CaptureSizeAt(int index);
// The index of a format by its width: 352 is index 3 at height 240 and 4 otherwise; unknown widths give 0.
int CaptureSizeIndex(int width, int height);

// Picture size commands of the video windows: 1 = 50 %, 2 = 100 %, 3 = 150 %, 4 = 200 %.
// Computed in 64 bits; a result beyond the int range stays at the largest int.
VideoSize ScaledVideoSize(VideoSize reference, int command);

// The largest picture side taken from a media format: a larger one is damaged or hostile data.
constexpr int kMaxVideoSide = 16384;
// The picture size of a format's bitmap header (a negative height means top-down rows). False, with
// out untouched, for a size no picture has: width or height zero or negative, or a side above
// kMaxVideoSide (so a height of INT_MIN is refused rather than negated).
bool VideoSizeFromFormat(int32_t width, int32_t height, VideoSize& out);

}  // namespace lumetra
