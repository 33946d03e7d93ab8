#include "app/main_state.h"

#include <cstdint>

namespace lumetra {

unsigned ResyncIntervalMs(int minutes) {
    constexpr uint64_t kMsPerMinute = 60000;
    constexpr uint64_t kLongestTimerMs = 0x7FFFFFFF;  // USER_TIMER_MAXIMUM
    if (minutes <= 0) return 0;
    uint64_t ms = static_cast<uint64_t>(minutes) * kMsPerMinute;
    return static_cast<unsigned>(ms < kLongestTimerMs ? ms : kLongestTimerMs);
}

int ViewForStoredIndex(int stored, int viewCount) {
    if (viewCount <= 0) return -1;
    if (stored >= viewCount) return viewCount - 1;
    return stored < 0 ? 0 : stored;
}

}  // namespace lumetra
