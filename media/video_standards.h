#pragma once
// The analog video standards the standard dialog can list, in the order it lists them.
#include <string>
#include <vector>

namespace lumetra {

struct VideoStandard {
    const char* name;  // "NTSC_M", "PAL_B", ...
    long bit;          // its AnalogVideoStandard bit
};

// All eighteen, in table order.
const std::vector<VideoStandard>& AllVideoStandards();
// Those whose bit is in the decoder's available set, in table order.
std::vector<VideoStandard> StandardsIn(long availableMask);

}  // namespace lumetra
