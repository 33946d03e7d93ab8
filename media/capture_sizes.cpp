#include "media/capture_sizes.h"

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
    switch (command) {
    case 1: return {r.width / 2, r.height / 2};
    case 3: return {r.width * 3 / 2, r.height * 3 / 2};
    case 4: return {r.width * 2, r.height * 2};
    default: return r;
    }
}

}  // namespace lumetra
