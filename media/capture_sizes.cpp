#include "media/capture_sizes.h"

#include <algorithm>
#include <climits>

namespace lumetra {
namespace {
const VideoSize kSizes[kCaptureSizes] = {{160, 120}, {176, 144}, {320, 240}, {352, 240},
                                         {352, 288}, {640, 480}, {720, 480}};
}

VideoSize CaptureSizeAt(int index) {
    return index >= 0 && index < kCaptureSizes ? kSizes[index] : kSizes[5];
}

int CaptureSizeIndex(int width, int height) {
    switch (width) {
    case 160: return 0;
    case 176: return 1;
    case 320: return 2;
    case 352: return height == 240 ? 3 : 4;
    case 640: return 5;
    case 720: return 6;
    default: return 0;
    }
}

VideoSize ScaledVideoSize(VideoSize r, int command) {
    int64_t numerator = 2, denominator = 2;
    switch (command) {
    case 1: numerator = 1; break;
    case 3: numerator = 3; break;
    case 4: numerator = 4; break;
    default: return r;
    }
    auto scale = [&](int side) {
        int64_t v = static_cast<int64_t>(side) * numerator / denominator;
        return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
    };
    return {scale(r.width), scale(r.height)};
}

bool VideoSizeFromFormat(int32_t width, int32_t height, VideoSize& out) {
    if (width <= 0 || width > kMaxVideoSide) return false;
    if (height == 0 || height < -kMaxVideoSide || height > kMaxVideoSide) return false;
    out = {width, height < 0 ? -height : height};
    return true;
}

}  // namespace lumetra
