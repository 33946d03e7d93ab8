#include "skin/mask_region.h"

#include "skin/region_runs.h"

namespace lumetra {

HRGN RegionFromMask(const SkinImage& mask) {
    std::vector<uint32_t> pixels;
    if (!ImagePixels(mask, pixels)) return nullptr;
    Region result(CreateRectRgn(0, 0, 0, 0));
    if (!result) return nullptr;
    bool failed = false;
    BuildMaskRegion(pixels.data(), mask.width, mask.height, [&](const RegionData& data) {
        Region part(ExtCreateRegion(nullptr, data.Size(), reinterpret_cast<const RGNDATA*>(data.Bytes())));
        if (!part || CombineRgn(result.Get(), result.Get(), part.Get(), RGN_OR) == ERROR) failed = true;
    });
    return failed ? nullptr : result.Release();
}

}  // namespace lumetra
