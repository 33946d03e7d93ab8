#include "still/yuv_tables.h"

namespace lumetra {
namespace {

// Arithmetic right shift by 10 that rounds towards minus infinity whatever the compiler does with
// negative operands of >>.
int32_t FloorShift10(int32_t value) {
    return value >= 0 ? value / 1024 : -((-value + 1023) / 1024);
}

YuvTables BuildTables() {
    YuvTables t{};
    for (int32_t i = 0; i < 256; ++i) {
        t.luma[i] = FloorShift10(1192 * (i - 16)) + 256;
        t.vToRed[i] = FloorShift10(1634 * (i - 128));
        t.vToGreen[i] = FloorShift10(833 * (i - 128));
        t.uToGreen[i] = FloorShift10(401 * (i - 128));
        t.uToBlue[i] = FloorShift10(2065 * (i - 128));
    }
    for (int32_t k = 0; k < 1024; ++k) t.clamp[k] = static_cast<uint8_t>(k < 256 ? 0 : k < 512 ? k - 256 : 255);
    return t;
}

uint8_t Clamp(const YuvTables& t, int32_t index) {
    return index < 0 ? t.clamp[0] : t.clamp[index];  // the largest index, 534 + 256, is inside
}

}  // namespace

const YuvTables& GetYuvTables() {
    static const YuvTables tables = BuildTables();
    return tables;
}

Bgr YuvToBgr(const YuvTables& t, uint8_t y, uint8_t u, uint8_t v) {
    const int32_t luma = t.luma[y];
    return Bgr{Clamp(t, luma + t.uToBlue[u]), Clamp(t, luma - t.vToGreen[v] - t.uToGreen[u]),
               Clamp(t, luma + t.vToRed[v])};
}

}  // namespace lumetra
