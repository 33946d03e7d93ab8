// Window shapes from mask images of any size: every run of non-white pixels becomes a rectangle of
// its row, and the region buffer handed to the platform stays well formed whatever the mask.
#include "skin/region_runs.h"
#include "tests/fuzz/fuzz_input.h"

using namespace lumetra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int width = in.Range(-2, 160);
    const int height = in.Range(-2, 160);
    const uint32_t flushCount = static_cast<uint32_t>(in.Range(1, 2500));
    // Pixels come from the input, repeated to fill the mask; the buffer is exactly the mask's size.
    std::vector<uint8_t> bytes = in.Rest();
    const size_t count = width > 0 && height > 0 ? static_cast<size_t>(width) * static_cast<size_t>(height) : 0;
    std::vector<uint32_t> pixels(count);
    for (size_t i = 0; i < count && !bytes.empty(); ++i) {
        uint8_t b = bytes[i % bytes.size()];
        pixels[i] = b & 1 ? 0x00FFFFFFu : 0x00FFFFFFu - b;  // white, or a colour close to it
    }
    uint64_t flushed = 0;
    uint64_t found = BuildMaskRegion(count ? pixels.data() : nullptr, width, height, [&](const RegionData& d) {
        FUZZ_CHECK(d.Count() > 0 && d.Count() <= flushCount && d.Count() <= d.Capacity());
        FUZZ_CHECK(d.Size() == RegionData::kHeaderBytes + d.Count() * 16);
        RegionRect bounds = d.Bounds();
        for (uint32_t i = 0; i < d.Count(); ++i) {
            RegionRect r = d.At(i);
            FUZZ_CHECK(r.left >= 0 && r.left < r.right && r.right <= width);
            FUZZ_CHECK(r.top >= 0 && r.bottom == r.top + 1 && r.bottom <= height);
            FUZZ_CHECK(r.left >= bounds.left && r.right <= bounds.right && r.top >= bounds.top &&
                       r.bottom <= bounds.bottom);
        }
        flushed += d.Count();
    }, flushCount);
    FUZZ_CHECK(found == flushed);
    FUZZ_CHECK(found <= count);
    return 0;
}
