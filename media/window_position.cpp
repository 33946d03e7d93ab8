#include "media/window_position.h"

namespace lumetra {

WindowOrigin ReachableOrigin(WindowOrigin stored, int windowWidth, const ScreenArea& screen, WindowOrigin fallback) {
    constexpr int kGrip = 40, kCaption = 20;
    // In 64-bit arithmetic: stored values come from the registry and may be anything.
    long long left = stored.left, top = stored.top, right = left + windowWidth;
    bool across = right >= static_cast<long long>(screen.left) + kGrip && left <= static_cast<long long>(screen.right) - kGrip;
    bool down = top >= screen.top && top <= static_cast<long long>(screen.bottom) - kCaption;
    return across && down ? stored : fallback;
}

}  // namespace lumetra
