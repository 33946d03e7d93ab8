#pragma once
// The YUV to RGB tables of the snapshot's colour conversion. They define its exact result: the
// vectorised conversions compute the same numbers arithmetically and are tested against them.
#include <cstdint>

namespace lumetra {

struct YuvTables {
    int32_t luma[256];      // ((1192 x (i - 16)) >> 10) + 256
    int32_t vToRed[256];    // (1634 x (i - 128)) >> 10
    int32_t vToGreen[256];  // (833 x (i - 128)) >> 10
    int32_t uToGreen[256];  // (401 x (i - 128)) >> 10
    int32_t uToBlue[256];   // (2065 x (i - 128)) >> 10
    uint8_t clamp[1024];    // 0 below 256, k - 256 from 256 to 511, 255 from 512
};

// The tables, built on first use. Every shift rounds towards minus infinity.
const YuvTables& GetYuvTables();

// One pixel by the tables: blue, green and red of Y, U, V. An index below the clamp table (only
// out-of-range samples reach one) counts as 0.
struct Bgr {
    uint8_t b, g, r;
};
Bgr YuvToBgr(const YuvTables& t, uint8_t y, uint8_t u, uint8_t v);

}  // namespace lumetra
