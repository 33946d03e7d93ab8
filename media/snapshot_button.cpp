#include "media/snapshot_button.h"

namespace lumetra {

SnapshotButtonLatch::Decision SnapshotButtonLatch::Poll(uint8_t reading) {
    Decision d;
    if (!(reading & kSnapshotButtonBit)) {
        reported_ = false;
        return d;
    }
    if (reported_) return d;
    reported_ = true;
    d.report = true;
    d.writeBack = true;
    d.value = static_cast<uint8_t>(reading & ~kSnapshotButtonBit);
    return d;
}

}  // namespace lumetra
