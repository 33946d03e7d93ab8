#pragma once
// Builds a window shape from a mask image: every run of non-transparent pixels in a row becomes a
// one-pixel-high rectangle. Rectangles collect in a region-data buffer laid out as the platform's
// RGNDATA (32-byte header, then RECTs) that grows 100 rectangles at a time; every 2000 rectangles the
// buffer is handed to a flush callback (which creates a region and unites it), so a large mask never
// needs one huge allocation.
#include <cstdint>
#include <functional>
#include <vector>

namespace lumetra {

constexpr uint8_t kMaskKeyValue = 255;   // white
constexpr uint8_t kMaskTolerance = 0x10;
constexpr uint32_t kRegionFlushCount = 2000;
constexpr uint32_t kRegionGrowth = 100;

struct RegionRect {
    int32_t left, top, right, bottom;
};

// The region-data buffer: header (size 32, type 1 = rectangles, count, region size, bounds) and rectangles.
class RegionData {
public:
    static constexpr uint32_t kHeaderBytes = 32;

    RegionData() { Reset(); }
    void Reset();
    void Add(const RegionRect& r);
    uint32_t Count() const;
    uint32_t Capacity() const { return capacity_; }
    RegionRect Bounds() const;
    RegionRect At(uint32_t i) const;
    // The bytes as the platform's ExtCreateRegion takes them, and their size.
    const uint8_t* Bytes() const { return bytes_.data(); }
    uint32_t Size() const { return kHeaderBytes + Count() * 16; }

private:
    void WriteHeader(uint32_t count, const RegionRect& bounds);
    std::vector<uint8_t> bytes_;
    uint32_t capacity_ = 0;
};

// True for pixels whose three channels each lie in key .. min(255, key + tolerance).
bool IsTransparentPixel(uint32_t bgra, uint8_t key = kMaskKeyValue, uint8_t tolerance = kMaskTolerance);

// Scans a 32-bit top-down image (rows of width pixels, 0x00RRGGBB or BGRA in memory) and hands the
// rectangle buffer to flush every flushCount rectangles and once at the end (when it holds any).
// Returns the number of rectangles found.
uint64_t BuildMaskRegion(const uint32_t* pixels, int width, int height,
                         const std::function<void(const RegionData&)>& flush,
                         uint32_t flushCount = kRegionFlushCount);

}  // namespace lumetra
