#include "app/main_state.h"

namespace lumetra {

int ViewForStoredIndex(int stored, int viewCount) {
    if (viewCount <= 0) return -1;
    if (stored >= viewCount) return viewCount - 1;
    return stored < 0 ? 0 : stored;
}

}  // namespace lumetra
